#!/usr/bin/env bash
# The fuzz targets of tests/fuzz/: libFuzzer over the portable code and its in-memory fakes, built with clang-14
# (libFuzzer, AddressSanitizer, UBSan) in a configuration of their own.
#   fuzz.sh [SECONDS]                 builds them in build/fuzz, runs each for SECONDS (default 60; per target, one
#                                     after another) over a scratch copy of its committed corpus, and prints the
#                                     executions of each target and in total
#   fuzz.sh --build DIR               configures and builds the targets in DIR (CTest's fuzz.build)
#   fuzz.sh --run DIR TARGET SECONDS  runs one built target for SECONDS (CTest's fuzz.TARGET)
# A target that finds a fault stops and prints the invariant that failed (or the sanitizer's report); its input is
# kept in DIR/findings/TARGET/ and the script fails. Once the fault is fixed, that input becomes a row of the
# matching unit test. The committed corpus is never written to.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
export UBSAN_OPTIONS=print_stacktrace=1

build() {
    command -v clang++-14 >/dev/null || { echo "missing: clang++-14 (scripts/wine_deps.sh installs it)" >&2; exit 1; }
    cmake -S "$src/tests/fuzz" -B "$1" -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
    cmake --build "$1" -j2
}

# Prints "TARGET executions N" when the target ran its time without a finding.
run() {
    local dir=$1 target=$2 seconds=$3
    local exe=$dir/fuzz_$target findings=$dir/findings/$target scratch status executions
    [ -x "$exe" ] || { echo "no fuzz target $exe (fuzz.sh --build $dir builds it)" >&2; return 1; }
    scratch=$(mktemp -d)
    mkdir -p "$findings" "$scratch/corpus"
    if [ -d "$src/tests/fuzz/corpus/$target" ]; then
        cp -r "$src/tests/fuzz/corpus/$target/." "$scratch/corpus/"
    fi
    status=0
    "$exe" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" \
        "$scratch/corpus" >"$scratch/log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/log" | tail -n 1)
    if [ "$status" -ne 0 ]; then
        grep -m 1 -A 30 -E 'invariant failed|ERROR: |runtime error' "$scratch/log" >&2 || tail -n 30 "$scratch/log" >&2
        echo "$target: fault found after ${executions:-?} executions; input kept in $findings/" \
            "(run $exe FILE to see it again)" >&2
        rm -rf "$scratch"
        return 1
    fi
    rm -rf "$scratch"
    echo "$target executions ${executions:-0}"
}

case ${1:-} in
    --build)
        build "$2"
        ;;
    --run)
        run "$2" "$3" "$4"
        ;;
    *)
        seconds=${1:-60}
        dir=$src/build/fuzz
        build "$dir" >/dev/null
        total=0
        failed=0
        for source in "$src"/tests/fuzz/*_fuzz.cpp; do
            target=$(basename "$source" _fuzz.cpp)
            if line=$(run "$dir" "$target" "$seconds"); then
                echo "$line"
                total=$((total + ${line##* }))
            else
                failed=1
            fi
        done
        echo "total executions $total"
        exit $failed
        ;;
esac
