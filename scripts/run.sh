#!/usr/bin/env bash
# Installs what is missing, builds, and starts Quarrylog from build/bin (so that it finds ../docs).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build/bin
exec ./quarrylog
