#!/usr/bin/env bash
# Makes the web download from a web build tree and checks it: one folder with the page,
# its script and WebAssembly, the pictures, the tables and the notices, ready for any
# static web server.
#   web_zip.sh BUILD_TREE VERSION
set -euo pipefail
source "$(dirname "$0")/../checks.sh"
build=$1
version=$2
use_work_folder
cmake --build "$build" --target web_zip >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
unpack_and_check "$build/Mardovane-$version-web.zip" "Mardovane-$version-web" \
    index.html page.js text_box.js worker.js sw.js style.css manifest.webmanifest mardovane.js \
    mardovane.wasm background.png background@2x.png hand-cursor.png icon.png icon.svg \
    icon-192.png icon-512.png keyword.info tables/keyword-full.info NOTICE LICENSE
check "the service worker is stamped with the build's version" \
    grep -qE 'const VERSION = "[0-9a-f]{16}";' "$folder/sw.js"
check "the table is the shipped one" cmp "$folder/keyword.info" \
    "$(dirname "$0")/../../data/keyword.info"
finish
