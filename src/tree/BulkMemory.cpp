#include "tree/BulkMemory.h"

#include <cstdint>
#include <new>

#include <sys/mman.h>

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

} // namespace

void* TakeBulk(std::size_t bytes) {
    const std::size_t size = roundUp(bytes == 0 ? 1 : bytes, 4096);
    if (size < kHugePage) {
        void* block =
            mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (block == MAP_FAILED)
            throw std::bad_alloc();
        return block;
    }
    // Huge pages need a block aligned to their size: a little more is mapped and the ends
    // beyond the aligned block are given back at once.
    const std::size_t mapped = size + kHugePage;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = roundUp(start, kHugePage);
    if (aligned > start)
        munmap(raw, aligned - start);
    const std::uintptr_t end = start + mapped;
    if (end > aligned + size)
        munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    // Without transparent huge pages the block is an ordinary one.
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(aligned);
}

void GiveBackBulk(void* block, std::size_t bytes) noexcept {
    if (block)
        munmap(block, roundUp(bytes == 0 ? 1 : bytes, 4096));
}

void GiveBackBulkPrefix(void* block, std::size_t used) noexcept {
    // Whole huge pages, so that the ones still in use stay whole.
    const std::size_t whole = used / kHugePage * kHugePage;
    if (block && whole > 0)
        madvise(block, whole, MADV_DONTNEED);
}
