# One private X display for Wine programs; sourced, not run.
start_xvfb() {
    local n
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        TULVAR_XVFB_PID=$!
        export DISPLAY=":$n"
        local tries
        for tries in $(seq 1 50); do
            xdpyinfo >/dev/null 2>&1 && return 0
            kill -0 "$TULVAR_XVFB_PID" 2>/dev/null || break
            sleep 0.1
        done
    done
    echo "could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    # Wine's programs hold the display: end them before the server.
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${TULVAR_XVFB_PID:-}" ] && kill "$TULVAR_XVFB_PID" 2>/dev/null || true
    wait "${TULVAR_XVFB_PID:-}" 2>/dev/null || true
}
