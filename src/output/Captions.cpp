// Captions: the key table with its Japanese defaults, and loading caption.ini.
#include "output/Captions.h"

#include "platform/CodePage.h"
#include "platform/ProfileFile.h"

#include <array>
#include <vector>

namespace orv {

namespace {

struct TCaptionSource {
  const char* Key;
  const char* Default;  // UTF-8 in source, converted to CP932 once
  std::string TCaption::*Field;
};

constexpr std::array<TCaptionSource, 35> kSources = {{
    {"total_file_size", "総ファイルサイズ", &TCaption::TotalFileSize},
    {"total_file_count", "総ファイル数", &TCaption::TotalFileCount},
    {"total_dir_count", "総ディレクトリ数", &TCaption::TotalDirCount},
    {"path", "パス", &TCaption::Path},
    {"file_name", "ファイル名", &TCaption::FileName},
    {"file_size", "サイズ(ファイル数)", &TCaption::FileSize},
    {"extension", "拡張子", &TCaption::Extension},
    {"creation_time", "作成日時", &TCaption::CreationTime},
    {"last_update_time", "最終更新日時", &TCaption::LastUpdateTime},
    {"last_access_time", "最終アクセス日時", &TCaption::LastAccessTime},
    {"attribute", "属性", &TCaption::Attribute},
    {"file_version", "ファイルバージョン", &TCaption::FileVersion},
    {"file_description", "説明", &TCaption::FileDescription},
    {"legal_copyright", "著作権", &TCaption::LegalCopyright},
    {"comments", "コメント", &TCaption::Comments},
    {"company_name", "会社名", &TCaption::CompanyName},
    {"legal_trademarks", "商標", &TCaption::LegalTrademarks},
    {"original_file_name", "正式ファイル名", &TCaption::OriginalFileName},
    {"product_version", "製品バージョン", &TCaption::ProductVersion},
    {"product_name", "製品名", &TCaption::ProductName},
    {"internal_name", "内部名", &TCaption::InternalName},
    {"crc32", "CRC32", &TCaption::CRC32},
    {"md5", "MD5", &TCaption::MD5},
    {"sha1", "SHA1", &TCaption::SHA1},
    {"pdf_file_version", "PDFファイルバージョン", &TCaption::PdfFileVersion},
    {"pdf_page_count", "PDFページ数", &TCaption::PdfPageCount},
    {"exif_artist", "作者名", &TCaption::ExifArtist},
    {"exif_copyright", "撮影/編集著作権者", &TCaption::ExifCopyright},
    {"exif_make", "画像入力機器のメーカー名", &TCaption::ExifMake},
    {"exif_model", "画像入力機器のモデル名", &TCaption::ExifModel},
    {"exif_version", "Exifバージョン", &TCaption::ExifVersion},
    {"exif_datetime", "ファイル変更日時", &TCaption::ExifDateTime},
    {"exif_image_width", "画像の幅", &TCaption::ExifImageWidth},
    {"exif_image_length", "画像の高さ", &TCaption::ExifImageLength},
    {"exif_user_comment", "ユーザコメント", &TCaption::ExifUserComment},
}};

struct TCaptionTable {
  std::array<std::string, kSources.size()> Defaults;
  std::vector<TCaptionKey> Keys;

  explicit TCaptionTable(TCodePage codePage) {
    Keys.reserve(kSources.size());
    for (std::size_t i = 0; i < kSources.size(); ++i) {
      Defaults[i] = codePage == CodePageUtf8 ? std::string(kSources[i].Default) : Utf8ToCp932(kSources[i].Default);
      Keys.push_back({kSources[i].Key, Defaults[i], kSources[i].Field});
    }
  }
};

// The default captions in each code page, made once and never changed.
const TCaptionTable& Table() {
  static const TCaptionTable shiftJis(CodePageShiftJis);
  static const TCaptionTable utf8(CodePageUtf8);
  return ActiveCodePage() == CodePageUtf8 ? utf8 : shiftJis;
}

}  // namespace

std::span<const TCaptionKey> CaptionKeys() { return Table().Keys; }

void LoadCaptions(const std::string& nativePath, TCaption& captions) {
  TProfileFile profile(nativePath);
  profile.Load();
  for (const TCaptionKey& key : CaptionKeys()) {
    captions.*key.Field = profile.ReadString("Caption", key.Key, key.Default);
  }
}

}  // namespace orv
