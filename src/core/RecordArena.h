// TRecordArena: where a list keeps its records and their path texts. Space is handed
// out from a few large blocks in order and given back all at once when the arena
// goes, so a listing of millions of entries costs no allocation per record, no
// allocator overhead per record, and almost nothing to free.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace orv {

class TRecordArena {
public:
  TRecordArena() = default;
  ~TRecordArena();
  TRecordArena(const TRecordArena&) = delete;
  TRecordArena& operator=(const TRecordArena&) = delete;

  // Uninitialised space for bytes bytes at the given alignment (a power of two no
  // larger than that of std::max_align_t), valid until Clear or the arena's end.
  void* Allocate(std::size_t bytes, std::size_t alignment);
  // A copy of text, valid as long as the space Allocate gives.
  const char* CopyText(std::string_view text);
  // Gives every block back; whatever was allocated must no longer be used.
  void Clear();

private:
  struct TBlock {
    char* Data;
    std::size_t Size;
  };

  std::vector<TBlock> m_blocks;
  char* m_next = nullptr;
  char* m_end = nullptr;
};

}  // namespace orv
