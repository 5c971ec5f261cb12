#include "tree/FileMapping.h"

#include <atomic>
#include <cstdint>
#include <mutex>

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The mapped files the signal handler knows: their start, length and whether a page was cut.
// Written under the lock, read by the handler without it (atomics only).
struct Slot {
    std::atomic<char*> start{nullptr};
    std::atomic<std::size_t> length{0};
    std::atomic<bool> cut{false};
};
constexpr int kSlots = 64;
Slot slots[kSlots];
std::mutex slotsLock;
struct sigaction previousHandler;

std::size_t pageSize() {
    static const auto size = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    return size;
}

std::size_t roundUp(std::size_t n, std::size_t to) {
    return (n + to - 1) / to * to;
}

void onBusError(int signal, siginfo_t* info, void* context) {
    char* const at = static_cast<char*>(info->si_addr);
    for (Slot& slot : slots) {
        char* const start = slot.start.load(std::memory_order_acquire);
        if (!start || at < start || at >= start + slot.length.load(std::memory_order_relaxed))
            continue;
        // A page of a mapped file that is gone: zeros take its place, and the reading is
        // refused at its end.
        const auto page = reinterpret_cast<std::uintptr_t>(at) & ~(pageSize() - 1);
        if (::mmap(reinterpret_cast<void*>(page), pageSize(), PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
            slot.cut.store(true, std::memory_order_relaxed);
            return;
        }
    }
    // Not a page of a mapped file: as the signal would have been handled without this handler.
    if (previousHandler.sa_flags & SA_SIGINFO) {
        if (previousHandler.sa_sigaction) {
            previousHandler.sa_sigaction(signal, info, context);
            return;
        }
    } else if (previousHandler.sa_handler == SIG_IGN) {
        return;
    } else if (previousHandler.sa_handler != SIG_DFL) {
        previousHandler.sa_handler(signal);
        return;
    }
    // The default action: the access is made again and ends the program.
    ::sigaction(SIGBUS, &previousHandler, nullptr);
}

bool installHandler() {
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
    return ::sigaction(SIGBUS, &action, &previousHandler) == 0;
}

} // namespace

std::unique_ptr<FileMapping> FileMapping::Map(int fd, std::size_t size, std::size_t room) {
    static const bool handled = installHandler();
    if (!handled || size == 0)
        return nullptr;
    const std::size_t length = roundUp(size + room, pageSize());
    // Room for the file and what follows it, the file then mapped over its start; the pages
    // of the file are mapped at once (they are read from start to end right away).
    void* block =
        ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    auto* start = static_cast<char*>(block);
    // Read-only, so that the pages stay those of the file cache (a writable private mapping
    // would be filled with copies of them); only the page of the file's last bytes, which the
    // room after them continues, may be written (and then becomes a copy of its own).
    const std::size_t lastPage = (size - 1) / pageSize() * pageSize();
    if (::mmap(start, size, PROT_READ, MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, fd, 0) ==
            MAP_FAILED ||
        ::mprotect(start + lastPage, pageSize(), PROT_READ | PROT_WRITE) != 0) {
        ::munmap(start, length);
        return nullptr;
    }
    const std::lock_guard<std::mutex> guard(slotsLock);
    for (int i = 0; i < kSlots; ++i)
        if (!slots[i].start.load(std::memory_order_relaxed)) {
            slots[i].cut.store(false, std::memory_order_relaxed);
            slots[i].length.store(length, std::memory_order_relaxed);
            slots[i].start.store(start, std::memory_order_release);
            return std::unique_ptr<FileMapping>(new FileMapping(start, length, lastPage, i));
        }
    ::munmap(start, length);
    return nullptr;
}

FileMapping::FileMapping(char* start, std::size_t length, std::size_t writableFrom, int slot)
    : start_(start), length_(length), writableFrom_(writableFrom), slot_(slot) {}

FileMapping::~FileMapping() {
    {
        const std::lock_guard<std::mutex> guard(slotsLock);
        slots[slot_].start.store(nullptr, std::memory_order_release);
    }
    ::munmap(start_, length_);
}

bool FileMapping::Cut() const {
    return slots[slot_].cut.load(std::memory_order_relaxed);
}
