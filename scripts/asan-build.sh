#!/usr/bin/env bash
# Configures ./build-asan with the asan preset (clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, the tests and the fuzz targets, no benchmarks) and builds the
# targets named, or everything. The folder is configured on every run, so a change of the
# preset's flags reaches a folder made before it.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset asan "${launcher[@]}" > /dev/null
targets=()
for t in "$@"; do
    targets+=(--target "$t")
done
cmake --build --preset asan -j "$(nproc)" "${targets[@]}"
