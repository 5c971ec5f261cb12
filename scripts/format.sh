#!/usr/bin/env bash
# Formats every C++ source of the project with the project's clang-format settings, with
# clang-format 14 (the version the sources are formatted with; another one formats differently).
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format-14 >/dev/null; then
    echo "format: clang-format-14 is missing (bash scripts/deps.sh installs it)" >&2
    exit 1
fi
git ls-files -co --exclude-standard -- '*.cpp' '*.h' | xargs -r clang-format-14 -i
