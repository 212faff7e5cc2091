#!/usr/bin/env bash
# Times the Windows program under wine on a pair of huge single lines (gen_pair's
# "oneline", 100,000,000 bytes by default) against the engine alone on the same pair:
# pairex-diff.exe under wine side by side with the program, and the native pairex-diff
# for reference. Prints wall times, peak memory and the ratios.
# Usage: bash bench/line_bench.sh [SIZE [ROUNDS]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
size=${1:-100000000}
rounds=${2:-3}
bash scripts/setup.sh
cmake --preset native >/dev/null && cmake --build --preset native --target gen_pair pairex-diff >/dev/null
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target line_bench pairex-diff >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; type wine_env_stop >/dev/null 2>&1 && wine_env_stop' EXIT
build/native/bench/gen_pair oneline 1 "$work/first.txt" "$work/second.txt" "$size"
pair_mb=$(stat -c %s "$work/first.txt" "$work/second.txt" | awk '{s += $1} END {printf "%.1f", s / 1e6}')
echo "pair: $pair_mb MB (two single lines)"
source scripts/wine-env.sh
first=$(winepath -w "$work/first.txt")
second=$(winepath -w "$work/second.txt")
# "wall_s peak_kb" of a command, its output dropped.
timed() { /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || true; tail -n 1 "$work/time"; }
for round in $(seq "$rounds"); do
    echo "round $round"
    read -r native_s native_kb < <(timed build/native/cli/pairex-diff -o "$work/listing" \
        "$work/first.txt" "$work/second.txt")
    read -r engine_s engine_kb < <(timed wine build/win64/cli/pairex-diff.exe -o \
        "$(winepath -w "$work/listing")" "$first" "$second")
    wine build/win64/bench/line_bench.exe "$first" "$second" | tee "$work/program"
    first_number() { awk -v what="$1" '$0 ~ what {for (i = 1; i <= NF; i++) if ($i ~ /^[0-9.]+$/) {print $i; exit}}' "$work/program"; }
    paint_ms=$(first_number 'start to first paint')
    peak_mb=$(first_number 'peak memory')
    awk -v n="$native_s" -v nk="$native_kb" -v e="$engine_s" -v ek="$engine_kb" \
        -v p="$paint_ms" -v pm="$peak_mb" -v size="$pair_mb" 'BEGIN {
        printf "pairex-diff, native:                %8.0f ms, peak %6.1f MB\n", n * 1000, nk / 1000
        printf "pairex-diff.exe under wine:         %8.0f ms, peak %6.1f MB\n", e * 1000, ek / 1000
        printf "program to first paint / engine:    %8.2f (target at most 2)\n", p / (e * 1000)
        printf "program peak / pair size:           %8.2f (target at most 3)\n", pm / size
    }'
done
