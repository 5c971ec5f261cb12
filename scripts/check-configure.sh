#!/usr/bin/env bash
# Configures the project (configure only, no build) in temporary folders with every combination
# of QRL_BUILD_TESTS, QRL_BUILD_BENCH and QRL_BUILD_FUZZ (clang for the fuzz targets), and checks
# that warnings are errors only when asked for: not in a plain configure, in one with
# -DCMAKE_COMPILE_WARNING_AS_ERROR=ON. Also the ctest test configure_options.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "check-configure: $*" >&2
    exit 1
}
configure() { # FOLDER CMAKE OPTIONS...
    local dir=$work/$1
    shift
    cmake -S "$src" -B "$dir" -G Ninja "$@" > "$dir.log" 2>&1 ||
        fail "configuring with $* failed: $(tail -n 20 "$dir.log")"
}

for tests in ON OFF; do
    for bench in ON OFF; do
        for fuzz in ON OFF; do
            compiler=()
            if [ "$fuzz" = ON ]; then
                compiler=(-DCMAKE_CXX_COMPILER=clang++)
            fi
            configure "t$tests-b$bench-f$fuzz" "${compiler[@]}" -DQRL_BUILD_TESTS=$tests \
                -DQRL_BUILD_BENCH=$bench -DQRL_BUILD_FUZZ=$fuzz
            echo "configured: tests $tests, benchmarks $bench, fuzz $fuzz"
        done
    done
done

# -Werror (GCC and clang) only where warnings are meant to be errors.
if grep -q -e '-Werror' "$work/tOFF-bOFF-fOFF/compile_commands.json"; then
    fail "a plain configure makes warnings errors"
fi
configure werror -DQRL_BUILD_TESTS=OFF -DQRL_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
grep -q -e '-Werror' "$work/werror/compile_commands.json" ||
    fail "-DCMAKE_COMPILE_WARNING_AS_ERROR=ON does not make warnings errors"
echo "check-configure: every combination configures; warnings are errors only when asked for"
