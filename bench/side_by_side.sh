#!/usr/bin/env bash
# The engine against merely reading its input: pairex-diff and `wc -l` run alternately
# on the same generated pair, ROUNDS times after a warm-up; prints the medians, their
# ratio, user and system time and the peak memory of each. Run by hand.
#
#   bash bench/side_by_side.sh [ROUNDS] [KIND] [LINES]     (default 9 sparse)
#
# BENCH_OPTS adds engine options (for example BENCH_OPTS="-a -s -w", the merge's set).
# BEFORE=PROGRAM runs an older pairex-diff in each round too (its listing must be the
# same), so that a change is measured at the same moments of the machine's load.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-9}
kind=${2:-sparse}
lines=${3:-}
cd "$root"
{ cmake --preset native && cmake --build --preset native --target pairex-diff gen_pair side_by_side; } \
    >/tmp/pairex-side-build.log 2>&1 || { tail -n 30 /tmp/pairex-side-build.log; exit 0; }
work=$(mktemp -d /tmp/pairex-side.XXXXXX)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2086
build/native/bench/gen_pair "$kind" 1 "$work/first" "$work/second" $lines || exit 0
size=$(( $(stat -c %s "$work/first") + $(stat -c %s "$work/second") ))
echo "pair: $kind, $(awk -v s="$size" 'BEGIN { printf "%.1f", s / 1048576 }') MB;" \
     "options: ${BENCH_OPTS:-none}; $rounds rounds; load average $(cut -d' ' -f1-3 /proc/loadavg)"
# shellcheck disable=SC2086
build/native/bench/side_by_side ${BEFORE:+--before "$BEFORE"} "$rounds" build/native/cli/pairex-diff "$work/first" \
    "$work/second" "$work/listing" ${BENCH_OPTS:-}
exit 0
