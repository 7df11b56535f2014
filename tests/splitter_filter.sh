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

check "a process substitution as the keyword file" test "$(
    printf '好' | "$splitter" --keywords <(printf '\xBA\xC3\r\nX\r\n'))" = "X"
mkfifo "$work/keyword-fifo"
# The writer opens the FIFO a moment after the splitter: it waits for it.
(sleep 0.2; printf '\xBA\xC3\r\nY\r\n' > "$work/keyword-fifo") &
check "a FIFO as the keyword file, its writer late" test "$(
    printf '好' | "$splitter" --keywords "$work/keyword-fifo")" = "Y"
wait

# Device nodes of our own, in the temporary folder: the system's are never written.
as_root=false
[ "$(id -u)" -eq 0 ] && mknod "$work/full" c 1 7 && mknod "$work/null" c 1 3 && as_root=true
if $as_root; then
    full_status() { split < <(printf '好') > "$work/full" 2>"$work/err"; echo $?; }
    check "a full disk: exit status 5" test "$(full_status)" -eq 5
    check "a full disk: one line that says so" \
        grep -qx 'mardovane-split: standard output: cannot write the output: No space left on device' "$work/err"

    printf '好' > "$work/in.txt"
    check "-o onto a device node writes it" split -o "$work/null" "$work/in.txt"
    check "-o leaves a device node a device node" test -c "$work/null"
    check "-o onto a full device fails" test "$(split -o "$work/full" "$work/in.txt" 2>/dev/null; echo $?)" -eq 5

    printf 'old' > "$work/owned.txt"
    chown 65534:65534 "$work/owned.txt"
    chmod 640 "$work/owned.txt"
    split -o "$work/owned.txt" "$work/in.txt"
    check "-o as root keeps the file's owner, group and mode" \
        test "$(stat -c '%u:%g %a' "$work/owned.txt")" = "65534:65534 640"
    check "-o as root writes the result" test "$(cat "$work/owned.txt")" = "女子"
else
    echo "skipped: the device node checks (they need root to make the nodes)"
fi

# A line ending in CR LF whose split passes the size limit: one message, status 4, and no
# temporary file left beside the output.
printf 'a\r\n%s\r\n' "$(head -c 1000 /dev/zero | tr '\0' b)" > "$work/grow.info"
head -c 300000 /dev/zero | tr '\0' a > "$work/long-line.txt"
printf '\r\n' >> "$work/long-line.txt"
mkdir "$work/out"
status=$("$splitter" --keywords "$work/grow.info" -o "$work/out/r.txt" "$work/long-line.txt" \
         2>"$work/err"; echo $?)
check "a line too large, ended by CR LF: status 4" test "$status" -eq 4
check "a line too large, ended by CR LF: says which line" \
    grep -q 'long-line.txt:1: splitting this line makes a text of more than' "$work/err"
check "a line too large leaves nothing in the output folder" test -z "$(ls -A "$work/out")"

mkfifo "$work/out-fifo"
(cat "$work/out-fifo" > "$work/from-fifo") &
printf '好' > "$work/in.txt"
check "-o onto a FIFO writes into it" split -o "$work/out-fifo" "$work/in.txt"
wait
check "-o onto a FIFO: the reader gets the result" test "$(cat "$work/from-fifo")" = "女子"
check "-o leaves a FIFO a FIFO" test -p "$work/out-fifo"

check "-o - is standard output" test "$(split -o - "$work/in.txt")" = "女子"

printf 'x' > "$work/target.txt"
ln -s target.txt "$work/link.txt"
split -o "$work/link.txt" "$work/in.txt"
check "-o through a symbolic link replaces what it points to" \
    test "$(cat "$work/target.txt")" = "女子"
check "-o through a symbolic link keeps the link" test -L "$work/link.txt"

printf '好\n' > "$work/self.txt"
status=$(split "$work/self.txt" 2>"$work/err" >> "$work/self.txt"; echo $?)
check "reading what it appends to: refused with status 1" test "$status" -eq 1
check "reading what it appends to: says so" grep -q 'self.txt: input file is output file' "$work/err"
check "reading what it appends to: the file is as it was" test "$(cat "$work/self.txt")" = "好"

# Ended by a signal while it writes: the temporary file, made with the file's own mode,
# goes with it. A background job starts with SIGINT ignored, which the splitter keeps (as
# under nohup): env gives it back its default.
for signal in INT TERM HUP QUIT PIPE ALRM USR1 USR2; do
    rm -rf "$work/sig" && mkdir "$work/sig"
    printf 'old' > "$work/sig/out.txt" && chmod 600 "$work/sig/out.txt"
    mkfifo "$work/sig/in"
    (ulimit -c 0; exec env --default-signal=INT "$splitter" --keywords "$work/keyword.info" \
        -o "$work/sig/out.txt" "$work/sig/in" 2>/dev/null) &
    splitter_pid=$!
    exec 7>"$work/sig/in"                  # a writer that sends a line and waits
    printf '好\n' >&7
    temporary=""
    for _ in $(seq 100); do
        temporary=$(find "$work/sig" -name '.out.txt.mardovane-*' | head -n 1)
        [ -n "$temporary" ] && break
        sleep 0.05
    done
    check "SIG$signal: the temporary file has the file's mode" \
        test "$(stat -c %a "$temporary" 2>/dev/null)" = 600
    kill -"$signal" "$splitter_pid"
    wait "$splitter_pid" 2>/dev/null
    exec 7>&-
    check "SIG$signal leaves no temporary file" \
        test -z "$(find "$work/sig" -name '.out.txt.mardovane-*')"
    check "SIG$signal leaves the output as it was" test "$(cat "$work/sig/out.txt")" = old
