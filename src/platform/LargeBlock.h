// Memory for bulk storage that lives as long as a run: zero-filled, page-aligned
// blocks obtained from the system directly, which it may back with huge pages where
// it offers them. Filling a million records then takes a few hundred page faults
// instead of tens of thousands.
#pragma once

#include <cstddef>

namespace orv {

// A block of at least bytes bytes. Throws std::bad_alloc when there is no memory.
void* AllocateLargeBlock(std::size_t bytes);
// Gives back a block from AllocateLargeBlock, with the size it was asked for.
void FreeLargeBlock(void* block, std::size_t bytes);

}  // namespace orv
