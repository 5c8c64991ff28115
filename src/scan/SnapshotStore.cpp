// Snapshot blocks: bump allocation, a count of live snapshots per block, and the
// block unmapped when its count reaches zero.
#include "scan/SnapshotStore.h"

#include "platform/LargeBlock.h"

#include <algorithm>
#include <cstddef>

namespace orv {

namespace {

// Big enough that a block holds hundreds of typical directories, small enough that a
// block soon runs empty once the walk has used its directories.
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// A directory bigger than this gets a block of its own.
constexpr std::size_t kLargestShared = kBlockBytes / 4;
constexpr std::size_t kAlignment = alignof(std::max_align_t);

}  // namespace

TSnapshotStore::~TSnapshotStore() {
  for (TBlock& block : m_blocks) {
    FreeLargeBlock(block.Data, block.Size);
  }
}

TSnapshotStore::TSpace TSnapshotStore::Allocate(std::size_t bytes) {
  const std::size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
  std::lock_guard<std::mutex> lock(m_mutex);
  if (rounded > kLargestShared) {
    TBlock own{static_cast<char*>(AllocateLargeBlock(rounded)), rounded, rounded, 1};
    m_blocks.push_back(own);
    return {own.Data, static_cast<uint32_t>(m_blocks.size() - 1)};
  }
  if (!m_hasCurrent || m_blocks[m_current].Used + rounded > m_blocks[m_current].Size) {
    if (m_hasCurrent) {
      const uint32_t full = m_current;
      m_hasCurrent = false;
      FreeIfUnused(full);
    }
    m_blocks.push_back({static_cast<char*>(AllocateLargeBlock(kBlockBytes)), kBlockBytes, 0, 0});
    m_current = static_cast<uint32_t>(m_blocks.size() - 1);
    m_hasCurrent = true;
  }
  TBlock& block = m_blocks[m_current];
  char* data = block.Data + block.Used;
  block.Used += rounded;
  ++block.Live;
  return {data, m_current};
}

void TSnapshotStore::Release(uint32_t block) {
  std::lock_guard<std::mutex> lock(m_mutex);
  --m_blocks[block].Live;
  FreeIfUnused(block);
}

void TSnapshotStore::FreeIfUnused(uint32_t block) {
  TBlock& entry = m_blocks[block];
  // The block still being filled stays, even while nothing in it is live.
  if (entry.Live != 0 || (m_hasCurrent && block == m_current) || entry.Data == nullptr) return;
  FreeLargeBlock(entry.Data, entry.Size);
  entry.Data = nullptr;
}

}  // namespace orv
