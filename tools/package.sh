#!/usr/bin/env bash
# Makes a setup package (an OrvInstall executable) from a client folder:
#
#   tools/package.sh [--setup-files DIR] [--version A.B.C.D]
#                    [--sign FILE.p12 [--timestamp URL]] CLIENT_DIR OUT.exe
#
# CLIENT_DIR is the client as it lands in the install folder: tamro/tamro.exe (required),
# tamro/uninstall.exe, tamro/locales/, res/ (i18n/hans, i18n/hant, orvflash.exe), sites/tamr,
# renew/sites/tamr, ... It is packed as install/data/...; DIR (default installer/setupfiles)
# goes beside it under install/ (install/res/...), with the licence as install/Licence.txt.
#
# --version gives the package's version resource and the DisplayVersion it registers (default
# the one in installer/ProductVersion.h). --sign signs tamro/uninstall.exe and res/orvflash.exe
# (copies of them; CLIENT_DIR is left as it is) before packing, and then the package, with
# Authenticode (osslsigncode, SHA-256). The PKCS#12 password is read from the environment
# variable ORVIA_SIGN_PASSWORD and reaches osslsigncode through a pipe (-readpass /dev/fd/N),
# never on a command line or on disk. --timestamp adds an RFC 3161 time stamp from URL.
#
# The program's code is compiled once in the build tree; a package only compiles a resource
# script naming its payload and version and links. ORVIA_PACKAGE_TREE picks the tree: win32 (the
# 32-bit product, default) or win64 (what runs under this machine's Wine). A missing tree is
# configured and what the package needs is built on the way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVIA_BUILD_DIR:-$root/build}
tree=${ORVIA_PACKAGE_TREE:-win32}
setup_files=$root/installer/setupfiles

usage() {
    echo "usage: $0 [--setup-files DIR] [--version A.B.C.D] [--sign FILE.p12 [--timestamp URL]]" \
        "CLIENT_DIR OUT.exe" >&2
    exit 2
}
version= sign= timestamp=
while [ $# -gt 0 ]; do
    case $1 in
    --setup-files | --version | --sign | --timestamp)
        [ $# -ge 2 ] || usage
        case $1 in
        --setup-files) setup_files=$2 ;;
        --version) version=$2 ;;
        --sign) sign=$2 ;;
        --timestamp) timestamp=$2 ;;
        esac
        shift 2
        ;;
    --*) usage ;;
    *) break ;;
    esac
