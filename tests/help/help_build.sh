#!/usr/bin/env bash
# help.build: compiles docs/help/ with the built helpc and chmcmd into a scratch folder, then checks the result:
# every page and both contexts are in VITRELL.chm, every page the program opens by context is in it, its window
# type names the index file, and VITRELL.HLP and VITRELL.chm are each at most 64 KB. Prints how long helpc took
# (not asserted).
# usage: help_build.sh HELPC SOURCE_ROOT SCRATCH_DIR
set -euo pipefail
helpc=$1
src=$2
out=$3
rm -rf "$out"
mkdir -p "$out"
fail=0
bad() { echo "help.build: $*" >&2; fail=1; }

start=$(date +%s%N)
"$helpc" "$src/docs/help" "$out" "$out/project"
echo "helpc ran in $(( ($(date +%s%N) - start) / 1000000 )) ms"
(cd "$out/project" && chmcmd VITRELL.hhp >/dev/null && mv VITRELL.chm ..)

for file in VITRELL.HLP VITRELL.chm; do
    size=$(stat -c %s "$out/$file")
    echo "$file: $size bytes"
    [ "$size" -le 65536 ] || bad "$file is $size bytes, more than 64 KB"
done

listing=$(chmls -n list "$out/VITRELL.chm")
pages=$(grep -v '^[[:space:]]*\(;\|title:\|$\)' "$src/docs/help/contents.txt" | sed 's/[[:space:]]*$//; s/$/.htm/')
# The pages the program opens by context: its map when it has one, else the pages that declare a context.
if [ -f "$src/core/help_topics.h" ]; then
    opened=$(grep -o '"[a-z0-9_]*\.htm"' "$src/core/help_topics.h" | tr -d '"')
else
    opened=$(grep -l '^context:' "$src"/docs/help/*.txt | xargs -n1 basename | sed 's/\.txt$/.htm/')
fi
for page in $pages $opened; do
    grep -qx "/$page" <<<"$listing" || bad "$page is not in VITRELL.chm"
done

(cd "$out" && chmls extractalias VITRELL.chm >/dev/null)
for page in $(grep -l '^context:' "$src"/docs/help/*.txt); do
    number=$(sed -n 's/^context:[[:space:]]*\([0-9]*\).*/\1/p' "$page")
    name=$(basename "$page" .txt).htm
    grep -q "^helpid$number=.*/$name\$" "$out/VITRELL.ali" || bad "context $number does not lead to $name"
done
# Wine's viewer shows an index tab only when the window type names the index file: pszIndex is the #STRINGS
# offset at byte 100 of the first HH_WINTYPE, which follows the 8-byte #WINDOWS header.
index=
if (cd "$out" && chmls extract VITRELL.chm /#WINDOWS windows.bin &&
    chmls extract VITRELL.chm /#STRINGS strings.bin) >/dev/null 2>&1; then
    at=$(od -An -tu4 -j 108 -N 4 "$out/windows.bin" | tr -d ' ')
    index=$(tail -c +$((at + 1)) "$out/strings.bin" | tr '\0' '\n' | head -n 1)
fi
[ "$index" = VITRELL.hhk ] || bad "the window type in VITRELL.chm names no index file"
[ $fail -eq 0 ] && echo "help.build: $(wc -w <<<"$pages") pages and their contexts are in VITRELL.chm"
exit $fail
