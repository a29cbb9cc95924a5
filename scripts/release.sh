#!/usr/bin/env bash
# Builds VITRELL for 64-bit and 32-bit Windows and packs what a user downloads, into DIST (default dist/):
#   VITRELL-<version>-win64.zip and VITRELL-<version>-win32.zip, each holding one folder with VITRELL.exe
#   (stripped), its help (VITRELL.HLP, VITRELL.CNT, VITRELL.chm), resource\ with the toolbar icons, README-ja.txt
#   and README-en.txt;
#   VITRELL-<version>-win64-setup.exe and VITRELL-<version>-win32-setup.exe, the per-user installers of the same
#   files (installer/vitrell.nsi);
#   winget/VITRELL.VITRELL/<version>/ (the winget manifests of the setups) and scoop/vitrell.json (the Scoop
#   manifest of the 64-bit zip).
# usage: scripts/release.sh [BUILD_ROOT [DIST]]   (default build/release; BUILD_ROOT/win64 and win32 are the builds)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build_root=$(mkdir -p "${1:-$src/build/release}" && cd "${1:-$src/build/release}" && pwd)
dist=$(mkdir -p "${2:-$src/dist}" && cd "${2:-$src/dist}" && pwd)
# Where the release's files will be downloaded from: the manifests point there.
release_url_base=https://www.example.org/vitrell/releases/download

if ! command -v zip >/dev/null || ! command -v makensis >/dev/null; then
    apt-get install -y zip nsis >/dev/null
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

    # The installer takes the list of what it installs, and its uninstaller of what it removes, from the stage.
    files=$build_root/stage/files.nsh
    {
        echo '!macro VITRELL_INSTALL_FILES'
        (cd "$stage" && find . -type d | sort) | while IFS= read -r dir; do
            sub=${dir#.}
            echo "    SetOutPath \"\$INSTDIR${sub//\//\\}\""
            find "$stage$sub" -maxdepth 1 -type f | sort | sed 's/.*/    File "&"/'
        done
        echo '!macroend'
        echo '!macro VITRELL_REMOVE_FILES'
        (cd "$stage" && find . -type f | sort) | sed 's|^\./||; s|/|\\|g; s|.*|    Delete "$INSTDIR\\&"|'
        (cd "$stage" && find . -mindepth 1 -type d | sort -r) | sed 's|^\./||; s|/|\\|g; s|.*|    RMDir "$INSTDIR\\&"|'
        echo '!macroend'
    } >"$files"
    makensis -V2 -DVERSION="$version" -DARCH=$arch -DFILES="$files" -DOUTFILE="$dist/$name-setup.exe" \
        "$src/installer/vitrell.nsi"
    echo "$dist/$name-setup.exe"
done
rm -rf "$build_root/stage"

# The package managers' manifests, ready to submit once the files are at $release_url_base/v$version/.
url=$release_url_base/v$version
sha() { sha256sum "$dist/$1" | cut -d' ' -f1; }
winget=$dist/winget/VITRELL.VITRELL/$version
rm -rf "$dist/winget" "$dist/scoop"
mkdir -p "$winget" "$dist/scoop"
schema='# yaml-language-server: $schema=https://aka.ms/winget-manifest'
cat >"$winget/VITRELL.VITRELL.yaml" <<YAML
$schema.version.1.6.0.schema.json
PackageIdentifier: VITRELL.VITRELL
PackageVersion: $version
DefaultLocale: en-US
ManifestType: version
ManifestVersion: 1.6.0
YAML
cat >"$winget/VITRELL.VITRELL.installer.yaml" <<YAML
$schema.installer.1.6.0.schema.json
PackageIdentifier: VITRELL.VITRELL
PackageVersion: $version
InstallerType: nullsoft
Scope: user
InstallModes:
- interactive
- silent
UpgradeBehavior: install
ProductCode: VITRELL
Installers:
- Architecture: x64
  InstallerUrl: $url/VITRELL-$version-win64-setup.exe
  InstallerSha256: $(sha "VITRELL-$version-win64-setup.exe" | tr a-f A-F)
- Architecture: x86
  InstallerUrl: $url/VITRELL-$version-win32-setup.exe
  InstallerSha256: $(sha "VITRELL-$version-win32-setup.exe" | tr a-f A-F)
ManifestType: installer
ManifestVersion: 1.6.0
YAML
cat >"$winget/VITRELL.VITRELL.locale.en-US.yaml" <<YAML
$schema.defaultLocale.1.6.0.schema.json
PackageIdentifier: VITRELL.VITRELL
PackageVersion: $version
PackageLocale: en-US
Publisher: VITRELL developers
PackageName: VITRELL
PackageUrl: http://www.example.org/vitrell/
License: Freeware
ShortDescription: A resident tool that makes the window under the mouse cursor semi-transparent.
Tags:
- transparency
- tray
ManifestType: defaultLocale
ManifestVersion: 1.6.0
YAML
# The portable zip: the settings live in the registry, so nothing in the folder needs to persist.
cat >"$dist/scoop/vitrell.json" <<JSON
{
    "version": "$version",
    "description": "A resident tool that makes the window under the mouse cursor semi-transparent.",
    "homepage": "http://www.example.org/vitrell/",
    "license": "Freeware",
    "url": "$url/VITRELL-$version-win64.zip",
    "hash": "$(sha "VITRELL-$version-win64.zip")",
    "extract_dir": "VITRELL-$version-win64",
    "bin": "VITRELL.exe",
    "shortcuts": [["VITRELL.exe", "VITRELL"]]
}
JSON
echo "$winget"
echo "$dist/scoop/vitrell.json"
