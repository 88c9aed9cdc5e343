#!/usr/bin/env bash
# Configures and builds every flavour:
#   build/native  the platform-independent code with ASan/UBSan, its tests and fuzzers (clang)
#   build/win32   the products: 32-bit x86 Windows programs (MinGW-w64 i686) and their tests
#   build/win64   the same sources for x86-64, built only where Wine cannot run 32-bit programs
#                 (a kernel without 32-bit emulation), so the Windows tests still run for real
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIA_BUILD_DIR:-$root/build}
jobs=$(nproc)

# shellcheck source=tools/cross-trees.sh
. "$root/tools/cross-trees.sh"

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
configure_cross win32 "$build/win32"

echo "== building native"
cmake --build "$build/native" -j "$jobs"
echo "== building win32"
cmake --build "$build/win32" -j "$jobs"
if [ "$("$root/tools/wine/test-arch.sh")" = win64 ]; then
    echo "== building win64 (this kernel cannot run 32-bit programs; Windows tests use x86-64)"
    configure_cross win64 "$build/win64"
    cmake --build "$build/win64" -j "$jobs"
fi
