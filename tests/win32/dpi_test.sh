#!/usr/bin/env bash
# Runs pairex.exe on the sample pair at 96 and at 144 DPI and compares the two
# screenshots (dpi_check.py): rows and title bars grow by half, the layout keeps its
# proportions, the text is drawn at the new size rather than stretched. The DPI is the
# LogPixels value of "HKCU\Control Panel\Desktop", which wine 8 reads when its server
# starts; so this test makes a wine prefix of its own (the shared one stays at 96) and
# restarts that prefix's server between the runs.
# Usage: dpi_test.sh PAIREX_EXE SAMPLES_DIR OUTPUT_DIR PREFIX_DIR
set -uo pipefail
exe=$1 samples=$2
out=$(realpath -m "$3") prefix=$(realpath -m "$4")
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v import >/dev/null; then
    echo "SKIP: needs DISPLAY (source scripts/wine-env.sh), xdotool and ImageMagick"
    exit 77
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=C.UTF-8 WINEPREFIX=$prefix
pid=""
finish() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    wineserver -k 2>/dev/null
    rm -rf "$prefix"
}
trap finish EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

rm -rf "$prefix"
mkdir -p "$out"
wine wineboot -i >/dev/null 2>&1 || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
bash "$(dirname "$0")/../../scripts/wine-fonts.sh"
wineserver -w
left=$(winepath -w "$samples/left.txt")
right=$(winepath -w "$samples/right.txt")

for dpi in 96 144; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
        >/dev/null 2>&1 || fail "cannot set LogPixels"
    wineserver -k 2>/dev/null
    wineserver -w
    rm -f "$prefix/drive_c/users/$(id -un)/AppData/Roaming/Pairex/pairex.ini"  # the default fonts
    wine "$exe" -f1 "$left" -f2 "$right" </dev/null >/dev/null 2>&1 &
    pid=$!
    window=""
    for _ in $(seq 150); do
        window=$(xdotool search --onlyvisible --name '^Pairex v1\.2732$' 2>/dev/null | head -n 1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "the main window did not appear at $dpi DPI"
    eval "$(xdotool getwindowgeometry --shell "$window")"
    shot=$out/pairex-dpi-$dpi.png
    # Painted once the filler rows show (the icon has a little yellow too); then once
    # more, for the rest of the panes.
    for _ in $(seq 50); do
        import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
        yellow=$(convert "$shot" -format %c histogram:info:- |
            awk '/#FFFF00/ { sub(":", "", $1); print $1 }')
        [ "${yellow:-0}" -gt 2000 ] && break
        sleep 0.2
    done
    sleep 0.5
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shot"
    convert "$shot" "ppm:$out/pairex-dpi-$dpi.ppm" || fail "no screenshot at $dpi DPI"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    echo "Screenshot at $dpi DPI: $shot"
done
wineserver -k 2>/dev/null
python3 "$here/dpi_check.py" "$out/pairex-dpi-96.ppm" "$out/pairex-dpi-144.ppm"
status=$?
rm -f "$out"/pairex-dpi-*.ppm
exit $status