done
[ $# -eq 2 ] || usage
client=$1 out=$2
fail() { echo "package: $*" >&2; exit 1; }
# shellcheck source=tools/cross-trees.sh
. "$root/tools/cross-trees.sh"

# The four numbers of a version resource, 0 to 65535 each, written without leading zeros (the
# resource compiler would read 08 as a bad octal number).
version_numbers=
if [ -n "$version" ]; then
    [[ $version =~ ^([0-9]{1,5})\.([0-9]{1,5})\.([0-9]{1,5})\.([0-9]{1,5})$ ]] ||
        fail "--version wants four numbers A.B.C.D, not $version"
    for part in "${BASH_REMATCH[@]:1}"; do
        [ $((10#$part)) -le 65535 ] || fail "--version: $part is larger than 65535"
        version_numbers+="${version_numbers:+,}$((10#$part))"
    done
    version=${version_numbers//,/.}
fi
[ -z "$timestamp" ] || [ -n "$sign" ] || fail "--timestamp needs --sign"
if [ -n "$sign" ]; then
    [ -f "$sign" ] || fail "$sign is not a file"
    [ "${ORVIA_SIGN_PASSWORD+set}" = set ] ||
        fail "--sign needs the password of $sign in the environment variable ORVIA_SIGN_PASSWORD"
    command -v osslsigncode >/dev/null || fail "--sign needs osslsigncode (tools/setup.sh)"
    # Kept in an unexported variable: neither 7zz, cmake nor osslsigncode inherits it. Tracing
    # (bash -x) stays off from here on, so that it cannot print the password.
    { set +x; } 2>/dev/null
    sign_password=$ORVIA_SIGN_PASSWORD
    unset ORVIA_SIGN_PASSWORD
fi
[ -d "$client" ] || fail "$client is not a folder"
[ -f "$client/tamro/tamro.exe" ] ||
    fail "$client has no tamro/tamro.exe: the installer registers and starts that file"
[ -f "$client/tamro/uninstall.exe" ] ||
    echo "package: warning: $client has no tamro/uninstall.exe, the registered uninstaller" >&2
[ -d "$setup_files" ] || fail "$setup_files is not a folder"
toolchain_for "$tree" >/dev/null || fail "ORVIA_PACKAGE_TREE is win32 or win64, not $tree"
out_dir=$(dirname "$out")
[ -d "$out_dir" ] || fail "the folder of $out does not exist"

tree_dir=$build/$tree
if [ ! -f "$tree_dir/CMakeCache.txt" ]; then
    echo "package: configuring $tree_dir"
    configure_cross "$tree" "$tree_dir" || fail "could not configure $tree_dir"
fi
mkdir -p "$tree_dir/package"
# One package at a time per tree: they share the payload's place in the build tree.
exec 9>"$tree_dir/package/.lock"
flock 9

# sign_file IN OUT: Authenticode signature with the certificate of --sign. osslsigncode reads
# the password from a pipe the shell's own printf fills (-readpass /dev/fd/N), so it is never
# on a command line or on disk.
sign_file() {
    local in=$1 out=$2 args=(sign -pkcs12 "$sign" -h sha256 -n Tamro)
    [ -z "$timestamp" ] || args+=(-ts "$timestamp")
    rm -f "$out"
    osslsigncode "${args[@]}" -readpass <(printf '%s' "$sign_password") -in "$in" -out "$out" \
        >/dev/null ||
        fail "signing $in failed (wrong password, or not a code signing certificate?)"
}

# The version the package records: installer/ProductVersion.h unless --version gives another.
version_header=$tree_dir/package/PackageVersion.h
{
    echo "// Written by tools/package.sh."
    if [ -n "$version" ]; then
        echo "#define ORVIA_VERSION_NUMBERS $version_numbers"
        echo "#define ORVIA_VERSION_TEXT \"$version\""
    fi
    echo "#include \"installer/ProductVersion.h\""
} >"$version_header.new"
cmp -s "$version_header.new" "$version_header" || mv "$version_header.new" "$version_header"
rm -f "$version_header.new"

# With --sign the programs the client carries are signed in a copy of the client folder: hard
# links to the client's files, where each signed program replaces its link.
pack_client=$client
if [ -n "$sign" ]; then
    pack_client=$tree_dir/package/client
    rm -rf "$pack_client"
    cp -al "$client" "$pack_client" 2>/dev/null ||
        { rm -rf "$pack_client" && cp -a "$client" "$pack_client"; }
    for program in tamro/uninstall.exe res/orvflash.exe; do
        [ -f "$pack_client/$program" ] || continue
        echo "package: signing $program"
        sign_file "$pack_client/$program" "$pack_client/$program.signed"
        chmod --reference="$client/$program" "$pack_client/$program.signed"
        mv "$pack_client/$program.signed" "$pack_client/$program"
    done
fi

quiet_build "$tree_dir" --target orvinstall_licence || fail "building the licence failed"
echo "package: packing $client"
"$root/tools/pack-payload.sh" "$pack_client" "$setup_files" "$tree_dir/installer/Licence.gbk" \
    "$tree_dir/package/payload.7z"
echo "package: linking ($tree)"
quiet_build "$tree_dir" --target OrvInstallPackage || fail "building the package failed"
if [ -n "$sign" ]; then
    echo "package: signing $out"
    sign_file "$tree_dir/installer/OrvInstallPackage.exe" "$out"
    chmod +x "$out"
    rm -rf "$pack_client"
else
    cp "$tree_dir/installer/OrvInstallPackage.exe" "$out"
fi
[ -n "$version" ] ||
    version=$(sed -n 's/^#define ORVIA_VERSION_TEXT "\(.*\)"$/\1/p' "$root/installer/ProductVersion.h")
echo "package: $out (version $version, $(stat -c %s "$out") bytes," \
    "payload $(stat -c %s "$tree_dir/package/payload.7z") bytes${sign:+, signed})"
