#!/usr/bin/env bash
# Builds the Windows download from a Windows build tree and checks it: one folder with the
# programs, the tables, the notices and a README, that runs under Wine wherever it is
# unpacked, its programs stripped and carrying the package's version.
#   windows_zip.sh BUILD_TREE VERSION
set -euo pipefail
source "$(dirname "$0")/checks.sh"
build=$1
version=$2
use_work_folder
(cd "$build" && cpack -G ZIP -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
unpack_and_check "$work/Mardovane-$version-win64.zip" "Mardovane-$version-win64" \
    Mardovane.exe mardovane-split.exe keyword.info tables/keyword-full.info NOTICE LICENSE README.txt
for exe in Mardovane.exe mardovane-split.exe; do
    check "$exe is stripped" bash -c "x86_64-w64-mingw32-nm '$folder/$exe' 2>&1 | grep -q 'no symbols'"
done
strings=$(wrestool -x --raw --type=16 "$folder/Mardovane.exe" | iconv -f UTF-16LE -t UTF-8 -c |
    tr -c '[:print:]' '\n' | grep -v '^$' | tr '\n' '|')
check "Mardovane.exe carries the package's version $version" grep -qF "FileVersion|$version|" <<<"$strings"
# Anywhere it is unpacked: a folder of another name, with nothing installed beside it.
mv "$folder" "$work/unpacked/somewhere else"
out=$(printf '湖' | "$(dirname "$0")/../tools/wine-run" "$work/unpacked/somewhere else/mardovane-split.exe" \
    --times 2 2>/dev/null)
check "the unpacked splitter runs under Wine" test "$out" = "氵古月"
finish
