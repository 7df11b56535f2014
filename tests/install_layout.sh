#!/usr/bin/env bash
# Installs the build into a staging folder and checks the layout: the programs and their
# tables together, the links on PATH that lead to them, the desktop files valid.
set -euo pipefail
source "$(dirname "$0")/checks.sh"
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
manifest="$build/install_manifest.txt"

root="$stage/usr"
app_dir=$(dirname "$(find "$root/lib" -name keyword.info -print -quit)")
app_id=example.mardovane.Mardovane

check "keyword.info beside the programs" test -x "$app_dir/Mardovane" -a -x "$app_dir/mardovane-split"
check "the full table in tables/" test -f "$app_dir/tables/keyword-full.info"
check "bin/mardovane leads to the window program" \
    test "$(readlink -f "$root/bin/mardovane")" = "$(readlink -f "$app_dir/Mardovane")"
check "bin/mardovane-split is a relative link" test "$(readlink "$root/bin/mardovane-split" | cut -c1)" != "/"
check "the splitter finds its table through the link" \
    test "$(printf '湖' | "$root/bin/mardovane-split" --times 2)" = "氵古月"
for link in mardovane mardovane-split; do
    check "bin/$link in the install manifest" grep -qx "$stage/usr/bin/$link" "$manifest"
done
check "the metainfo names its own desktop file" \
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$root/share/metainfo/$app_id.metainfo.xml"
check "the metainfo's release is the build's version" \
    grep -q '<release version="1.00"' "$root/share/metainfo/$app_id.metainfo.xml"
check "the manual page carries the version" grep -q '"Mardovane 1.00"' "$root/share/man/man1/mardovane.1"
check "the desktop entry is valid" desktop-file-validate "$root/share/applications/$app_id.desktop"
check "the metainfo is valid" quietly appstreamcli validate --no-net --pedantic \
    "$root/share/metainfo/$app_id.metainfo.xml"
for size in 16 24 32 48 64 128 256; do
    check "icon ${size}x${size}" test -f "$root/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
check "scalable icon" test -f "$root/share/icons/hicolor/scalable/apps/$app_id.svg"
check "the notice of the data's licence" test -f "$root/share/doc/mardovane/NOTICE"
for page in mardovane mardovane-split; do
    check "manual page $page(1)" test -f "$root/share/man/man1/$page.1"
done

finish
