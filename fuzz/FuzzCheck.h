// What a fuzz target does when a property it checks does not hold: says which and aborts, so
// that libFuzzer keeps the input and the replay test fails.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void FuzzCheck(bool holds, const char* what) {
    if (holds)
        return;
    std::fprintf(stderr, "Fuzz check failed: %s\n", what);
    std::abort();
}