done

# Many blocks into a reader that takes one byte: ended by SIGPIPE, with nothing said.
head -c 30000000 /dev/zero | tr '\0' 'a' | fold -w 100 > "$work/big.txt"
split "$work/big.txt" 2>"$work/err" | head -c 1 > /dev/null
status=${PIPESTATUS[0]}
check "a broken pipe ends the splitter by SIGPIPE" test "$status" -eq 141
check "a broken pipe says nothing" test ! -s "$work/err"

# A pipe that trickles, as tail -f gives: a line comes out while the input still waits.
{ printf '好\n'; sleep 4; printf '好\n'; } | split > "$work/prompt.txt" &
prompt_pid=$!
for _ in $(seq 60); do
    [ -s "$work/prompt.txt" ] && break
    sleep 0.05
done
check "a line from a pipe that pauses comes out at once" \
    test "$(cat "$work/prompt.txt")" = "女子"
wait "$prompt_pid"
check "and the rest when it comes" test "$(cat "$work/prompt.txt")" = "$(printf '女子\n女子')"

printf '好' > "$work/in.txt"
check "--output writes the file" split -o "$work/out.txt" "$work/in.txt"
check "--output holds the result" test "$(cat "$work/out.txt")" = "女子"

# A name of the process's own standard output is written through it: appending where the
# shell opened it to append, never replacing the file it leads to.
for name in /dev/stdout /proc/self/fd/1 /dev/fd/1; do
    printf 'old line\n' > "$work/log.txt"
    split "$work/in.txt" -o "$name" >> "$work/log.txt"
    check "-o $name >> log keeps what the log held" \
        test "$(cat "$work/log.txt")" = "$(printf 'old line\n女子')"
done
ln -s /dev/stdout "$work/to-stdout"
printf 'old line\n' > "$work/log.txt"
split "$work/in.txt" -o "$work/to-stdout" >> "$work/log.txt"
check "-o through a link to /dev/stdout appends too" \
    test "$(cat "$work/log.txt")" = "$(printf 'old line\n女子')"
printf '好\n' > "$work/self-fd.txt"
status=$(split "$work/self-fd.txt" -o /dev/stdout 2>"$work/err" >> "$work/self-fd.txt"; echo $?)
check "-o /dev/stdout appending to the input: refused" test "$status" -eq 1

# Symbolic links that lead nowhere, as the shell's > takes them.
ln -s made.txt "$work/dangling"
split -o "$work/dangling" "$work/in.txt"
check "-o through a dangling link makes its target" test "$(cat "$work/made.txt")" = "女子"
check "-o through a dangling link keeps the link" test -L "$work/dangling"
ln -s loop-b "$work/loop-a" && ln -s loop-a "$work/loop-b"
status=$(split -o "$work/loop-a" "$work/in.txt" 2>"$work/err"; echo $?)
check "-o through a loop of links: status 5" test "$status" -eq 5
check "-o through a loop of links: says so" grep -q 'loop-a: the symbolic links to the output file form a loop' "$work/err"
check "-o through a loop of links leaves the links" test -L "$work/loop-a" -a -L "$work/loop-b"

# Messages name the file as the user named it, never the temporary file.
status=$(split -o "$work/no-such-folder/out.txt" "$work/in.txt" 2>"$work/err"; echo $?)
check "-o into a missing folder: status 5" test "$status" -eq 5
check "-o into a missing folder: names the file" \
    grep -qx "mardovane-split: $work/no-such-folder/out.txt: cannot create the output file: No such file or directory" "$work/err"

# The file size limit ends the run as a write error: the file named, no temporary left.
head -c 200000 /dev/zero | tr '\0' 'a' > "$work/big-in.txt"
mkdir "$work/limited"
status=$( (ulimit -f 50; "$splitter" --keywords "$work/keyword.info" -o "$work/limited/out.txt" \
           "$work/big-in.txt" 2>"$work/err"); echo $?)
check "past the file size limit: status 5" test "$status" -eq 5
check "past the file size limit: names the file" \
    grep -q "limited/out.txt: cannot write the output.*File too large" "$work/err"
check "past the file size limit: no temporary file left" test -z "$(ls -A "$work/limited")"

# Standard output closed: a write error, not the input taken for the output.
status=$(split "$work/in.txt" 2>"$work/err" >&-; echo $?)
check "standard output closed: status 5" test "$status" -eq 5
check "standard output closed: says it cannot write" \
    grep -q 'standard output: cannot write the output' "$work/err"
finish
