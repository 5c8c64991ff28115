// Reading one directory into a snapshot: one readdir pass, one statx per item relative
// to the open directory, and the CP932 form of every name, all on the reading thread.
#include "scan/DirectorySnapshot.h"

#include "platform/CodePage.h"

namespace orv {

namespace {

// The facts of an item that vanished between enumeration and status: only what the
// enumeration said (its name and kind), every other fact zero.
void DescribeKind(const std::string& nativeName, TEntryKind kind, TFileStatus& status) {
  status = TFileStatus{};
  status.IsDirectory = kind == TEntryKind::Directory;
  status.IsHidden = !nativeName.empty() && nativeName.front() == '.';
  status.IsSystem = kind == TEntryKind::Other;
  status.IsSymbolicLink = kind == TEntryKind::SymbolicLink;
  status.IsRegularFile = kind == TEntryKind::RegularFile;
}

}  // namespace

void TDirectorySnapshot::Read(TDirectoryReader& reader, TSnapshotScope scope, const std::atomic<bool>& stop) {
  Clear();
  std::string name;
  TEntryKind kind = TEntryKind::Unknown;
  TFileStatus status;
  while (!stop.load(std::memory_order_relaxed) && reader.Next(name, kind)) {
    if (scope == TSnapshotScope::Subdirectories) {
      // Only directories matter here; the typed items that are not cost no status.
      if (kind != TEntryKind::Directory && kind != TEntryKind::Unknown) continue;
      if (!reader.Stat(name, status)) {
        if (kind == TEntryKind::Unknown) continue;
        DescribeKind(name, kind, status);
        Add(name, status, true);
      } else if (status.IsDirectory && !status.IsSymbolicLink) {
        Add(name, status, true);
      }
      continue;
    }
    if (reader.Stat(name, status)) {
      // A linked directory is never entered: that keeps link cycles out of the walk.
      Add(name, status, status.IsDirectory && !status.IsSymbolicLink);
    } else {
      DescribeKind(name, kind, status);
      // The directory said "directory" but it is gone: it is still walked (and its
      // open then fails), as a walk that met it a moment earlier would have.
      Add(name, status, kind == TEntryKind::Directory);
    }
  }
  m_error = reader.Error();
}

void TDirectorySnapshot::Clear() {
  std::vector<TItem>().swap(m_items);
  std::string().swap(m_names);
  m_subdirectories = 0;
  m_error = 0;
}

void TDirectorySnapshot::Add(const std::string& nativeName, const TFileStatus& status, bool walkable) {
  TItem item;
  item.Size = status.Size;
  item.Times[0] = status.CreationTime;
  item.Times[1] = status.LastUpdateTime;
  item.Times[2] = status.LastAccessTime;
  item.NameOffset = static_cast<uint32_t>(m_names.size());
  item.NativeLength = static_cast<uint16_t>(nativeName.size());
  item.TextLength = 0;
  uint16_t flags = 0;
  if (status.CreationTimeValid) flags |= kCreationValid;
  if (status.LastUpdateTimeValid) flags |= kUpdateValid;
  if (status.LastAccessTimeValid) flags |= kAccessValid;
  if (status.IsDirectory) flags |= kDirectory;
  if (status.IsReadOnly) flags |= kReadOnly;
  if (status.IsHidden) flags |= kHidden;
  if (status.IsSystem) flags |= kSystem;
  if (status.IsArchive) flags |= kArchive;
  if (status.IsSymbolicLink) flags |= kSymbolicLink;
  if (status.IsRegularFile) flags |= kRegularFile;
  if (walkable) {
    flags |= kWalkable;
    ++m_subdirectories;
  }
  m_names.append(nativeName);
  const std::string text = Utf8ToAnsi(nativeName);
  if (text != nativeName) {
    item.TextLength = static_cast<uint16_t>(text.size());
    m_names.append(text);
    if (AnsiToUtf8(text) == nativeName) flags |= kRoundTrips;
  } else {
    // Equal bytes: ASCII, or UTF-8 that happens to read as the same CP932 bytes; only
    // ASCII is sure to come back unchanged.
    bool ascii = true;
    for (const char c : nativeName) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || AnsiToUtf8(text) == nativeName) flags |= kRoundTrips;
  }
  item.Flags = flags;
  m_items.push_back(item);
}

std::string_view TDirectorySnapshot::NativeName(std::size_t i) const {
  return std::string_view(m_names).substr(m_items[i].NameOffset, m_items[i].NativeLength);
}

std::string_view TDirectorySnapshot::TextName(std::size_t i) const {
  const TItem& item = m_items[i];
  if (item.TextLength == 0) return NativeName(i);
  return std::string_view(m_names).substr(item.NameOffset + item.NativeLength, item.TextLength);
}

TFileStatus TDirectorySnapshot::Status(std::size_t i) const {
  const TItem& item = m_items[i];
  TFileStatus status;
  status.Size = item.Size;
  status.CreationTime = item.Times[0];
  status.LastUpdateTime = item.Times[1];
  status.LastAccessTime = item.Times[2];
  status.CreationTimeValid = (item.Flags & kCreationValid) != 0;
  status.LastUpdateTimeValid = (item.Flags & kUpdateValid) != 0;
  status.LastAccessTimeValid = (item.Flags & kAccessValid) != 0;
  status.IsDirectory = (item.Flags & kDirectory) != 0;
  status.IsReadOnly = (item.Flags & kReadOnly) != 0;
  status.IsHidden = (item.Flags & kHidden) != 0;
  status.IsSystem = (item.Flags & kSystem) != 0;
  status.IsArchive = (item.Flags & kArchive) != 0;
  status.IsSymbolicLink = (item.Flags & kSymbolicLink) != 0;
  status.IsRegularFile = (item.Flags & kRegularFile) != 0;
  return status;
}

}  // namespace orv
