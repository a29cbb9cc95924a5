#!/usr/bin/env bash
# The end-to-end layer on a busy machine: ROUNDS runs of every e2e.* test while two busy loops keep both CPUs
# occupied. Run it before submitting a change to the harness or to anything that waits or times.
# usage: stress-e2e.sh [ROUNDS]   (default 3)
# Prints a line per round and a closing line "N passed, N failed" counting test cases; each round's CTest output
# is kept in build/native/stress/round-N.log. Exits non-zero when any case failed. Sets itself up as the test
# command does (scripts/test.sh), and ends its busy loops however it stops.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
case $rounds in '' | *[!0-9]* | 0) echo "usage: $0 [ROUNDS]" >&2; exit 2 ;; esac
logs=$src/build/native/stress

# Installs, configures and builds exactly as the test command does, running nothing yet (no test matches).
setup_log=$(mktemp)
bash "$src/scripts/test.sh" -R '^$' >"$setup_log" 2>&1 || { cat "$setup_log" >&2; rm -f "$setup_log"; exit 1; }
rm -f "$setup_log"
mkdir -p "$logs"

busy=()
stop_busy() {
    for pid in "${busy[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}
trap stop_busy EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
for _ in 1 2; do
    # Ends by itself too should this script be killed outright.
    (while kill -0 $$ 2>/dev/null; do :; done) &
    busy+=($!)
done

passed=0
failed=0
broken=0
for round in $(seq "$rounds"); do
    log=$logs/round-$round.log
    started=$(date +%s)
    status=0
    (cd "$src/build/native" && ctest -L e2e --output-on-failure) >"$log" 2>&1 || status=$?
    # One line per case, "e2e.Suite.Name ... Passed" or anything else; the environment's setup and cleanup are
    # not cases.
    cases=$(grep -E 'Test +#[0-9]+: e2e\.' "$log" | grep -v -E ': e2e\.(setup|cleanup) ' || true)
    ok=$(grep -c -E ' Passed ' <<<"$cases" || true)
    bad=$(grep -v -E ' Passed ' <<<"$cases" | grep -c . || true)
    passed=$((passed + ok))
    failed=$((failed + bad))
    echo "round $round/$rounds: $ok passed, $bad failed in $(($(date +%s) - started)) s"
    grep -v -E ' Passed ' <<<"$cases" | sed -E 's/.*Test +#[0-9]+: ([^ ]+).*/    failed: \1/' || true
    if [ "$status" -ne 0 ] && [ "$bad" -eq 0 ]; then
        echo "    CTest failed outside the cases: see $log"
        broken=1
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$broken" -eq 0 ]
