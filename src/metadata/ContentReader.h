// TContentReader: the facts of a listed file that come from its contents: version
// strings, Exif fields, digests and PDF facts. It owns one of each reader and a copy of
// the options, so each thread that reads contents owns a TContentReader of its own and
// shares nothing with the others.
#pragma once

#include "core/DataItem.h"
#include "core/RunOptions.h"
#include "metadata/Digest.h"
#include "metadata/ExifInfo.h"
#include "metadata/FileVerInfo.h"
#include "metadata/ReadMonitor.h"

#include <cstdint>
#include <string>

namespace orv {

class TContentReader {
public:
  // userLanguageId chooses among the languages of a version resource.
  TContentReader(const RunOptions& options, uint16_t userLanguageId);
  TContentReader(const TContentReader&) = delete;
  TContentReader& operator=(const TContentReader&) = delete;

  // True when the options ask for any fact that needs a file's contents.
  static bool Wanted(const RunOptions& options);

  // Fills every content fact the options ask for into the record of a file, as the
  // entry builder's steps would one after the other: version strings and Exif fields
  // for a non-empty file, then the digests and the PDF facts. monitor (may be null)
  // hears how far a long read is and may stop it. Never throws for a damaged file.
  void Read(TDataItem& item, TReadMonitor* monitor);

private:
  void ReadExif(TDataItem& item, const std::string& nativePath);

  const RunOptions m_options;
  TFileDigester m_digester;
  TFileVerInfo m_versionInfo;
  TExifInfo m_exifInfo;
  // A PDF's bytes as the digests read them, for the PDF probe.
  std::string m_contents;
};

}  // namespace orv
