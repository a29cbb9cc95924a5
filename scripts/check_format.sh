#!/usr/bin/env bash
# Fails when a C++ source of the repository disagrees with .clang-format (clang-format --dry-run --Werror); the
# messages name each file and line. Fix with: clang-format -i FILES
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
cd "$src"
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files '*.h' '*.cpp')
else
    mapfile -t files < <(find . -path ./build -prune -o \( -name '*.h' -o -name '*.cpp' \) -print)
fi
clang-format --dry-run --Werror "${files[@]}"
echo "${#files[@]} files agree with .clang-format"
