# Shared settings of the build, run and test scripts; sourced, not run.
TULVAR_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TULVAR_CACHE="${TULVAR_CACHE:-$TULVAR_ROOT/.cache}"
TULVAR_BUILD_ROOT="${TULVAR_BUILD_ROOT:-$TULVAR_ROOT/build}"

# The product is 32-bit. Some Linux kernels (paravirtualised sandboxes among
# them) cannot execute 32-bit code at all, and Wine's 32-bit loader is such
# code; there the programs are also built for x86_64 and run on 64-bit Wine.
tulvar_can_run_32bit() {
    [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

if [ -z "${TULVAR_RUN_ARCH:-}" ]; then
    if tulvar_can_run_32bit; then TULVAR_RUN_ARCH=i686; else TULVAR_RUN_ARCH=x86_64; fi
fi
if [ "$TULVAR_RUN_ARCH" = i686 ]; then
    TULVAR_WINEARCH=win32
    TULVAR_WINE=wine
else
    TULVAR_WINEARCH=win64
    TULVAR_WINE=/usr/lib/wine/wine64
fi
TULVAR_RUN_BUILD="$TULVAR_BUILD_ROOT/$TULVAR_RUN_ARCH"
TULVAR_PRODUCT_BUILD="$TULVAR_BUILD_ROOT/i686"

export WINEPREFIX="${TULVAR_WINEPREFIX:-$TULVAR_BUILD_ROOT/wineprefix-$TULVAR_RUN_ARCH}"
export WINEARCH="$TULVAR_WINEARCH"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# Code page 936 needs a generated Chinese locale.
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

# Sets everything up and builds the product, and the same sources for the
# architecture that runs here when that is not the product's.
tulvar_setup_and_build() {
    "$TULVAR_ROOT/scripts/setup.sh"
    tulvar_build i686
    [ "$TULVAR_RUN_ARCH" = i686 ] || tulvar_build "$TULVAR_RUN_ARCH"
}

# Configures and builds the tree for one architecture.
tulvar_build() {
    local arch="$1"
    shift
    tulvar_build_tree "$TULVAR_ROOT" "$TULVAR_BUILD_ROOT/$arch" "$arch" "$@"
}

# Configures and builds the sources in SRC into DIR for ARCH, with SRC's own
# toolchain file; extra arguments go to the configure step. A tree is configured
# again when its toolchain files changed since, and from scratch then, since
# CMake keeps the compilers it found first.
tulvar_build_tree() {
    local src="$1" dir="$2" arch="$3"
    shift 3
    local toolchain="$src/cmake/mingw-$arch.cmake" cache="$dir/CMakeCache.txt" fresh='' configure=''
    if [ ! -f "$cache" ]; then
        configure=1
    elif [ "$toolchain" -nt "$cache" ] || [ "$src/cmake/mingw-common.cmake" -nt "$cache" ]; then
        configure=1 fresh=--fresh
    elif [ ! -f "$dir/Makefile" ]; then
        configure=1
    fi
    if [ -n "$configure" ]; then
        mkdir -p "$dir"
        local conf_log="$dir/configure.log"
        if ! cmake $fresh -S "$src" -B "$dir" -G "Unix Makefiles" \
            -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
            -DTULVAR_LIBRARY_ROOT="$TULVAR_CACHE" "$@" >"$conf_log" 2>&1; then
            cat "$conf_log" >&2
            # Without a Makefile the next build configures again instead of
            # building what the failed step left.
            rm -f "$dir/Makefile"
            echo "configuring $src for $arch failed (above)" >&2
            return 1
        fi
        # Its warnings, if any.
        grep -vE '^-- |^$' "$conf_log" || true
    fi
    local log="$dir/build.log" status=0
    cmake --build "$dir" -j"$(nproc)" -- --no-print-directory >"$log" 2>&1 || status=$?
    # Only what needs a reader: warnings, errors, failures.
    grep -vE '^\[ *[0-9]+%\] |^Scanning|^-- |^gmake.*(Entering|Leaving)' "$log" || true
    return "$status"
}

