#!/usr/bin/env bash
# The real window program under Xvfb, used as a person would: paste a Chinese text,
# click the split button, click copy all, read the clipboard; click the notice; look at
# a screenshot. Needs Xvfb, xdotool, xclip and ImageMagick; with --wine, the Windows
# programs run under Wine.
#   window_e2e.sh [--wine] PATH/TO/Mardovane PATH/TO/mardovane-split
set -euo pipefail
source "$(dirname "$0")/../checks.sh"
run=()
if [ "$1" = "--wine" ]; then
    run=("$(dirname "$0")/../../tools/wine-run")
    shift
fi
app=$1
splitter=$2
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    if [ ${#run[@]} -gt 0 ]; then
        bash "$(dirname "$0")/../../tools/wine-stop" "$WINEPREFIX"
    fi
    rm -rf "$work"
}
# A Wine prefix of its own: a Wine session that other tests started without a display
# could not open windows.
export WINEPREFIX="$work/wine"
trap cleanup EXIT
magick=$(command -v convert-im6.q16 || command -v convert)
grab=$(command -v import-im6.q16 || command -v import)

# A private display, and a stand-in browser that records what it was asked to open.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
mkdir "$work/bin"
printf '#!/bin/sh\necho "$@" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

# The programs in a folder of their own, with a copy of the table the build put beside them.
mkdir "$work/app"
cp "$app" "$splitter" "$(dirname "$app")/keyword.info" "$work/app/"
app="$work/app/$(basename "$app")"
splitter="$work/app/$(basename "$splitter")"

PATH="$work/bin:$PATH" XDG_RUNTIME_DIR="$work" "${run[@]}" "$app" >"$work/app.log" 2>&1 &
pids+=($!)
# Looked for again and again: xdotool's walk through the window tree fails outright
# (BadWindow) when a window it meets goes away meanwhile, as Wine's start-up windows do.
find_window() {
    local found
    for _ in $(seq 600); do
        found=$(xdotool search --onlyvisible --name '^Mardovane$' 2>/dev/null | head -1 || true)
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
window=$(find_window)
eval "$(xdotool getwindowgeometry --shell "$window")"  # sets X, Y, WIDTH, HEIGHT

# xdotool's --sync waits for the pointer to arrive, and can wait for ever when it is there
# already; and xclip waits for ever on an owner that does not answer. Both are bounded.
click() {
    timeout 3 xdotool mousemove --sync $((X + $1)) $((Y + $2)) || true
    xdotool click 1
}
pixel() { "$magick" "$work/shot.png" -crop "1x1+$((X + $1))+$((Y + $2))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }

check "the window has its fixed size" test "${WIDTH}x${HEIGHT}" = "565x407"
if [ ${#run[@]} -eq 0 ]; then
    check "the window's class is the desktop entry's StartupWMClass" \
        bash -c "xdotool search --class '^Mardovane\$' | grep -qx '$window'"
fi

copy_all() {  # copy_all FILE: click 复制全部 and save what the clipboard then holds
    printf 'nothing yet' | xclip -selection clipboard -in
    click 185 368
    for _ in $(seq 50); do
        timeout 2 xclip -selection clipboard -out > "$1" 2>/dev/null || true
        [ "$(cat "$1")" != "nothing yet" ] && break
        sleep 0.1
    done
}
# Copies all until the text box holds what FILE holds (or 10 s have gone): the window's
# own state, rather than a guess at how long it takes.
copy_until_same() {  # copy_until_same FILE COPY
    for _ in $(seq 20); do
        copy_all "$2"
        cmp -s "$1" "$2" && return 0
        sleep 0.5
    done
    return 1
}
# A comparison that, when it fails, shows both files and what differs.
same() {  # same WANTED GOT
    cmp -s "$1" "$2" && return 0
    echo "--- $(basename "$1") (wanted) against $(basename "$2") (got):"
    diff <(cat "$1"; echo) <(cat "$2"; echo) || true
    return 1
}

printf '我们在湖边的树林里，\n好明亮的早晨。\n' > "$work/text.txt"
"${run[@]}" "$splitter" "$work/text.txt" > "$work/expected.txt"
xclip -selection clipboard -in "$work/text.txt"
click 250 150                                  # into the text box
xdotool key --clearmodifiers ctrl+v
check "the pasted text arrives" copy_until_same "$work/text.txt" "$work/pasted.txt"
click 70 368                                   # 拆分文字
copy_until_same "$work/expected.txt" "$work/copied.txt" || true
check "copy all gives what the splitter gives" same "$work/expected.txt" "$work/copied.txt"
check "the split changed the text" bash -c "! cmp -s '$work/copied.txt' '$work/text.txt'"

# The keyboard: Ctrl+Enter splits one level further, Ctrl+Shift+C copies all.
"${run[@]}" "$splitter" --times 2 "$work/text.txt" > "$work/expected-twice.txt"
click 250 150
xdotool key --clearmodifiers ctrl+Return
for _ in $(seq 20); do
    printf 'nothing yet' | xclip -selection clipboard -in
    xdotool key --clearmodifiers ctrl+shift+c
    for _ in $(seq 20); do
        timeout 2 xclip -selection clipboard -out > "$work/keyboard.txt" 2>/dev/null || true
        [ "$(cat "$work/keyboard.txt")" != "nothing yet" ] && break
        sleep 0.1
    done
    cmp -s "$work/keyboard.txt" "$work/expected-twice.txt" && break
    sleep 0.5
done
check "Ctrl+Enter splits and Ctrl+Shift+C copies" same "$work/expected-twice.txt" "$work/keyboard.txt"

# Tab reaches the split button, and Space presses it.
"${run[@]}" "$splitter" --times 3 "$work/text.txt" > "$work/expected-thrice.txt"
click 250 150
xdotool key --clearmodifiers Tab space
copy_until_same "$work/expected-thrice.txt" "$work/tabbed.txt" || true
check "Tab reaches the split button and Space presses it" \
    same "$work/expected-thrice.txt" "$work/tabbed.txt"

click 280 370                                  # the notice's dead left-most pixels
click 420 370                                  # the notice
for _ in $(seq 30); do [ -s "$work/opened" ] && break; sleep 0.1; done
check "the notice opens the web page once" test "$(cat "$work/opened" 2>/dev/null)" = "http://mardovane.example/"

"$grab" -window root "$work/shot.png"
check "frame's top-left corner" test "$(pixel 24 23)" = "#FFCC33"
check "frame's bottom-right corner" test "$(pixel 540 332)" = "#FFCC33"
check "split button is orange" bash -c "[[ '$(pixel 31 380)' == '#FF'* ]] && [ '$(pixel 31 380)' != '#FFFFFF' ]"
check "white band below the picture" test "$(pixel 300 403)" = "#FFFFFF"
check "the program still runs" kill -0 "${pids[1]}"

# A table that cannot be read: a message in a window of its own, and the text as it was.
windows() { xdotool search --onlyvisible --name '^Mardovane$' 2>/dev/null | wc -l; }
printf '\xBA\xC3\r\n\xFF\xFF\r\n' > "$work/app/keyword.info"
click 70 368
for _ in $(seq 50); do [ "$(windows)" -ge 2 ] && break; sleep 0.1; done
check "a failed split shows a message" test "$(windows)" -ge 2
message=$(xdotool search --onlyvisible --name '^Mardovane$' | grep -vx "$window" | head -1 || true)
if [ -n "$message" ]; then
    xdotool windowfocus --sync "$message" key Return
    for _ in $(seq 50); do [ "$(windows)" -eq 1 ] && break; sleep 0.1; done
fi
check "Return closes the message" test "$(windows)" -eq 1
copy_all "$work/after-failure.txt"
check "a failed split leaves the text as it was" \
    same "$work/expected-thrice.txt" "$work/after-failure.txt"

# Ctrl+A selects the whole text (the Windows EDIT control needs the window's help).
click 250 150
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 50 x
printf 'x' > "$work/x.txt"
copy_until_same "$work/x.txt" "$work/typed.txt" || true
check "Ctrl+A selects all, typing replaces it" same "$work/x.txt" "$work/typed.txt"

if [ "$failed" -ne 0 ]; then
    echo "--- program output:"; cat "$work/app.log"
fi
finish
