# Sourced by the tests that drive pairex.exe from outside with xdotool. They set `work`
# (a folder removed on failure), `pid` (the program, or what runs it) and `main` (the
# main window's id).
pid=""
fail() {
    echo "FAIL: $*"
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
    exit 1
}
wait_window() {  # wait_window REGEX -> prints the window id
    local w=""
    for _ in $(seq 150); do
        w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$w" ] && { echo "$w"; return 0; }
        sleep 0.1
    done
    return 1
}
# A click on the main window's caption: keys reach only the window that has the focus,
# which a closed dialog does not always hand back.
focus_main() {
    eval "$(xdotool getwindowgeometry --shell "$main")"
    xdotool mousemove $((X + WIDTH / 2)) $((Y + 8)) click 1
    sleep 0.3
}
# quit_program: Alt+X until `pid` has ended (a synthetic key is now and then lost).
quit_program() {
    for _ in 1 2 3; do
        focus_main
        xdotool key --window "$main" alt+x
        sleep 0.3
        xdotool key Escape
        for _ in $(seq 30); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    done
    return 1
}
