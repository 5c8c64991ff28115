// TCaption: the column and total captions of the CSV and HTML listings, Japanese by
// default and replaceable key by key through "caption.ini" beside the program.
#pragma once

#include <span>
#include <string>

namespace orv {

struct TCaption {
  std::string TotalFileSize, TotalFileCount, TotalDirCount;
  std::string Path, FileName;
  std::string FileSize, Extension, CreationTime, LastUpdateTime, LastAccessTime, Attribute;
  std::string FileVersion, FileDescription, LegalCopyright, Comments, CompanyName, LegalTrademarks,
      OriginalFileName, ProductVersion, ProductName, InternalName;
  std::string CRC32, MD5, SHA1;
  std::string PdfFileVersion, PdfPageCount;
  std::string ExifArtist, ExifCopyright, ExifMake, ExifModel, ExifVersion, ExifDateTime, ExifImageWidth,
      ExifImageLength, ExifUserComment;
};

// One caption: its key in section "Caption" of caption.ini, its default (CP932) and
// the field it fills.
struct TCaptionKey {
  const char* Key;
  const std::string& Default;
  std::string TCaption::*Field;
};

// The 35 captions in table order (the totals, path, name, then the optional columns).
std::span<const TCaptionKey> CaptionKeys();

// Replaces every field of captions: the value of its key in the caption file at
// nativePath, or its default where the key (or the file) is missing. An empty value
// gives an empty caption. Never fails.
void LoadCaptions(const std::string& nativePath, TCaption& captions);

}  // namespace orv
