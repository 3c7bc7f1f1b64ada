#!/bin/bash
# Runs a Windows program under the project's Wine prefix (ctest's emulator).
source "$(dirname "${BASH_SOURCE[0]}")/env.sh" 2>/dev/null
exec "$TULVAR_WINE" "$@"
