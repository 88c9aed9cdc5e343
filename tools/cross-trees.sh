# Sourced by build.sh and package.sh: how a cross build tree is configured, and build steps that
# stay quiet unless they fail. Expects $root, the repository.

# The CMake toolchain file of a tree: win32 (the products) or win64.
toolchain_for() {
    case $1 in
    win32) echo toolchain-mingw-i686.cmake ;;
    win64) echo toolchain-mingw-x86_64.cmake ;;
    *) return 1 ;;
    esac
}

# configure_cross TREE DIR: configures DIR as the Release build tree of TREE.
configure_cross() {
    local toolchain
    toolchain=$(toolchain_for "$1") || { echo "no tree named $1 (win32 or win64)" >&2; return 1; }
    cmake -S "$root" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null
}

# quiet_build ARGS...: cmake --build ARGS, its output shown only when it fails.
quiet_build() {
    local log status=0
    log=$(mktemp)
    cmake --build "$@" >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || cat "$log" >&2
    rm -f "$log"
    return "$status"
}
