// Entry records: the path and what is derived from it, and the optional facts.
#include "core/DataItem.h"

#include "core/RecordArena.h"
#include "platform/AnsiText.h"
#include "platform/CodePage.h"
#include "platform/Path.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace orv {

const TDataItemFacts TDataItem::kNoFacts;

TDataItem::TPathText& TDataItem::TPathText::operator=(TPathText&& other) noexcept {
  if (this != &other) {
    Release();
    Data = std::exchange(other.Data, "");
    PathLength = std::exchange(other.PathLength, 0);
    NativeLength = std::exchange(other.NativeLength, 0);
    DirectoryLength = std::exchange(other.DirectoryLength, 0);
    NameStart = std::exchange(other.NameStart, 0);
    NameLength = std::exchange(other.NameLength, 0);
    Owned = std::exchange(other.Owned, false);
  }
  return *this;
}

void TDataItem::TPathText::Release() {
  if (Owned) delete[] Data;
  Data = "";
  Owned = false;
}

void TDataItem::SetPath(std::string_view path, std::string_view nativePath, bool isDirectory) {
  auto* text = new char[path.size() + nativePath.size()];
  std::memcpy(text, path.data(), path.size());
  if (!nativePath.empty()) std::memcpy(text + path.size(), nativePath.data(), nativePath.size());
  m_path.Release();
  m_path.Data = text;
  m_path.Owned = true;
  m_path.PathLength = static_cast<uint32_t>(path.size());
  m_path.NativeLength = static_cast<uint32_t>(nativePath.size());

  // A directory's path ends in the delimiter; its name is the part before it.
  const std::size_t nameEnd = isDirectory && AnsiEndsWithDelimiter(path, PathDelim) ? path.size() - 1 : path.size();
  const std::size_t delimiter = AnsiLastDelimiter(std::string_view(&PathDelim, 1), path.substr(0, nameEnd));
  const std::size_t nameStart = delimiter == std::string::npos ? 0 : delimiter + 1;
  m_path.NameStart = static_cast<uint32_t>(nameStart);
  m_path.NameLength = static_cast<uint32_t>(nameEnd - nameStart);
  m_path.DirectoryLength = static_cast<uint32_t>(isDirectory ? path.size() : nameStart);
}

void TDataItem::MoveTextInto(TRecordArena& arena) {
  if (!m_path.Owned) return;
  const char* copy = arena.CopyText(std::string_view(m_path.Data, m_path.PathLength + m_path.NativeLength));
  delete[] m_path.Data;
  m_path.Data = copy;
  m_path.Owned = false;
}

std::string TDataItem::NativePath() const {
  return m_path.NativeLength == 0 ? AnsiToUtf8(Path()) : std::string(StoredNativePath());
}

std::string_view TDataItem::Name() const { return std::string_view(m_path.Data + m_path.NameStart, m_path.NameLength); }

std::string_view TDataItem::Extension() const {
  const std::string_view name = Name();
  // "." lies below the CP932 trail bytes, so a byte search finds only real dots.
  const std::size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
}

std::string TDataItem::IconFileName() const {
  if (IsDirectory) {
    return "files.ico";
  }
  const std::string_view extension = Extension();
  if (AnsiSameText(extension, "exe")) {
    return std::string(Name()) + ".ico";
  }
  // Without an extension the name would be ".ico", a hidden file.
  return extension.empty() ? std::string(kNoExtensionIconName) : std::string(extension) + ".ico";
}

namespace {

std::string_view BuildKey(std::string_view text, std::string_view native, std::string& storage) {
  if (AnsiToUtf8(text) == native) {
    return text;
  }
  storage.assign(text);
  storage += '\0';
  storage.append(native);
  return storage;
}

}  // namespace

std::string_view FolderKey(std::string_view path, std::string_view storedNativePath, std::size_t textLength,
                           std::string& storage) {
  const std::string_view text = path.substr(0, textLength);
  if (storedNativePath.empty()) {
    return text;
  }
  // "/" stands for itself in both forms and is never part of a longer character, so
  // the folder's native path is the prefix with as many delimiters.
  const auto delimiters = static_cast<std::size_t>(std::count(text.begin(), text.end(), PathDelim));
  std::size_t end = 0;
  for (std::size_t found = 0; end < storedNativePath.size() && found < delimiters; ++end) {
    if (storedNativePath[end] == PathDelim) ++found;
  }
  return BuildKey(text, storedNativePath.substr(0, end), storage);
}

std::string_view FolderKey(std::string_view text, std::string_view native, std::string& storage) {
  return BuildKey(text, native, storage);
}

TDataItemFacts& TDataItem::MutableFacts() {
  if (!m_facts) {
    m_facts = std::make_unique<TDataItemFacts>();
  }
  return *m_facts;
}

}  // namespace orv
