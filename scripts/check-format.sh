#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what clang-format makes of it (scripts/format.sh
# formats them).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror
echo "Formatting: every tracked C++ source is formatted."
