// Large blocks of memory taken straight from the system for the stores of a read (and for the
// bytes of a file read as a copy), so that each can be given back whole or in part the moment
// it is no longer needed, whatever the heap holds around it. Blocks are private to the process,
// read and write, their pages made at once, and come in ordinary pages: transparent huge pages
// were tried and made reading a large report slower, because the system compacts memory to find
// them.
#pragma once

#include <cstddef>

// A block of at least bytes (not zeroed as far as the caller knows); throws std::bad_alloc.
void* TakeBulk(std::size_t bytes);
// Gives back a block of TakeBulk with the size it was asked for.
void GiveBackBulk(void* block, std::size_t bytes) noexcept;
// Gives the system the whole pages of the block's first used bytes (in steps of 2 MB), which
// nothing will read again: they stop counting in the process's memory (and read as zeros, or
// as the file's bytes again for a mapped file, afterwards).
void GiveBackBulkPrefix(void* block, std::size_t used) noexcept;
