// THtmlWriter: the HTML listing. A black page with the three totals, then a table of
// one row per entry, in the table layout (a directory column and a name column) or the
// tree layout (names indented by level), closed by the "Generated on" footer.
#pragma once

#include "output/Columns.h"
#include "output/ListingContext.h"
#include "output/ListingWriter.h"
#include "output/PathText.h"
#include "platform/AtomicFile.h"

#include <string>
#include <vector>

namespace orv {

class THtmlWriter : public TListingWriter {
public:
  THtmlWriter(const TListingContext& context, TAtomicFile& file);

  void Begin() override;
  void DirectoryRow(const TDataItem& directory, std::string_view parent, int level) override;
  void DirectoryEnd(const TDataItem&, int) override {}
  void FileRow(const TDataItem& file, std::string_view parent, int level) override;
  void End() override;

private:
  void Row(const TDataItem& item, std::string_view parent, int level);
  void AppendCell(const TOptionalColumn& column, const TDataItem& item);

  const TListingContext& m_context;
  TAtomicFile& m_file;
  std::vector<const TOptionalColumn*> m_columns;
  TLocationCache m_locations;
  TIconLink m_iconLink;
  bool m_treeLayout;
  // Every row counts, directory rows too; file rows alternate their colour by it.
  int m_rowCounter = 0;
  std::string_view m_wideSpace;
  std::string m_cellEnd;
  std::string m_line;
  std::string m_value;
};

}  // namespace orv
