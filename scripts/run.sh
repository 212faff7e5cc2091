#!/usr/bin/env bash
# Runs Pairex on the bundled sample pair, or on the two files named.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
left=${1:-samples/left.txt}
right=${2:-samples/right.txt}
bash scripts/setup.sh
cmake --preset native >/dev/null
cmake --build --preset native --target pairex-diff >/dev/null
set +e
build/native/cli/pairex-diff "$left" "$right"
status=$?
echo "(pairex-diff exit status $status: 0 no differences, 1 differences, 2 trouble)"
