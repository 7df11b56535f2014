#!/usr/bin/env bash
# The window program's command line: --help and --version answer and exit, and without a
# display it says so in one line and fails, rather than aborting.
set -uo pipefail
source "$(dirname "$0")/checks.sh"
app=$1
version=$2
nowhere() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
check "--version" test "$(nowhere "$app" --version)" = "Mardovane $version"
check "--help" bash -c "'$app' --help | grep -q -- '--version'"
nowhere "$app" >/dev/null 2>"${TMPDIR:-/tmp}/mardovane-nodisplay.$$"
status=$?
message=$(cat "${TMPDIR:-/tmp}/mardovane-nodisplay.$$")
rm -f "${TMPDIR:-/tmp}/mardovane-nodisplay.$$"
check "no display: a failure status, not an abort ($status)" test "$status" -eq 1
check "no display: one line that says so" test "$message" = \
    "Mardovane: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set)"
finish
