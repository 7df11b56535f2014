#!/usr/bin/env bash
# The window program's command line: --help and --version answer and exit, without a
# display it says so in one line and fails, rather than aborting, and Qt's -platform
# option is honoured.
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
# Qt's own -platform option opens the window where it says, display or none; it runs
# until it is stopped.
nowhere timeout 5 "$app" -platform offscreen >/dev/null 2>&1
status=$?
check "-platform offscreen without a display: the window runs ($status)" test "$status" -eq 124
finish
