#!/bin/bash
# Fails when an external symbol is defined in more than one object file of the
# product's libraries. Usage: one_definition_test.sh NM LISTING, where each line of
# LISTING is "LIBRARY FILE" (a static library or one object of an object library).
# Weak definitions (W, V: inline functions, templates) and unique globals (u: their
# static data) may repeat; every other defined global may not.
set -euo pipefail
nm_tool=$1
listing=$2

symbols=$(while read -r library file; do
    [ -n "$file" ] || continue
    # POSIX format: "archive[member]: symbol type value size" (no member for an object).
    "$nm_tool" -g --defined-only -P -A "$file" |
        awk -v lib="$library" '$3 ~ /^[TDBRGSCI]$/ { sub(/:$/, "", $1); print $2, lib, $1 }'
done <"$listing")

if [ -z "$symbols" ]; then
    echo "no symbols read from the libraries in $listing" >&2
    exit 1
fi

duplicates=$(sort <<<"$symbols" | awk '
    $1 == last { if (!shown) print prev; print; shown = 1; next }
    { last = $1; prev = $0; shown = 0 }')
if [ -n "$duplicates" ]; then
    echo "symbols defined more than once (symbol, library, object):"
    c++filt <<<"$duplicates"
    exit 1
fi
echo "$(wc -l <<<"$symbols") external definitions, each defined once"
