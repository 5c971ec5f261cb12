#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format 14 makes of it; changes no file
# (scripts/format.sh formats them).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format-14 >/dev/null; then
    echo "check-format: clang-format-14 is missing (bash scripts/deps.sh installs it)" >&2
    exit 1
fi
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format-14 --dry-run -Werror
echo "Formatting: every tracked C++ source is formatted."
