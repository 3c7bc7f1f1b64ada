#!/bin/bash
# Installs everything Tulvar needs on Debian 12, builds the static libjpeg and
# creates the Wine prefix. Safe to run again: it only acts on what is missing,
# and says nothing when everything is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

say() { echo "setup: $*"; }
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo

PACKAGES="wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick xdotool
g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
cmake make python3 locales googletest libjpeg-turbo-progs dpkg-dev
fonts-arphic-uming fonts-wqy-microhei fonts-wine"

missing_packages() {
    local p
    for p in $PACKAGES; do
        dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
    done
}

# --- packages ---------------------------------------------------------------
NEED_UPDATE=
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    say "adding the i386 architecture"
    $SUDO dpkg --add-architecture i386
    NEED_UPDATE=1
fi
# apt-get source needs source entries. They are made from the system's own
# package entries, never from a server named here.
SOURCES=/etc/apt/sources.list.d/debian.sources
LIST=/etc/apt/sources.list
has_source_entries() {
    grep -qsE '^[[:space:]]*deb-src[[:space:]]' "$LIST" /etc/apt/sources.list.d/*.list ||
        grep -qsE '^Types:.*[[:space:]]deb-src([[:space:]]|$)' /etc/apt/sources.list.d/*.sources
}
if ! has_source_entries; then
    say "enabling source packages"
    [ ! -f "$SOURCES" ] || $SUDO sed -i -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb deb-src/' "$SOURCES"
    # Each one-line "deb" entry gets its "deb-src" twin right below it.
    [ ! -f "$LIST" ] || $SUDO sed -i -E '/^[[:space:]]*deb[[:space:]]/{p;s/^([[:space:]]*)deb([[:space:]])/\1deb-src\2/}' "$LIST"
    if ! has_source_entries; then
        cat >&2 <<MSG
setup: apt has no source entries, and none could be made from $SOURCES
or $LIST (neither holds a plain "deb" entry).
Add a source entry for the Debian archive this system installs from, either
"Types: deb deb-src" in a .sources file or a "deb-src URI SUITE main" line next
to its "deb" line, then run this again.
MSG
        exit 1
    fi
    NEED_UPDATE=1
fi
MISSING="$(missing_packages)"
if [ -n "$MISSING" ] || [ -n "$NEED_UPDATE" ]; then
    if [ -n "$MISSING" ]; then say "installing packages:" $MISSING; else say "updating the package lists"; fi
    export DEBIAN_FRONTEND=noninteractive
    APT_LOG="$(mktemp)"
    # shellcheck disable=SC2086
    if ! { $SUDO apt-get update -qq && { [ -z "$MISSING" ] ||
           $SUDO apt-get install -y -qq --no-install-recommends $MISSING; }; } >"$APT_LOG" 2>&1; then
        cat "$APT_LOG" >&2
        rm -f "$APT_LOG"
        echo "setup: installing the packages failed (above)" >&2
        exit 1
    fi
    rm -f "$APT_LOG"
fi

# --- locale -----------------------------------------------------------------------
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    say "generating the zh_CN.UTF-8 locale"
    grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
        echo 'zh_CN.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
    $SUDO locale-gen >/dev/null 2>&1
fi

# --- libjpeg-turbo from Debian's source package, static ----------------------------
build_libjpeg() {
    local arch="$1" prefix="$TULVAR_CACHE/libjpeg-$1"
    [ -f "$prefix/lib/libjpeg.a" ] && return 0
    say "building libjpeg-turbo for $arch"
    mkdir -p "$TULVAR_CACHE/src"
    local src="$TULVAR_CACHE/src" log="$TULVAR_CACHE/src/apt-get-source.log" orig
    orig="$(ls -t "$src"/libjpeg-turbo_*.orig.tar.gz 2>/dev/null | head -1 || true)"
    if [ -z "$orig" ]; then
        if ! (cd "$src" && apt-get source --download-only libjpeg-turbo) >"$log" 2>&1; then
            cat "$log" >&2
            echo "setup: 'apt-get source libjpeg-turbo' failed (above); check the source entries of apt and run this again" >&2
            exit 1
        fi
        orig="$(ls -t "$src"/libjpeg-turbo_*.orig.tar.gz 2>/dev/null | head -1 || true)"
        if [ -z "$orig" ]; then
            cat "$log" >&2
            echo "setup: 'apt-get source libjpeg-turbo' left no libjpeg-turbo_*.orig.tar.gz in $src" >&2
            exit 1
        fi
    fi
    rm -rf "$src/libjpeg-src" && mkdir "$src/libjpeg-src"
    tar -xzf "$orig" -C "$src/libjpeg-src" --strip-components=1
    rm -rf "$TULVAR_CACHE/libjpeg-build-$arch"
    cmake -S "$TULVAR_CACHE/src/libjpeg-src" -B "$TULVAR_CACHE/libjpeg-build-$arch" \
        -DCMAKE_TOOLCHAIN_FILE="$TULVAR_ROOT/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF \
        -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF >/dev/null
    cmake --build "$TULVAR_CACHE/libjpeg-build-$arch" -j"$(nproc)" >/dev/null
    cmake --install "$TULVAR_CACHE/libjpeg-build-$arch" >/dev/null
}
build_libjpeg i686
[ "$TULVAR_RUN_ARCH" = i686 ] || build_libjpeg "$TULVAR_RUN_ARCH"

# --- Wine prefix ----------------------------------------------------------------------
"$TULVAR_ROOT/scripts/wineprefix.sh"
