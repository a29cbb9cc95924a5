#!/usr/bin/env bash
# Builds VITRELL.exe (and, for win64, the end-to-end test driver) with MinGW-w64, optimised for size: a resident
# utility that wakes twenty times a second has no hot loop, and every user downloads the bytes.
# usage: cross_build.sh win64|win32 BUILD_DIR
set -euo pipefail
arch=$1
build=$2
src=$(cd "$(dirname "$0")/.." && pwd)
case $arch in
    win64) toolchain=$src/cmake/toolchain-mingw64.cmake ;;
    win32) toolchain=$src/cmake/toolchain-mingw32.cmake ;;
    *) echo "unknown architecture: $arch" >&2; exit 2 ;;
esac
cmake -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
cmake --build "$build" -j "$(nproc)"
test -f "$build/VITRELL.exe"
