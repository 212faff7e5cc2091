#!/usr/bin/env bash
# The release files of scripts/package.sh: what each zip holds (the i686 program marked
# large-address-aware), that each MSI's File table names the program of its own
# architecture, and, under wine (DISPLAY and WINEPREFIX set by scripts/wine-env.sh),
# that the x86_64 MSI installs, the installed program runs on the sample pair (a
# screenshot is left in build/test-output), and uninstalling leaves nothing of it.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
version=1.2732
dist=$root/build/dist
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "package_test: FAILED: $*" >&2
    failures=$((failures + 1))
}
ok() { echo "package_test: ok: $*"; }

bash scripts/package.sh || { echo "package_test: package.sh failed" >&2; exit 1; }

# The machine type of a Windows program: "pei-i386" or "pei-x86-64".
pe_format() { x86_64-w64-mingw32-objdump -f "$1" | sed -n 's/.*file format \(pei-[a-z0-9-]*\).*/\1/p'; }

check_zip() {  # check_zip NAME FORMAT
    local zip=$dist/pairex-$version-$1.zip dir=$work/zip-$1
    mkdir -p "$dir"
    unzip -q "$zip" -d "$dir" || { fail "$zip does not unpack"; return; }
    local listed
    listed=$(cd "$dir" && ls | sort | tr '\n' ' ')
    [ "$listed" = "LICENSE.txt README.txt pairex-diff.exe pairex.exe " ] ||
        fail "$1 zip holds: $listed"
    for f in pairex.exe pairex-diff.exe; do
        [ "$(pe_format "$dir/$f")" = "$2" ] || fail "$1 zip: $f is $(pe_format "$dir/$f")"
    done
    for f in README.txt LICENSE.txt; do
        # Every line ends in CR LF.
        if grep -q $'[^\r]$' "$dir/$f" || ! grep -q $'\r$' "$dir/$f"; then
            fail "$1 zip: $f has lines without CR LF"
        fi
    done
    grep -q 'bash scripts/package.sh' "$dir/README.txt" || fail "$1 zip: README.txt is not the README"
    ok "$1 zip holds the four files, $2"
}

check_msi_files() {  # check_msi_files NAME FORMAT
    local msi=$dist/pairex-$version-$1.msi dir=$work/msi-$1
    local table
    table=$(msiinfo export "$msi" File) || { fail "$msi has no File table"; return; }
    for f in pairex.exe pairex-diff.exe README.txt LICENSE.txt; do
        printf '%s\n' "$table" | cut -f3 | grep -x "$f" >/dev/null || fail "$1 MSI: File table lacks $f"
    done
    mkdir -p "$dir"
    (cd "$dir" && msiextract "$msi" >/dev/null) || { fail "$msi does not extract"; return; }
    local exe
    exe=$(find "$dir" -name pairex.exe | head -n 1)
    [ -n "$exe" ] || { fail "$1 MSI: no pairex.exe inside"; return; }
    [ "$(pe_format "$exe")" = "$2" ] || fail "$1 MSI: pairex.exe is $(pe_format "$exe")"
    cmp -s "$exe" "$work/zip-$1/pairex.exe" || fail "$1 MSI: pairex.exe differs from the zip's"
    ok "$1 MSI's File table names pairex.exe, $2"
}

check_zip i686 pei-i386
check_zip x86_64 pei-x86-64
# Read whole first: grep -q would stop the writer early, and pipefail count that.
headers=$(x86_64-w64-mingw32-objdump -p "$work/zip-i686/pairex.exe")
if grep -q 'large address aware' <<<"$headers"; then
    ok "the i686 pairex.exe is large-address-aware"
else
    fail "the i686 pairex.exe is not large-address-aware"
fi
check_msi_files i686 pei-i386
check_msi_files x86_64 pei-x86-64

if [ -z "${WINEPREFIX:-}" ] || [ -z "${DISPLAY:-}" ]; then
    echo "package_test: no wine environment; the install under wine is not tried" >&2
    [ "$failures" -eq 0 ]
    exit $?
fi

# Wine's menu builder would also write desktop entries into the user's home.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
msi_win=$(winepath -w "$dist/pairex-$version-x86_64.msi")
installed_dir="$WINEPREFIX/drive_c/Program Files/Pairex"
# The installer asks for the common Start menu; wine's installer puts the entry into the
# user's own Start menu all the same. Either counts.
start_menu_entries() { find "$WINEPREFIX/drive_c" -ipath '*/Start Menu/Programs/Pairex.lnk'; }

if wine msiexec /i "$msi_win" /qn; then ok "msiexec /i"; else fail "msiexec /i exited $?"; fi
[ -f "$installed_dir/pairex.exe" ] && ok "installed: $installed_dir/pairex.exe" ||
    fail "no $installed_dir/pairex.exe"
menu_entry=$(start_menu_entries)
[ -n "$menu_entry" ] && ok "Start menu entry: $menu_entry" || fail "no Start menu entry Pairex.lnk"

# The installed program on the sample pair.
left=$(winepath -w "$root/samples/left.txt")
right=$(winepath -w "$root/samples/right.txt")
wine 'C:\Program Files\Pairex\pairex.exe' -f1 "$left" -f2 "$right" </dev/null >/dev/null 2>&1 &
program=$!
window=""
for _ in $(seq 150); do
    window=$(xdotool search --name '^Pairex v1\.2732$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.1
done
if [ -z "$window" ]; then
    fail "the installed program shows no window"
    kill "$program" 2>/dev/null
else
    sleep 2  # the comparison runs as the first thing in the message loop
    mkdir -p "$root/build/test-output"
    shot=$root/build/test-output/pairex-installed.png
    geometry=$(xdotool getwindowgeometry --shell "$window" |
        awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} /^X/{x=$2} /^Y/{y=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')
    import -window root -crop "$geometry" +repage "$shot"
    # The sample pair differs: the shot shows the changed rows' green.
    if convert "$shot" -format %c histogram:info:- | grep '#00FF00' >/dev/null; then
        ok "screenshot of the installed program: $shot"
    else
        fail "the screenshot $shot shows no compared pair"
    fi
    # Alt+X, after a click on the caption: synthetic keys reach only the window with the
    # focus, and one is now and then lost.
    for _ in 1 2 3; do
        eval "$(xdotool getwindowgeometry --shell "$window")"
        xdotool mousemove $((X + WIDTH / 2)) $((Y + 8)) click 1
        sleep 0.3
        xdotool key --window "$window" alt+x 2>/dev/null
        sleep 0.3
        xdotool key Escape 2>/dev/null
        for _ in $(seq 30); do kill -0 "$program" 2>/dev/null || break 2; sleep 0.1; done
    done
    if kill -0 "$program" 2>/dev/null; then
        fail "the installed program did not quit"
        kill "$program" 2>/dev/null
    else
        ok "the installed program quit"
    fi
fi

if wine msiexec /x "$msi_win" /qn; then ok "msiexec /x"; else fail "msiexec /x exited $?"; fi
[ ! -e "$installed_dir" ] && ok "no $installed_dir after uninstalling" ||
    fail "left after uninstalling: $(find "$installed_dir" | tr '\n' ' ')"
left_entries=$(find "$WINEPREFIX/drive_c" -iname 'pairex*.lnk')
[ -z "$left_entries" ] && ok "no Start menu entry after uninstalling" || fail "left: $left_entries"
if wine reg query 'HKLM\Software\Pairex' >/dev/null 2>&1; then
    fail "the registry key HKLM\\Software\\Pairex is left"
else
    ok "no registry key left"
fi

[ "$failures" -eq 0 ]
