#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every layer with one CTest run in build/native:
# the native unit tests, both MinGW-w64 cross builds and the end-to-end tests of VITRELL.exe under Wine.
# Exits non-zero when anything fails. Run it as root on Debian 12 (or with sudo at hand). Arguments go to CTest
# (scripts/stress-e2e.sh runs a part of the layers that way).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$src/build/native

bash "$src/scripts/wine_deps.sh"
cmake -S "$src" -B "$build"
cmake --build "$build" -j "$(nproc)"
cd "$build"
# No second try: a test that fails once fails the run. A stalled end-to-end test ends itself and names the call
# it was in (see BlockingCall in tests/e2e/harness.h).
ctest --output-on-failure "$@"
