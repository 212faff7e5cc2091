#!/usr/bin/env bash
# Times the Windows program under wine on a benchmark pair (by default the
# 1,000,000-line sparse one): start to first complete paint of both panes, with a
# breakdown, and a page step's repaint without and with the marks within lines.
# Usage: bash bench/pane_bench.sh [LINES [KIND]]   (KIND as gen_pair's, e.g. onechar)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
lines=${1:-1000000}
kind=${2:-sparse}
bash scripts/setup.sh
cmake --preset native >/dev/null && cmake --build --preset native --target gen_pair >/dev/null
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target pane_bench >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"; type wine_env_stop >/dev/null 2>&1 && wine_env_stop' EXIT
build/native/bench/gen_pair "$kind" 1 "$work/first.txt" "$work/second.txt" "$lines"
ls -l "$work"/first.txt "$work"/second.txt | awk '{print $5, $NF}'
source scripts/wine-env.sh
wine build/win64/bench/pane_bench.exe "$(winepath -w "$work/first.txt")" \
    "$(winepath -w "$work/second.txt")"
