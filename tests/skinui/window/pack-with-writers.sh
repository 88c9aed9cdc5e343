#!/usr/bin/env bash
# pack-with-writers.sh SKIN_DIR OUT_DIR
# Packs one skin folder with several zip writers, each the way it is commonly used: Info-ZIP
# and bsdtar writing to a pipe (Info-ZIP then adds data descriptors, bsdtar pads its output to
# a 10240-byte block), Python's zipfile, and 7-Zip.
set -euo pipefail
skin=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
rm -f "$out"/*.zip
cd "$skin"
files=(*)
zip -q -X - "${files[@]}" | cat >"$out/infozip.zip"
bsdtar --format zip -cf - "${files[@]}" | cat >"$out/bsdtar.zip"
/usr/bin/python3 - "$out/pyzipfile.zip" "${files[@]}" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as archive:
    for name in sys.argv[2:]:
        archive.write(name)
PY
7zz a -tzip -bd -bso0 "$out/7zz.zip" "${files[@]}"
