#!/usr/bin/env bash
# The DLL imports of a Windows executable, one "DLL FUNCTION" line each (DLL in capitals), sorted, as the
# MinGW-w64 binutils' objdump -p lists them.
# usage: imports.sh EXE win32|win64
set -euo pipefail
case $2 in
    win32) objdump=i686-w64-mingw32-objdump ;;
    win64) objdump=x86_64-w64-mingw32-objdump ;;
    *) echo "unknown architecture: $2" >&2; exit 2 ;;
esac
$objdump -p "$1" | awk '
    /DLL Name:/ { dll = toupper($3) }
    /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }
    /^\t[0-9a-f]+\t +<none> +[0-9]+/ { print dll, "#" $3 }  # by ordinal
' | LC_ALL=C sort
