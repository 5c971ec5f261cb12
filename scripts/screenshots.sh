#!/usr/bin/env bash
# Makes the pictures of the README and the AppStream metainfo from the real program:
#   bash scripts/screenshots.sh [BUILD_FOLDER]      (default: build, the dev preset's)
# docs/screenshot-list.png (the found URL list of a report of 300 pages), docs/screenshot-search.png
# (the "Auto search" page after a run against a searx on loopback) and docs/screenshot-filter.png
# (the filter dialog with three circles and hatched regions). The test program
# test_app_screenshots (tests/app/ScreenshotsTest.cpp) is built and run on Xvfb with openbox
# (scripts/under-x.sh) in the C locale; optipng makes the files smaller when the machine has it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [ ! -f "$build/CMakeCache.txt" ]; then
    [ "$build" = build ] || { echo "screenshots: $build is not configured" >&2; exit 1; }
    bash scripts/deps.sh
    launcher=()
    if command -v ccache >/dev/null; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake --preset dev "${launcher[@]}" -DQRL_BUILD_TESTS=ON
fi
cmake --build "$build" --target test_app_screenshots -j "$(nproc)"

names=(screenshot-list.png screenshot-search.png screenshot-filter.png)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
LANG=C LC_ALL=C QTWEBENGINE_DISABLE_SANDBOX=1 QRL_SCREENSHOTS="$out" \
    bash scripts/under-x.sh "$build/bin/test_app_screenshots" --gtest_brief=1
for name in "${names[@]}"; do
    [ -f "$out/$name" ] || { echo "screenshots: $name was not made" >&2; exit 1; }
    if command -v optipng >/dev/null; then
        optipng -quiet -o5 "$out/$name"
    fi
    size=$(stat -c %s "$out/$name")
    [ "$size" -le 307200 ] || { echo "screenshots: $name has $size bytes (300 KB at most)" >&2; exit 1; }
    cp "$out/$name" "docs/$name"
    echo "docs/$name: $(file -b "docs/$name" | cut -d, -f2 | xargs), $((size / 1024)) KB"
done
