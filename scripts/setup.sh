#!/bin/bash
# Installs everything Tulvar needs on Debian 12, builds the static libraries and
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
g++ cmake make python3 locales googletest libjpeg-turbo-progs dpkg-dev icoutils
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

# --- static libraries from Debian's source packages ----------------------------------
# Leaves the path of the package's upstream tarball in ORIG, downloading it when
# it is not cached. A version whose files the archive no longer holds is passed
# over for the next one apt knows.
fetch_orig() {
    local package="$1" src="$TULVAR_CACHE/src" log="$TULVAR_CACHE/src/apt-get-source.log" version
    mkdir -p "$src"
    find_orig() { ORIG="$(ls -t "$src/${package}"_*.orig.tar.* 2>/dev/null | head -1 || true)"; }
    find_orig
    [ -n "$ORIG" ] && return 0
    : >"$log"
    for version in "" $(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -Vru); do
        (cd "$src" && apt-get source --download-only "$package${version:+=$version}") >>"$log" 2>&1 || true
        find_orig
        [ -n "$ORIG" ] && return 0
    done
    cat "$log" >&2
    echo "setup: 'apt-get source $package' left no ${package}_*.orig.tar.* in $src; check the source entries of apt and run this again" >&2
    exit 1
}

# Unpacks the package's tarball and builds and installs it with CMake into
# $TULVAR_CACHE/NAME-ARCH; the remaining arguments go to its configuration.
build_from_source() {
    local name="$1" package="$2" arch="$3" library="$4"
    shift 4
    local prefix="$TULVAR_CACHE/$name-$arch" tree="$TULVAR_CACHE/src/$name-src" build="$TULVAR_CACHE/$name-build-$arch"
    [ -f "$prefix/lib/$library" ] && return 0
    say "building $name for $arch"
    fetch_orig "$package"
    rm -rf "$tree" && mkdir -p "$tree"
    tar -xf "$ORIG" -C "$tree" --strip-components=1
    rm -rf "$build"
    cmake -S "$tree" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$TULVAR_ROOT/cmake/mingw-$arch.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$build.log" 2>&1 &&
        if [ -n "${ONLY_TARGET:-}" ]; then
            cmake --build "$build" --target "$ONLY_TARGET" -j"$(nproc)" >>"$build.log" 2>&1 &&
                "install_$name" "$tree" "$build" "$prefix"
        else
            cmake --build "$build" -j"$(nproc)" >>"$build.log" 2>&1 && cmake --install "$build" >>"$build.log" 2>&1
        fi || {
        cat "$build.log" >&2
        echo "setup: building $name for $arch failed (above)" >&2
        exit 1
    }
}

# Debian's zlib tarball lacks the resource script of the DLL, which is not
# wanted anyway: only the static library is built, and installed by hand.
install_zlib() {
    local tree="$1" build="$2" prefix="$3"
    mkdir -p "$prefix/lib" "$prefix/include" &&
        cp "$tree/zlib.h" "$build/zconf.h" "$prefix/include/" &&
        cp "$build/libzlibstatic.a" "$prefix/lib/"
}

build_libraries() {
    local arch="$1"
    build_from_source libjpeg libjpeg-turbo "$arch" libjpeg.a \
        -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF
    ONLY_TARGET=zlibstatic build_from_source zlib zlib "$arch" libzlibstatic.a
    local zlib="$TULVAR_CACHE/zlib-$arch"
    build_from_source libpng libpng1.6 "$arch" libpng.a \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DZLIB_INCLUDE_DIR="$zlib/include" -DZLIB_LIBRARY="$zlib/lib/libzlibstatic.a"
}
build_libraries i686
[ "$TULVAR_RUN_ARCH" = i686 ] || build_libraries "$TULVAR_RUN_ARCH"

# --- Wine prefix ----------------------------------------------------------------------
"$TULVAR_ROOT/scripts/wineprefix.sh"
