// The table of settings keys. Load and save both walk it, so a key's section, order,
// type and clamp are stated once.
#include "core/RunOptions.h"

#include "platform/CodePage.h"

#include <array>

namespace orv {

namespace {

using R = RunOptions;

constexpr TOptionKey Choice(const char* section, const char* key, int R::*field, int choices) {
  return {section, key, field, TClamp::Choice, choices};
}

const std::array kKeys = {
    TOptionKey{"System", "ActivePageIndex", &R::ActivePageIndex, TClamp::PageIndex, 5},
    Choice("Item", "PathMode", &R::PathMode, 2),
    TOptionKey{"Item", "FileSize", &R::FileSize},
    Choice("Item", "FileSizeUnit", &R::FileSizeUnit, 4),
    TOptionKey{"Item", "CreationTime", &R::CreationTime},
    TOptionKey{"Item", "LastUpdateTime", &R::LastUpdateTime},
    TOptionKey{"Item", "LastAccessTime", &R::LastAccessTime},
    TOptionKey{"Item", "Attribute", &R::Attribute},
    TOptionKey{"Item", "HashUpper", &R::HashUpper},
    TOptionKey{"Item", "CRC32", &R::CRC32},
    TOptionKey{"Item", "MD5", &R::MD5},
    TOptionKey{"Item", "SHA1", &R::SHA1},
    TOptionKey{"Item", "ExtensionActivePageIndex", &R::ExtensionActivePageIndex, TClamp::PageIndex, 3},
    TOptionKey{"Item", "FileVersion", &R::FileVersion},
    TOptionKey{"Item", "FileDescription", &R::FileDescription},
    TOptionKey{"Item", "LegalCopyright", &R::LegalCopyright},
    TOptionKey{"Item", "Comments", &R::Comments},
    TOptionKey{"Item", "CompanyName", &R::CompanyName},
    TOptionKey{"Item", "LegalTrademarks", &R::LegalTrademarks},
    TOptionKey{"Item", "OriginalFileName", &R::OriginalFileName},
    TOptionKey{"Item", "ProductVersion", &R::ProductVersion},
    TOptionKey{"Item", "ProductName", &R::ProductName},
    TOptionKey{"Item", "InternalName", &R::InternalName},
    TOptionKey{"Item", "FileExtension", &R::FileExtension},
    TOptionKey{"Item", "PdfFileVersion", &R::PdfFileVersion},
    TOptionKey{"Item", "PdfPageCount", &R::PdfPageCount},
    TOptionKey{"Item", "ExifArtist", &R::ExifArtist},
    TOptionKey{"Item", "ExifCopyright", &R::ExifCopyright},
    TOptionKey{"Item", "ExifMake", &R::ExifMake},
    TOptionKey{"Item", "ExifModel", &R::ExifModel},
    TOptionKey{"Item", "ExifVersion", &R::ExifVersion},
    TOptionKey{"Item", "ExifDateTime", &R::ExifDateTime},
    TOptionKey{"Item", "ExifImageWidth", &R::ExifImageWidth},
    TOptionKey{"Item", "ExifImageLength", &R::ExifImageLength},
    TOptionKey{"Item", "ExifUserComment", &R::ExifUserComment},
    TOptionKey{"Search", "SubFolder", &R::SubFolder},
    TOptionKey{"Search", "EnableTreeLevel", &R::EnableTreeLevel},
    TOptionKey{"Search", "TreeLevel", &R::TreeLevel, TClamp::TreeLevel},
    TOptionKey{"Search", "ExtensionFilter", &R::ExtensionFilter},
    TOptionKey{"Search", "Extensions", &R::Extensions},
    Choice("Search", "FilterMode", &R::FilterMode, 2),
    TOptionKey{"Search", "IgnoreDir", &R::IgnoreDir},
    TOptionKey{"Search", "IgnoreDirs", &R::IgnoreDirs},
    TOptionKey{"Search", "DirectoryOnly", &R::DirectoryOnly},
    TOptionKey{"Search", "IgnoreSystemAttribute", &R::IgnoreSystemAttribute},
    TOptionKey{"Search", "IgnoreHiddenAttribute", &R::IgnoreHiddenAttribute},
    TOptionKey{"Search", "IgnoreEmptyDir", &R::IgnoreEmptyDir},
    TOptionKey{"Search", "RegExp", &R::RegExp},
    TOptionKey{"Search", "RegExpText", &R::RegExpText},
    TOptionKey{"Output", "SlashDelimiter", &R::SlashDelimiter},
    Choice("Output", "FileType", &R::FileType, 3),
    TOptionKey{"Output", "HyperLink", &R::HyperLink},
    Choice("Output", "LinkPathMode", &R::LinkPathMode, 2),
    Choice("Output", "HtmlFormat", &R::HtmlFormat, 2),
    TOptionKey{"Output", "HtmlTitle", &R::HtmlTitle},
    TOptionKey{"Output", "OutputIconFile", &R::OutputIconFile},
    TOptionKey{"Output", "IconDir", &R::IconDir},
    TOptionKey{"Output", "FileOpen", &R::FileOpen},
    TOptionKey{"Output", "SortByLastWriteTime", &R::SortByLastWriteTime},
    TOptionKey{"Output", "EnableAlias", &R::EnableAlias},
    TOptionKey{"Output", "XSLT", &R::XSLT},
    Choice("Output", "TextEncoding", &R::TextEncoding, 2),
    TOptionKey{"Misc", "UseSelectProgram", &R::UseSelectProgram},
    TOptionKey{"Misc", "SelectProgram", &R::SelectProgram},
};

}  // namespace

std::span<const TOptionKey> OptionKeys() { return kKeys; }

int ClampOption(const TOptionKey& key, int32_t stored) {
  switch (key.Clamp) {
    case TClamp::None:
      return stored;
    case TClamp::Choice:
      return stored < -1 ? -1 : stored >= key.Limit ? key.Limit - 1 : stored;
    case TClamp::PageIndex:
      return stored < 0 || stored >= key.Limit ? 0 : stored;
    case TClamp::TreeLevel: {
      const auto level = static_cast<int16_t>(static_cast<uint32_t>(stored) & 0xFFFFu);
      return level < 0 ? 0 : level > 256 ? 256 : level;
    }
  }
  return stored;
}

void ConvertTextOptions(RunOptions& options, int from, int to) {
  const auto page = [](int value) { return value == CodePageUtf8 ? CodePageUtf8 : CodePageShiftJis; };
  for (const TOptionKey& key : OptionKeys()) {
    if (auto field = std::get_if<std::string RunOptions::*>(&key.Field)) {
      options.*(*field) = ConvertCodePage(options.*(*field), page(from), page(to));
    }
  }
}

}  // namespace orv
