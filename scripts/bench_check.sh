#!/usr/bin/env bash
# Keeps the benchmarks from rotting: runs scripts/bench.sh --quick and fails unless every section ran and printed
# its figures. The figures themselves are never judged.
# usage: bench_check.sh CROSS_ROOT
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
log=$(mktemp)
BENCH_CROSS_ROOT=$1 bash "$here/bench.sh" --quick 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
missing=0
for figure in 'win64 .* bytes stripped' 'win32 .* bytes stripped' 'the ten largest symbols' \
    'engine on, top-level window .* calls/tick' 'engine on, window not answering .* calls/tick' \
    'VITRELL.exe  median_ms' 'minimal.exe  median_ms' 'ratio \(median' 'after-toggles .*private_kb [0-9]' \
    'VITRELL.exe +cpu_s [0-9]' 'idle_bare.exe +cpu_s [0-9]' 'cpu ratio'; do
    if ! grep -Eq "$figure" "$log"; then
        echo "missing figure: $figure" >&2
        missing=1
    fi
done
rm -f "$log"
[ "$status" -eq 0 ] && [ $missing -eq 0 ]
