#!/usr/bin/env bash
# Builds everything and runs the main job under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIA_BUILD_DIR:-$root/build}

"$root/tools/setup.sh"
"$root/tools/build.sh"

flavour=$("$root/tools/wine/test-arch.sh")
session=$build/run-session
"$root/tools/wine/wine-session.sh" start "$session" "$flavour" >/dev/null
trap '"$root/tools/wine/wine-session.sh" stop "$session"' EXIT

echo "== running winecheck ($flavour) under Wine"
"$root/tools/wine/wine-run.sh" --session "$session" "$build/$flavour/tools/winecheck/winecheck.exe"
