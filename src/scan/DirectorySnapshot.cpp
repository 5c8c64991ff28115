// Reading one directory into a snapshot: one readdir pass, one statx per item relative
// to the open directory, and the CP932 form of every name, all on the reading thread.
#include "scan/DirectorySnapshot.h"

#include "platform/CodePage.h"

#include <cstring>

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

void TDirectorySnapshot::Read(TDirectoryReader& reader, TSnapshotScope scope, const std::atomic<bool>& stop,
                              TScratch& scratch, TSnapshotStore& store) {
  Clear();
  scratch.m_items.clear();
  scratch.m_names.clear();
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
        Add(scratch, name, status, true);
      } else if (status.IsDirectory && !status.IsSymbolicLink) {
        Add(scratch, name, status, true);
      }
      continue;
    }
    if (reader.Stat(name, status)) {
      // A linked directory is never entered: that keeps link cycles out of the walk.
      Add(scratch, name, status, status.IsDirectory && !status.IsSymbolicLink);
    } else {
      DescribeKind(name, kind, status);
      // The directory said "directory" but it is gone: it is still walked (and its
      // open then fails), as a walk that met it a moment earlier would have.
      Add(scratch, name, status, kind == TEntryKind::Directory);
    }
  }
  m_error = reader.Error();

  m_count = scratch.m_items.size();
  m_namesSize = scratch.m_names.size();
  for (const TItem& item : scratch.m_items) {
    if (item.Flags & kWalkable) ++m_subdirectories;
  }
  const std::size_t itemBytes = m_count * sizeof(TItem);
  if (itemBytes + m_namesSize == 0) return;
  const TSnapshotStore::TSpace space = store.Allocate(itemBytes + m_namesSize);
  if (itemBytes > 0) std::memcpy(space.Data, scratch.m_items.data(), itemBytes);
  if (m_namesSize > 0) std::memcpy(space.Data + itemBytes, scratch.m_names.data(), m_namesSize);
  m_items = reinterpret_cast<const TItem*>(space.Data);
  m_names = space.Data + itemBytes;
  m_store = &store;
  m_block = space.Block;
}

void TDirectorySnapshot::Clear() {
  if (m_store) m_store->Release(m_block);
  m_store = nullptr;
  m_items = nullptr;
  m_count = 0;
  m_names = nullptr;
  m_namesSize = 0;
  m_subdirectories = 0;
  m_error = 0;
}

void TDirectorySnapshot::Add(TScratch& scratch, const std::string& nativeName, const TFileStatus& status,
                             bool walkable) {
  std::string& names = scratch.m_names;
  TItem item;
  item.Size = status.Size;
  item.Times[0] = status.CreationTime;
  item.Times[1] = status.LastUpdateTime;
  item.Times[2] = status.LastAccessTime;
  item.NameOffset = static_cast<uint32_t>(names.size());
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
  if (walkable) flags |= kWalkable;
  names.append(nativeName);
  const std::string text = Utf8ToAnsi(nativeName);
  if (text != nativeName) {
    item.TextLength = static_cast<uint16_t>(text.size());
    names.append(text);
    if (AnsiToUtf8(text) == nativeName) flags |= kRoundTrips;
  } else {
    // Equal bytes: ASCII, or UTF-8 that happens to read as the same CP932 bytes; only
    // ASCII is sure to come back unchanged.
    bool ascii = true;
    for (const char c : nativeName) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii || AnsiToUtf8(text) == nativeName) flags |= kRoundTrips;
  }
  item.Flags = flags;
  scratch.m_items.push_back(item);
}

std::string_view TDirectorySnapshot::NativeName(std::size_t i) const {
  return std::string_view(m_names + m_items[i].NameOffset, m_items[i].NativeLength);
}

std::string_view TDirectorySnapshot::TextName(std::size_t i) const {
  const TItem& item = m_items[i];
  if (item.TextLength == 0) return NativeName(i);
  return std::string_view(m_names + item.NameOffset + item.NativeLength, item.TextLength);
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
