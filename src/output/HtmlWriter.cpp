// The HTML listing's head, rows and footer.
#include "output/HtmlWriter.h"

#include "core/ProductInfo.h"
#include "output/DateTimeFormat.h"
#include "output/Escape.h"
#include "output/ValueText.h"
#include "platform/AnsiText.h"
#include "platform/CodePage.h"

namespace orv {

namespace {

constexpr std::string_view kCellClose = "</td>\r\n";

std::string_view OpeningTag(TCellAlign align) {
  switch (align) {
    case TCellAlign::Left: return "<td nowrap align=\"left\">";
    case TCellAlign::Center: return "<td nowrap align=\"center\">";
    case TCellAlign::Right: return "<td nowrap align=\"right\">";
  }
  return "<td nowrap>";
}

}  // namespace

THtmlWriter::THtmlWriter(const TListingContext& context, TAtomicFile& file)
    : m_context(context),
      m_file(file),
      m_columns(EnabledColumns(context.Options)),
      m_locations(context.Options, context.TargetDirectory.Text, context.OutputFile.Text),
      m_iconLink(context.Options, context.PathSeparator),
      m_treeLayout(context.Options.HtmlFormat != HtmlFormatTable),
      m_wideSpace(AnsiIdeographicSpace()),
      // Every data cell ends in a full-width space, so no cell is ever empty.
      m_cellEnd(std::string(m_wideSpace) + std::string(kCellClose)) {}

void THtmlWriter::Begin() {
  const TCaption& captions = m_context.Captions;
  const TRunLists& lists = m_context.Lists;
  std::string& s = m_line;
  s.clear();
  s += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//EN\" \"http://www.w3.org/TR/html4/frameset.dtd\">\r\n";
  s += "<html>\r\n<head>\r\n";
  s += ActiveCodePage() == CodePageUtf8
           ? "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
           : "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">\r\n";
  s += "<meta name=\"GENERATOR\" content=\"";
  AppendHtmlEscaped(s, ProductVersionText);
  s += "\">\r\n<title>";
  AppendHtmlEscaped(s, m_context.Options.HtmlTitle);
  s += "</title>\r\n</head>\r\n";
  s += "<body bgcolor=\"black\"><font color=\"white\">\r\n";
  AppendHtmlEscaped(s, captions.TotalFileSize);
  s += " : ";
  m_value.clear();
  AppendFileSizeText(m_value, lists.TotalSize, true, m_context.Options.FileSizeUnit,
                     m_context.Regional.ThousandSeparator);
  AppendHtmlEscaped(s, m_value);
  s += "<br>\r\n";
  AppendHtmlEscaped(s, captions.TotalFileCount);
  s += " : ";
  AppendDecimal(s, static_cast<int64_t>(lists.FileList.Count()));
  s += "<br>\r\n";
  AppendHtmlEscaped(s, captions.TotalDirCount);
  s += " : ";
  AppendDecimal(s, static_cast<int64_t>(lists.DirectoryList.Count()));
  s += "<br>\r\n<font color=\"black\">\r\n";
  if (m_treeLayout) {
    s += "<table bordercolor=\"#666666\" border=\"1\" cellspacing=\"1\"  cellpadding=\"1\" rules=\"cols\" "
         "style=\"border-collapse : collapse;\">\r\n";
  } else {
    s += "<table border=\"1\" cellspacing=\"1\" cellpadding=\"1\">\r\n";
  }
  s += "<tr align=\"center\" bgcolor=\"#fef98b\">\r\n";
  if (!m_treeLayout) {
    s += "<td nowrap>";
    AppendHtmlEscaped(s, captions.Path);
    s += "</td>";
  }
  s += "<td nowrap>";
  AppendHtmlEscaped(s, captions.FileName);
  s += "</td>";
  // The first caption cell goes on with the line of the name cells.
  for (const TOptionalColumn* column : m_columns) {
    s += "<td nowrap>";
    AppendHtmlEscaped(s, captions.*column->Caption);
    s += "</td>\r\n";
  }
  s += "</tr>\r\n\r\n";
  m_file.Write(s);
}

void THtmlWriter::DirectoryRow(const TDataItem& directory, std::string_view parent, int level) {
  Row(directory, parent, level);
}

void THtmlWriter::FileRow(const TDataItem& file, std::string_view parent, int level) { Row(file, parent, level); }

void THtmlWriter::Row(const TDataItem& item, std::string_view parent, int level) {
  const RunOptions& options = m_context.Options;
  const std::string& separator = m_context.PathSeparator;
  const TEntryLocation& location = m_locations.For(parent, level);
  std::string& s = m_line;
  s.clear();
  if (item.IsDirectory) {
    s += "<tr bgcolor=\"#cbfee9\">\r\n";
  } else {
    s += m_rowCounter % 2 == 0 ? "<tr bgcolor=\"#ffeeff\">\r\n" : "<tr bgcolor=\"#ffffee\">\r\n";
  }
  if (!m_treeLayout) {
    s += "<td nowrap>";
    AppendHtmlEscaped(s, location.DisplayDirectory);
    s += m_cellEnd;
  }
  s += "<td nowrap>";
  if (m_treeLayout) {
    AppendTreeIndent(s, level);
  }
  if (options.OutputIconFile) {
    s += "<img src=\"";
    m_iconLink.Append(s, item);
    s += "\" width=\"16\" height=\"16\">";
  }
  if (options.HyperLink) {
    s += "<a href=\"";
    if (options.PathMode == PathModeAbsolute) {
      // An absolute Linux path brings its own leading "/" to "file://".
      s += location.LinkDirectory.starts_with('/') ? "file://" : "file:///";
    }
    AppendEntryLink(s, location, item, m_value);
    s += "\">";
  }
  // The facts are looked at only when aliases are on: most records have none to read.
  const bool showAlias = options.EnableAlias && !item.Facts().Alias.empty();
  AppendHtmlEscaped(s, showAlias ? std::string_view(item.Facts().Alias) : item.Name());
  if (options.HyperLink) {
    s += "</a>";
  }
  s += m_cellEnd;
  if (options.SlashDelimiter) {
    ApplySlashSeparators(s, separator);
  }

  for (const TOptionalColumn* column : m_columns) {
    AppendCell(*column, item);
  }
  s += "</tr>\r\n\r\n";
  m_file.Write(s);
  ++m_rowCounter;
}

void THtmlWriter::AppendCell(const TOptionalColumn& column, const TDataItem& item) {
  std::string& s = m_line;
  s += OpeningTag(column.HtmlAlign);
  if (column.Kind == TColumnKind::Size) {
    m_value.clear();
    if (item.IsDirectory) {
      AppendDecimal(m_value, item.FileCount);
    } else {
      AppendFileSizeText(m_value, item.Size, true, m_context.Options.FileSizeUnit,
                         m_context.Regional.ThousandSeparator);
    }
    AppendHtmlEscaped(s, m_value);
  } else if (ColumnText(column, item, m_context.Regional, m_value)) {
    if (column.Kind == TColumnKind::Attribute && m_treeLayout) {
      s += m_wideSpace;
    }
    AppendHtmlEscaped(s, m_value);
  }
  s += m_cellEnd;
}

void THtmlWriter::End() {
  const TRegionalSettings& regional = m_context.Regional;
  std::string& s = m_line;
  s = "</table></font></font>\r\n<p><font color=\"white\">Generated on ";
  // The clock is read once for the date and once for the time.
  AppendHtmlEscaped(s, FormatDateTime("ddddd", m_context.Clock(), regional));
  s += " at ";
  AppendHtmlEscaped(s, FormatDateTime("tt", m_context.Clock(), regional));
  s += " by <a href=\"";
  AppendHtmlEscaped(s, MakerHomePageUrl);
  s += "\">";
  AppendHtmlEscaped(s, ProductVersionText);
  s += "</a></font></p>\r\n</body>\r\n</html>\r\n\r\n";
  m_file.Write(s);
}

}  // namespace orv
