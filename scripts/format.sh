#!/usr/bin/env bash
# Formats every C++ source of the project with the project's clang-format settings.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard -- '*.cpp' '*.h' | xargs -r clang-format -i
