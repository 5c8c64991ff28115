// TCsvWriter: the CSV listing. Three totals, an empty line, the caption line, one
// line per entry with every value quoted (a text that would start a formula in a
// spreadsheet behind an apostrophe), and the "Generated on" footer.
#pragma once

#include "output/Columns.h"
#include "output/ListingContext.h"
#include "output/ListingWriter.h"
#include "platform/AtomicFile.h"

#include <string>
#include <vector>

namespace orv {

class TCsvWriter : public TListingWriter {
public:
  TCsvWriter(const TListingContext& context, TAtomicFile& file);

  void Begin() override;
  void DirectoryRow(const TDataItem& directory, std::string_view parent, int level) override;
  void DirectoryEnd(const TDataItem&, int) override {}
  void FileRow(const TDataItem& file, std::string_view parent, int level) override;
  void End() override;

private:
  void Row(const TDataItem& item, std::string_view parent);

  const TListingContext& m_context;
  TAtomicFile& m_file;
  std::vector<const TOptionalColumn*> m_columns;
  // The parent directory of the last row and its form relative to the target.
  std::string m_parent;
  std::string m_relativeParent;
  std::string m_line;
  std::string m_value;
};

}  // namespace orv
