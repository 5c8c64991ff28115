// TSnapshotStore: the memory of the directory snapshots one walk holds. Snapshots are
// packed one after another into shared blocks, and a block goes back to the system as
// soon as the last snapshot in it is let go. The walk lets snapshots go in about the
// order they were read, so what it has used up does not stay resident while the
// entry records grow.
//
// Thread-safe: worker threads allocate while the walk's thread releases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace orv {

class TSnapshotStore {
public:
  struct TSpace {
    char* Data = nullptr;
    uint32_t Block = 0;
  };

  TSnapshotStore() = default;
  ~TSnapshotStore();
  TSnapshotStore(const TSnapshotStore&) = delete;
  TSnapshotStore& operator=(const TSnapshotStore&) = delete;

  // bytes bytes (bytes > 0), aligned for any snapshot item; valid until Release of
  // the block it names.
  TSpace Allocate(std::size_t bytes);
  // One allocation from block is no longer used.
  void Release(uint32_t block);

private:
  struct TBlock {
    char* Data = nullptr;
    std::size_t Size = 0;
    std::size_t Used = 0;
    std::size_t Live = 0;  // allocations not yet released
  };

  void FreeIfUnused(uint32_t block);

  std::mutex m_mutex;
  // By block number; a block given back keeps its slot, with no data.
  std::vector<TBlock> m_blocks;
  uint32_t m_current = 0;
  bool m_hasCurrent = false;
};

}  // namespace orv
