#!/usr/bin/env bash
# Drives pairex.exe from outside, as a user would, under wine and Xvfb (the caller has
# sourced scripts/wine-env.sh): it compares the two files given on its command line at
# once, takes every block from the left (Select > From Left), writes the merged file
# with Ctrl+W and the save dialog, and quits with Alt+X. The merged file and
# pairex.ini are then checked on disk. A second run walks two directories: Alt+S and
# Alt+C do nothing outside the walk; inside it (File > Compare Directories, each picker
# confirmed where it opens) Alt+S skips the pair in the panes and Alt+C ends the walk.
# Usage: outside_test.sh PAIREX_EXE
set -uo pipefail
exe=$1
if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ] || ! command -v xdotool >/dev/null; then
    echo "SKIP: needs DISPLAY, WINEPREFIX and xdotool (source scripts/wine-env.sh)"
    exit 77
fi
# Synthetic input under Xvfb without a window manager is now and then lost (a key sent
# before a fresh window takes the focus, more often on a loaded machine); a fault fails
# every attempt.
if [ -z "${OUTSIDE_TEST_ATTEMPT:-}" ]; then
    for attempt in 1 2 3; do
        OUTSIDE_TEST_ATTEMPT=$attempt bash "$0" "$@" && exit 0
        echo "attempt $attempt failed"
    done
    exit 1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
work=$(mktemp -d)
# The settings file of the prefix's user (%APPDATA%\Pairex).
ini=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Pairex/pairex.ini
source "$(dirname "$0")/outside_helpers.sh"

visible() {  # visible REGEX: a window of that name is on the screen
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1
}
shown() {  # shown ID: window ID is on the screen
    xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1"
}
# act_on ID COMMAND...: runs COMMAND until window ID has left the screen; a synthetic
# key or click now and then reaches a fresh dialog before it takes input.
act_on() {
    local id=$1
    shift
    for _ in 1 2 3; do
        "$@" 2>/dev/null
        for _ in $(seq 30); do shown "$id" || return 0; sleep 0.1; done
    done
    return 1
}
alt_key() {  # alt_key LETTER: an Alt accelerator, then out of the menu mode it leaves
    focus_main
    xdotool key --window "$main" "alt+$1"
    sleep 0.3
    xdotool key Escape
    sleep 0.3
}

# Names in Cyrillic, Greek, Japanese and accented Latin reach the program through its
# wide command line.
in_dir="$work/in dir Папка"
mkdir -p "$in_dir"
printf 'one\ntwo\nthree\nfour\n' >"$in_dir/naïve Привет.txt"
printf 'one\n2\nthree\nfour\nfive\n' >"$in_dir/日本語 Ελληνικά.txt"
rm -f "$ini"
left=$(winepath -w "$in_dir/naïve Привет.txt")
right=$(winepath -w "$in_dir/日本語 Ελληνικά.txt")
out_dir=$(winepath -w "$work")
out="$out_dir\\merged.txt"

wine "$exe" -f1 "$left" -f2 "$right" </dev/null >"$work/stdout" 2>&1 &
pid=$!
main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear"
sleep 1
visible '^Error$' && fail "a file named on the command line did not open"

# Select > From Left through the menu bar: the popup opened with a click on its label
# (Alt+E is lost now and then while the window settles).
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 114)) $((Y + 32)) click 1
sleep 0.5
xdotool key l
sleep 0.3
xdotool key --window "$main" ctrl+w
save=$(wait_window '^Save As$') || fail "Ctrl+W showed no save dialog"
sleep 0.5
# Into the file-name box by its Alt key, wherever the dialog put the focus.
xdotool key --window "$save" alt+n
sleep 0.3
xdotool type --window "$save" --delay 5 "$out"
sleep 0.3
act_on "$save" xdotool key --window "$save" Return || fail "the save dialog stayed open"
sleep 0.5

quit_program || fail "Alt+X did not end the program"

[ -f "$ini" ] || fail "pairex.ini was not written"
# The program makes the file as UTF-16 (names in any script); the profile functions
# write CR LF.
if [ "$(head -c 2 "$ini" | od -An -tx1 | tr -d ' ')" = "fffe" ]; then
    iconv -f UTF-16 -t UTF-8 "$ini" | tr -d '\r' >"$work/ini"
else
    tr -d '\r' <"$ini" >"$work/ini"
