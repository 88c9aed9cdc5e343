#!/bin/bash
# Runs every skin markup fuzzer for longer than the CTest run.
#   fuzz/markup/run-fuzzers.sh [SECONDS_PER_TARGET] [NATIVE_BUILD_DIR]
# Default: 600 seconds each, build/native. New corpus entries stay in the build tree; crashes are
# written to the current folder as crash-* files.
set -euo pipefail
seconds=${1:-600}
build=${2:-build/native}
source_dir=$(cd "$(dirname "$0")" && pwd)
cmake --build "$build" --target fuzz_markup_parser fuzz_attribute_list fuzz_image_descriptor \
    fuzz_zip_reader
for name in markup_parser attribute_list image_descriptor zip_reader; do
    work="$build/fuzz/markup/corpus/$name"
    mkdir -p "$work"
    echo "== $name, $seconds s"
    "$build/fuzz/markup/fuzz_$name" -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 "$work" "$source_dir/corpus/$name" 2>&1 |
        grep -E "^(stat::|#[0-9]+ +DONE|==[0-9]+==ERROR|SUMMARY)" || true
done
