#!/usr/bin/env bash
# Makes the archives the payload extraction tests read, with Debian's 7zz (and libarchive's
# bsdtar), into OUTDIR:
#   payload.7z      the payload layout: install/data, files below it, setup files outside it,
#                   a name with folders before install/data, a read-only file, an empty file;
#                   made on Unix, so attributes carry Unix modes (0x8000 | mode << 16)
#   twoblocks.7z    the same tree in several solid blocks, BCJ + LZMA2, plain header
#   copy.7z         the same tree stored (Copy) with a plain header, for damage and renames
#   copyblocks.7z   the same tree stored in several solid blocks, plain header, for damage in
#                   the first block while later ones are written
#   dots.7z         the same tree written by bsdtar: every name starts with "./", and the top
#                   folder is an entry named "."
#   midblock.7z     twelve files of about 150 KB in one LZMA2 block (64 KB dictionary), plain
#                   header, for damage in the middle of a block
#   folders.7z      folders only
#   longname.7z     one file with a 200-character name below install/data
#   empty.7z        no entries at all
#   boundary.7z     runs of zeros and of a short pattern ending just past the decoder's 128 KB
#                   slices and its ring, one stream each, package settings; their sources stay
#                   in boundary-src/install/data for the test to compare with
#   zeros250.7z     250 MiB of zeros, package settings: the decoder once stopped short of its end
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

tree=$work/payload
mkdir -p "$tree/install/data/tamro" "$tree/install/data/res/i18n/hans" "$tree/install/res" \
    "$tree/pre/fix/install/data" "$tree/install/data/emptydir"
head -c 300000 /usr/bin/7zz > "$tree/install/data/tamro/tamro.exe"
seq 1 20000 > "$tree/install/data/res/i18n/hans/strings.txt"
printf '中文内容\r\n' > "$tree/install/data/res/i18n/hans/说明.txt"
printf 'licence text\r\n' > "$tree/install/Licence.txt"
printf '[skin]\r\n' > "$tree/install/res/comskin.conf"
printf 'keep me\r\n' > "$tree/install/data/readonly.ini"
chmod 444 "$tree/install/data/readonly.ini"
: > "$tree/install/data/empty.dat"
printf 'y\r\n' > "$tree/pre/fix/install/data/y"
# Last entry a file, so the last progress value is 100.
printf 'last\r\n' > "$tree/install/data/zz_last.txt"

pack() {
    local archive=$1 folder=$2
    shift 2
    rm -f "$out/$archive"
    (cd "$folder" && 7zz a -t7z "$@" "$out/$archive" ./* >/dev/null)
}
pack payload.7z "$tree" -m0=BCJ -m1=LZMA2:d=16m -ms=on -mhc=on
pack twoblocks.7z "$tree" -m0=BCJ -m1=LZMA2 -ms=3f -mhc=off
pack copy.7z "$tree" -m0=Copy -mhc=off
pack copyblocks.7z "$tree" -m0=Copy -ms=2f -mhc=off
rm -f "$out/dots.7z"
(cd "$tree" && bsdtar --format 7zip -cf "$out/dots.7z" .)

mkdir -p "$work/mid/install/data/mid"
for i in $(seq 10 21); do
    seq "$i" 7 $((30000 * i)) > "$work/mid/f$i"
    head -c $((150000 + 1000 * i)) "$work/mid/f$i" > "$work/mid/install/data/mid/f$i.txt"
    rm "$work/mid/f$i"
done
pack midblock.7z "$work/mid" -m0=LZMA2:d=64k -mhc=off

mkdir -p "$work/folders/install/data/a/b" "$work/folders/install/res"
pack folders.7z "$work/folders"

long=$(printf 'n%.0s' $(seq 1 200))
mkdir -p "$work/long/install/data"
printf 'long\r\n' > "$work/long/install/data/$long.txt"
pack longname.7z "$work/long"

# Signature, version 0.4, start header CRC (of twenty zero bytes), no next header.
printf '7z\xbc\xaf\x27\x1c\x00\x04\x8d\x9b\xd5\x0f' > "$out/empty.7z"
head -c 20 /dev/zero >> "$out/empty.7z"

boundary=$out/boundary-src
rm -rf "$boundary"
mkdir -p "$boundary/install/data"
for piece in 65536 131072 262144 2097152; do
    for past in 17 100 300; do
        head -c $((piece + past)) /dev/zero > "$boundary/install/data/zeros-$((piece + past))"
        python3 "$(dirname "$0")/../sevenzip/mixed_content.py" --pattern $((piece + past)) \
            "$boundary/install/data/pattern-$((piece + past))"
    done
done
pack boundary.7z "$boundary" -m0=LZMA2:d=16m -mhc=on -ms=off

mkdir -p "$work/zeros/install/data"
head -c $((250 << 20)) /dev/zero > "$work/zeros/install/data/zeros.bin"
pack zeros250.7z "$work/zeros" -m0=LZMA2:d=16m -mhc=on -ms=on
