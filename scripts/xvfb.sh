# One private X display for Wine programs; sourced, not run.
start_xvfb() {
    local n old_display="${DISPLAY:-}"
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
        # A server that never answered would keep its display number taken.
        kill "$TULVAR_XVFB_PID" 2>/dev/null || true
        wait "$TULVAR_XVFB_PID" 2>/dev/null || true
        unset TULVAR_XVFB_PID
    done
    if [ -n "$old_display" ]; then DISPLAY="$old_display"; else unset DISPLAY; fi
    echo "could not start Xvfb" >&2
    return 1
}

stop_xvfb() {
    # Wine's programs hold the display: end them before the server.
    wineserver -k >/dev/null 2>&1 || true
    [ -n "${TULVAR_XVFB_PID:-}" ] && kill "$TULVAR_XVFB_PID" 2>/dev/null || true
    wait "${TULVAR_XVFB_PID:-}" 2>/dev/null || true
}

# Prints the id of the largest shown top-level window of process PID, or
# nothing. Wine marks each X window with the Linux process id of its program;
# the other windows a program owns (its hidden application window, the
# input-method window, closed drop-down lists) are not shown.
tulvar_window_of() {
    local pid="$1" w info size best='' best_area=0
    for w in $(xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ {print $1}'); do
        xprop -id "$w" _NET_WM_PID 2>/dev/null | grep -qx "_NET_WM_PID(CARDINAL) = $pid" || continue
        info="$(xwininfo -id "$w" 2>/dev/null)" || continue
        grep -q 'Map State: IsViewable' <<<"$info" || continue
        size="$(awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w * h}' <<<"$info")"
        if [ "$size" -gt "$best_area" ]; then best="$w"; best_area="$size"; fi
    done
    echo "$best"
}

# Waits up to SECONDS for process PID to show a window and prints its id;
# fails when the process ends or the time runs out.
tulvar_wait_window() {
    local pid="$1" seconds="${2:-20}" w i
    for i in $(seq 1 $((seconds * 5))); do
        w="$(tulvar_window_of "$pid")"
        [ -n "$w" ] && { echo "$w"; return 0; }
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.2
    done
    return 1
}
