#!/usr/bin/env bash
# Builds VITRELL for 64-bit and 32-bit Windows and packs what a user downloads:
#   dist/VITRELL-<version>-win64.zip and dist/VITRELL-<version>-win32.zip, each holding one folder with
#   VITRELL.exe (stripped), its help (VITRELL.HLP, VITRELL.CNT, VITRELL.chm), resource\ with the toolbar icons,
#   README-ja.txt and README-en.txt.
# usage: scripts/release.sh [BUILD_ROOT]   (default build/release)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build_root=${1:-$src/build/release}
dist=$src/dist

if ! command -v zip >/dev/null; then
    apt-get install -y zip >/dev/null
fi

version=$(sed -n 's/^project(VITRELL VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
if [ -z "$version" ]; then
    echo "release.sh: no project VERSION in CMakeLists.txt" >&2
    exit 1
fi

mkdir -p "$dist"
for arch in win64 win32; do
    case $arch in
        win64) strip=x86_64-w64-mingw32-strip ;;
        win32) strip=i686-w64-mingw32-strip ;;
    esac
    build=$build_root/$arch
    bash "$src/scripts/cross_build.sh" "$arch" "$build"

    name=VITRELL-$version-$arch
    stage=$build_root/stage/$name
    rm -rf "$build_root/stage"
    mkdir -p "$stage/resource"
    "$strip" -o "$stage/VITRELL.exe" "$build/VITRELL.exe"
    # Only the icons: the build folder's resource/ also holds CMake's own files. Without them the toolbar
    # would show blank buttons, so a release without icons is refused rather than shipped.
    if ! compgen -G "$build/resource/*.ico" >/dev/null; then
        echo "release.sh: no toolbar icons in $build/resource" >&2
        exit 1
    fi
    cp "$build"/resource/*.ico "$stage/resource/"
    # The normal build compiles the help beside the exe; a release without it would answer F1 with an error.
    for help in VITRELL.HLP VITRELL.CNT VITRELL.chm; do
        if [ ! -f "$build/$help" ]; then
            echo "release.sh: no $help in $build (is chmcmd from fp-utils installed?)" >&2
            exit 1
        fi
        cp "$build/$help" "$stage/"
    done
    # Notepad on a Japanese Windows 2000/XP reads Shift-JIS with CRLF line ends.
    iconv -f UTF-8 -t CP932 "$src/docs/README-ja.txt" | sed 's/$/\r/' >"$stage/README-ja.txt"
    sed 's/$/\r/' "$src/docs/README-en.txt" >"$stage/README-en.txt"

    rm -f "$dist/$name.zip"
    (cd "$build_root/stage" && zip -q -r -X "$dist/$name.zip" "$name")
    echo "$dist/$name.zip"
done
rm -rf "$build_root/stage"
