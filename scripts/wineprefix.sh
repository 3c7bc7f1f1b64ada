#!/bin/bash
# Creates the Wine prefix of env.sh (once): Wine's fonts, the Song-style face
# for "宋体" and unmanaged X windows.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
[ -f "$WINEPREFIX/.tulvar-ready" ] && exit 0

# A half-made prefix is made again from scratch, but TULVAR_WINEPREFIX may name
# any folder: only one this script made (it carries the mark) or one under the
# build folder is removed.
MARK="$WINEPREFIX/.tulvar-prefix"
if [ -e "$WINEPREFIX" ] || [ -L "$WINEPREFIX" ]; then
    prefix_real="$(realpath -m "$WINEPREFIX")"
    build_real="$(realpath -m "$TULVAR_BUILD_ROOT")"
    if [ -f "$MARK" ] || { [ "$build_real" != / ] && [[ "$prefix_real" == "$build_real"/?* ]]; }; then
        rm -rf "$WINEPREFIX"
    elif [ -d "$WINEPREFIX" ] && [ -z "$(ls -A "$WINEPREFIX")" ]; then
        :
    else
        cat >&2 <<MSG
setup: the Wine prefix $WINEPREFIX is not ready and not one this script made,
so it is left alone. Set TULVAR_WINEPREFIX to a new or empty folder (or unset it
for the one under build/), or remove that folder yourself.
MSG
        exit 1
    fi
fi

echo "setup: creating the $WINEARCH Wine prefix $WINEPREFIX"
mkdir -p "$WINEPREFIX"
touch "$MARK"
"$TULVAR_WINE" wineboot -i >/dev/null 2>&1
cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
# One registry file for all settings: one Wine process instead of one per value.
REG="$(mktemp --suffix=.reg)"
{
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in 宋体 新宋体 SimSun NSimSun; do
        printf '"%s"="AR PL UMing CN"\r\n' "$face"
    done
    # Without a window manager, managed windows take seconds to close under Xvfb.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
} | iconv -f UTF-8 -t GBK > "$REG"
"$TULVAR_WINE" regedit /S "$REG" >/dev/null 2>&1
rm -f "$REG"
wineserver -w
touch "$WINEPREFIX/.tulvar-ready"
