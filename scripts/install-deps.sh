#!/usr/bin/env bash
# Installs the Debian packages the builds and tests need, when they are missing. Uses sudo
# when not run as root. Where the kernel runs 32-bit programs, 32-bit Wine comes too, so that
# the 32-bit plugin's own suites and Far 3 x86 can run.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake g++ make pkg-config
    libgtest-dev googletest libbenchmark-dev libsqlite3-dev libncurses-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64
    zsh fish ksh busybox  # the shells whose integration the unit tests run
    sqlite3  # checks the store after the test of commands at once
    shellcheck  # reads the scripts and the shells' integration
    tmux xz-utils  # Far 3 under Wine in a terminal, unpacked from its archive
)
if scripts/runs-32bit.sh; then
    packages+=(wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
