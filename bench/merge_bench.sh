#!/bin/sh
# Benchmark of one large merge (1,000,000 lines a side, 0.1% edits). Prints wall times
# and the peak memory of the load/compare/write run. Never fails a test run.
# Needs the native build: cmake --preset native && cmake --build --preset native
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
lib="$root/build/native"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --build --preset native --target merge_bench >/dev/null
bench="$lib/bench/merge_bench"
"$bench" generate "$work"
ls -l "$work/left.txt" "$work/right.txt" | awk '{ print $5, $9 }'
export TMP="$work"
/usr/bin/time -v "$bench" run "$work" 2>"$work/time.txt"
grep -E "Elapsed|Maximum resident" "$work/time.txt"
