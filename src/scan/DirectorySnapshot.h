// TDirectorySnapshot: what one read of a directory found, held from the moment a
// worker thread read it until the walk's events have used it. Each item keeps its
// native name, its CP932 name and the facts its statx gave at enumeration, so an
// entry that vanishes afterwards is still reported as it was.
#pragma once

#include "platform/DirectoryReader.h"
#include "scan/SnapshotStore.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// Which items of a directory a read describes.
enum class TSnapshotScope : uint8_t {
  Subdirectories,  // only the directories a walk may enter (a directory walked, not listed)
  EveryItem,       // every item, for the directory's listing
};

class TDirectorySnapshot {
  struct TItem;

public:
  // What one thread reads a directory into before the snapshot keeps a packed copy;
  // kept by the thread from directory to directory.
  class TScratch {
    friend class TDirectorySnapshot;
    std::vector<TItem> m_items;
    std::string m_names;
  };

  TDirectorySnapshot() = default;
  ~TDirectorySnapshot() { Clear(); }
  TDirectorySnapshot(const TDirectorySnapshot&) = delete;
  TDirectorySnapshot& operator=(const TDirectorySnapshot&) = delete;

  // Reads the directory open in reader to its end, statting each item relative to it,
  // and keeps what it found in store, which must outlive the snapshot. Runs on a
  // worker thread (or the walk's own), with that thread's scratch. stop, when it
  // becomes true, ends the read early. Error() is the errno of a read that failed
  // part-way, 0 otherwise.
  void Read(TDirectoryReader& reader, TSnapshotScope scope, const std::atomic<bool>& stop, TScratch& scratch,
            TSnapshotStore& store);
  // Lets every item go (the memory too).
  void Clear();

  std::size_t Count() const { return m_count; }
  std::string_view NativeName(std::size_t i) const;
  std::string_view TextName(std::size_t i) const;
  // True when the CP932 name converts back to the native name exactly.
  bool NameRoundTrips(std::size_t i) const { return (m_items[i].Flags & kRoundTrips) != 0; }
  // The facts of the enumeration: from statx, or only what the directory said of the
  // item (its kind) when it vanished before it could be statted.
  TFileStatus Status(std::size_t i) const;
  // A directory the walk may enter: a real directory, never a link to one.
  bool IsWalkableDirectory(std::size_t i) const { return (m_items[i].Flags & kWalkable) != 0; }
  bool HasSubdirectories() const { return m_subdirectories > 0; }

  int Error() const { return m_error; }
  // The memory the snapshot holds, for the walk's read-ahead budget.
  std::size_t Bytes() const { return m_count * sizeof(TItem) + m_namesSize; }

private:
  enum : uint16_t {
    kCreationValid = 1 << 0,
    kUpdateValid = 1 << 1,
    kAccessValid = 1 << 2,
    kDirectory = 1 << 3,
    kReadOnly = 1 << 4,
    kHidden = 1 << 5,
    kSystem = 1 << 6,
    kArchive = 1 << 7,
    kSymbolicLink = 1 << 8,
    kRegularFile = 1 << 9,
    kWalkable = 1 << 10,
    kRoundTrips = 1 << 11,
  };
  // TFileStatus packed: a large tree holds millions of these for a while.
  struct TItem {
    int64_t Size;
    TDateTime Times[3];
    uint32_t NameOffset;  // into m_names: the native name, then the CP932 name
    uint16_t NativeLength;
    uint16_t TextLength;  // 0: the CP932 name is the native name
    uint16_t Flags;
  };

  static void Add(TScratch& scratch, const std::string& nativeName, const TFileStatus& status, bool walkable);

  const TItem* m_items = nullptr;
  std::size_t m_count = 0;
  const char* m_names = nullptr;
  std::size_t m_namesSize = 0;
  TSnapshotStore* m_store = nullptr;
  uint32_t m_block = 0;
  std::size_t m_subdirectories = 0;
  int m_error = 0;
};

}  // namespace orv
