#!/usr/bin/env bash
# The splitter finds keyword.info beside the real executable even when started through a
# symbolic link in another folder, as from PATH; and it fails cleanly without one.
set -euo pipefail
splitter=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/real" "$work/bin"
cp "$splitter" "$work/real/mardovane-split"
printf '\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n' > "$work/real/keyword.info"   # 好 → 女子 in GBK
ln -s "$work/real/mardovane-split" "$work/bin/mardovane-split"

out=$(printf '你好' | "$work/bin/mardovane-split")
[ "$out" = "你女子" ] || { echo "through the link: got '$out'"; exit 1; }

rm "$work/real/keyword.info"
status=0
out=$(printf '你好' | "$work/bin/mardovane-split" 2>"$work/err") || status=$?
[ "$status" -eq 2 ] || { echo "missing table: exit status $status, wanted 2"; exit 1; }
[ -z "$out" ] || { echo "missing table: wrote '$out'"; exit 1; }
grep -qF "$work/real/keyword.info: the keyword file does not exist" "$work/err" ||
    { echo "missing table: stderr was: $(cat "$work/err")"; exit 1; }
echo "1 passed, 0 failed"
