#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over the sources of src/ (or the files given),
# using build/compile_commands.json (configure ./build first).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -eq 0 ]; then
    mapfile -t files < <(git ls-files -- 'src/*.cpp')
else
    files=("$@")
fi
clang-tidy -p build --quiet "${files[@]}"
