#!/usr/bin/env bash
# The whole test suite: the format check, native tests and clang-tidy, sanitizers,
# fuzzing (bounded), the i686 product build, the win64 build's tests under wine64 and
# Xvfb, with a PDF printer of their own, and the release files of scripts/package.sh.
# Ends with "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || { echo "setup failed"; exit 1; }

passed=0
failed=0
failures=()
step() {  # step NAME COMMAND...
    local name=$1
    shift
    echo "=== $name"
    local t0=$SECONDS
    if "$@"; then
        passed=$((passed + 1))
        echo "=== $name: ok ($((SECONDS - t0)) s)"
    else
        failed=$((failed + 1))
        failures+=("$name")
        echo "=== $name: FAILED ($((SECONDS - t0)) s)"
    fi
}
build() {  # build PRESET
    cmake --preset "$1" >"build/configure-$1.log" 2>&1 || { cat "build/configure-$1.log"; return 1; }
    cmake --build --preset "$1" 2>&1 | tail -n 40
    return "${PIPESTATUS[0]}"
}
ctest_in() {  # ctest_in PRESET
    ctest --test-dir "build/$1" --output-on-failure --timeout 900 -j "${2:-2}"
}
mkdir -p build

step "format check" bash scripts/format-check.sh
step "native build" build native && step "native tests" ctest_in native
step "clang-tidy" bash scripts/tidy.sh
step "asan build" build asan && step "asan tests" ctest_in asan
step "fuzz build" build fuzz && step "fuzz runs" ctest_in fuzz
step "win32 build (i686 product)" build win32
if step "win64 build" build win64; then
    # The printer first: wine reads the printing system's address when it starts.
    source scripts/printer-env.sh
    source scripts/wine-env.sh
    step "win64 tests under wine" ctest_in win64 1
    # The release files; the x86_64 MSI is installed, run and removed in the same prefix.
    step "packages (zips, MSIs, install under wine)" bash tests/package/package_test.sh
    wine_env_stop
    printer_env_stop
fi

echo
if [ ${#failures[@]} -gt 0 ]; then
    printf 'failed step: %s\n' "${failures[@]}"
fi
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
