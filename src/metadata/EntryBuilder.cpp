// Building, filling and filing one entry record per walked entry.
#include "metadata/EntryBuilder.h"

#include "metadata/IconExport.h"
#include "platform/AnsiText.h"
#include "platform/CodePage.h"
#include "platform/Path.h"
#include "platform/Regional.h"

namespace orv {

TEntryBuilder::TEntryBuilder(const RunOptions& options, TScanFilters& filters, TRunHost& host,
                             TRunLists& lists)
    : m_options(options),
      m_filters(filters),
      m_host(host),
      m_lists(lists),
      m_counter(lists.DirectoryList),
      m_versionInfo(ReadRegionalSettings().DefaultLanguageId) {}

void TEntryBuilder::BeginWalk(const std::string& targetDirectory, const TFilePath& iconDirectory,
                              const std::string& aliasPath) {
  m_targetDirectory = targetDirectory;
  m_iconDirectory = iconDirectory;
  m_aliases.Open(aliasPath);
}

void TEntryBuilder::EndWalk() {
  m_aliases.Close();
  m_counter.AddCountsToAncestors();
}

std::string TEntryBuilder::StatusPath(const std::string& path) const {
  if (m_options.PathMode != PathModeRelative) {
    return path;
  }
  // Nearly every path starts with the target exactly; only others need the search
  // without regard to case.
  const std::size_t at = path.compare(0, m_targetDirectory.size(), m_targetDirectory) == 0
                             ? 0
                             : AnsiFindText(path, m_targetDirectory);
  if (at == std::string::npos) {
    return path;
  }
  std::string shown;
  shown.reserve(path.size() - m_targetDirectory.size() + 2);
  shown.append(path, 0, at).append(1, '.').append(1, PathDelim).append(path, at + m_targetDirectory.size());
  return shown;
}

void TEntryBuilder::BuildEntry(const std::string& path, const TSearchFileData& data) {
  auto item = std::make_unique<TDataItem>();
  std::string itemPath = path;
  std::string nativePath = data.NativePath;
  if (data.IsDirectory) {
    if (!AnsiEndsWithDelimiter(itemPath, PathDelim)) itemPath += PathDelim;
    if (!nativePath.empty() && nativePath.back() != PathDelim) nativePath += PathDelim;
  }
  const bool convertsBack = TextConvertsBack(itemPath, nativePath);
  item->SetPath(itemPath, convertsBack ? std::string_view() : std::string_view(nativePath), data.IsDirectory);
  item->Size = data.Size;
  item->CreationTimeValid = data.CreationTimeValid;
  item->CreationTime = data.CreationTime;
  item->LastUpdateTimeValid = data.LastUpdateTimeValid;
  item->LastUpdateTime = data.LastUpdateTime;
  item->LastAccessTimeValid = data.LastAccessTimeValid;
  item->LastAccessTime = data.LastAccessTime;
  item->IsDirectory = data.IsDirectory;
  item->IsReadOnly = data.IsReadOnly;
  item->IsHidden = data.IsHidden;
  item->IsSystem = data.IsSystem;
  item->IsArchive = data.IsArchive;

  // Before filing: entries that end up unlisted still provide their type's icon.
  if (m_options.FileType != FileTypeCsv && m_options.OutputIconFile && m_iconSource) {
    ExportIcon(*item, m_iconDirectory, *m_iconSource);
  }
  if (m_options.EnableAlias) {
    if (std::string alias = m_aliases.Find(item->Name()); !alias.empty()) {
      item->MutableFacts().Alias = std::move(alias);
    }
  }

  m_status = StatusPath(itemPath);
  m_host.ShowStatus(m_status);
  m_host.Pump();

  File(std::move(item));
  m_host.Pump();
}

bool TEntryBuilder::TextConvertsBack(std::string_view path, std::string_view nativePath) {
  if (nativePath.empty()) {
    return true;
  }
  // "/" is the same byte in both forms, and never part of a longer character in either.
  const std::size_t textSplit = path.substr(0, path.size() - 1).rfind(PathDelim) + 1;
  const std::size_t nativeSplit = nativePath.substr(0, nativePath.size() - 1).rfind(PathDelim) + 1;
  const std::string_view directory = path.substr(0, textSplit);
  const std::string_view nativeDirectory = nativePath.substr(0, nativeSplit);
  if (directory != m_checkedDirectory || nativeDirectory != m_checkedNativeDirectory) {
    m_checkedDirectory = directory;
    m_checkedNativeDirectory = nativeDirectory;
    m_checkedConvertsBack = AnsiToUtf8(directory) == nativeDirectory;
  }
  return m_checkedConvertsBack && AnsiToUtf8(path.substr(textSplit)) == nativePath.substr(nativeSplit);
}

void TEntryBuilder::ReadFileFacts(TDataItem& item) {
  // Version strings and Exif fields show only in the listing, so a file the filters
  // drop costs no read of its contents.
  ReadVersionStrings(m_versionInfo, m_options, item);
  ReadExif(item);
}

void TEntryBuilder::ReadExif(TDataItem& item) {
  const RunOptions& o = m_options;
  const bool wanted = o.ExifArtist || o.ExifCopyright || o.ExifMake || o.ExifModel || o.ExifVersion ||
                      o.ExifDateTime || o.ExifImageWidth || o.ExifImageLength || o.ExifUserComment;
  TExifFields fields;
  if (!wanted || item.Size <= 0 || !ReadExifFields(m_exifInfo, item.NativePath(), fields)) {
    return;
  }
  TDataItemFacts& facts = item.MutableFacts();
  facts.ExifArtist = std::move(fields.Artist);
  facts.ExifCopyright = std::move(fields.Copyright);
  facts.ExifMake = std::move(fields.Make);
  facts.ExifModel = std::move(fields.Model);
  facts.ExifVersion = std::move(fields.Version);
  facts.ExifDateTime = std::move(fields.DateTime);
  facts.ExifImageWidth = fields.ImageWidth;
  facts.ExifImageLength = fields.ImageLength;
  facts.ExifUserComment = std::move(fields.UserComment);
}

void TEntryBuilder::ReadListedFileFacts(TDataItem& item) {
  // Every content reader runs only for files that are listed.
  ReadFileFacts(item);
  if (m_options.CRC32 || m_options.MD5 || m_options.SHA1) {
    TDataItemFacts& facts = item.MutableFacts();
    DigestEntryTexts(m_digester, m_options, item.NativePath(), item.Size, facts.CRC32, facts.MD5, facts.SHA1);
  }
  if (m_options.PdfFileVersion || m_options.PdfPageCount) {
    TPdfFacts pdf;
    if (ReadPdfFacts(item.NativePath(), item.Extension(), m_options.PdfFileVersion, m_options.PdfPageCount, pdf)) {
      TDataItemFacts& facts = item.MutableFacts();
      facts.PdfFileVersion = std::move(pdf.Version);
      facts.PdfPageCount = pdf.PageCount;
    }
  }
}

void TEntryBuilder::File(std::unique_ptr<TDataItem> item) {
  if (!m_filters.PassesAttributeRule(item->IsHidden, item->IsSystem)) {
    return;
  }
  if (item->IsDirectory) {
    if (!m_filters.IsIgnoredDirName(item->Name())) {
      m_lists.DirectoryList.Add(std::move(item));
    }
    return;
  }
  const std::string& path = item->Path();
  // The extension as the filter wants it: from the last "." of the name, dot included.
  const std::string_view name = item->Name();
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  const bool listed = !m_options.DirectoryOnly && m_filters.MatchesExtensionFilter(extension) &&
                      m_filters.MatchesRegExpFilter(path);
  // A file counts for its directories whether or not it is listed.
  m_counter.CountFile(path, item->StoredNativePath());
  if (listed) {
    ReadListedFileFacts(*item);
    m_lists.TotalSize += item->Size;
    m_lists.FileList.Add(std::move(item));
  }
}

}  // namespace orv
