#!/usr/bin/env bash
# Drives pairex.exe from outside with real input under wine and Xvfb (the caller has
# sourced scripts/wine-env.sh): the mouse wheel scrolls both panes as far as three Down
# keys do; F8 goes to the block; Alt+X with an unwritten choice asks, No keeps the
# program and Yes ends it, and after Ctrl+Z it asks nothing; with -outf the exit status
# says whether that file was written.
# Usage: outside_conventions_test.sh PAIREX_EXE
set -uo pipefail
exe=$1
if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ] || ! command -v xdotool >/dev/null ||
    ! command -v compare >/dev/null; then
    echo "SKIP: needs DISPLAY, WINEPREFIX, xdotool and ImageMagick (source scripts/wine-env.sh)"
    exit 77
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
work=$(mktemp -d)
# The settings file of the prefix's user (%APPDATA%\Pairex).
ini=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Pairex/pairex.ini
pid=""
fail() {
    echo "FAIL: $*"
    [ -n "${PAIREX_FAIL_SHOT:-}" ] && import -window root "$PAIREX_FAIL_SHOT"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
    exit 1
}
wait_window() {  # wait_window REGEX -> prints the window id
    local w=""
    for _ in $(seq 100); do
        w=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}
start() {  # start ARGS...: runs the program in the background
    wine "$exe" "$@" </dev/null >"$work/stdout" 2>&1 &
    pid=$!
    main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear"
    sleep 1
}
running() {
    kill -0 "$pid" 2>/dev/null
}
ended() {  # ended: waits for the program's end and sets $status to its exit status
    for _ in $(seq 100); do
        if ! running; then
            wait "$pid"
            status=$?
            pid=""
            return 0
        fi
        sleep 0.1
    done
    return 1
}
shot() {  # shot NAME: the top rows of the left pane
    import -window root "$work/$1-full.png" && convert "$work/$1-full.png" \
        -crop "400x300+$((x0 + 4))+$((y0 + 70))" +repage "$work/$1.png"
}
different_pixels() {  # different_pixels A B
    compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>&1 | cut -d' ' -f1
}

seq 0 299 | sed 's/^/line /' >"$work/left.txt"
sed 's/^line 150$/changed/' "$work/left.txt" >"$work/right.txt"
rm -f "$ini"
left=$(winepath -w "$work/left.txt")
right=$(winepath -w "$work/right.txt")
out=$(winepath -w "$work")\\merged.txt

# 1. The wheel, one notch down over the left pane, against three Down keys.
start -f1 "$left" -f2 "$right" -outf "$out"
read -r x0 y0 < <(xdotool getwindowgeometry "$main" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
shot top
xdotool mousemove $((x0 + 200)) $((y0 + 300)) click 5
sleep 0.5
shot wheel
xdotool key Up Up Up
sleep 0.3
xdotool key Down Down Down
sleep 0.5
shot keys
[ "$(different_pixels top wheel)" != 0 ] || fail "the wheel did not scroll"
[ "$(different_pixels wheel keys)" = 0 ] || fail "the wheel did not scroll three rows"

# Alt+X until it is taken: under wine a released Alt may leave the menu bar active,
# which swallows the next key, so Escape and try again. True once the question is up;
# false when the program ended instead.
alt_x_asks() {
    for _ in 1 2 3; do
        xdotool key alt+x
        for _ in $(seq 20); do
            [ -n "$(xdotool search --name '^Confirm the operation$' 2>/dev/null)" ] && return 0
            running || return 1
            sleep 0.1
        done
        xdotool key Escape
        sleep 0.3
    done
    return 1
}

# Presses KEY until the question has gone (a key may be swallowed the same way).
answer() {
    for _ in 1 2 3; do
        xdotool key "$1"
        for _ in $(seq 20); do
            [ -z "$(xdotool search --name '^Confirm the operation$' 2>/dev/null)" ] && return 0
            sleep 0.1
        done
    done
    return 1
}

choose_block() {  # F8 brings the block to the top row; a click there gives it to the left
    xdotool key F8
    sleep 0.3
    xdotool mousemove $((x0 + 100)) $((y0 + 70)) click 1
    sleep 0.3
}

# 2. A choice, then Alt+X: the question; No keeps the program, Yes (Return, the default
# button) ends it, with 1 since -outf was not written.
choose_block
alt_x_asks || fail "Alt+X with a choice asked nothing"
sleep 0.3
answer n || fail "No did not close the question"
sleep 0.5
running || fail "No ended the program"
alt_x_asks || fail "the second Alt+X asked nothing"
sleep 0.3
answer Return || fail "Yes did not close the question"
ended || fail "Yes did not end the program"
[ "$status" = 1 ] || fail "exit status $status without a Write to -outf, not 1"

# 3. A choice undone with Ctrl+Z leaves nothing unwritten: Alt+X asks nothing.
start -f1 "$left" -f2 "$right" -outf "$out"
choose_block
xdotool key ctrl+z
sleep 0.3
alt_x_asks && fail "Alt+X after Ctrl+Z asked about unwritten choices"
ended || fail "Alt+X after Ctrl+Z did not end the program"
[ "$status" = 1 ] || fail "exit status $status without a Write to -outf, not 1"

# 4. A choice written to the -outf file as the save dialog offers it: Alt+X asks nothing
# and the exit status is 0.
start -f1 "$left" -f2 "$right" -outf "$out"
choose_block
xdotool key ctrl+w
save=$(wait_window '^Save As$') || fail "Ctrl+W showed no save dialog"
sleep 0.5
xdotool key Return
for _ in $(seq 50); do [ -f "$work/merged.txt" ] && break; sleep 0.1; done
[ -f "$work/merged.txt" ] || fail "the merged file was not written where -outf said"
sleep 0.5
alt_x_asks && fail "Alt+X after the Write asked about unwritten choices"
ended || fail "Alt+X after the Write did not end the program"
[ "$status" = 0 ] || fail "exit status $status after a Write to -outf, not 0"
cmp -s "$work/merged.txt" <(sed 's/$/\r/' "$work/left.txt") || fail "merged file differs"
rm -rf "$work"
echo "PASS"
