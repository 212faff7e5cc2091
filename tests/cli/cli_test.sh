#!/usr/bin/env bash
# Runs pairex-diff (natively, or under the emulator given as the second argument) and
# checks exit statuses, the listing on standard output and the message lines.
set -u
program=$1
emulator=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
passes=0
run() {  # run ARGS...: sets status, out, err
    if [ -n "$emulator" ]; then
        "$emulator" "$program" "$@" >out.bin 2>err.bin </dev/null
    else
        "$program" "$@" >out.bin 2>err.bin </dev/null
    fi
    status=$?
    out=$(tr -d '\r' <out.bin)
    err=$(tr -d '\r' <err.bin)
}
check() {  # check NAME EXPECTED ACTUAL
    if [ "$2" == "$3" ]; then
        passes=$((passes + 1))
    else
        failures=$((failures + 1))
        printf 'FAIL %s\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$3"
    fi
}

printf 'a\nb\nc\n' >left.txt
printf 'a\nB\nc\nd\n' >right.txt
run left.txt right.txt
check "differences: status" 1 "$status"
check "differences: listing on standard output" "$(printf '2c2\n< b\n---\n> B\n3a4\n> d')" "$out"
check "differences: no messages" "" "$err"

run left.txt left.txt
check "equal: status" 0 "$status"
check "equal: nothing listed" "" "$out"

run -s left.txt left.txt
check "equal with -s" "Files left.txt and left.txt are identical" "$out"

run -i -o listing.txt left.txt right.txt
check "-o: status" 1 "$status"
check "-o: standard output stays empty" "" "$out"
check "-o: listing in the file" "$(printf '3a4\n> d')" "$(tr -d '\r' <listing.txt)"

run -c left.txt right.txt
check "usage error: status 2" 2 "$status"
check "usage error: message" "Error #2" "$(grep -v ': ' <<<"$err")"

run --i left.txt right.txt
check "ambiguous option: messages" "$(printf 'Error #1\nError #2')" "$(grep -v ': ' <<<"$err")"

run left.txt missing.txt
check "missing operand: status" 2 "$status"
check "missing operand: message" "Error in file missing.txt" "$err"

printf 'x\n' >'naïve ümlaut.txt'
run left.txt 'naïve ümlaut.txt'
check "non-ASCII name: status" 1 "$status"
check "non-ASCII name: listing" "$(printf '1,3c1\n< a\n< b\n< c\n---\n> x')" "$out"

printf 'abc' >nolf.txt
printf 'abc\n' >lf.txt
run nolf.txt lf.txt
check "missing final line feed" "$(printf '1c1\n< abcNo newline at end of file\n---\n> abc')" "$out"

# Standard input is read whole, well past its first block.
seq 1 3000 >numbers.txt
seq 1 3001 >more.txt
if [ -n "$emulator" ]; then
    seq 1 3000 | "$emulator" "$program" - more.txt >out.bin 2>err.bin
else
    seq 1 3000 | "$program" - more.txt >out.bin 2>err.bin
fi
check "piped standard input: status" 1 "$?"
check "piped standard input: listing" "$(printf '3000a3001\n> 3001')" "$(tr -d '\r' <out.bin)"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
