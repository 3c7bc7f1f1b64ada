#!/bin/bash
# Sets everything up, builds Tulvar and starts it under Wine; what follows the
# options goes to the program (a file or folder to open, or /save ...).
#   scripts/run.sh [PATH]                      on the current X display
#   scripts/run.sh --xvfb [PATH]               on a private virtual display
#   scripts/run.sh --screenshot FILE [PATH]    on a virtual display; saves the window as PNG and ends
#   scripts/run.sh /save FILE FOLDER [/png]    no window: writes every icon of FILE, exits with its code
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

MODE=display
SHOT=
case "${1:-}" in
    --xvfb) MODE=xvfb; shift ;;
    --screenshot) MODE=shot; SHOT="$(realpath -m "${2:?--screenshot needs a file name}")"; shift 2 ;;
    --*) echo "usage: $0 [--xvfb | --screenshot FILE] [PATH | /save FILE FOLDER [/png]]" >&2; exit 2 ;;
esac
# The export without a window needs no display.
case "${1:-}" in
    /save | /SAVE | /Save) MODE=save ;;
esac

if [ "$MODE" = display ] && [ -z "${DISPLAY:-}" ]; then
    cat >&2 <<'MSG'
There is no X display (DISPLAY is not set), so the window cannot be shown.
Either run this from a desktop session, or use
    scripts/run.sh --xvfb                  to run it on a private virtual display, or
    scripts/run.sh --screenshot shot.png   to save a picture of the window and stop.
MSG
    exit 1
fi

tulvar_setup_and_build
EXE="$TULVAR_RUN_BUILD/Tulvar.exe"
[ -f "$EXE" ] || { echo "no Tulvar.exe in $TULVAR_RUN_BUILD" >&2; exit 1; }
if [ "$TULVAR_RUN_ARCH" != i686 ]; then
    echo "This machine cannot execute 32-bit code; starting the x86_64 build of the same sources." >&2
fi

if [ "$MODE" = display ] || [ "$MODE" = save ]; then
    exec "$TULVAR_WINE" "$EXE" "$@"
fi

source "$TULVAR_ROOT/scripts/xvfb.sh"
start_xvfb
trap 'stop_xvfb' EXIT
# Start in the user's folder, as a user would.
"$TULVAR_WINE" "$EXE" "$@" &
APP=$!
if [ "$MODE" = xvfb ]; then
    echo "Tulvar runs on display $DISPLAY; end it with Ctrl+C."
    wait "$APP"
    exit 0
fi

# Wait for the main window, then photograph it.
if ! WID="$(tulvar_wait_window "$APP" 20)"; then
    echo "the window did not appear" >&2
    exit 1
fi
sleep 2
import -window "$WID" "$SHOT"
echo "saved $SHOT"
kill "$APP" 2>/dev/null || true
