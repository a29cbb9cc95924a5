#!/usr/bin/env bash
# Compares an exe's DLL imports with the committed list (tests/imports/ARCH.txt) and fails on any difference: a
# new import must be added to the list with the oldest Windows that has it. For win32 every import must also exist
# on Windows 2000 (its list says so line by line).
# usage: check_imports.sh EXE win32|win64
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$1
arch=$2
list=$here/../tests/imports/$arch.txt
actual=$(mktemp)
expected=$(mktemp)
trap 'rm -f "$actual" "$expected"' EXIT
bash "$here/imports.sh" "$exe" "$arch" >"$actual"
grep -v '^#' "$list" | grep -v '^ *$' | awk '{print $1, $2}' | LC_ALL=C sort >"$expected"
status=0
if ! diff -u "$expected" "$actual" >/dev/null; then
    echo "The imports of $exe differ from $list (- listed, + imported):" >&2
    diff -u "$expected" "$actual" | grep '^[-+][A-Z]' >&2 || true
    status=1
fi
# Every line names the oldest Windows that has the call.
if grep -v '^#' "$list" | grep -v '^ *$' | awk 'NF < 3 {bad = 1; print "no Windows version: " $0} END {exit bad}' >&2; then :; else
    status=1
fi
if [ "$arch" = win32 ]; then
    # Windows 2000 is the oldest the 32-bit exe runs on: nothing newer may be imported by name.
    if grep -v '^#' "$list" | grep -v '^ *$' | awk '$3 !~ /^(95|NT3\.1|NT4|98|2000)$/ {bad = 1; print "newer than Windows 2000: " $0} END {exit bad}' >&2; then :; else
        status=1
    fi
fi
[ $status -eq 0 ] && echo "$(wc -l <"$actual") imports of $arch match $list"
exit $status
