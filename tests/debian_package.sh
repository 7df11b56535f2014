#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it: lintian finds nothing, its
# dependencies name the libraries the programs link, the keyword table is a conffile,
# the unpacked package runs; and, as root on a machine without it, that it installs,
# keeps an edited table on removal and leaves nothing behind after a purge.
set -euo pipefail
source "$(dirname "$0")/checks.sh"
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(find "$work" -maxdepth 1 -name 'mardovane_*.deb' -print -quit)

check "a package was built" test -n "$deb"
if command -v lintian >/dev/null; then
    # As root, lintian says so first; that is a note about the run, not the package.
    lintian "$deb" 2>&1 | grep -v 'running with root privileges' >"$work/lintian.log" || true
    check "lintian reports nothing" test ! -s "$work/lintian.log"
    [ -s "$work/lintian.log" ] && cat "$work/lintian.log"
fi
depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 qt6-translations-l10n; do
    check "depends on $library" grep -q "\b$library\b" <<<"$depends"
done
check "version 1.00" test "$(dpkg-deb -f "$deb" Version)" = "1.00"
dpkg-deb --ctrl-tarfile "$deb" | tar -x -C "$work" ./conffiles
check "the keyword table is a conffile" grep -qx /etc/mardovane/keyword.info "$work/conffiles"
dpkg-deb -x "$deb" "$work/root"
check "the packaged splitter runs through its link" test "$(printf '好' |
    "$work/root/usr/bin/mardovane-split" --keywords "$work/root/etc/mardovane/keyword.info")" = "女子"
check "the packaged window program is there" test -x "$(readlink -f "$work/root/usr/bin/mardovane")"

# A real installation, where it does no harm: as root, with no Mardovane installed.
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W mardovane >/dev/null 2>&1 && command -v apt-get >/dev/null; then
    quiet() { DEBIAN_FRONTEND=noninteractive "$@" >>"$work/apt.log" 2>&1; }
    quiet apt-get install -y --no-install-recommends "$deb"
    check "installed: the splitter finds its table in /etc" \
        test "$(printf '湖' | mardovane-split --times 2)" = "氵古月"
    check "installed: the conffile is registered" \
        bash -c "dpkg-query -W -f='\${Conffiles}' mardovane | grep -q /etc/mardovane/keyword.info"
    printf '\xBA\xC3\r\nX\r\n' > /etc/mardovane/keyword.info    # an edit: 好 → X
    check "installed: the edit takes effect" test "$(printf '好' | mardovane-split)" = "X"
    quiet apt-get remove -y mardovane
    check "removed: the edited table is kept" test "$(head -c 2 /etc/mardovane/keyword.info)" = $'\xBA\xC3'
    check "removed: the programs are gone" test ! -e /usr/bin/mardovane-split
    quiet apt-get purge -y mardovane
    check "purged: the table and its folder are gone" test ! -e /etc/mardovane
    left=""
    while read -r path; do
        [ -e "/$path" ] && [ ! -d "/$path" ] && left+=" /$path"
    done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./||')
    check "purged: no file of the package is left${left}" test -z "$left"
    check "purged: dpkg knows nothing of it" bash -c "! dpkg-query -W mardovane >/dev/null 2>&1"
fi
finish
