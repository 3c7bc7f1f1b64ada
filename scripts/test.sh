#!/bin/bash
# Builds everything and runs every test: ctest runs the test programs under
# Wine, all inside one Xvfb display.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

tulvar_setup_and_build

# Drive Y: is a folder with a known volume label, for the label tests.
ln -sfn "$TULVAR_RUN_BUILD/tests/fixtures/labelled-drive" "$WINEPREFIX/dosdevices/y:"

source "$TULVAR_ROOT/scripts/xvfb.sh"
start_xvfb
trap 'stop_xvfb' EXIT

cd "$TULVAR_RUN_BUILD"
ctest --output-on-failure "$@"
