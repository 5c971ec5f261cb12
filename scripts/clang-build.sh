#!/usr/bin/env bash
# Compiles the program and the qrl tool with clang into ./build-clang (the clang preset: no
# tests, no benchmarks), so that code only GCC accepts is found early.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset clang "${launcher[@]}"
cmake --build --preset clang -j "$(nproc)" --target quarrylog qrl
