// The optional columns of every listing, in their fixed order: which option switches
// each on, its caption, its XML attribute name, its HTML alignment, and the text of
// its value for an entry.
#pragma once

#include "core/DataItem.h"
#include "core/RunOptions.h"
#include "output/Captions.h"
#include "platform/Regional.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orv {

enum class TColumnKind : uint8_t {
  Size,            // each writer prints sizes and directory counts its own way
  Extension,
  CreationTime,
  LastUpdateTime,
  LastAccessTime,
  Attribute,
  Fact,            // a text fact: version strings, digests, PDF version, Exif texts
  PdfPageCount,    // only for files whose extension is "pdf"
  ExifNumber,      // image width or height; 0 means unknown
};

enum class TCellAlign : uint8_t { Left, Center, Right };

struct TOptionalColumn {
  bool RunOptions::*Option;
  std::string TCaption::*Caption;
  const char* XmlName;  // the Size column's name for files; directories use "count"
  TCellAlign HtmlAlign;
  TColumnKind Kind;
  TFactText TDataItemFacts::*Text = nullptr;  // Fact
  int32_t TDataItemFacts::*Number = nullptr;    // ExifNumber
};

// All 30 optional columns in listing order.
std::span<const TOptionalColumn> OptionalColumns();

// The columns options switches on, in listing order.
std::vector<const TOptionalColumn*> EnabledColumns(const RunOptions& options);

// Replaces text with the value of a column other than Size for item. Returns false for
// the cells a listing leaves without a value: the page count of a file that is not a
// PDF, and an image width or height of 0 (text is then empty).
bool ColumnText(const TOptionalColumn& column, const TDataItem& item, const TRegionalSettings& regional,
                std::string& text);

}  // namespace orv
