// Large blocks as anonymous mappings, with transparent huge pages asked for.
#include "platform/LargeBlock.h"

#include <new>

#include <sys/mman.h>

namespace orv {

void* AllocateLargeBlock(std::size_t bytes) {
  void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) {
    throw std::bad_alloc();
  }
  // Only a hint: where huge pages are off, or the block is too small for one, the
  // block simply stays in ordinary pages.
  madvise(block, bytes, MADV_HUGEPAGE);
  return block;
}

void FreeLargeBlock(void* block, std::size_t bytes) {
  if (block) munmap(block, bytes);
}

}  // namespace orv
