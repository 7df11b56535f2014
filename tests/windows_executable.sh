#!/usr/bin/env bash
# Checks the resources compiled into Mardovane.exe (the seven icon images, the hand cursor,
# the background bitmap, the version information in Chinese (PRC)), and that it needs no
# DLL but Windows' own.
set -euo pipefail
source "$(dirname "$0")/checks.sh"
exe=$1
version=$2
list=$(wrestool -l "$exe")
count() { grep -c -- "$1" <<<"$list" || true; }
check "one icon group of eight images" test "$(count 'type=group_icon')/$(count '\[type=icon ')" = "1/8"
check "the hand cursor" test "$(count 'type=group_cursor')" = "1"
check "the background bitmap" test "$(count 'type=bitmap')" = "1"
check "version information in Chinese (PRC)" grep -q -- '--type=16 --name=1 --language=2052' <<<"$list"

strings=$(wrestool -x --raw --type=16 "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr -c '[:print:]' '\n' | grep -v '^$' | tr '\n' '|')
for pair in "080404b0" "ProductName|Mardovane 2011.01.01" "InternalName|Mardovane" \
            "OriginalFilename|Mardovane.exe" "FileVersion|$version" "ProductVersion|$version" \
            "Comments|2011" "CompanyName|The Mardovane developers" \
            "FileDescription|Mardovane: splits Chinese characters apart, for fun" \
            "LegalCopyright|Copyright (c) 2011-2026 The Mardovane developers. MIT licence."; do
    check "version string $pair" grep -qF -- "$pair|" <<<"$strings"
done
# VS_FIXEDFILEINFO: the signature, the structure's version, then file and product versions.
fixed=$(wrestool -x --raw --type=16 "$exe" | od -An -v -tx1 | tr -d ' \n' | grep -o 'bd04effe.\{56\}')
check "numeric versions 1.0.0.0" test "${fixed:16:32}" = "00000100000000000000010000000000"
check "an application manifest asking for common controls 6" bash -c \
    "wrestool -x --raw --type=24 '$exe' | grep -q 'Microsoft.Windows.Common-Controls'"
check "the manifest's version is the program's, 1.0.0.0" bash -c \
    "wrestool -x --raw --type=24 '$exe' | grep -q 'name=\"Mardovane\" version=\"1.0.0.0\"'"
splitter="$(dirname "$exe")/mardovane-split.exe"
check "mardovane-split.exe has its version information" bash -c \
    "wrestool -x --raw --type=16 '$splitter' | iconv -f UTF-16LE -t UTF-8 -c | grep -q mardovane-split"
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
check "only Windows' own DLLs ($dlls)" test "$dlls" = "COMCTL32.DLL GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL SHELL32.DLL USER32.DLL "
finish
