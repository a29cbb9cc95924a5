#!/usr/bin/env bash
# Benchmarks: prints figures, never fails on them (only on a build that does not work).
#   - VITRELL.exe's size for both architectures, and the ten largest symbols of each (where the bytes go);
#   - what one engine tick costs for each kind of target: platform calls counted through the fakes, heap
#     allocations, time over the fakes (an optimised native build without sanitizers);
#   - the main window under Wine: start-up, objects and memory, idle cost beside a bare program
#     (scripts/bench_mainwin.sh).
# usage: bench.sh [--quick]   --quick: small counts, a few seconds per section (what CTest runs to keep it working)
# BENCH_CROSS_ROOT: where the cross builds are (default build/cross); they are built there when missing.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bench=$src/build/bench
cross_root=${BENCH_CROSS_ROOT:-$src/build/cross}
quick=0
if [ "${1:-}" = --quick ]; then
    quick=1
    export BENCH_QUICK=1
fi

bash "$src/scripts/wine_deps.sh"
cmake -S "$src" -B "$bench" -DCMAKE_BUILD_TYPE=Release -DVITRELL_SANITIZE=OFF >/dev/null
cmake --build "$bench" --target vitrell_bench -j "$(nproc)" >/dev/null
for arch in win64 win32; do
    if [ $quick = 0 ] || [ ! -f "$cross_root/$arch/VITRELL.exe" ]; then
        bash "$src/scripts/cross_build.sh" $arch "$cross_root/$arch" >/dev/null
    fi
done

echo "== VITRELL.exe size"
for arch in win64 win32; do
    exe=$cross_root/$arch/VITRELL.exe
    case $arch in
        win64) tools=x86_64-w64-mingw32 ;;
        win32) tools=i686-w64-mingw32 ;;
    esac
    stripped=$(mktemp)
    $tools-strip -o "$stripped" "$exe"
    printf '%-6s %9d bytes as built, %9d bytes stripped\n' $arch "$(stat -c %s "$exe")" "$(stat -c %s "$stripped")"
    rm -f "$stripped"
    echo "       the ten largest symbols that stay in the stripped exe:"
    $tools-nm -C -S --size-sort -t d "$exe" | grep -v ' \.debug_' | tail -n 10 | tac |
        awk '{ size = $2 + 0; $1 = $2 = $3 = ""; sub(/^ +/, ""); printf "       %8d  %s\n", size, substr($0, 1, 100) }'
done

echo
echo "== Engine"
if [ $quick = 1 ]; then
    "$bench/bench/vitrell_bench" --quick
else
    "$bench/bench/vitrell_bench"
fi

echo
bash "$src/scripts/bench_mainwin.sh" "$cross_root/win64"
