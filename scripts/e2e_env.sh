#!/usr/bin/env bash
# The end-to-end tests' environment: a fresh Wine prefix with one virtual desktop, and an X server for it.
#   e2e_env.sh start DIR   makes DIR/prefix, starts Xvfb on a free display (or uses $VITRELL_E2E_DISPLAY),
#                          keeps a wineserver running, and writes DIR/env for e2e_run.sh
#   e2e_env.sh stop DIR    stops that wineserver and the Xvfb started here
# shellcheck source=scripts/wine_layout.sh
. "$(dirname "$0")/wine_layout.sh"  # Wine starts without address randomization
set -euo pipefail
action=$1
dir=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
prefix=$dir/prefix

stop() {
    if [ -f "$dir/env" ]; then
        # shellcheck disable=SC1091
        . "$dir/env"
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
        if [ -n "${VITRELL_XVFB_PID:-}" ]; then
            kill "$VITRELL_XVFB_PID" 2>/dev/null || true
        fi
        rm -f "$dir/env"
    fi
}

case $action in
    start)
        stop  # a run that was interrupted leaves its server and display behind
        for tool in wine wineserver Xvfb; do
            command -v $tool >/dev/null || { echo "missing: $tool (scripts/test.sh installs it)" >&2; exit 1; }
        done
        bash "$here/wine_prefix.sh" "$prefix" desktop
        xvfb_pid=
        if [ -n "${VITRELL_E2E_DISPLAY:-}" ]; then
            display=$VITRELL_E2E_DISPLAY
        else
            # Xvfb picks a free display number itself and reports it on fd 3.
            Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
            xvfb_pid=$!
            for _ in $(seq 100); do
                [ -s "$dir/display" ] && break
                kill -0 $xvfb_pid 2>/dev/null || { cat "$dir/xvfb.log" >&2; exit 1; }
                sleep 0.1
            done
            [ -s "$dir/display" ] || { echo "Xvfb did not report a display" >&2; exit 1; }
            display=:$(head -n1 "$dir/display")
        fi
        cat >"$dir/env" <<ENV
export WINEPREFIX='$prefix'
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml='
export DISPLAY='$display'
VITRELL_XVFB_PID='$xvfb_pid'
ENV
        # shellcheck disable=SC1091
        . "$dir/env"
        # One server for the whole run: every test then starts in a fraction of a second.
        wineserver -p >/dev/null 2>&1 </dev/null
        # Bring the virtual desktop up once, so the first test does not pay for it.
        wine cmd.exe /c exit >/dev/null 2>&1 </dev/null || true
        echo "Wine prefix $prefix on display $display"
        ;;
    stop)
        stop
        ;;
    *)
        echo "usage: $0 start|stop DIR" >&2
        exit 2
        ;;
esac
