#!/usr/bin/env bash
# Converts the licence text from UTF-8 (as kept in the repository) to GBK with CRLF line ends,
# the form the installer carries: no byte-order mark, no terminator.
#   licence-to-gbk.sh IN.txt OUT
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 IN.txt OUT" >&2; exit 2; }
sed 's/\r*$/\r/' "$1" | iconv -f UTF-8 -t GBK >"$2.tmp"
mv -f "$2.tmp" "$2"
