#!/usr/bin/env bash
# Compiles the program and the qrl tool with clang into ./build-clang (no tests, no benchmarks),
# so that code only GCC accepts is found early.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD"
    # Objects are shared even though their debug information names the folder they were built in.
    export CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
    -DQRL_BUILD_TESTS=OFF -DQRL_BUILD_BENCH=OFF "${launcher[@]}"
cmake --build build-clang -j "$(nproc)" --target quarrylog qrl
