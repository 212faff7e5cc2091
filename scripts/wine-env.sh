# Sourced: starts Xvfb and prepares a fresh wine prefix for the Windows tests.
# Sets DISPLAY and WINEPREFIX; wine_env_stop ends both.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
export WINEPREFIX="$root/build/wineprefix"
display_num=${PAIREX_DISPLAY:-77}
while [ -e "/tmp/.X${display_num}-lock" ]; do display_num=$((display_num + 1)); done
Xvfb ":$display_num" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
WINE_ENV_XVFB=$!
export DISPLAY=":$display_num"
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$display_num" ] && break; sleep 0.1; done
rm -rf "$WINEPREFIX"
wine wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
bash "$root/scripts/wine-fonts.sh"
wineserver -w
# A program that sleeps forever keeps the server and the desktop up: each test program
# then starts in a fraction of a second.
mkdir -p "$root/build/wine-tools"
x86_64-w64-mingw32-gcc -O1 -o "$root/build/wine-tools/keepalive.exe" "$root/tests/win32/keepalive.c"
wine "$root/build/wine-tools/keepalive.exe" </dev/null >/dev/null 2>&1 &
sleep 1
wine_env_stop() {
    wineserver -k 2>/dev/null || true
    kill "$WINE_ENV_XVFB" 2>/dev/null || true
}
