#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into ./build-asan and
# runs every test there; a sanitizer report (also a leak) fails the test that made it. Arguments
# go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/asan-build.sh

# QtWebEngine's own code (Chromium) deletes some of its objects through a pointer to a smaller
# type, which AddressSanitizer reports as new-delete-type-mismatch as soon as a page is closed.
# The tests whose programs link QtWebEngine (the ctest label webengine) therefore run without
# that one check (test preset asan-webengine); every other check stays on for them, and all
# checks stay on for every other test (test preset asan).
status=0
ctest --preset asan -j "$(nproc)" "$@" || status=$?
ctest --preset asan-webengine -j "$(nproc)" "$@" || status=$?
exit $status
