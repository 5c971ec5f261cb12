#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh -DQRL_BUILD_TESTS=ON
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
cd build
ctest --output-on-failure -j "$(nproc)" "$@"