fi
expected=$(printf 'one\r\ntwo\r\nthree\r\nfour\r\n')
[ -f "$work/merged.txt" ] || fail "no merged file"
[ "$(cat "$work/merged.txt")" = "$expected" ] || fail "merged file: $(od -c "$work/merged.txt" | head)"
grep -q '^Out dir=.*\\$' "$work/ini" || fail "Out dir not kept: $(grep 'Out dir' "$work/ini")"
grep -q '^LastCmd="-f1 ' "$work/ini" || fail "LastCmd missing"
grep -q '^Tab size=8' "$work/ini" || fail "Options not saved"

# The directory walk, in a second run whose pickers open in the three directories.
mkdir -p "$work/d1" "$work/d2" "$work/target"
printf 'only in one\n' >"$work/d1/one.txt"
printf 'a\nb\n' >"$work/d1/pair.txt"
printf 'a\nB\n' >"$work/d2/pair.txt"
touch -d '2001-01-01 00:00' "$work/d2/pair.txt"
printf 'only in two\n' >"$work/d2/two.txt"
wine "$exe" -f1 "$left" -f2 "$right" -d1 "$(winepath -w "$work/d1")" -d2 "$(winepath -w "$work/d2")" \
    -outd "$(winepath -w "$work/target")" </dev/null >>"$work/stdout" 2>&1 &
pid=$!
main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear again"
sleep 1

# The pair's second row in the right pane: changed (green) while the pair is compared.
changed_row_shown() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    import -window root "$work/shot.png"
    [ "$(convert "$work/shot.png" -format "%[pixel:p{$((X + WIDTH * 3 / 4)),$((Y + 80))}]" info:)" \
        = "lime" ] || [ "$(convert "$work/shot.png" -format "%[hex:p{$((X + WIDTH * 3 / 4)),$((Y + 80))}]" info:)" \
        = "00FF00" ]
}
changed_row_shown || fail "the compared pair is not shown"
# Outside a walk Skip and Cancel do nothing: the pair stays compared in the panes.
alt_key s
alt_key c
visible '^Confirm the operation$' && fail "Alt+S or Alt+C acted outside a walk"
changed_row_shown || fail "Alt+S or Alt+C dropped the pair outside a walk"

click_ok() {  # click_ok PICKER: OK sits at 120..170 of its 177 units, below the caption
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove $((X + WIDTH * 145 / 177)) $((Y + 40)) click 1
}
# File > Compare Directories: the popup opened with a click on its label (after a walk
# the label has no Alt key), the item by its key. Each picker opens in its directory and
# is confirmed there with a click: Return in the directory list, where the focus
# starts, would open a directory.
start_walk() {
    local picker
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + 20)) $((Y + 32)) click 1
    sleep 0.5
    xdotool key d
    for title in 'Directory 1' 'Directory 2' 'Target Directory'; do
        picker=$(wait_window "^$title\$") || fail "no picker $title"
        sleep 0.3
        act_on "$picker" click_ok "$picker" || fail "the picker $title stayed open"
    done
}
answer() {  # answer KEY: the next walk question
    local q
    q=$(wait_window '^Confirm the operation$') || fail "no question to answer $1"
    sleep 0.3
    act_on "$q" xdotool key --window "$q" "$1" || fail "the question took no $1"
}
start_walk
answer y          # one.txt: copied
sleep 0.5         # pair.txt now waits in the panes
# Skip: nothing written for the pair. The next question opens at once, so the Escape
# that ends the menu mode Alt leaves behind comes after it.
focus_main
xdotool key --window "$main" alt+s
answer n          # two.txt: not copied
info=$(wait_window '^Info$') || fail "no success message after the walk"
sleep 0.3
act_on "$info" xdotool key --window "$info" Return || fail "the success message stayed open"
xdotool key Escape
sleep 0.3
[ "$(cat "$work/target/one.txt")" = "only in one" ] || fail "one.txt not copied"
[ -e "$work/target/pair.txt" ] && fail "Skip wrote the pair"
[ -e "$work/target/two.txt" ] && fail "a declined copy was made"

start_walk
answer n          # one.txt
sleep 0.5
alt_key c         # Cancel while the pair waits: the walk ends at once
sleep 1
visible '^Confirm the operation$' && fail "the walk went on after Alt+C"
visible '^Info$' && fail "Alt+C ended with the success message"
[ -e "$work/target/pair.txt" ] && fail "Cancel wrote the pair"

quit_program || fail "Alt+X did not end the second run"
rm -rf "$work"
echo "PASS"
