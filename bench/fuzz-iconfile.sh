#!/bin/bash
# Fuzzes the icon-file reader and writer natively with libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer (Debian's clang), seeded with the test fixtures.
#   bench/fuzz-iconfile.sh [SECONDS]     (default 600)
# The corpus grows in build/fuzz/corpus; a crash leaves its input in build/fuzz.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/env.sh"
SECONDS_TO_RUN="${1:-600}"
OUT="$TULVAR_ROOT/build/fuzz"
mkdir -p "$OUT/corpus"
clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$TULVAR_ROOT" "$TULVAR_ROOT/bench/fuzz/IconFileFuzz.cpp" \
    "$TULVAR_ROOT"/iconfile/{IconFile,IconImages,PeIcons,NeIcons,BmpIcon}.cpp -o "$OUT/iconfile-fuzz"
# Seeds: the fixtures the tests build (run scripts/test.sh once first) and the
# platform's own libraries when Wine's are installed.
seeds=("$OUT/corpus")
for dir in "$TULVAR_BUILD_ROOT/i686/tests/fixtures" "$TULVAR_BUILD_ROOT/x86_64/tests/fixtures"; do
    [ -d "$dir" ] && seeds+=("$dir")
done
cd "$OUT"
"$OUT/iconfile-fuzz" -max_total_time="$SECONDS_TO_RUN" -max_len=1048576 -rss_limit_mb=4096 \
    -print_final_stats=1 "${seeds[@]}"
