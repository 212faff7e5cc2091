#!/usr/bin/env bash
# Runs a Windows program under wine64 with the project's test environment; used by
# ctest as the cross-compiling emulator of the win64 build.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
: "${WINEPREFIX:=$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix}"
export WINEPREFIX
exec wine "$@"
