// TXmlWriter: the XML listing. A "doc" element holding one "root" element for the
// target, inside it one "dir" element per directory (holding its subtree) and one
// "file" element per file; every fact is an attribute. Written without white space
// between tags, Shift_JIS, with CR LF for every line feed.
#pragma once

#include "output/Columns.h"
#include "output/ListingContext.h"
#include "output/ListingWriter.h"
#include "output/PathText.h"
#include "platform/AtomicFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv {

class TXmlWriter : public TListingWriter {
public:
  TXmlWriter(const TListingContext& context, TAtomicFile& file);

  void Begin() override;
  void DirectoryRow(const TDataItem& directory, std::string_view parent, int level) override;
  void DirectoryEnd(const TDataItem& directory, int level) override;
  void FileRow(const TDataItem& file, std::string_view parent, int level) override;
  void End() override;

private:
  void StartEntry(const TDataItem& item, std::string_view parent, int level);
  void Attribute(std::string_view name, std::string_view value);

  const TListingContext& m_context;
  TAtomicFile& m_file;
  std::vector<const TOptionalColumn*> m_columns;
  TLocationCache m_locations;
  TIconLink m_iconLink;
  std::string m_line;
  std::string m_value;
  std::string m_link;
};

}  // namespace orv
