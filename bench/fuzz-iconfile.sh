#!/bin/bash
# Fuzzes the icon-file reader and writer natively with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (Debian's clang), seeded with the test fixtures.
#   bench/fuzz-iconfile.sh [SECONDS]     (default 600)
# The fuzz target is built by native/ from the icon-file layer itself, into
# $TULVAR_BUILD_ROOT/fuzz/build. The corpus grows in $TULVAR_BUILD_ROOT/fuzz/corpus;
# a crash leaves its input in $TULVAR_BUILD_ROOT/fuzz.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
SECONDS_TO_RUN="${1:-600}"
OUT="$TULVAR_BUILD_ROOT/fuzz"
mkdir -p "$OUT/corpus"
if [ ! -f "$OUT/build/CMakeCache.txt" ]; then
    cmake -S "$TULVAR_ROOT/native" -B "$OUT/build" -DCMAKE_CXX_COMPILER=clang++ -DTULVAR_FUZZ=ON \
        >"$OUT/configure.log" 2>&1 || { cat "$OUT/configure.log" >&2; exit 1; }
fi
cmake --build "$OUT/build" -j"$(nproc)" --target iconfile-fuzz -- --no-print-directory |
    { grep -vE '^\[ *[0-9]+%\] |^Scanning' || true; }
# Seeds: the fixtures the tests build (run scripts/test.sh once first) and the
# platform's own libraries when Wine's are installed.
seeds=("$OUT/corpus")
for dir in "$TULVAR_BUILD_ROOT/i686/tests/fixtures" "$TULVAR_BUILD_ROOT/x86_64/tests/fixtures"; do
    [ -d "$dir" ] && seeds+=("$dir")
done
cd "$OUT"
"$OUT/build/iconfile-fuzz" -max_total_time="$SECONDS_TO_RUN" -max_len=1048576 -rss_limit_mb=4096 \
    -print_final_stats=1 "${seeds[@]}"
