#!/usr/bin/env bash
# Configures and builds Quarrylog into ./build (program at build/bin/quarrylog).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# ccache, when the machine has it, keeps rebuilds short; paths below this folder are taken
# relative to it, so that other checkouts of the project share the cache.
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR="$PWD"
    # Objects are shared even though their debug information names the folder they were built in.
    export CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
cmake --build build -j "$(nproc)"
