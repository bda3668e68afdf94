#!/usr/bin/env bash
# Builds every flavour of Velmora: the Windows plugin for Far x86 (32-bit) and for Far x64
# (64-bit), each with its folder in dist/, the native Linux module with the velmora program, and
# the far2l plugin, and says where each is.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Configures and builds one preset of CMakePresets.json in its folder below build/, which has
# the preset's name unless another is given.
configure_and_build() {
    local preset=$1 dir=${2:-$1}
    cmake --preset "$preset" > /dev/null
    cmake --build "build/$dir" -j"$(nproc)"
}

configure_and_build native-release release
configure_and_build win64
configure_and_build win32

echo
echo "Built:"
echo "  the plugin for Far x86:      $(pwd)/dist/Velmora (and dist/Velmora.zip)"
echo "  the plugin for Far x64:      $(pwd)/dist/Velmora64 (and dist/Velmora64.zip)"
echo "  native module and velmora:   $(pwd)/build/release/src/Velmora.so, build/release/cli/velmora"
echo "  the plugin for far2l:        $(pwd)/build/release/far2l-plugin"
