// The version resource reader: picks the version resource of a PE image, walks its
// nested nodes with the Windows lookup rules and converts the values to CP932.
#include "metadata/FileVerInfo.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cstdio>

namespace orv {

namespace {

constexpr std::size_t kNodeHeaderSize = 6;
// A node's length is a 16-bit field, so no version block reaches past this.
constexpr std::size_t kMaxVersionBlock = 0xFFFF;
constexpr uint16_t kBinaryValue = 0;

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~static_cast<std::size_t>(3); }

char16_t FoldAscii(char16_t unit) { return unit >= u'a' && unit <= u'z' ? unit - (u'a' - u'A') : unit; }

}  // namespace

TFileVerInfo::TFileVerInfo(uint16_t userLanguageId) : m_userLanguageId(userLanguageId) {}

void TFileVerInfo::SetUserLanguageId(uint16_t languageId) {
  m_userLanguageId = languageId;
  // The resource language was chosen at load time; the translation entry can follow
  // at once.
  if (m_hasVersionInfo) ChooseTranslation();
}

void TFileVerInfo::Clear() {
  m_hasVersionInfo = false;
  m_resource.clear();
  m_translation.clear();
}

void TFileVerInfo::SetFileName(const std::string& nativePath) {
  Clear();
  m_fileName = nativePath;
  if (!m_image.Open(nativePath)) return;
  LoadFromImage();
  m_image.Close();
}

void TFileVerInfo::LoadImage(std::string_view image) {
  Clear();
  m_fileName.clear();
  if (!m_image.OpenImage(image)) return;
  LoadFromImage();
  m_image.Close();
}

void TFileVerInfo::LoadResource(std::string_view resource) {
  Clear();
  m_fileName.clear();
  m_resource.assign(resource.substr(0, kMaxVersionBlock));
  Accept();
}

void TFileVerInfo::LoadFromImage() {
  // The version resource is the first name under its type, in the language the loader
  // would choose among those it is available in.
  TResourceName name;
  if (!m_image.FirstName(ResourceTypeVersion, name) || !m_image.ListLanguages(name, m_languages)) return;
  const TResourceLanguage& language = m_languages[ChooseResourceLanguage(m_languages, m_userLanguageId)];
  if (!m_image.ReadResource(language, m_resource, kMaxVersionBlock)) return;
  Accept();
}

void TFileVerInfo::Accept() {
  TNode root;
  if (!ReadNode(0, m_resource.size(), root)) {
    m_resource.clear();
    return;
  }
  m_hasVersionInfo = true;
  ChooseTranslation();
}

uint16_t TFileVerInfo::WordAt(std::size_t offset) const {
  return static_cast<uint16_t>(static_cast<unsigned char>(m_resource[offset]) |
                               static_cast<unsigned char>(m_resource[offset + 1]) << 8);
}

bool TFileVerInfo::ReadNode(std::size_t begin, std::size_t limit, TNode& node) const {
  if (begin > limit || limit - begin < kNodeHeaderSize) return false;
  const std::size_t length = WordAt(begin);
  // A node shorter than its own header, or one reaching past its parent, is damage:
  // nothing inside it, nor any sibling after it, can be trusted.
  if (length < kNodeHeaderSize || length > limit - begin) return false;
  node.Begin = begin;
  node.End = begin + length;
  node.DeclaredLength = WordAt(begin + 2);
  node.Type = WordAt(begin + 4);
  node.Key = begin + kNodeHeaderSize;
  std::size_t keyEnd = node.Key;
  while (keyEnd + 2 <= node.End && WordAt(keyEnd) != 0) keyEnd += 2;
  if (keyEnd + 2 > node.End) return false;
  node.KeyLength = (keyEnd - node.Key) / 2;

  // Offsets align to 32 bits from the start of the block, which the loader keeps
  // 32-bit aligned.
  const std::size_t value = Align4(keyEnd + 2);
  const std::size_t declaredBytes = node.DeclaredLength * std::size_t{node.Type != kBinaryValue ? 2u : 1u};
  node.Value = std::min(value, node.End);
  node.ValueBytes = std::min(declaredBytes, node.End - node.Value);
  node.Children = std::min(Align4(value + declaredBytes), node.End);
  return true;
}

