#!/usr/bin/env bash
# Times the directory walk under wine with the Windows file search and file operations.
# Two directories of SMALL and of LARGE files each: the time per file of both and their
# ratio (a linear walk costs the same per file at either size). With "tree": FILES a side
# in FOLDERS folder pairs (a third identical, a third one-sided, a third differing),
# walked one folder pair after another, and the time per file of each kind; a second
# program (BEFORE, another build of dir_walk_bench.exe) walks the same tree first, so
# that the two figures come from one run.
# Usage: bash bench/dir_walk_bench.sh [SMALL LARGE]
#        bash bench/dir_walk_bench.sh tree [FILES FOLDERS [BEFORE]]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target dir_walk_bench >/dev/null
bench=build/win64/bench/dir_walk_bench.exe
work=$(mktemp -d)
trap 'rm -rf "$work"; type wine_env_stop >/dev/null 2>&1 && wine_env_stop' EXIT
source scripts/wine-env.sh
if [ "${1:-}" = tree ]; then
    files=${2:-100000}
    folders=${3:-1000}
    before=${4:-}
    # Made natively: under wine the 200,000 files of the full tree take ten minutes.
    cmake --preset native >/dev/null && cmake --build --preset native --target dir_walk_bench >/dev/null
    build/native/bench/dir_walk_bench "$files" "$work" tree-make "$folders"
    for program in $before "$bench"; do
        echo "== $program, load average $(cut -d' ' -f1-3 /proc/loadavg)"
        wine "$program" "$files" "$(winepath -w "$work")" tree-walk "$folders"
    done
    exit 0
fi
small=${1:-1000}
large=${2:-10000}
per_file() {  # per_file FILES -> prints the walk's line, leaves the figure in $us
    local out
    mkdir -p "$work/$1"
    out=$(wine "$bench" "$1" "$(winepath -w "$work/$1")")
    echo "$out"
    us=$(echo "$out" | sed -n 's/.*, \([0-9.]*\) us per file.*/\1/p')
}
per_file "$small"
small_us=$us
per_file "$large"
echo "per-file cost, $large against $small files: $(awk "BEGIN { printf \"%.2f\", $us / $small_us }")"
