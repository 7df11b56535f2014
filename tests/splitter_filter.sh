#!/usr/bin/env bash
# The real splitter as a filter in a shell: pipes and FIFOs as input, a full disk and a
# reader that stops early as output.
set -uo pipefail
source "$(dirname "$0")/checks.sh"
splitter=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '\xBA\xC3\r\n\xC5\xAE\xD7\xD3\r\n' > "$work/keyword.info"   # 好 → 女子 in GBK
split() { "$splitter" --keywords "$work/keyword.info" "$@"; }

check "a process substitution as the input file" \
    test "$(split <(printf '你好'))" = "你女子"

mkfifo "$work/fifo"
(printf '好\n好' > "$work/fifo") &
check "a FIFO as the input file" test "$(split "$work/fifo")" = "$(printf '女子\n女子')"
wait

full_status() { split < <(printf '好') > /dev/full 2>"$work/err"; echo $?; }
check "a full disk: exit status 5" test "$(full_status)" -eq 5
check "a full disk: one line that says so" \
    grep -qx 'mardovane-split: cannot write.*No space left on device' "$work/err"

# Many blocks into a reader that takes one byte: ended by SIGPIPE, with nothing said.
head -c 30000000 /dev/zero | tr '\0' 'a' | fold -w 100 > "$work/big.txt"
split "$work/big.txt" 2>"$work/err" | head -c 1 > /dev/null
status=${PIPESTATUS[0]}
check "a broken pipe ends the splitter by SIGPIPE" test "$status" -eq 141
check "a broken pipe says nothing" test ! -s "$work/err"

printf '好' > "$work/in.txt"
check "--output writes the file" split -o "$work/out.txt" "$work/in.txt"
check "--output holds the result" test "$(cat "$work/out.txt")" = "女子"
finish
