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
app_dir=$(dirname "$(find "$root/lib" -name mardovane-split -type f -print -quit)")
app_id=example.mardovane.Mardovane

check "the programs together" test -x "$app_dir/Mardovane" -a -x "$app_dir/mardovane-split"
check "keyword.info in /etc" test -f "$stage/etc/mardovane/keyword.info"
check "keyword.info beside the programs leads there" \
    test "$(readlink "$app_dir/keyword.info")" = /etc/mardovane/keyword.info
check "the full table under share" test -f "$root/share/mardovane/tables/keyword-full.info"
check "bin/mardovane leads to the window program" \
    test "$(readlink -f "$root/bin/mardovane")" = "$(readlink -f "$app_dir/Mardovane")"
check "bin/mardovane-split is a relative link" test "$(readlink "$root/bin/mardovane-split" | cut -c1)" != "/"
check "the splitter runs through its link" test "$(printf '湖' | "$root/bin/mardovane-split" \
    --keywords "$stage/etc/mardovane/keyword.info" --times 2)" = "氵古月"

# Under another prefix, keyword.info is the file itself, beside the programs.
other=$(mktemp -d)
cmake --install "$build" --prefix "$other/opt" >/dev/null
check "another prefix: keyword.info beside the programs" \
    test -f "$other/opt/$(realpath --relative-to="$root" "$app_dir")/keyword.info" -a \
    ! -L "$other/opt/$(realpath --relative-to="$root" "$app_dir")/keyword.info"
check "another prefix: the splitter finds its table" \
    test "$(printf '湖' | "$other/opt/bin/mardovane-split")" = "氵胡"
rm -rf "$other"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null  # the manifest of /usr

for link in mardovane mardovane-split; do
    check "bin/$link in the install manifest" grep -qx "$stage/usr/bin/$link" "$manifest"
done
check "the metainfo names its own desktop file" \
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$root/share/metainfo/$app_id.metainfo.xml"
check "the metainfo's release is the build's version" \
    grep -q '<release version="1.00"' "$root/share/metainfo/$app_id.metainfo.xml"
check "the manual page carries the version" \
    bash -c "zcat '$root/share/man/man1/mardovane.1.gz' | grep -q '\"Mardovane 1.00\"'"
check "the desktop entry is valid" desktop-file-validate "$root/share/applications/$app_id.desktop"
check "the metainfo is valid" quietly appstreamcli validate --no-net --pedantic \
    "$root/share/metainfo/$app_id.metainfo.xml"
for size in 16 24 32 48 64 128 256; do
    check "icon ${size}x${size}" test -f "$root/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
check "scalable icon" test -f "$root/share/icons/hicolor/scalable/apps/$app_id.svg"
check "the notice of the data's licence" test -f "$root/share/doc/mardovane/NOTICE"
for page in mardovane mardovane-split; do
    check "manual page $page(1), compressed" gzip -t "$root/share/man/man1/$page.1.gz"
done
check "the copyright file" test -f "$root/share/doc/mardovane/copyright"
check "the licence" test -f "$root/share/doc/mardovane/LICENSE"

finish
