#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it: its dependencies, found by
# dpkg-shlibdeps, name the libraries the programs link, and the unpacked package runs.
set -euo pipefail
source "$(dirname "$0")/checks.sh"
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(find "$work" -maxdepth 1 -name 'mardovane_*.deb' -print -quit)

check "a package was built" test -n "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
    check "depends on $library" grep -q "\b$library\b" <<<"$depends"
done
check "version 1.00" test "$(dpkg-deb -f "$deb" Version)" = "1.00"
dpkg-deb -x "$deb" "$work/root"
check "the packaged splitter runs through its link" \
    test "$(printf '好' | "$work/root/usr/bin/mardovane-split")" = "女子"
check "the packaged window program is there" test -x "$(readlink -f "$work/root/usr/bin/mardovane")"
finish
