#!/bin/bash
# Builds everything and runs the speed benchmarks under Wine inside one Xvfb:
# the scan of icon libraries of several sizes (the real window against the bare
# platform calls) and the start-up (Tulvar.exe against a bare window).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
# A Wine prefix of its own: the end of a test run at the same time (wineserver
# -k) would end the benchmarks in a shared one, and ours would end its tests.
export TULVAR_WINEPREFIX="${TULVAR_WINEPREFIX:-$TULVAR_BUILD_ROOT/wineprefix-bench-$TULVAR_RUN_ARCH}"
export WINEPREFIX="$TULVAR_WINEPREFIX"

tulvar_setup_and_build

source "$TULVAR_ROOT/scripts/xvfb.sh"
start_xvfb
trap 'stop_xvfb' EXIT

cpu="$(awk -F': ' '/^model name/ {print $2; exit}' /proc/cpuinfo)"
echo "machine: $(uname -m), ${cpu:-unknown CPU}, $(nproc) cores, $(wine --version), running the $TULVAR_RUN_ARCH build"
cd "$TULVAR_RUN_BUILD/bench"
echo
echo "== scan of one file: click to texts set (window) against the bare platform calls"
"$TULVAR_WINE" ScanBench.exe
echo
echo "== start-up"
"$TULVAR_WINE" StartupBench.exe
