#!/usr/bin/env bash
# Drives pairex.exe from outside, as a user would, under wine and Xvfb (the caller has
# sourced scripts/wine-env.sh): it compares the two files given on its command line at
# once, takes every block from the left (Select > From Left), writes the merged file
# with Ctrl+W and the save dialog, and quits with Alt+X. The merged file and
# pairex.ini are then checked on disk.
# Usage: outside_test.sh PAIREX_EXE
set -uo pipefail
exe=$1
if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ] || ! command -v xdotool >/dev/null; then
    echo "SKIP: needs DISPLAY, WINEPREFIX and xdotool (source scripts/wine-env.sh)"
    exit 77
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
work=$(mktemp -d)
ini=$WINEPREFIX/drive_c/windows/pairex.ini
pid=""
fail() {
    echo "FAIL: $*"
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

mkdir -p "$work/in dir"
printf 'one\ntwo\nthree\nfour\n' >"$work/in dir/left.txt"
printf 'one\n2\nthree\nfour\nfive\n' >"$work/in dir/right.txt"
rm -f "$ini"
left=$(winepath -w "$work/in dir/left.txt")
right=$(winepath -w "$work/in dir/right.txt")
out_dir=$(winepath -w "$work")
out="$out_dir\\merged.txt"

wine "$exe" -f1 "$left" -f2 "$right" </dev/null >"$work/stdout" 2>&1 &
pid=$!
main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear"
sleep 1

# Select > From Left through the menu bar.
xdotool key --window "$main" alt+e
sleep 0.3
xdotool key l
sleep 0.3
xdotool key --window "$main" ctrl+w
save=$(wait_window '^Save As$') || fail "Ctrl+W showed no save dialog"
sleep 0.5
xdotool type --window "$save" --delay 5 "$out"
xdotool key --window "$save" Return
sleep 1

xdotool key --window "$main" alt+x
sleep 0.3
xdotool key Escape
for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && fail "Alt+X did not end the program"
pid=""

[ -f "$ini" ] || fail "pairex.ini was not written"
tr -d '\r' <"$ini" >"$work/ini"  # the profile functions write CR LF
expected=$(printf 'one\r\ntwo\r\nthree\r\nfour\r\n')
[ -f "$work/merged.txt" ] || fail "no merged file"
[ "$(cat "$work/merged.txt")" = "$expected" ] || fail "merged file: $(od -c "$work/merged.txt" | head)"
grep -q '^Out dir=.*\\$' "$work/ini" || fail "Out dir not kept: $(grep 'Out dir' "$work/ini")"
grep -q '^LastCmd="-f1 ' "$work/ini" || fail "LastCmd missing"
grep -q '^Tab size=8' "$work/ini" || fail "Options not saved"
rm -rf "$work"
echo "PASS"
