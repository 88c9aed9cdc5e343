#!/usr/bin/env bash
# Packs a client folder into the installer's payload archive.
#   pack-payload.sh CLIENT_DIR SETUP_DIR LICENCE OUT.7z
# CLIENT_DIR becomes install/data (what lands in the install folder), the contents of SETUP_DIR
# go to install/ beside it (install/res/...), and LICENCE becomes install/Licence.txt unless
# SETUP_DIR brings its own. 7zz packs it with compressed headers and LZMA2 with a 16 MB
# dictionary; its default filter choice puts x86 executables through BCJ in blocks of their own
# (-mf=BCJ would filter every file, text and images too). Solid blocks are limited to 64 MB, so
# that the installer decodes several side by side (one thread per block): a block far larger
# than the dictionary gains little. On the benchmark payload (bench/extract, 128.7 MB) that
# makes 3 blocks instead of 2 (one per filter) at 0.46 % more size; 48 MB blocks cost 1.0 %,
# 32 MB ones 1.1 %.
set -euo pipefail

if [ $# -ne 4 ]; then
    echo "usage: $0 CLIENT_DIR SETUP_DIR LICENCE OUT.7z" >&2
    exit 2
fi
client=$1 setup=$2 licence=$3 out=$4
for folder in "$client" "$setup"; do
    [ -d "$folder" ] || { echo "pack-payload: $folder is not a folder" >&2; exit 1; }
done
[ -f "$licence" ] || { echo "pack-payload: $licence is missing" >&2; exit 1; }
command -v 7zz >/dev/null || { echo "pack-payload: 7zz is not installed (package 7zip)" >&2; exit 1; }
PACK_OPTIONS=(-m0=LZMA2:d=16m -mhc=on -ms=64m)

out_dir=$(cd "$(dirname "$out")" && pwd)
staging=$(mktemp -d "$out_dir/.payload.XXXXXX")
trap 'rm -rf "$staging"' EXIT
mkdir -p "$staging/install/data"
# Hard links where the file system allows them: a large client is not copied byte by byte.
cp -al "$client/." "$staging/install/data/" 2>/dev/null || cp -a "$client/." "$staging/install/data/"
cp -a "$setup/." "$staging/install/"
[ -e "$staging/install/Licence.txt" ] || cp "$licence" "$staging/install/Licence.txt"

archive="$staging/payload.7z"
(cd "$staging" && 7zz a -t7z "${PACK_OPTIONS[@]}" -bd -bso0 -bsp0 "$archive" install)
mv -f "$archive" "$out"
