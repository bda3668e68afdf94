#!/usr/bin/env bash
# Builds the Debian package velmora_<version>_<arch>.deb: a Release build in build/package (or
# the folder given as the argument) with Debian's hardening flags, then CPack. Its last line is
# the package's path. Install it with
#   sudo apt-get install ./build/package/velmora_*.deb
set -euo pipefail
# shellcheck source=scripts/far2l-common.sh
source "$(dirname "$0")/far2l-common.sh"
cd "$velmora_root"

# Only what the package is built from: no test tools, no Windows compilers, no Wine. dpkg-dev
# gives dpkg-buildflags, and dpkg-shlibdeps for the package's dependencies.
install_packages cmake g++ make pkg-config libsqlite3-dev libncurses-dev dpkg-dev file

build=${1:-build/package}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
flags() { dpkg-buildflags --get "$1"; }
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF \
    -DCMAKE_C_FLAGS="$(flags CFLAGS) $(flags CPPFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(flags CXXFLAGS) $(flags CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)" \
    -DCMAKE_MODULE_LINKER_FLAGS="$(flags LDFLAGS)" > /dev/null
cmake --build "$build" -j"$(nproc)" > /dev/null
rm -f "$build"/velmora_*.deb
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
(cd "$build" && ls "$PWD"/velmora_*.deb)
