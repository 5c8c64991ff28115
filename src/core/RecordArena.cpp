// Bump allocation over large blocks that grow with the list.
#include "core/RecordArena.h"

#include "platform/LargeBlock.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace orv {

namespace {

// Small lists (a test, a folder of a few files) stay small; a large one soon takes
// blocks big enough for huge pages.
constexpr std::size_t kFirstBlockBytes = std::size_t{64} << 10;
constexpr std::size_t kLargestBlockBytes = std::size_t{4} << 20;

}  // namespace

TRecordArena::~TRecordArena() { Clear(); }

void* TRecordArena::Allocate(std::size_t bytes, std::size_t alignment) {
  auto at = reinterpret_cast<std::uintptr_t>(m_next);
  at = (at + alignment - 1) & ~(std::uintptr_t{alignment} - 1);
  if (m_next == nullptr || at + bytes > reinterpret_cast<std::uintptr_t>(m_end)) {
    const std::size_t last = m_blocks.empty() ? 0 : m_blocks.back().Size;
    const std::size_t size = std::max(std::min(std::max(kFirstBlockBytes, last * 2), kLargestBlockBytes), bytes);
    auto* data = static_cast<char*>(AllocateLargeBlock(size));
    m_blocks.push_back({data, size});
    m_next = data;
    m_end = data + size;
    at = reinterpret_cast<std::uintptr_t>(data);
  }
  m_next = reinterpret_cast<char*>(at + bytes);
  return reinterpret_cast<void*>(at);
}

const char* TRecordArena::CopyText(std::string_view text) {
  if (text.empty()) return "";
  auto* copy = static_cast<char*>(Allocate(text.size(), 1));
  std::memcpy(copy, text.data(), text.size());
  return copy;
}

void TRecordArena::Clear() {
  for (const TBlock& block : m_blocks) {
    FreeLargeBlock(block.Data, block.Size);
  }
  m_blocks.clear();
  m_next = nullptr;
  m_end = nullptr;
}

}  // namespace orv
