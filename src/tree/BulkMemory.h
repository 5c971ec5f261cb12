// Large blocks of memory taken straight from the system for the bytes of a file being read and
// the stores of a read. A fresh page costs a fault when first touched, one every 4 KB; blocks
// of 2 MB and more are therefore asked to come in pages of 2 MB where the system allows it
// (transparent huge pages), which makes filling them a few hundred times fewer faults. Blocks
// are private to the process and read and write.
#pragma once

#include <cstddef>

// A block of at least bytes (not zeroed as far as the caller knows); throws std::bad_alloc.
void* TakeBulk(std::size_t bytes);
// Gives back a block of TakeBulk with the size it was asked for.
void GiveBackBulk(void* block, std::size_t bytes) noexcept;
// Gives the system the whole pages of the block's first used bytes, which nothing will read
// again: they stop counting in the process's memory (and read as zeros afterwards).
void GiveBackBulkPrefix(void* block, std::size_t used) noexcept;
