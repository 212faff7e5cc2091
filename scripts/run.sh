#!/usr/bin/env bash
# Runs Pairex (the x86_64 Windows build under wine) on the bundled sample pair, or on
# the two files named. With a display the window opens there and the script waits
# until the program ends. Without one it starts its own virtual screen, lets the
# program compare the files, saves a screenshot of the window as a PNG, prints its
# path and quits the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
left=${1:-samples/left.txt}
right=${2:-samples/right.txt}
for f in "$left" "$right"; do
    [ -f "$f" ] || { echo "run.sh: no such file: $f" >&2; exit 2; }
done
bash scripts/setup.sh
echo "Building pairex.exe (win64 preset) ..."
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target pairex >/dev/null
exe=$root/build/win64/ui/win32/pairex.exe

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8
headless=0
[ -n "${DISPLAY:-}" ] || headless=1
if [ "$headless" -eq 1 ]; then
    export WINEPREFIX=$root/build/wineprefix-run-headless
else
    export WINEPREFIX=$root/build/wineprefix-run
fi

xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        wineserver -k 2>/dev/null || true
        kill "$xvfb_pid" 2>/dev/null || true
    fi
}
trap cleanup EXIT

if [ "$headless" -eq 1 ]; then
    n=90
    while [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
fi

if [ ! -d "$WINEPREFIX" ]; then
    echo "Preparing a wine prefix in $WINEPREFIX (once) ..."
    wine wineboot -i >/dev/null 2>&1 || true
    if [ "$headless" -eq 1 ]; then
        # Without a window manager, windows take the focus only when wine manages none.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
    fi
    wineserver -w
fi
# Also for a prefix made before the CJK font was linked.
bash scripts/wine-fonts.sh

left_win=$(winepath -w "$(realpath "$left")")
right_win=$(winepath -w "$(realpath "$right")")

if [ "$headless" -eq 0 ]; then
    wine "$exe" -f1 "$left_win" -f2 "$right_win"
    exit 0
fi

wine "$exe" -f1 "$left_win" -f2 "$right_win" </dev/null >/dev/null 2>&1 &
window=""
for _ in $(seq 200); do
    window=$(xdotool search --name '^Pairex v1\.2732$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    echo "run.sh: the Pairex window did not appear" >&2
    exit 1
fi
sleep 2  # the comparison runs as the first thing in the message loop
shot=$root/build/pairex-screenshot.png
geometry=$(xdotool getwindowgeometry --shell "$window" |
    awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} /^X/{x=$2} /^Y/{y=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
import -window root "$shot"
convert "$shot" -crop "$geometry" +repage "$shot" 2>/dev/null || true
echo "Screenshot of the Pairex window: $shot"
# Quit as a user would (Alt+X), so that the settings are saved.
xdotool key --window "$window" alt+x 2>/dev/null || true
sleep 0.5
xdotool key Escape 2>/dev/null || true
timeout 10 wineserver -w 2>/dev/null || true
