#!/usr/bin/env bash
# Starts or stops the Wine session that cross-built tests and programs run in:
# a fresh 32-bit WINEPREFIX, a headless X display (Xvfb) and a persistent wineserver.
#
#   wine-session.sh start DIR win32|win64   create DIR/prefix anew, start Xvfb and Wine, write DIR/env
#   wine-session.sh stop DIR                 end the wineserver and the X server of that session
#
# With ORVIA_WINE_DISPLAY set (for example to the user's $DISPLAY), the session uses that X
# display instead of starting Xvfb, so that a person sees and drives its windows.
#
# Every step has a time limit, so a Wine or X server that cannot start is reported, never waited for.
set -euo pipefail

usage() { echo "usage: $0 start DIR win32|win64 | stop DIR" >&2; exit 2; }
[ $# -ge 2 ] || usage
action=$1
dir=$(realpath -m "$2")
arch=${3:-win32}

# Font face the skins ask for, and the installed CJK font that stands in for it.
SKIN_FONT_FACE='微软雅黑'
CJK_FONT_FAMILY='WenQuanYi Micro Hei'

stop_session() {
    if [ -f "$dir/env" ]; then
        # shellcheck disable=SC1091
        (. "$dir/env" && timeout 30 "$WINESERVER" -k >/dev/null 2>&1) || true
    fi
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
        rm -f "$dir/xvfb.pid"
    fi
}

fail() {
    echo "wine-session: $*" >&2
    stop_session
    exit 1
}

start_x_server() {
    command -v Xvfb >/dev/null || fail "Xvfb is not installed (package xvfb)"
    local display_file="$dir/display"
    : >"$display_file"
    # -displayfd lets Xvfb choose a free display number, so parallel sessions never collide.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" </dev/null \
        >"$dir/xvfb.log" 2>&1 &
    echo $! >"$dir/xvfb.pid"
    for _ in $(seq 1 100); do
        if [ -s "$display_file" ]; then
            echo ":$(tr -d '[:space:]' <"$display_file")"
            return
        fi
        kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null || fail "Xvfb exited; see $dir/xvfb.log"
        sleep 0.1
    done
    fail "Xvfb did not report a display within 10 s; see $dir/xvfb.log"
}

start_session() {
    stop_session
    rm -rf "$dir"
    mkdir -p "$dir"
    local loader
    case $arch in
    win32) loader=/usr/lib/wine/wine ;;
    win64) loader=/usr/lib/wine/wine64 ;;
    *) usage ;;
    esac
    [ -x "$loader" ] || fail "$loader is missing (packages wine, wine32:i386, wine64)"
    "$loader" --version >/dev/null 2>&1 ||
        fail "$loader cannot run here (a 32-bit loader needs the kernel's 32-bit emulation)"

    local display
    if [ -n "${ORVIA_WINE_DISPLAY:-}" ]; then
        display=$ORVIA_WINE_DISPLAY
    else
        display=$(start_x_server)
    fi
    local locale=zh_CN.UTF-8
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
        echo "wine-session: locale $locale is not generated; Wine will not use code page 936" >&2
    fi

    cat >"$dir/env" <<ENV
export WINEPREFIX='$dir/prefix'
export WINEARCH=$arch
export WINELOADER=$loader
export WINESERVER=/usr/lib/wine/wineserver$([ "$arch" = win64 ] && echo 64 || echo 32)
export WINEDEBUG=-all
export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'
export DISPLAY='$display'
export LANG=$locale
export LC_ALL=$locale
ENV
    # shellcheck disable=SC1091
    . "$dir/env"

    # A persistent wineserver keeps every later program start fast.
    mkdir -p "$WINEPREFIX"
    timeout 30 "$WINESERVER" -p </dev/null >/dev/null 2>&1 || fail "could not start a persistent wineserver"
    timeout 240 "$WINELOADER" wineboot --init </dev/null >"$dir/wineboot.log" 2>&1 ||
        fail "wineboot failed or timed out; see $dir/wineboot.log"

    # wineboot links the user's shell folders (Desktop, Documents, ...) to $HOME, which every
    # session on the machine shares: a shortcut one session writes to its desktop would appear
    # on the desktop of every other. Each session gets folders of its own.
    local folder
    for folder in "$WINEPREFIX"/drive_c/users/*/*; do
        if [ -L "$folder" ]; then
            rm "$folder"
            mkdir "$folder"
        fi
    done

    timeout 60 "$WINELOADER" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$SKIN_FONT_FACE" \
        /t REG_SZ /d "$CJK_FONT_FAMILY" /f </dev/null >>"$dir/wineboot.log" 2>&1 ||
        fail "could not map the font $SKIN_FONT_FACE; see $dir/wineboot.log"
    echo "wine-session: prefix $WINEPREFIX on display $DISPLAY"
}

case $action in
start) start_session ;;
stop) stop_session ;;
*) usage ;;
esac
