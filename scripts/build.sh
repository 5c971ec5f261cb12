#!/usr/bin/env bash
# Installs what is missing, configures a build folder with a preset of CMakePresets.json and
# builds everything there:
#   bash scripts/build.sh [PRESET] [CMAKE OPTIONS...]
# PRESET is dev unless given (build/, program at build/bin/quarrylog; warnings are errors);
# release builds build-release/ as a packager would.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=dev
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    preset=$1
    shift
fi
bash scripts/deps.sh
# ccache, when the machine has it, keeps rebuilds short; the build presets let it take paths
# below this folder relative to it, so that other checkouts of the project share the cache.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake --preset "$preset" "${launcher[@]}" "$@"
cmake --build --preset "$preset" -j "$(nproc)"
