#!/usr/bin/env bash
# Runs a window test on a virtual display of its own (1600x1000, as the other
# window tests) with a window manager on it, so that windows get their title
# bars and borders. The other window tests share one display without a
# window manager; this one leaves it alone.
# Usage: with-window-manager.sh <test program> [arguments...]
set -euo pipefail
if [ -z "${TMS_OWN_DISPLAY:-}" ]; then
    exec env TMS_OWN_DISPLAY=1 xvfb-run -a -s "-screen 0 1600x1000x24" "$0" "$@"
fi
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
"$@"
