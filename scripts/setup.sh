#!/bin/bash
# Installs everything Tulvar needs on Debian 12, builds the static libjpeg and
# creates the Wine prefix. Safe to run again: it only acts on what is missing,
# and says nothing when everything is there.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

say() { echo "setup: $*"; }
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo

PACKAGES="wine wine32:i386 wine64 xvfb xauth x11-utils imagemagick
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
SOURCES=/etc/apt/sources.list.d/debian.sources
if [ -f "$SOURCES" ]; then
    if ! grep -q 'deb-src' "$SOURCES"; then
        say "enabling source packages"
        $SUDO sed -i 's/^Types: deb$/Types: deb deb-src/' "$SOURCES"
        NEED_UPDATE=1
    fi
elif ! grep -rqs '^deb-src' /etc/apt/sources.list /etc/apt/sources.list.d; then
    say "enabling source packages"
    echo "deb-src http://deb.debian.org/debian bookworm main" | $SUDO tee /etc/apt/sources.list.d/tulvar-src.list >/dev/null
    NEED_UPDATE=1
fi
MISSING="$(missing_packages)"
if [ -n "$MISSING" ] || [ -n "$NEED_UPDATE" ]; then
    say "installing packages:" $MISSING
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq >/dev/null
    # shellcheck disable=SC2086
    [ -z "$MISSING" ] || $SUDO apt-get install -y -qq --no-install-recommends $MISSING >/dev/null
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
    ( cd "$TULVAR_CACHE/src"
      ls libjpeg-turbo_*.orig.tar.gz >/dev/null 2>&1 || apt-get source --download-only libjpeg-turbo >/dev/null 2>&1
      rm -rf libjpeg-src && mkdir libjpeg-src
      tar -xzf libjpeg-turbo_*.orig.tar.gz -C libjpeg-src --strip-components=1 )
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
