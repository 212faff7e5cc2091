#!/usr/bin/env bash
# Times the directory walk under wine with the Windows file search, on two directories
# of 1,000 and of 10,000 files each, and prints the time per file of both and their
# ratio: a linear walk costs the same per file at either size.
# Usage: bash bench/dir_walk_bench.sh [SMALL LARGE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
small=${1:-1000}
large=${2:-10000}
bash scripts/setup.sh
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target dir_walk_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; type wine_env_stop >/dev/null 2>&1 && wine_env_stop' EXIT
source scripts/wine-env.sh
per_file() {  # per_file FILES -> prints the walk's line, leaves the figure in $us
    local out
    mkdir -p "$work/$1"
    out=$(wine build/win64/bench/dir_walk_bench.exe "$1" "$(winepath -w "$work/$1")")
    echo "$out"
    us=$(echo "$out" | sed -n 's/.*, \([0-9.]*\) us per file.*/\1/p')
}
per_file "$small"
small_us=$us
per_file "$large"
echo "per-file cost, $large against $small files: $(awk "BEGIN { printf \"%.2f\", $us / $small_us }")"
