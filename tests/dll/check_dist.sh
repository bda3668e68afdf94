#!/bin/sh
# Checks what a user gets for one width of the host: dist/FOLDER (Velmora for Far x86, Velmora64
# for Far x64) with the DLL just built, both language files, the guide and the licence, and FOLDER.zip that
# holds the same folder.
set -u
dist=$1
folder=$2
dll=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
for file in Velmora.dll VelmoraEng.lng VelmoraRus.lng UserGuide.txt LICENSE; do
    [ -s "$dist/$folder/$file" ] || fail "dist/$folder/$file is missing"
    cmake -E tar tf "$dist/$folder.zip" | grep -qx "$folder/$file" ||
        fail "$folder.zip lacks $folder/$file"
done
# The folder's DLL is the one of this width, not one left there by the other build.
cmp -s "$dist/$folder/Velmora.dll" "$dll" || fail "dist/$folder/Velmora.dll is not $dll"
cmp -s "$dist/$folder/VelmoraRus.lng" "$(dirname "$0")/../../lng/VelmoraRus.lng" ||
    fail "the Russian file was changed on the way"
[ "$failures" -eq 0 ] && echo "dist/$folder and $folder.zip are complete"
[ "$failures" -eq 0 ]
