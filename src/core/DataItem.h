// TDataItem: one listed file or directory. The facts every entry has are held
// directly; the optional ones (digests, version strings, PDF and Exif facts, alias)
// live in a part allocated only when one of them is set, so a plain listing of
// millions of entries stays small.
#pragma once

#include "core/FactText.h"
#include "platform/DateTime.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace orv {

// The icon file of files without an extension.
inline constexpr const char* kNoExtensionIconName = "noext.ico";

struct TDataItemFacts {
  TFactText Alias;
  TFactText MD5, CRC32, SHA1;
  TFactText CompanyName, FileDescription, FileVersion, InternalName, LegalCopyright, LegalTrademarks,
      OriginalFileName, ProductName, ProductVersion, Comments;
  TFactText PdfFileVersion;
  int32_t PdfPageCount = 0;
  TFactText ExifArtist, ExifCopyright, ExifMake, ExifModel, ExifVersion, ExifDateTime;
  int32_t ExifImageWidth = 0;
  int32_t ExifImageLength = 0;
  TFactText ExifUserComment;
};

class TRecordArena;

class TDataItem {
public:
  TDataItem() = default;
  // A record moves (into its list) but is never copied: lists hand out references.
  TDataItem(TDataItem&& other) noexcept = default;
  TDataItem& operator=(TDataItem&& other) noexcept = default;
  TDataItem(const TDataItem&) = delete;
  TDataItem& operator=(const TDataItem&) = delete;

  // Full path (CP932); a directory's path ends in "/". Setting it takes the name that
  // follows the directory part and the extension from it. nativePath is kept only when
  // it is not empty: pass it when the text does not convert back to it (a name CP932
  // cannot hold), and "" when it does.
  void SetPath(std::string_view path, std::string_view nativePath, bool isDirectory);
  std::string_view Path() const { return std::string_view(m_path.Data, m_path.PathLength); }
  // The native path every reader opens (the file-system bytes of Path).
  std::string NativePath() const;
  // True when the native path is kept because Path does not convert back to it.
  bool HasStoredNativePath() const { return m_path.NativeLength != 0; }
  // That native path; empty when it follows from Path.
  std::string_view StoredNativePath() const { return std::string_view(m_path.Data + m_path.PathLength, m_path.NativeLength); }
  // Moves the path texts into arena, which must outlive the record (its list's).
  void MoveTextInto(TRecordArena& arena);
  // The entry's name as the walker reported it.
  std::string_view Name() const;
  // The text after the last "." of Name, "" without one (directories too).
  std::string_view Extension() const;
  // Path up to and including its last delimiter (a directory's own path for a
  // directory, whose path ends in one).
  std::string_view DirectoryPart() const { return std::string_view(m_path.Data, m_path.DirectoryLength); }
  // "files.ico" for a directory, NAME.ico for an .exe in any case, EXT.ico otherwise,
  // kNoExtensionIconName without an extension.
  std::string IconFileName() const;

  int64_t Size = 0;
  TDateTime CreationTime = 0;
  TDateTime LastUpdateTime = 0;
  TDateTime LastAccessTime = 0;
  int32_t FileCount = 0;
  bool CreationTimeValid = false;
  bool LastUpdateTimeValid = false;
  bool LastAccessTimeValid = false;
  bool IsDirectory = false;
  bool IsReadOnly = false;
  bool IsHidden = false;
  bool IsSystem = false;
  bool IsArchive = false;
  // Set by a writer once the record is written: written records are marked, never
  // erased from the middle of the list.
  bool Written = false;

  // The optional facts; an item without any shares one empty set.
  const TDataItemFacts& Facts() const { return m_facts ? *m_facts : kNoFacts; }
  TDataItemFacts& MutableFacts();

private:
  static const TDataItemFacts kNoFacts;

  // The path, followed by the native path where that is kept: only when the path's
  // text does not convert back to it (a name CP932 cannot hold); otherwise the native
  // path is derived from the text on demand. Owned (new[]) until the record's list
  // moves it into its arena; a moved-from text is empty.
  struct TPathText {
    const char* Data = "";
    uint32_t PathLength = 0;
    uint32_t NativeLength = 0;
    uint32_t DirectoryLength = 0;
    uint32_t NameStart = 0;
    uint32_t NameLength = 0;
    bool Owned = false;

    TPathText() = default;
    TPathText(TPathText&& other) noexcept { *this = std::move(other); }
    TPathText& operator=(TPathText&& other) noexcept;
    ~TPathText() { Release(); }
    void Release();
  };

  std::unique_ptr<TDataItemFacts> m_facts;
  TPathText m_path;
};

// Folder identity. Two folders are the same exactly when their native paths are, also
// when their names show alike ("?" for characters the code page cannot hold). The key
// of a folder is its text; where its native path does not follow from the text, the
// text, a NUL and the native path. So nearly every key is a view of the text itself
// and costs nothing; the others are built in storage, which must outlive the view.
//
// The folder named by the first textLength bytes of path (ending in the delimiter), of
// an entry whose stored native path (empty when it follows from the text) is given.
std::string_view FolderKey(std::string_view path, std::string_view storedNativePath, std::size_t textLength,
                           std::string& storage);
inline std::string_view FolderKey(const TDataItem& item, std::size_t textLength, std::string& storage) {
  return FolderKey(item.Path(), item.StoredNativePath(), textLength, storage);
}
// The key of a folder given by both of its forms (the run's target).
std::string_view FolderKey(std::string_view text, std::string_view native, std::string& storage);

}  // namespace orv
