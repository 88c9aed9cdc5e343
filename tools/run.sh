#!/usr/bin/env bash
# Builds everything, then runs the demo setup package (the demo client packed into
# OrvInstall.exe) under Wine, and after it the installed client's own uninstall.exe:
#  - when DISPLAY is set, on that display, for a person to click through;
#  - otherwise on a headless X server, walked through every page with the real pointer, a
#    screenshot of each page kept in build/<tree>/artifacts/demo-*.png.
# Either way it prints the install folder and what was installed, then what the uninstall left.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIA_BUILD_DIR:-$root/build}

"$root/tools/setup.sh"
"$root/tools/build.sh"

flavour=$("$root/tools/wine/test-arch.sh")
tree=$build/$flavour
session=$build/run-session
walk=(/usr/bin/python3 "$root/tests/e2e/demo_walk.py" --build "$tree" --source "$root"
      --session "$session")
echo "== demo setup package: $tree/installer/OrvInstall.exe ($flavour)"
if [ -n "${DISPLAY:-}" ]; then
    ORVIA_WINE_DISPLAY=$DISPLAY "$root/tools/wine/wine-session.sh" start "$session" "$flavour" >/dev/null
    trap '"$root/tools/wine/wine-session.sh" stop "$session"' EXIT
    echo "== running it on $DISPLAY"
    "${walk[@]}" --watch
else
    "$root/tools/wine/wine-session.sh" start "$session" "$flavour" >/dev/null
    trap '"$root/tools/wine/wine-session.sh" stop "$session"' EXIT
    echo "== walking through it on a headless display"
    "${walk[@]}"
fi
