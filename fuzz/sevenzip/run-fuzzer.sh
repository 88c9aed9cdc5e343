#!/usr/bin/env bash
# Long fuzzing run of the 7z reader: run-fuzzer.sh [SECONDS] [NATIVE_BUILD_DIR]
# (defaults: 3600 s, build/native). New inputs collect in <build>/fuzz/sevenzip/corpus; a crash
# leaves crash-* in the current folder and the run's statistics end the output.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-3600}
build=${2:-$root/build/native}
cmake --build "$build" --target fuzz_sevenzip
mkdir -p "$build/fuzz/sevenzip/corpus"
exec "$build/fuzz/sevenzip/fuzz_sevenzip" -max_total_time="$seconds" -max_len=65536 \
    -print_final_stats=1 -jobs=1 "$build/fuzz/sevenzip/corpus" "$root/fuzz/sevenzip/corpus"
