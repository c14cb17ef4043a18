# Sourced by the checks that drive the program on a real X server with a window manager
# (Xvfb and openbox): a work folder, the processes to end, the check lines and the
# window helpers.

work=$(mktemp -d)
pids=()
failures=0

# Ends what the check started and removes the work folder; the check's EXIT trap calls it.
end_session() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}

check() {  # check "what" command...
    local what=$1
    shift
    if "$@"; then echo "ok    $what"; else echo "FAIL  $what"; failures=$((failures + 1)); fi
}

start_x() {  # start_x DISPLAY WIDTHxHEIGHT
    export DISPLAY=$1
    Xvfb "$1" -screen 0 "${2}x24" -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
}

window_of() {  # the first visible window of that exact title, waiting for it
    for _ in $(seq 75); do
        local id
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}

click_at() {  # click_at window x y (window coordinates)
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.4
}
