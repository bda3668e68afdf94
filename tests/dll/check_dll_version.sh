#!/bin/sh
# Checks the version resource of a plugin DLL, which Far's plugin information shows: the file
# and product version are the project's (VERSION as x.y.z, shown as x.y.z.0), the product is
# Velmora, and the description names the width of Far it is for (32: x86, 64: x64).
set -u
dll=$1
bits=$2
version=$3
case "$bits" in
    32) windres=${WINDRES:-i686-w64-mingw32-windres} width=x86 ;;
    64) windres=${WINDRES:-x86_64-w64-mingw32-windres} width=x64 ;;
    *) echo "usage: $0 DLL 32|64 VERSION"; exit 2 ;;
esac
resource=$($windres -i "$dll" -O rc 2>&1) || { echo "FAIL: $resource"; exit 1; }
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
has() { echo "$resource" | grep -qF -- "$1"; }

numbers=$(echo "$version" | sed 's/\./, /g')
has "FILEVERSION $numbers, 0" || fail "the file version is not $version.0"
has "PRODUCTVERSION $numbers, 0" || fail "the product version is not $version.0"
has "VALUE \"FileVersion\", \"$version.0\"" || fail "the FileVersion text is not $version.0"
has "VALUE \"ProductVersion\", \"$version.0\"" || fail "the ProductVersion text is not $version.0"
has 'VALUE "ProductName", "Velmora"' || fail "the product is not Velmora"
echo "$resource" | grep -qE "VALUE \"FileDescription\", \".*Far $width\"" ||
    fail "the description does not say Far $width"

if [ "$failures" -eq 0 ]; then
    echo "Velmora.dll: version $version.0 for Far $width"
fi
[ "$failures" -eq 0 ]