bool TFileVerInfo::KeyMatches(const TNode& node, std::u16string_view key) const {
  if (node.KeyLength != key.size()) return false;
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (FoldAscii(WordAt(node.Key + 2 * i)) != FoldAscii(key[i])) return false;
  }
  return true;
}

bool TFileVerInfo::FindChild(const TNode& parent, std::u16string_view key, TNode& child) const {
  // Each step moves on by at least the 6-byte header, inside a parent of at most 64 KB.
  for (std::size_t next = parent.Children; next < parent.End; next = Align4(child.End)) {
    if (!ReadNode(next, parent.End, child)) return false;
    if (KeyMatches(child, key)) return true;
  }
  return false;
}

bool TFileVerInfo::FindNode(std::u16string_view path, TNode& node) const {
  if (!m_hasVersionInfo || !ReadNode(0, m_resource.size(), node)) return false;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t stop = path.find(u'\\', start);
    if (stop == std::u16string_view::npos) stop = path.size();
    // Like the Windows lookup, an empty part ("\\") names no node and is passed over.
    if (stop > start) {
      TNode child;
      if (!FindChild(node, path.substr(start, stop - start), child)) return false;
      node = child;
    }
    start = stop + 1;
  }
  return true;
}

void TFileVerInfo::ChooseTranslation() {
  m_translation.clear();
  TNode node;
  if (!FindNode(u"\\VarFileInfo\\Translation", node)) return;
  // The caller of the Windows lookup divides the value length it reports by 4; only
  // whole entries inside the node are taken.
  const std::size_t count = std::min<std::size_t>(node.DeclaredLength, node.End - node.Value) / 4;
  if (count == 0) return;
  std::size_t chosen = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (WordAt(node.Value + 4 * i) == m_userLanguageId) {
      chosen = i;
      break;
    }
  }
  char text[9];
  std::snprintf(text, sizeof text, "%04X%04X", WordAt(node.Value + 4 * chosen), WordAt(node.Value + 4 * chosen + 2));
  m_translation = text;
}

std::string TFileVerInfo::StringValue(std::string_view key) const {
  std::string path = "\\StringFileInfo\\";
  path += m_translation;
  path += '\\';
  path += key;
  return QueryValue(path);
}

std::string TFileVerInfo::QueryValue(std::string_view subBlock) const {
  if (!m_hasVersionInfo) return {};
  std::u16string path;
  if (std::all_of(subBlock.begin(), subBlock.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    path.assign(subBlock.begin(), subBlock.end());
  } else {
    path = AnsiToUtf16(subBlock);
  }
  TNode node;
  if (!FindNode(path, node)) return {};

  if (node.Type != kBinaryValue) {
    std::u16string text;
    for (std::size_t at = node.Value; at + 2 <= node.Value + node.ValueBytes; at += 2) {
      const char16_t unit = WordAt(at);
      if (unit == 0) break;
      text.push_back(unit);
    }
    return Utf16ToAnsi(text);
  }
  // A binary value is handed back as its bytes, as the ANSI lookup does.
  const std::string_view bytes(m_resource.data() + node.Value, node.ValueBytes);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

bool WantsVersionStrings(const RunOptions& options) {
  return options.FileVersion || options.FileDescription || options.LegalCopyright || options.Comments ||
         options.CompanyName || options.LegalTrademarks || options.OriginalFileName || options.ProductVersion ||
         options.ProductName || options.InternalName;
}

void CopyVersionStrings(const TFileVerInfo& reader, TDataItemFacts& facts) {
  facts.CompanyName = reader.CompanyName();
  facts.FileDescription = reader.FileDescription();
  facts.FileVersion = reader.FileVersion();
  facts.InternalName = reader.InternalName();
  facts.LegalCopyright = reader.LegalCopyright();
  facts.LegalTrademarks = reader.LegalTrademarks();
  facts.OriginalFileName = reader.OriginalFileName();
  facts.ProductName = reader.ProductName();
  facts.ProductVersion = reader.ProductVersion();
  facts.Comments = reader.Comments();
}

bool ReadVersionStrings(TFileVerInfo& reader, const RunOptions& options, TDataItem& item) {
  if (item.IsDirectory || item.Size <= 0 || !WantsVersionStrings(options)) return false;
  reader.SetFileName(item.NativePath());
  if (!reader.HasVersionInfo()) return false;
  CopyVersionStrings(reader, item.MutableFacts());
  return true;
}

}  // namespace orv
