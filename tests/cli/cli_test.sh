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

# What text mode drops out of sight is said on standard error, one line a file and a
# kind, while the listing and the status stay those of the text compared.
printf 'same\n\032hidden one\n' >eof1.txt
printf 'same\n\032hidden two\n' >eof2.txt
run eof1.txt eof2.txt
check "data after Ctrl-Z: status" 0 "$status"
check "data after Ctrl-Z: listing" "" "$out"
check "data after Ctrl-Z: warnings" "$(printf 'The data after the Ctrl-Z character in eof1.txt is ignored\nThe data after the Ctrl-Z character in eof2.txt is ignored')" "$err"
printf 'a\rb\n' >cr1.txt
printf 'ab\r\n' >cr2.txt
run cr1.txt cr2.txt
check "lone carriage return: status" 0 "$status"
check "lone carriage return: warning" "Carriage returns not followed by a line feed in cr1.txt are ignored" "$err"
# A carriage return and its line feed in two reads are one line end; a Ctrl-Z at the
# very end of the data hides nothing.
{ head -c 8191 /dev/zero | tr '\0' 'x'; printf '\r\nend\n\032'; } >split.txt
run -a split.txt split.txt
check "line end across reads, final Ctrl-Z: no warning" "" "$err"

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

# An output file that is one of the operands, under any spelling, is refused before it
# is opened: the input stays as it was.
printf 'in one\n' >in1.txt
printf 'in two\n' >in2.txt
for spelling in in1.txt ./in1.txt "$work/in1.txt" sub/../in1.txt; do
    mkdir -p sub
    run -o "$spelling" in1.txt in2.txt
    check "-o onto the first operand as $spelling: status" 2 "$status"
    check "-o onto the first operand as $spelling: message" \
        "Output file $spelling is one of the compared files" "$err"
    check "-o onto the first operand as $spelling: input kept" "in one" "$(tr -d '\r' <in1.txt)"
done
run -o in2.txt in1.txt ./in2.txt
check "-o onto the second operand: status" 2 "$status"
check "-o onto the second operand: input kept" "in two" "$(tr -d '\r' <in2.txt)"
run -s -o in1.txt in1.txt in1.txt
check "-o onto identical operands: status" 2 "$status"
check "-o onto identical operands: input kept" "in one" "$(tr -d '\r' <in1.txt)"
mkdir -p d1 d2
printf 'x\n' >d1/a.txt
printf 'y\n' >d2/a.txt
printf 'kept\n' >d1/b.txt
printf 'kept\n' >d2/b.txt
run -o d1/b.txt d1 d2
check "-o onto a file of a compared directory: status" 2 "$status"
check "-o onto a file of a compared directory: input kept" "kept" "$(tr -d '\r' <d1/b.txt)"
run -o d2/b.txt d1/b.txt d2
check "-o onto the namesake in a directory operand: status" 2 "$status"
rm d1/b.txt d2/b.txt
run -o d1/new.txt d1 d2
check "-o a new file inside a compared directory: status" 1 "$status"
check "-o a new file inside a compared directory: listing" "$(printf '1c1\n< x\n---\n> y')" \
    "$(tr -d '\r' <d1/new.txt)"
if [ -z "$emulator" ]; then
    # Standard input's identity is known only where the runtime tells it.
    "$program" -o in1.txt - in2.txt <in1.txt >out.bin 2>err.bin
    check "-o onto standard input: status" 2 "$?"
    check "-o onto standard input: input kept" "in one" "$(cat in1.txt)"
    # A failure writing the identical-files line is trouble, as for a listing.
    run -s -o /dev/full in1.txt in1.txt
    check "identical-files line not written: status" 2 "$status"
    check "identical-files line not written: message" "Error writing temp. file" "$err"
fi

# The binary test looks at the bytes as stored: a leading Ctrl-Z hides nothing.
printf '\032\000AAAA' >ctrlz1.bin
printf '\032\000BBBB' >ctrlz2.bin
run ctrlz1.bin ctrlz2.bin
check "binary pair behind a Ctrl-Z: status" 1 "$status"
run -s ctrlz1.bin ctrlz1.bin
check "binary pair behind a Ctrl-Z, equal: listing" "Files ctrlz1.bin and ctrlz1.bin are identical" "$out"
if [ -n "$emulator" ]; then
    "$emulator" "$program" - ctrlz2.bin <ctrlz1.bin >out.bin 2>err.bin
else
    "$program" - ctrlz2.bin <ctrlz1.bin >out.bin 2>err.bin
fi
check "binary pair behind a Ctrl-Z from a pipe: status" 1 "$?"

# Names in any script, for files and directories, as operands and as the output file.
mkdir -p 'Слева' 'Δεξιά'
printf 'один\nnaïve\n' >'Слева/файл ü.txt'
printf 'один\nnaive\n' >'Δεξιά/файл ü.txt'
run 'Слева/файл ü.txt' 'Δεξιά/файл ü.txt'
check "names in any script: status" 1 "$status"
check "names in any script: listing" "$(printf '2c2\n< naïve\n---\n> naive')" "$out"
run -s 'Слева/файл ü.txt' 'Слева/файл ü.txt'
check "names in any script: identical" "Files Слева/файл ü.txt and Слева/файл ü.txt are identical" "$out"
run 'Слева' 'Δεξιά'
check "directories named in any script: listing" "$(printf '2c2\n< naïve\n---\n> naive')" "$out"
run -o '日本 вывод.txt' 'Слева/файл ü.txt' 'Δεξιά/файл ü.txt'
check "output named in any script" "$(printf '2c2\n< naïve\n---\n> naive')" \
    "$(tr -d '\r' <'日本 вывод.txt')"
run 'Слева/нет.txt' 'Δεξιά/файл ü.txt'
check "missing name in any script" "Error in file Слева/нет.txt" "$err"

# In 8-bit text 0xC2 is a letter of its own: only a lone 0xA0 is a no-break space.
printf 'caf\351 \302\240total\n' >cp1252-a.txt
printf 'caf\351 total\n' >cp1252-b.txt
run -w cp1252-a.txt cp1252-b.txt
check "-w in 8-bit text: a letter before a no-break space counts" 1 "$status"
printf 'caf\351\240total\n' >cp1252-c.txt
run -w cp1252-c.txt cp1252-b.txt
check "-w in 8-bit text: a lone no-break space does not" 0 "$status"

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
