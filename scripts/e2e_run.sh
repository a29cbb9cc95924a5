#!/usr/bin/env bash
# Runs end-to-end tests (a GoogleTest filter) with the driver under Wine, in the environment e2e_env.sh made.
# usage: e2e_run.sh ENV_DIR CROSS_BUILD_DIR FILTER
# Passes only when the driver succeeds and every test it ran passed: a filter that matches nothing fails.
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -uo pipefail
dir=$1
cross=$2
filter=$3
if [ ! -f "$dir/env" ]; then
    echo "no end-to-end environment in $dir (the e2e.setup test makes it)" >&2
    exit 1
fi
# shellcheck disable=SC1091
. "$dir/env"
cd "$cross" || exit 1
log=$(mktemp)
# Wine's traces of the programs the driver starts land on the driver's stderr; the driver reads them there.
stderr_log=$dir/driver-stderr.log
export VITRELL_E2E_STDERR="Z:${stderr_log//\//\\}"
# Wine's own errors go there too (not its fixmes): a driver that ends before its first test leaves nothing else.
export WINEDEBUG=-all,err+all
started=$(date +%s%N)
wine vitrell_e2e.exe --gtest_filter="$filter" --gtest_color=no 2>"$stderr_log" | tr -d '\r' | tee "$log"
status=${PIPESTATUS[0]}
elapsed_ms=$((($(date +%s%N) - started) / 1000000))
ran=$(grep -c '^\[       OK \]' "$log")
began=$(grep -c '^\[ RUN      \]' "$log")
rm -f "$log"
if [ "$status" -ne 0 ]; then
    if [ "$began" -eq 0 ]; then
        how="status $status"
        [ "$status" -gt 128 ] && how+=" (signal $(kill -l $((status - 128))))"
        echo "wine vitrell_e2e.exe ended with $how after $elapsed_ms ms, before its first test began" >&2
    fi
    grep -v ':trace:' "$stderr_log" | tail -n 20 >&2
    exit "$status"
fi
if [ "$ran" -eq 0 ]; then
    echo "no test matched $filter" >&2
    exit 1
fi
