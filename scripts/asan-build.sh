#!/usr/bin/env bash
# Configures ./build-asan (clang with AddressSanitizer and UndefinedBehaviorSanitizer, the tests
# and the fuzz targets, no benchmarks) and builds the targets named, or everything.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD"
    # Objects are shared even though their debug information names the folder they were built in.
    export CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Undefined behaviour stops the program at once, so that no report goes unnoticed.
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if [ ! -f build-asan/CMakeCache.txt ]; then
    cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
        -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" \
        -DQRL_BUILD_TESTS=ON -DQRL_BUILD_BENCH=OFF -DQRL_BUILD_FUZZ=ON
fi
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
cmake --build build-asan -j "$(nproc)" "${targets[@]}"
