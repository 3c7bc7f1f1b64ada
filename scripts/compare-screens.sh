#!/bin/bash
# Checks that the working tree draws Tulvar exactly as an earlier revision does.
#   scripts/compare-screens.sh REVISION
# Builds REVISION and the working tree, starts each in the same fresh folder
# holding one icon library, photographs the window after start-up and again
# after a click on the library in the file list, and compares the pictures
# pixel by pixel. Pictures and differences go to build/screens/; the exit
# status is 0 only when every pair is identical.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

if [ $# -ne 1 ]; then
    echo "usage: $0 REVISION" >&2
    exit 2
fi
BASE="$1"
if ! BASE_SHA="$(git -C "$TULVAR_ROOT" rev-parse --verify --quiet "$BASE^{commit}")"; then
    echo "not a revision: $BASE" >&2
    exit 2
fi
ARCH="$TULVAR_RUN_ARCH"
OUT="$TULVAR_BUILD_ROOT/screens"

"$TULVAR_ROOT/scripts/setup.sh"

# --- the two builds -----------------------------------------------------------------
# The revision's files, taken out once; its own scripts may differ from these,
# so it is configured here, with its own toolchain file.
BASE_SRC="$OUT/base"
if [ "$(cat "$OUT/base.revision" 2>/dev/null || true)" != "$BASE_SHA" ]; then
    rm -rf "$BASE_SRC" "$OUT"/base-build-* "$OUT/base.revision"
    mkdir -p "$BASE_SRC"
    git -C "$TULVAR_ROOT" archive "$BASE_SHA" | tar -x -C "$BASE_SRC"
    echo "$BASE_SHA" >"$OUT/base.revision"
fi
BASE_BUILD="$OUT/base-build-$ARCH"
tulvar_build_tree "$BASE_SRC" "$BASE_BUILD" "$ARCH" -DTULVAR_BUILD_TESTS=OFF
# The working tree with its tests: they build the icon library used here.
tulvar_build "$ARCH"

BASE_EXE="$BASE_BUILD/Tulvar.exe"
CURRENT_EXE="$TULVAR_RUN_BUILD/Tulvar.exe"
FIXTURE="$TULVAR_RUN_BUILD/tests/fixtures/threeicons.dll"
PLACE_EXE="$TULVAR_RUN_BUILD/tests/ControlPlace.exe"
for f in "$BASE_EXE" "$CURRENT_EXE" "$FIXTURE" "$PLACE_EXE"; do
    if [ -z "$f" ] || [ ! -f "$f" ]; then
        echo "missing build output: ${f:-Tulvar.exe}" >&2
        exit 1
    fi
done

# --- photographs --------------------------------------------------------------------
source "$TULVAR_ROOT/scripts/xvfb.sh"
# The window shows the current folder, so both runs use the same one.
WORK="$(mktemp -d /tmp/tulvar-screens.XXXXXX)"
FOLDER="$WORK/icons"
APP=
cleanup() {
    [ -z "$APP" ] || kill "$APP" 2>/dev/null || true
    stop_xvfb
    rm -rf "$WORK"
}
trap cleanup EXIT
start_xvfb

# The pointer stays off the window, so nothing is drawn hot or hinted.
park_pointer() { xdotool mousemove 1023 767; }

# Photographs window WID into FILE once the picture has stopped changing.
shoot_when_still() {
    local wid="$1" file="$2" last="$WORK/last.png" now="$WORK/now.png" still=0
    sleep 1
    import -silent -window "$wid" "$last"
    for _ in $(seq 1 60); do
        sleep 0.4
        import -silent -window "$wid" "$now"
        if compare -metric AE "$last" "$now" null: >/dev/null 2>&1; then
            still=$((still + 1))
            if [ "$still" -ge 3 ]; then
                mv "$now" "$file"
                return 0
            fi
        else
            still=0
        fi
        mv "$now" "$last"
    done
    echo "the window kept changing; no still picture for $file" >&2
    return 1
}

# Runs one build: NAME EXE. Leaves NAME-start.png, NAME-scan.png and
# NAME.geometry in OUT.
photograph() {
    local name="$1" exe="$2" wid
    rm -rf "$FOLDER"
    mkdir "$FOLDER"
    cp "$FIXTURE" "$FOLDER/"
    park_pointer
    (cd "$FOLDER" && exec "$TULVAR_WINE" "$exe") &
    APP=$!
    if ! wid="$(tulvar_wait_window "$APP" 30)"; then
        echo "$name: the window did not appear" >&2
        exit 1
    fi
    xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {printf "%sx%s+%s+%s\n", w, h, x, y}' >"$OUT/$name.geometry"
    shoot_when_still "$wid" "$OUT/$name-start.png"
    # The file list's first row: its place comes from the window itself.
    local place left top
    if ! place="$("$TULVAR_WINE" "$PLACE_EXE" TForm1 TFileListBox)"; then
        echo "$name: no file list in the window" >&2
        exit 1
    fi
    read -r left top _ _ <<<"${place//$'\r'/}"
    xdotool mousemove $((left + 40)) $((top + 8)) click 1
    park_pointer
    shoot_when_still "$wid" "$OUT/$name-scan.png"
    kill "$APP" 2>/dev/null || true
    wait "$APP" 2>/dev/null || true
    APP=
}

mkdir -p "$OUT"
rm -f "$OUT"/base-*.png "$OUT"/current-*.png "$OUT"/diff-*.png "$OUT"/*.geometry
photograph base "$BASE_EXE"
photograph current "$CURRENT_EXE"

# --- comparison ---------------------------------------------------------------------
SHORT="$(git -C "$TULVAR_ROOT" rev-parse --short "$BASE_SHA")"
FAILED=0
if compare -metric AE "$OUT/current-start.png" "$OUT/current-scan.png" null: >/dev/null 2>&1; then
    echo "the click on the file list changed nothing: no scan to compare" >&2
    FAILED=1
fi
if ! cmp -s "$OUT/base.geometry" "$OUT/current.geometry"; then
    echo "window: $(cat "$OUT/base.geometry") in $SHORT, $(cat "$OUT/current.geometry") now"
    FAILED=1
fi
for shot in start scan; do
    case "$shot" in start) label="after start-up" ;; scan) label="after the scan" ;; esac
    diff="$OUT/diff-$shot.png"
    status=0
    pixels="$(compare -metric AE "$OUT/base-$shot.png" "$OUT/current-$shot.png" "$diff" 2>&1)" || status=$?
    if [ "$status" -eq 0 ]; then
        echo "$label: identical to $SHORT"
        rm -f "$diff"
    elif [ "$status" -eq 1 ]; then
        echo "$label: $pixels pixels differ from $SHORT; see $diff"
        FAILED=1
    else
        echo "$label: cannot compare with $SHORT: $pixels"
        FAILED=1
    fi
done
exit "$FAILED"
