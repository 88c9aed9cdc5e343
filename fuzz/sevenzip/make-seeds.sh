#!/usr/bin/env bash
# Regenerates the fuzzer's seed archives in corpus/: one small archive per method, filter and
# header layout the reader handles, made by Debian's 7zz from a tiny tree.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/src/目录/sub"
printf 'alpha beta alpha beta alpha\n' > "$tree/src/目录/a.txt"
printf '\xE8\x10\x00\x00\x00\x0F\x85\x00\x01\x00\x00\xE9\xF0\xFF\xFF\xFF\x90\x90' > "$tree/src/b.exe"
: > "$tree/src/empty"
chmod 444 "$tree/src/目录/a.txt"
make() {
    local name=$1
    shift
    rm -f "$here/corpus/$name.7z"
    (cd "$tree/src" && 7zz a -t7z "$@" "$here/corpus/$name.7z" ./* >/dev/null)
}
mkdir -p "$here/corpus"
make lzma2 -m0=LZMA2
make lzma -m0=LZMA -mhc=off
make copy -m0=Copy -mhc=off
make bcj -m0=BCJ -m1=LZMA2
make bcj2 -m0=BCJ2 -m1=LZMA -m2=LZMA -m3=LZMA -mb0s0:1 -mb0s1:2 -mb0s2:3 -mhc=off
make arm -m0=ARM -m1=LZMA2 -mhc=off
make delta -m0=Delta:2 -m1=LZMA2 -mhc=off
make blocks -m0=LZMA2 -ms=1f -mhc=off
make ppmd -m0=PPMd:o=6:mem=1m -mhc=off
