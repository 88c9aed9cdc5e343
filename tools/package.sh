#!/usr/bin/env bash
# Makes a setup package (an OrvInstall executable) from a client folder:
#
#   tools/package.sh [--setup-files DIR] CLIENT_DIR OUT.exe
#
# CLIENT_DIR is the client as it lands in the install folder: tamro/tamro.exe (required),
# tamro/uninstall.exe, tamro/locales/, res/ (i18n/hans, i18n/hant, orvflash.exe), sites/tamr,
# renew/sites/tamr, ... It is packed as install/data/...; DIR (default installer/setupfiles)
# goes beside it under install/ (install/res/...), with the licence as install/Licence.txt.
#
# The program's code is compiled once in the build tree; a package only compiles a resource
# script naming its payload and links. ORVIA_PACKAGE_TREE picks the tree: win32 (the 32-bit
# product, default) or win64 (what runs under this machine's Wine). A missing tree is
# configured and what the package needs is built on the way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIA_BUILD_DIR:-$root/build}
tree=${ORVIA_PACKAGE_TREE:-win32}
setup_files=$root/installer/setupfiles

usage() {
    echo "usage: $0 [--setup-files DIR] CLIENT_DIR OUT.exe" >&2
    exit 2
}
if [ "${1:-}" = --setup-files ]; then
    [ $# -ge 2 ] || usage
    setup_files=$2
    shift 2
fi
[ $# -eq 2 ] || usage
client=$1 out=$2
fail() { echo "package: $*" >&2; exit 1; }
[ -d "$client" ] || fail "$client is not a folder"
[ -f "$client/tamro/tamro.exe" ] ||
    fail "$client has no tamro/tamro.exe: the installer registers and starts that file"
[ -f "$client/tamro/uninstall.exe" ] ||
    echo "package: warning: $client has no tamro/uninstall.exe, the registered uninstaller" >&2
[ -d "$setup_files" ] || fail "$setup_files is not a folder"
case $tree in
win32) toolchain=toolchain-mingw-i686.cmake ;;
win64) toolchain=toolchain-mingw-x86_64.cmake ;;
*) fail "ORVIA_PACKAGE_TREE is win32 or win64, not $tree" ;;
esac
out_dir=$(dirname "$out")
[ -d "$out_dir" ] || fail "the folder of $out does not exist"

tree_dir=$build/$tree
if [ ! -f "$tree_dir/CMakeCache.txt" ]; then
    echo "package: configuring $tree_dir"
    cmake -S "$root" -B "$tree_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
fi
mkdir -p "$tree_dir/package"
# One package at a time per tree: they share the payload's place in the build tree.
exec 9>"$tree_dir/package/.lock"
flock 9

cmake --build "$tree_dir" --target orvinstall_licence >/dev/null
echo "package: packing $client"
"$root/tools/pack-payload.sh" "$client" "$setup_files" "$tree_dir/installer/Licence.gbk" \
    "$tree_dir/package/payload.7z"
echo "package: linking ($tree)"
cmake --build "$tree_dir" --target OrvInstallPackage >/dev/null
cp "$tree_dir/installer/OrvInstallPackage.exe" "$out"
echo "package: $out ($(stat -c %s "$out") bytes, payload $(stat -c %s "$tree_dir/package/payload.7z") bytes)"
