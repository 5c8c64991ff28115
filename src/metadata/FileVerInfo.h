// TFileVerInfo: the string values of a file's version resource ("FileVersion",
// "CompanyName", ...), looked up the way the Windows version API looks them up, and
// the entry builder's step that copies them into an entry record.
#pragma once

#include "core/DataItem.h"
#include "core/RunOptions.h"
#include "metadata/PeResources.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The version block is read as Windows lays it out: nested nodes of length, value
// length, type, a UTF-16 key and a value, each node and value aligned to 32 bits.
// Where a file holds its version resource in several languages, the one the loader
// would pick for the user's language is read (ChooseResourceLanguage).
//
// Texts are CP932; a character CP932 cannot hold reads as "?". No member throws: a
// missing, unreadable, special or damaged file simply has no version information.
class TFileVerInfo {
public:
  // userLanguageId: the user's default language (TRegionalSettings::DefaultLanguageId),
  // which chooses the resource language and the translation block.
  explicit TFileVerInfo(uint16_t userLanguageId = 0x0409);

  uint16_t UserLanguageId() const { return m_userLanguageId; }
  void SetUserLanguageId(uint16_t languageId);

  // The native path of the file last assigned. Setting it loads that file's version
  // resource at once, replacing the previous one (also when the path is the same).
  const std::string& FileName() const { return m_fileName; }
  void SetFileName(const std::string& nativePath);
  // Loads the version resource of a PE image held in memory, as SetFileName loads a
  // file's (FileName becomes empty).
  void LoadImage(std::string_view image);
  // Takes the bytes of a version resource itself, as the resource section holds it.
  void LoadResource(std::string_view resource);

  // True when the last load found a version resource whose outer block is intact.
  bool HasVersionInfo() const { return m_hasVersionInfo; }

  std::string CompanyName() const { return StringValue("CompanyName"); }
  std::string FileDescription() const { return StringValue("FileDescription"); }
  std::string FileVersion() const { return StringValue("FileVersion"); }
  std::string InternalName() const { return StringValue("InternalName"); }
  std::string LegalCopyright() const { return StringValue("LegalCopyright"); }
  std::string LegalTrademarks() const { return StringValue("LegalTrademarks"); }
  std::string OriginalFileName() const { return StringValue("OriginalFileName"); }
  std::string ProductName() const { return StringValue("ProductName"); }
  std::string ProductVersion() const { return StringValue("ProductVersion"); }
  std::string Comments() const { return StringValue("Comments"); }

  // The string block the values are read from: language id and code page as eight
  // upper-case hex digits ("041104B0"), taken from "\VarFileInfo\Translation": the
  // first entry in the user's language, else the first entry. Empty without a table,
  // and then every StringValue is empty: there is no fallback block.
  const std::string& Translation() const { return m_translation; }
  // QueryValue of "\StringFileInfo\<Translation>\<key>".
  std::string StringValue(std::string_view key) const;
  // The value at a sub-block path such as "\StringFileInfo\040904B0\FileVersion", up to
  // its first NUL; keys match without regard to ASCII case, empty path parts are
  // skipped. A text value is converted from UTF-16; a binary one is returned as its
  // bytes. Empty when nothing is loaded or the path finds nothing.
  std::string QueryValue(std::string_view subBlock) const;

private:
  // One node of the version block, as offsets into m_resource.
  struct TNode {
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::size_t Key = 0;
    std::size_t KeyLength = 0;   // in UTF-16 units, without the NUL
    uint16_t DeclaredLength = 0;  // the value length field: units for text, bytes otherwise
    uint16_t Type = 0;           // 0 binary, otherwise text
    std::size_t Value = 0;
    std::size_t ValueBytes = 0;  // the declared length in bytes, cut at End
    std::size_t Children = 0;
  };

  void Clear();
  void LoadFromImage();
  void Accept();
  uint16_t WordAt(std::size_t offset) const;
  // The node at begin, which must lie wholly before limit (its parent's end).
  bool ReadNode(std::size_t begin, std::size_t limit, TNode& node) const;
  bool KeyMatches(const TNode& node, std::u16string_view key) const;
  bool FindChild(const TNode& parent, std::u16string_view key, TNode& child) const;
  bool FindNode(std::u16string_view path, TNode& node) const;
  void ChooseTranslation();

  uint16_t m_userLanguageId;
  std::string m_fileName;
  bool m_hasVersionInfo = false;
  std::string m_resource;
  std::string m_translation;
  TPeResources m_image;
  std::vector<TResourceLanguage> m_languages;
};

// True when at least one of the ten version columns is asked for.
bool WantsVersionStrings(const RunOptions& options);

// Copies the ten values of the loaded resource into an entry's facts.
void CopyVersionStrings(const TFileVerInfo& reader, TDataItemFacts& facts);

// The entry builder's version step for one record: only for a file of non-zero size
// while a version column is on, the reader loads the item's native path, and when it has
// version information all ten values are copied, whichever columns are on. True when
// they were copied; otherwise the item is left as it was (no facts allocated).
bool ReadVersionStrings(TFileVerInfo& reader, const RunOptions& options, TDataItem& item);

}  // namespace orv
