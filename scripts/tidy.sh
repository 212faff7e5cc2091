#!/usr/bin/env bash
# clang-tidy (.clang-tidy at the root) over the platform-free code with the native
# build's compile commands, and over ui/win32 for the Windows target. Any finding fails.
# Needs the native build (cmake --preset native) for its compile_commands.json.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
[ -f build/native/compile_commands.json ] || { echo "tidy: configure the native preset first"; exit 2; }

log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
platform_free=$(ls common/*.cpp engine/*.cpp merge/*.cpp ui/*.cpp ui/view/*.cpp cli/*.cpp \
                   dircompare/*.cpp 2>/dev/null)
printf '%s\n' $platform_free | xargs -P 2 -n 4 clang-tidy --quiet -p build/native >"$log" 2>&1 ||
    status=1

# The Windows glue, parsed for the x86_64 target with the cross compiler's C++ headers.
gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
windows_flags=(--target=x86_64-w64-windows-gnu -std=c++20 -I. -Iresources
               -isystem "$gcc_dir/include/c++" -isystem "$gcc_dir/include/c++/x86_64-w64-mingw32"
               -isystem "$gcc_dir/include/c++/backward")
ls ui/win32/*.cpp | xargs -P 2 -I{} clang-tidy --quiet {} -- "${windows_flags[@]}" >>"$log" 2>&1 ||
    status=1

grep -E '(warning|error):' "$log" | grep -v 'warnings generated' | sort -u
if [ "$status" -ne 0 ]; then
    echo "tidy: findings above"
    exit 1
fi
echo "tidy: no findings"
