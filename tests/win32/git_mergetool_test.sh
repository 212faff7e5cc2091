#!/usr/bin/env bash
# git's mergetool with pairex.exe in conflict mode, under wine and Xvfb (the caller has
# sourced scripts/wine-env.sh), in a repository of LF files made here. First run: the
# conflict of notes.txt (whose last line has no line feed) is decided From Right, written
# with Ctrl+W, and the program quit: git stages the file, and every byte is the one
# expected. Second run: other.txt, quit at once without a Write: git keeps the conflict.
# Third run: list.txt, where both branches added a line, takes both with Shift+Alt+Right
# (Left then right): both lines, in that order, with LF ends.
# No .bak and no temporary file is left in the work tree.
# Usage: git_mergetool_test.sh PAIREX_EXE
set -uo pipefail
exe=$1
if [ -z "${DISPLAY:-}" ] || [ -z "${WINEPREFIX:-}" ] || ! command -v xdotool >/dev/null ||
    ! command -v git >/dev/null; then
    echo "SKIP: needs DISPLAY, WINEPREFIX, xdotool and git (source scripts/wine-env.sh)"
    exit 77
fi
# Synthetic input under Xvfb without a window manager is now and then lost; a fault
# fails every attempt.
if [ -z "${GIT_TEST_ATTEMPT:-}" ]; then
    for attempt in 1 2 3; do
        GIT_TEST_ATTEMPT=$attempt bash "$0" "$@" && exit 0
        echo "attempt $attempt failed"
    done
    exit 1
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
work=$(mktemp -d)
source "$(dirname "$0")/outside_helpers.sh"

repo=$work/repo
git init -q -b main "$repo" || fail "git init"
cd "$repo" || fail "cd"
git config user.name Test && git config user.email test@example.invalid
git config core.autocrlf false
printf 'title\ncommon one\nvalue = 1\ncommon two\nlast line' >notes.txt
printf 'alpha\nbeta\n' >other.txt
printf 'fruit:\napple\npear\n' >list.txt
git add . && git commit -q -m base
git checkout -q -b topic
printf 'title\ncommon one\nvalue = 3\ncommon two\nlast line' >notes.txt
printf 'alpha\nBETA\n' >other.txt
printf 'fruit:\napple\ncherry\npear\n' >list.txt
git commit -q -am topic
git checkout -q main
printf 'title\ncommon one\nvalue = 2\ncommon two\nlast line' >notes.txt
printf 'alpha\nbeta 2\n' >other.txt
printf 'fruit:\napple\nbanana\npear\n' >list.txt
git commit -q -am main
git merge -q topic >/dev/null 2>&1 && fail "the merge had no conflict"
conflicted=$(cat notes.txt)
grep -q '^<<<<<<< HEAD$' notes.txt || fail "no markers in notes.txt: $conflicted"

# The configuration the README gives, with wine in front of the program.
git config mergetool.pairex.cmd "wine '$exe' -merge \"\$MERGED\""
git config mergetool.pairex.trustExitCode true
git config merge.tool pairex

git mergetool --no-prompt notes.txt </dev/null >"$work/run1.log" 2>&1 &
pid=$!
main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear"
sleep 1
# Select > From Right through the menu bar, then Write and Quit.
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove $((X + 114)) $((Y + 32)) click 1
sleep 0.5
xdotool key r
sleep 0.3
xdotool key --window "$main" ctrl+w
sleep 0.5
xdotool search --onlyvisible --name '^Save As$' >/dev/null 2>&1 && fail "Write showed a save dialog"
quit_program || fail "Alt+X did not end the program"
wait "$pid"
status=$?
pid=""
[ "$status" = 0 ] || fail "mergetool failed ($status): $(cat "$work/run1.log")"
expected=$(printf 'title\ncommon one\nvalue = 3\ncommon two\nlast line')
[ "$(cat notes.txt)" = "$expected" ] || fail "notes.txt: $(od -c notes.txt | head)"
# cat drops no byte at the end: compare the sizes too (no final line feed was added).
[ "$(wc -c <notes.txt)" = "${#expected}" ] || fail "notes.txt has $(wc -c <notes.txt) bytes"
git status --porcelain notes.txt | grep -q '^M  notes.txt$' ||
    fail "notes.txt not staged: $(git status --porcelain)"

git mergetool --no-prompt other.txt </dev/null >"$work/run2.log" 2>&1 &
pid=$!
main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear again"
sleep 1
quit_program || fail "Alt+X did not end the second run"
wait "$pid"
status=$?
pid=""
[ "$status" != 0 ] || fail "mergetool succeeded without a Write"
git status --porcelain other.txt | grep -q '^UU other.txt$' ||
    fail "the conflict of other.txt is gone: $(git status --porcelain)"
grep -q '^<<<<<<< HEAD$' other.txt || fail "other.txt lost its markers"

git mergetool --no-prompt list.txt </dev/null >"$work/run3.log" 2>&1 &
pid=$!
main=$(wait_window '^Pairex v1\.2732$') || fail "the main window did not appear a third time"
sleep 1
focus_main
xdotool key --window "$main" shift+alt+Right
sleep 0.3
xdotool key Escape
xdotool key --window "$main" ctrl+w
sleep 0.5
quit_program || fail "Alt+X did not end the third run"
wait "$pid"
status=$?
pid=""
[ "$status" = 0 ] || fail "mergetool failed on list.txt ($status): $(cat "$work/run3.log")"
[ "$(od -An -c list.txt | tr -s ' ')" = "$(printf 'fruit:\napple\nbanana\ncherry\npear\n' | od -An -c | tr -s ' ')" ] ||
    fail "list.txt: $(od -c list.txt | head)"

leftovers=$(find . -path ./.git -prune -o -type f \( -name '*.bak' -o -name '~px*' \) -print)
[ -z "$leftovers" ] || fail "left behind: $leftovers"
cd / && rm -rf "$work"
echo "PASS"
