#!/usr/bin/env bash
# Runs a Windows program under Wine in the session that wine-session.sh started.
#   wine-run.sh --session DIR PROGRAM.exe [ARGS...]
# The run is limited to ORVIA_WINE_TIMEOUT seconds (default 600); its exit status is the program's,
# or 124 when the time ran out.
set -euo pipefail

if [ "${1:-}" != --session ] || [ $# -lt 3 ]; then
    echo "usage: $0 --session DIR PROGRAM [ARGS...]" >&2
    exit 2
fi
session=$2
shift 2

if [ ! -f "$session/env" ]; then
    echo "wine-run: no Wine session in $session; start one with tools/wine/wine-session.sh start" >&2
    exit 1
fi
# shellcheck disable=SC1091
. "$session/env"

limit=${ORVIA_WINE_TIMEOUT:-600}
status=0
timeout -k 10 "$limit" "$WINELOADER" "$@" || status=$?
if [ "$status" -eq 124 ]; then
    echo "wine-run: $1 did not finish within $limit s" >&2
fi
exit "$status"
