#!/usr/bin/env bash
# Runs one fuzz target (tree, expr, feed, conditions, import or results) for SECONDS (600 unless
# given), building it first in ./build-asan. It starts from the seed corpus fuzz/corpus/TARGET and
# the inputs kept in fuzz/regressions/TARGET and collects new inputs in a temporary folder. A crash,
# a leak, a timeout or running out of memory stops the run with an error; the input is left in
# build-asan/fuzz-findings/TARGET/ (copy it into fuzz/regressions/TARGET once it is fixed).
# Further arguments go to libFuzzer.
#   bash scripts/fuzz.sh TARGET --runs N [LIBFUZZER OPTIONS...]
# runs it N times from the fixed seed 1 instead, as CI does: the same seed and the same amount of
# work on every run, however fast the machine, and no re-reading of the corpus folders that
# depends on the clock.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
    echo "Usage: scripts/fuzz.sh TARGET [SECONDS | --runs N] [LIBFUZZER OPTIONS...]" >&2
    exit 2
fi
target=$1
seconds=${2:-600}
fixed=()
if [ "$seconds" = --runs ]; then
    if [ $# -lt 3 ]; then
        echo "Usage: scripts/fuzz.sh TARGET --runs N [LIBFUZZER OPTIONS...]" >&2
        exit 2
    fi
    fixed=(-seed=1 -runs="$3" -reload=0)
    seconds=0 # no time limit
    shift 3
else
    shift $(($# < 2 ? $# : 2))
fi
case "$target" in
tree | feed | import | results) max_len=16384 ;;
conditions) max_len=8192 ;;
expr) max_len=4096 ;;
*)
    echo "Unknown fuzz target: $target (tree, expr, feed, conditions, import or results)" >&2
    exit 2
    ;;
esac
bash scripts/asan-build.sh "fuzz_$target"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
findings="build-asan/fuzz-findings/$target"
mkdir -p "$findings" "fuzz/regressions/$target"
export LANG=C LC_ALL=C
export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# -timeout: seconds for one input; -rss_limit_mb and -malloc_limit_mb: memory that one input may
# take. Small inputs that need more are findings too.
"build-asan/bin/fuzz_$target" "$work" "fuzz/corpus/$target" "fuzz/regressions/$target" \
    -dict="fuzz/dict/$target.dict" -max_len="$max_len" -max_total_time="$seconds" \
    -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 -print_final_stats=1 \
    -artifact_prefix="$findings/" "${fixed[@]}" "$@"
