// The content facts of one file record, read with one reader of each kind.
#include "metadata/ContentReader.h"

#include "metadata/PdfProbe.h"

#include <utility>

namespace orv {

namespace {

// A PDF up to this size is probed in the bytes the digests read instead of being
// mapped and read a second time; a larger one costs no memory beyond its mapping.
constexpr std::size_t kLargestSharedRead = std::size_t{16} << 20;

bool WantsExif(const RunOptions& o) {
  return o.ExifArtist || o.ExifCopyright || o.ExifMake || o.ExifModel || o.ExifVersion || o.ExifDateTime ||
         o.ExifImageWidth || o.ExifImageLength || o.ExifUserComment;
}

}  // namespace

TContentReader::TContentReader(const RunOptions& options, uint16_t userLanguageId)
    : m_options(options), m_versionInfo(userLanguageId) {}

bool TContentReader::Wanted(const RunOptions& o) {
  return WantsVersionStrings(o) || WantsExif(o) || o.CRC32 || o.MD5 || o.SHA1 || o.PdfFileVersion ||
         o.PdfPageCount;
}

void TContentReader::Read(TDataItem& item, TReadMonitor* monitor) {
  if (item.IsDirectory) return;
  const std::string nativePath = item.NativePath();
  ReadVersionStrings(m_versionInfo, m_options, item);
  ReadExif(item, nativePath);
  const bool wantsPdf = m_options.PdfFileVersion || m_options.PdfPageCount;
  bool shared = false;
  if (m_options.CRC32 || m_options.MD5 || m_options.SHA1) {
    TDataItemFacts& facts = item.MutableFacts();
    const bool keep = wantsPdf && IsPdfExtension(item.Extension());
    if (keep) m_digester.KeepContents(&m_contents, kLargestSharedRead);
    m_digester.SetMonitor(monitor);
    std::string crc32, md5, sha1;
    DigestEntryTexts(m_digester, m_options, nativePath, item.Size, crc32, md5, sha1);
    // A column whose option is off stays as it was, empty.
    if (m_options.CRC32) facts.CRC32 = crc32;
    if (m_options.MD5) facts.MD5 = md5;
    if (m_options.SHA1) facts.SHA1 = sha1;
    m_digester.SetMonitor(nullptr);
    shared = keep && m_digester.KeptWhole();
    m_digester.KeepContents(nullptr, 0);
  }
  if (wantsPdf) {
    TPdfFacts pdf;
    const bool found = shared ? ProbePdfContents(m_contents, m_options.PdfPageCount, pdf, monitor)
                              : ReadPdfFacts(nativePath, item.Extension(), m_options.PdfFileVersion,
                                             m_options.PdfPageCount, pdf, monitor);
    if (m_contents.size() > kLargestSharedRead / 4) std::string().swap(m_contents);
    if (found) {
      TDataItemFacts& facts = item.MutableFacts();
      facts.PdfFileVersion = std::move(pdf.Version);
      facts.PdfPageCount = pdf.PageCount;
    }
  }
}

void TContentReader::ReadExif(TDataItem& item, const std::string& nativePath) {
  TExifFields fields;
  if (!WantsExif(m_options) || item.Size <= 0 || !ReadExifFields(m_exifInfo, nativePath, fields)) {
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

}  // namespace orv
