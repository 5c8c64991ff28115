// The CSV listing's header, rows and footer.
#include "output/CsvWriter.h"

#include "core/ProductInfo.h"
#include "output/DateTimeFormat.h"
#include "output/Escape.h"
#include "output/PathText.h"
#include "output/ValueText.h"
#include "platform/CodePage.h"

namespace orv {

namespace {

// The columns whose values the program counted itself rather than read as text.
bool IsNumberColumn(const TOptionalColumn& column) {
  return column.Kind == TColumnKind::PdfPageCount || column.Kind == TColumnKind::ExifNumber;
}

}  // namespace

TCsvWriter::TCsvWriter(const TListingContext& context, TAtomicFile& file)
    : m_context(context), m_file(file), m_columns(EnabledColumns(context.Options)) {}

void TCsvWriter::Begin() {
  const TCaption& captions = m_context.Captions;
  const TRunLists& lists = m_context.Lists;
  m_line.clear();
  if (ActiveCodePage() == CodePageUtf8) {
    // The byte-order mark is how spreadsheet programs tell UTF-8 from the system's
    // own code page.
    m_line += "\xEF\xBB\xBF";
  }
  m_line += captions.TotalFileSize;
  m_line += ",,";
  AppendFileSizeText(m_line, lists.TotalSize, false, m_context.Options.FileSizeUnit, {});
  m_line += "\r\n";
  m_line += captions.TotalFileCount;
  m_line += ",,";
  AppendDecimal(m_line, static_cast<int64_t>(lists.FileList.Count()));
  m_line += "\r\n";
  m_line += captions.TotalDirCount;
  m_line += ",,";
  AppendDecimal(m_line, static_cast<int64_t>(lists.DirectoryList.Count()));
  m_line += "\r\n\r\n";
  m_line += captions.Path;
  m_line += ',';
  m_line += captions.FileName;
  for (const TOptionalColumn* column : m_columns) {
    m_line += ',';
    m_line += captions.*column->Caption;
  }
  m_line += "\r\n";
  m_file.Write(m_line);
}

void TCsvWriter::DirectoryRow(const TDataItem& directory, std::string_view parent, int) { Row(directory, parent); }

void TCsvWriter::FileRow(const TDataItem& file, std::string_view parent, int) { Row(file, parent); }

void TCsvWriter::Row(const TDataItem& item, std::string_view parent) {
  const RunOptions& options = m_context.Options;
  if (parent != m_parent || m_relativeParent.empty()) {
    m_parent = parent;
    m_relativeParent = RelativeToTarget(parent, m_context.TargetDirectory.Text);
  }
  // The facts are looked at only when aliases are on: most records have none to read.
  const bool showAlias = options.EnableAlias && !item.Facts().Alias.empty();
  m_line.clear();
  // An alias row always shows the relative directory, also with absolute paths.
  AppendCsvText(m_line, options.PathMode == PathModeAbsolute && !showAlias ? parent : std::string_view(m_relativeParent));
  m_line += ',';
  AppendCsvText(m_line, showAlias ? std::string_view(item.Facts().Alias) : item.Name());
  if (options.SlashDelimiter) {
    ApplySlashSeparators(m_line, m_context.PathSeparator);
  }

  for (const TOptionalColumn* column : m_columns) {
    m_line += ',';
    if (column->Kind == TColumnKind::Size) {
      m_line += '"';
      if (item.IsDirectory) {
        m_line += "DIR(";
        AppendDecimal(m_line, item.FileCount);
        m_line += ')';
      } else {
        AppendFileSizeText(m_line, item.Size, false, options.FileSizeUnit, {});
      }
      m_line += '"';
    } else if (ColumnText(*column, item, m_context.Regional, m_value)) {
      if (IsNumberColumn(*column)) {
        AppendCsvQuoted(m_line, m_value);
      } else {
        AppendCsvText(m_line, m_value);
      }
    }
  }
  m_line += "\r\n";
  m_file.Write(m_line);
}

void TCsvWriter::End() {
  const TRegionalSettings& regional = m_context.Regional;
  m_line = "\r\nGenerated on ";
  // The clock is read once for the date and once for the time.
  m_line += FormatDateTime("ddddd", m_context.Clock(), regional);
  m_line += " at ";
  m_line += FormatDateTime("tt", m_context.Clock(), regional);
  m_line += " by ";
  m_line += ProductVersionText;
  m_line += "\r\n\r\n";
  m_file.Write(m_line);
}

}  // namespace orv
