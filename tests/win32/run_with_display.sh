#!/usr/bin/env bash
# Runs a Windows test program that opens windows under Wine: on a private Xvfb display, in
# a Wine prefix of its own (a Wine session that other tests started without a display
# could not open windows), with its output through a file, so that Wine's desktop process,
# which outlives the program, keeps no pipe of CTest's open.
#   run_with_display.sh PROGRAM.exe [ARGUMENT...]
set -uo pipefail
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
    bash "$(dirname "$0")/../../tools/wine-stop" "$work/wine"
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
exec 3>&-
export DISPLAY=":$(cat "$work/display")" WINEPREFIX="$work/wine"
"$(dirname "$0")/../../tools/wine-run" "$@" >"$work/output" 2>&1 </dev/null
status=$?
cat "$work/output"
exit "$status"
