#!/usr/bin/env bash
# Times pairex-diff on five generated pairs (three ordinary, two reordered) and prints wall time, peak memory and the
# ratio of peak memory to the pair's combined size. Run by hand; never fails a build.
#
#   bash bench/run_bench.sh [RUNS]       (RUNS per pair, default 3; best time is kept)
#
# BENCH_OPTS adds engine options (for example BENCH_OPTS="-a -s -w", the merge's set).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-3}
opts=${BENCH_OPTS:-}
cd "$root"

if [ ! -x /usr/bin/time ]; then
    echo "run_bench: /usr/bin/time is missing (Debian package 'time')" >&2
    exit 0
fi
{ cmake --preset native && cmake --build --preset native --target pairex-diff gen_pair; } \
    >/tmp/pairex-bench-build.log 2>&1 || { tail -n 30 /tmp/pairex-bench-build.log; exit 0; }
diff_bin=$root/build/native/cli/pairex-diff
gen_bin=$root/build/native/bench/gen_pair

work=$(mktemp -d /tmp/pairex-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# name kind lines target-seconds target-ratio ("-" = no target)
pairs=(
    "sparse-1M sparse 1000000 0.3 3"
    "dense-200k dense 200000 1 -"
    "source-20k source 20000 - -"
    "shuffled-100k shuffled 100000 0.3 -"
    "alternate-1M alternate 1000000 2.5 -"
    "four-1M four 1000000 3 -"
)

printf '%-13s %8s %6s %6s %7s %6s %8s %6s  %s\n' pair lines MB status "wall s" "cpu s" "peak MB" ratio targets
echo "(best of $runs runs; load average now: $(cut -d' ' -f1-3 /proc/loadavg))"
for spec in "${pairs[@]}"; do
    read -r name kind lines t_target r_target <<<"$spec"
    "$gen_bin" "$kind" 1 "$work/$name.1" "$work/$name.2" "$lines" || { echo "$name: generator failed"; continue; }
    size=$(( $(stat -c %s "$work/$name.1") + $(stat -c %s "$work/$name.2") ))
    best=""
    best_cpu=""
    peak=0
    status=""
    for _ in $(seq "$runs"); do
        # Wall time from our own clock: time's own figure has 10 ms steps.
        t0=$(date +%s%N)
        # shellcheck disable=SC2086
        /usr/bin/time -v -o "$work/time.txt" "$diff_bin" $opts -o "$work/listing" \
            "$work/$name.1" "$work/$name.2" >/dev/null 2>"$work/stderr.txt"
        t1=$(date +%s%N)
        status=$(sed -n 's/^\s*Exit status: //p' "$work/time.txt")
        wall=$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
        rss=$(sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$work/time.txt")
        # CPU seconds (user + system): the fairer figure when other jobs share the cores.
        cpu=$(sed -n -e 's/^\s*User time (seconds): //p' -e 's/^\s*System time (seconds): //p' \
              "$work/time.txt" | awk '{ s += $1 } END { printf "%.2f", s }')
        if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then
            best_cpu=$cpu
        fi
        if [ -z "$best" ] || awk -v a="$wall" -v b="$best" 'BEGIN { exit !(a < b) }'; then
            best=$wall
        fi
        [ "$rss" -gt "$peak" ] && peak=$rss
    done
    ratio=$(awk -v p="$peak" -v s="$size" 'BEGIN { printf "%.2f", p * 1024 / s }')
    verdict=""
    # Every generated pair differs: any other status means the figures measure a failure.
    [ "$status" = 1 ] || verdict+="EXIT STATUS $status, expected 1; "
    if [ "$t_target" != "-" ]; then
        if awk -v a="$best" -v t="$t_target" 'BEGIN { exit !(a < t) }'; then
            verdict+="time<${t_target}s ok; "
        else
            verdict+="time<${t_target}s MISSED; "
        fi
    fi
    if [ "$r_target" != "-" ]; then
        if awk -v r="$ratio" -v t="$r_target" 'BEGIN { exit !(r < t) }'; then
            verdict+="mem<${r_target}x ok"
        else
            verdict+="mem<${r_target}x MISSED"
        fi
    fi
    printf '%-13s %8s %6.1f %6s %7s %6s %8.1f %6s  %s\n' "$name" "$lines" \
        "$(awk -v s="$size" 'BEGIN { print s / 1048576 }')" "$status" "$best" "$best_cpu" \
        "$(awk -v p="$peak" 'BEGIN { print p / 1024 }')" "$ratio" "$verdict"
    if [ -s "$work/stderr.txt" ]; then
        echo "  messages: $(head -c 300 "$work/stderr.txt")"
    fi
done
exit 0
