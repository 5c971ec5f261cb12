#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into ./build-asan and
# runs every test there; a sanitizer report (also a leak) fails the test that made it. Arguments
# go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/asan-build.sh
export QT_QPA_PLATFORM=offscreen
export QTWEBENGINE_DISABLE_SANDBOX=1
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
cd build-asan

# QtWebEngine's own code (Chromium) deletes some of its objects through a pointer to a smaller
# type, which AddressSanitizer reports as new-delete-type-mismatch as soon as a page is closed.
# The tests whose programs link QtWebEngine therefore run without that one check; every other
# check stays on for them, and all checks stay on for every other test.
webengine=()
while read -r name; do
    # (grep reads all of ldd's output: with -q it could stop early and fail the pipe.)
    if [ -x "bin/$name" ] && ldd "bin/$name" | grep libQt6WebEngineCore >/dev/null; then
        webengine+=("$name")
    fi
done < <(ctest -N | sed -n 's/^ *Test *#[0-9]*: *//p')
if [ ${#webengine[@]} -eq 0 ]; then
    ctest --output-on-failure -j "$(nproc)" "$@"
    exit
fi
browser="^($(IFS='|'; echo "${webengine[*]}"))\$"
status=0
ctest --output-on-failure -j "$(nproc)" -E "$browser" "$@" || status=$?
ASAN_OPTIONS="$ASAN_OPTIONS:new_delete_type_mismatch=0" \
    ctest --output-on-failure -j "$(nproc)" -R "$browser" "$@" || status=$?
exit $status
