#include "tree/BulkMemory.h"

#include <new>

#include <sys/mman.h>

namespace {

// Given back in steps this large: few calls to the system, and none for a small file.
constexpr std::size_t kGiveBackStep = std::size_t{2} << 20;

std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

} // namespace

void* TakeBulk(std::size_t bytes) {
    void* block = mmap(nullptr, roundUp(bytes == 0 ? 1 : bytes, 4096), PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        throw std::bad_alloc();
#ifdef MADV_POPULATE_WRITE
    // Every page of a block is used soon: the system makes them all in one go, instead of one
    // page fault for every 4 KB (which costs most on virtual machines). A system too old for it
    // refuses, and the pages come one by one.
    madvise(block, bytes, MADV_POPULATE_WRITE);
#endif
    return block;
}

void GiveBackBulk(void* block, std::size_t bytes) noexcept {
    if (block)
        munmap(block, roundUp(bytes == 0 ? 1 : bytes, 4096));
}

void GiveBackBulkPrefix(void* block, std::size_t used) noexcept {
    const std::size_t whole = used / kGiveBackStep * kGiveBackStep;
    if (block && whole > 0)
        madvise(block, whole, MADV_DONTNEED);
}
