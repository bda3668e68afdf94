#!/usr/bin/env bash
# Builds the three flavours of Velmora: the 32-bit Windows plugin (the product), the 64-bit
# Windows DLL and the native Linux module, and says where the plugin is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "build/$dir" -DCMAKE_BUILD_TYPE=Release "$@" > /dev/null
    cmake --build "build/$dir" -j"$(nproc)"
}

configure_and_build native
configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake

echo
echo "Built:"
echo "  32-bit Windows (the plugin): $(pwd)/build/win32"
echo "  64-bit Windows:              $(pwd)/build/win64"
echo "  native Linux:                $(pwd)/build/native"
