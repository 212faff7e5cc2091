#!/usr/bin/env bash
# Address space of pairex-diff on large pairs, as a ratio of the pair's size: the run
# must succeed with its address space limited to 3 times the two files plus a fixed
# allowance for the process. Pairs whose first lines are much shorter than the rest
# once made the engine size its line tables for far more lines than the files hold.
set -u
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
passes=0

# FIRST_LINE_TEXT FILE CHANGED: a 50 MB file of numbered lines after ten lines of
# FIRST_LINE_TEXT; its first and last numbered lines differ in the second file, so that
# the whole file lies between the first and the last difference.
make_file() {
    { for _ in 1 2 3 4 5 6 7 8 9 10; do echo "$1"; done
      echo "first $3"
      seq -f 'line %.0f of the generated text' 1 1700000
      echo "last $3"; } >"$2"
}
check_pair() {  # check_pair NAME FIRST_LINE_TEXT
    make_file "$2" one.txt 1
    make_file "$2" two.txt 2
    local size=$(( $(stat -c %s one.txt) + $(stat -c %s two.txt) ))
    local limit_kb=$(( size * 3 / 1024 + 65536 ))
    (ulimit -v "$limit_kb"; "$program" -o listing.txt one.txt two.txt 2>err.txt)
    local status=$?
    if [ "$status" -eq 1 ] && [ ! -s err.txt ] && [ "$(head -c 4 listing.txt)" = "11c1" ]; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        echo "FAIL $1: status $status within $limit_kb KB; $(head -c 200 err.txt)"
    fi
}
check_pair "ordinary first lines" "an ordinary first line of text"
check_pair "very short first lines" "a"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
