#!/usr/bin/env bash
# Installs what is missing, builds everything into build/ (the ci preset: the development build
# with the tests) and runs every test with ctest, widgets on the offscreen platform. Arguments
# go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh ci
ctest --preset ci -j "$(nproc)" "$@"
