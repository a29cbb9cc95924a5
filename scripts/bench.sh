#!/usr/bin/env bash
# Benchmarks: prints figures, never fails on them (only on a build that does not work).
#   VITRELL.exe size for both architectures, and what one engine tick costs: platform calls counted through
#   the fakes, heap allocations, time over the fakes (an optimised native build without sanitizers).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
bench=$src/build/bench

bash "$src/scripts/wine_deps.sh"
cmake -S "$src" -B "$bench" -DCMAKE_BUILD_TYPE=Release -DVITRELL_SANITIZE=OFF >/dev/null
cmake --build "$bench" --target vitrell_bench -j "$(nproc)" >/dev/null
for arch in win64 win32; do
    bash "$src/scripts/cross_build.sh" $arch "$src/build/cross/$arch" >/dev/null
done

echo "== VITRELL.exe size"
for arch in win64 win32; do
    exe=$src/build/cross/$arch/VITRELL.exe
    stripped=$(mktemp)
    case $arch in
        win64) x86_64-w64-mingw32-strip -o "$stripped" "$exe" ;;
        win32) i686-w64-mingw32-strip -o "$stripped" "$exe" ;;
    esac
    printf '%-6s %9d bytes as built, %9d bytes stripped\n' $arch "$(stat -c %s "$exe")" "$(stat -c %s "$stripped")"
    rm -f "$stripped"
done

echo
echo "== Engine"
"$bench/bench/vitrell_bench"

# == Main window: start-up time and GDI/USER object counts under Wine go here (the main window's figures).
echo
bash "$src/scripts/bench_mainwin.sh" "$src/build/cross/win64"
