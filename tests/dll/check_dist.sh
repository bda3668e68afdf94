#!/bin/sh
# Checks what a user gets: dist/Velmora with the DLL, both language files and the guide, and a
# zip that holds the same folder.
set -u
dist=$1
failures=0
for file in Velmora.dll VelmoraEng.lng VelmoraRus.lng UserGuide.txt; do
    [ -s "$dist/Velmora/$file" ] || { echo "FAIL: dist/Velmora/$file is missing"; failures=$((failures + 1)); }
    cmake -E tar tf "$dist/Velmora.zip" | grep -qx "Velmora/$file" ||
        { echo "FAIL: Velmora.zip lacks Velmora/$file"; failures=$((failures + 1)); }
done
cmp -s "$dist/Velmora/VelmoraRus.lng" "$(dirname "$0")/../../lng/VelmoraRus.lng" ||
    { echo "FAIL: the Russian file was changed on the way"; failures=$((failures + 1)); }
[ "$failures" -eq 0 ] && echo "dist/Velmora and Velmora.zip are complete"
[ "$failures" -eq 0 ]
