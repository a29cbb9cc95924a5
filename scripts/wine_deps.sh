#!/usr/bin/env bash
# Installs, on Debian 12, every package the build, the tests and the headless run need, and nothing when all
# are there already (so the README's commands can run again and again). Needs root, or sudo, to install.
set -euo pipefail

packages=(
    # native build, unit tests and the formatting check
    cmake make g++ libgtest-dev libgmock-dev googletest clang-format
    # the fuzz targets: clang with libFuzzer and the sanitizers' runtime
    clang-14 libclang-rt-14-dev
    # the Windows executables
    g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
    # running them: Wine, a virtual X server, Japanese fonts
    wine wine64 fonts-wine xvfb fonts-ipafont-gothic fonts-ipafont-mincho
    # the headless run: a compositor, the pointer, window properties and the screenshot
    xcompmgr xdotool x11-utils imagemagick
    # the help: chmcmd compiles VITRELL.chm and chmls checks it
    fp-utils
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "installing: ${missing[*]}"
sudo=
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "run as root (or install sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
# Wine recommends its 32-bit half, which needs i386 multiarch; apt leaves that recommendation out by itself.
$sudo apt-get install -y -q "${missing[@]}"
