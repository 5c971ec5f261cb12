// Marks for AddressSanitizer. The memory of a read's store is given back to the system only
// when the store goes, and chunks of freed stores are kept for later reads, so a node, text or
// list given up inside a store would stay readable. Sanitizer builds mark such memory as
// poisoned, so that any use of it is reported as a use of freed heap memory is; in other builds
// these marks compile to nothing.
#pragma once

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define QRL_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QRL_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef QRL_ADDRESS_SANITIZER
#define QRL_ADDRESS_SANITIZER 0
#endif

#if QRL_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

// Bytes of a store nothing may use any more, until they are handed out again.
inline void PoisonStoreBytes([[maybe_unused]] const void* at, [[maybe_unused]] std::size_t bytes) {
#if QRL_ADDRESS_SANITIZER
    __asan_poison_memory_region(at, bytes);
#endif
}

// Bytes of a store handed out for use.
inline void UnpoisonStoreBytes([[maybe_unused]] const void* at,
                               [[maybe_unused]] std::size_t bytes) {
#if QRL_ADDRESS_SANITIZER
    __asan_unpoison_memory_region(at, bytes);
#endif
}
