#!/usr/bin/env bash
# Every C and C++ source of the tree must already be formatted by the root .clang-format.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.c' |
    xargs clang-format --dry-run --Werror && echo "format: clean"
