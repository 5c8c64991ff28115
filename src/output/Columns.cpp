// The optional column table and the value texts the three writers share.
#include "output/Columns.h"

#include "output/ValueText.h"
#include "platform/AnsiText.h"

#include <array>

namespace orv {

namespace {

using K = TColumnKind;
using A = TCellAlign;
using R = RunOptions;
using C = TCaption;
using F = TDataItemFacts;

const std::array<TOptionalColumn, 30> kColumns = {{
    {&R::FileSize, &C::FileSize, "size", A::Right, K::Size},
    {&R::FileExtension, &C::Extension, "ext", A::Center, K::Extension},
    {&R::CreationTime, &C::CreationTime, "creationtime", A::Center, K::CreationTime},
    {&R::LastUpdateTime, &C::LastUpdateTime, "lastupdatetime", A::Center, K::LastUpdateTime},
    {&R::LastAccessTime, &C::LastAccessTime, "lastaccesstime", A::Center, K::LastAccessTime},
    {&R::Attribute, &C::Attribute, "attribute", A::Center, K::Attribute},
    {&R::FileVersion, &C::FileVersion, "file_version", A::Left, K::Fact, &F::FileVersion},
    {&R::FileDescription, &C::FileDescription, "file_description", A::Left, K::Fact, &F::FileDescription},
    {&R::LegalCopyright, &C::LegalCopyright, "legal_copyright", A::Left, K::Fact, &F::LegalCopyright},
    {&R::Comments, &C::Comments, "comments", A::Left, K::Fact, &F::Comments},
    {&R::CompanyName, &C::CompanyName, "company_name", A::Left, K::Fact, &F::CompanyName},
    {&R::LegalTrademarks, &C::LegalTrademarks, "legal_trademarks", A::Left, K::Fact, &F::LegalTrademarks},
    {&R::OriginalFileName, &C::OriginalFileName, "original_filename", A::Left, K::Fact, &F::OriginalFileName},
    {&R::ProductVersion, &C::ProductVersion, "product_version", A::Left, K::Fact, &F::ProductVersion},
    {&R::ProductName, &C::ProductName, "product_name", A::Left, K::Fact, &F::ProductName},
    {&R::InternalName, &C::InternalName, "internal_name", A::Left, K::Fact, &F::InternalName},
    {&R::CRC32, &C::CRC32, "crc32", A::Left, K::Fact, &F::CRC32},
    {&R::MD5, &C::MD5, "md5", A::Left, K::Fact, &F::MD5},
    {&R::SHA1, &C::SHA1, "sha1", A::Left, K::Fact, &F::SHA1},
    {&R::PdfFileVersion, &C::PdfFileVersion, "pdf_file_version", A::Center, K::Fact, &F::PdfFileVersion},
    {&R::PdfPageCount, &C::PdfPageCount, "pdf_page_count", A::Right, K::PdfPageCount},
    {&R::ExifArtist, &C::ExifArtist, "exif_artist", A::Left, K::Fact, &F::ExifArtist},
    {&R::ExifCopyright, &C::ExifCopyright, "exif_copyright", A::Left, K::Fact, &F::ExifCopyright},
    {&R::ExifMake, &C::ExifMake, "exif_make", A::Left, K::Fact, &F::ExifMake},
    {&R::ExifModel, &C::ExifModel, "exif_model", A::Left, K::Fact, &F::ExifModel},
    {&R::ExifVersion, &C::ExifVersion, "exif_version", A::Left, K::Fact, &F::ExifVersion},
    {&R::ExifDateTime, &C::ExifDateTime, "exif_datetime", A::Left, K::Fact, &F::ExifDateTime},
    {&R::ExifImageWidth, &C::ExifImageWidth, "exif_image_width", A::Left, K::ExifNumber, nullptr,
     &F::ExifImageWidth},
    {&R::ExifImageLength, &C::ExifImageLength, "exif_image_length", A::Left, K::ExifNumber, nullptr,
     &F::ExifImageLength},
    {&R::ExifUserComment, &C::ExifUserComment, "exif_user_comment", A::Left, K::Fact, &F::ExifUserComment},
}};

}  // namespace

std::span<const TOptionalColumn> OptionalColumns() { return kColumns; }

std::vector<const TOptionalColumn*> EnabledColumns(const RunOptions& options) {
  std::vector<const TOptionalColumn*> enabled;
  for (const TOptionalColumn& column : kColumns) {
    if (options.*column.Option) {
      enabled.push_back(&column);
    }
  }
  return enabled;
}

bool ColumnText(const TOptionalColumn& column, const TDataItem& item, const TRegionalSettings& regional,
                std::string& text) {
  text.clear();
  switch (column.Kind) {
    case K::Size:
      AppendDecimal(text, item.IsDirectory ? item.FileCount : item.Size);
      return true;
    case K::Extension:
      text = item.Extension();
      return true;
    case K::CreationTime:
      AppendDateTimeText(text, item.CreationTime, regional);
      return true;
    case K::LastUpdateTime:
      AppendDateTimeText(text, item.LastUpdateTime, regional);
      return true;
    case K::LastAccessTime:
      AppendDateTimeText(text, item.LastAccessTime, regional);
      return true;
    case K::Attribute:
      AppendAttributeText(text, item);
      return true;
    case K::Fact:
      text = item.Facts().*column.Text;
      return true;
    case K::PdfPageCount:
      if (!AnsiSameText(item.Extension(), "pdf")) {
        return false;
      }
      AppendDecimal(text, item.Facts().PdfPageCount);
      return true;
    case K::ExifNumber: {
      const int32_t value = item.Facts().*column.Number;
      if (value == 0) {
        return false;
      }
      AppendDecimal(text, value);
      return true;
    }
  }
  return true;
}

}  // namespace orv
