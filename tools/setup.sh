#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, only when something is missing:
# the MinGW-w64 cross compiler, Wine (32-bit), Xvfb, the packaged dependencies, the signing
# tools (osslsigncode, and openssl for the tests' throw-away certificates), and the
# zh_CN.UTF-8 locale under which Wine uses code page 936 like the programs' users.
set -euo pipefail

PACKAGES=(
    cmake ninja-build g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
    lzma-dev zlib1g-dev libstb-dev libboost-dev 7zip libarchive-tools zip python3-py7zr
    wine wine32:i386 wine64 xvfb xdotool x11-utils fonts-wqy-microhei locales python3 python3-pil
    osslsigncode openssl
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        as_root dpkg --add-architecture i386
    fi
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    echo "setup: generating the zh_CN.UTF-8 locale"
    as_root localedef -i zh_CN -c -f UTF-8 zh_CN.UTF-8
fi
