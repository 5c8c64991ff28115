// The XML listing's document start, entry elements and document end.
#include "output/XmlWriter.h"

#include "core/ProductInfo.h"
#include "output/Escape.h"
#include "output/ValueText.h"
#include "platform/CodePage.h"
#include "platform/Path.h"

namespace orv {

TXmlWriter::TXmlWriter(const TListingContext& context, TAtomicFile& file)
    : m_context(context),
      m_file(file),
      m_columns(EnabledColumns(context.Options)),
      m_locations(context.Options, context.TargetDirectory.Text, context.OutputFile.Text),
      m_iconLink(context.Options, context.PathSeparator) {}

void TXmlWriter::Attribute(std::string_view name, std::string_view value) {
  m_line += ' ';
  m_line += name;
  m_line += "=\"";
  AppendXmlAttributeValue(m_line, value);
  m_line += '"';
}

void TXmlWriter::Begin() {
  const RunOptions& options = m_context.Options;
  const TRunLists& lists = m_context.Lists;
  const std::string& separator = m_context.PathSeparator;
  m_line = ActiveCodePage() == CodePageUtf8 ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                            : "<?xml version=\"1.0\" encoding=\"shift_jis\"?>\r\n";
  if (options.XSLT) {
    m_line += "<?xml-stylesheet type=\"text/xsl\" href=\".";
    m_line += separator;
    m_line += "Orvantis.xsl\"?>\r\n";
  }
  m_line += "<doc";
  Attribute("generatedatetime", DateTimeText(m_context.Clock(), m_context.Regional));
  Attribute("generator", ProductVersionText);
  Attribute("title", options.HtmlTitle);
  m_line += "><root";
  if (options.PathMode == PathModeAbsolute) {
    m_value = m_context.TargetDirectory.Text;
    if (options.SlashDelimiter) {
      ApplySlashSeparators(m_value, separator);
    }
  } else {
    m_value = ".";
    m_value += separator;
  }
  Attribute("name", m_value);
  Attribute("total_file_size", FileSizeText(lists.TotalSize, false, options.FileSizeUnit, {}));
  m_value.clear();
  AppendDecimal(m_value, static_cast<int64_t>(lists.FileList.Count()));
  Attribute("total_file_count", m_value);
  m_value.clear();
  AppendDecimal(m_value, static_cast<int64_t>(lists.DirectoryList.Count()));
  Attribute("total_dir_count", m_value);
  m_line += '>';
  m_file.Write(m_line);
}

void TXmlWriter::StartEntry(const TDataItem& item, std::string_view parent, int level) {
  const RunOptions& options = m_context.Options;
  const std::string& separator = m_context.PathSeparator;
  m_line = item.IsDirectory ? "<dir" : "<file";
  Attribute("name", item.Name());
  m_value.clear();
  AppendDecimal(m_value, level);
  Attribute("level", m_value);
  if (options.EnableAlias && !item.Facts().Alias.empty()) {
    Attribute("alias", item.Facts().Alias);
  }
  if (options.OutputIconFile) {
    m_link.clear();
    m_iconLink.Append(m_link, item);
    Attribute("icon", m_link);
  }
  if (options.HyperLink) {
    // Unlike the HTML link: no scheme.
    const TEntryLocation& location = m_locations.For(parent, level);
    m_link.clear();
    if (options.SlashDelimiter && separator != std::string_view(&PathDelim, 1)) {
      m_value = location.LinkDirectory;
      m_value += item.Name();
      ApplySlashSeparators(m_value, separator);
      AppendEntryLink(m_link, m_value, item);
    } else {
      AppendEntryLink(m_link, location, item, m_value);
    }
    Attribute("link", m_link);
  }
  for (const TOptionalColumn* column : m_columns) {
    if (column->Kind == TColumnKind::Size) {
      m_value.clear();
      if (item.IsDirectory) {
        AppendDecimal(m_value, item.FileCount);
      } else {
        AppendFileSizeText(m_value, item.Size, false, options.FileSizeUnit, {});
      }
      Attribute(item.IsDirectory ? "count" : column->XmlName, m_value);
    } else {
      // A cell the other listings leave empty is an empty attribute here.
      ColumnText(*column, item, m_context.Regional, m_value);
      Attribute(column->XmlName, m_value);
    }
  }
  m_line += '>';
}

void TXmlWriter::DirectoryRow(const TDataItem& directory, std::string_view parent, int level) {
  StartEntry(directory, parent, level);
  m_file.Write(m_line);
}

void TXmlWriter::DirectoryEnd(const TDataItem&, int) { m_file.Write("</dir>"); }

void TXmlWriter::FileRow(const TDataItem& file, std::string_view parent, int level) {
  StartEntry(file, parent, level);
  m_line += "</file>";
  m_file.Write(m_line);
}

void TXmlWriter::End() { m_file.Write("</root></doc>\r\n"); }

}  // namespace orv
