#!/bin/sh
# Checks a plugin DLL the way the host will meet it: a DLL of the host's width (32: i386 for
# Far x86, 64: x86-64 for Far x64) that exports the eleven entry points under their plain names
# and imports nothing but system DLLs.
set -u
dll=$1
bits=$2
case "$bits" in
    32) objdump=${OBJDUMP:-i686-w64-mingw32-objdump} format=pei-i386 magic="(PE32)" ;;
    64) objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump} format=pei-x86-64 magic="(PE32+)" ;;
    *) echo "usage: $0 DLL 32|64"; exit 2 ;;
esac
table=$($objdump -p "$dll") || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "$table" | grep -q "file format $format\$" || fail "not a $bits-bit ($format) PE file"
echo "$table" | grep -qF "$magic" || fail "not $magic"
echo "$table" | grep -q "DLL" || fail "not a DLL"

expected="ClosePlugin Configure GetFindData GetMinFarVersion GetOpenPluginInfo GetPluginInfo MakeDirectory OpenPlugin ProcessKey SetDirectory SetStartupInfo"
exported=$(echo "$table" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
           sed -nE 's/^\s*\[ *[0-9]+\] (.*)$/\1/p' | sort | tr '\n' ' ' | sed 's/ $//')
[ "$exported" = "$expected" ] || fail "exports are '$exported', expected '$expected'"

system_dlls="ADVAPI32.dll KERNEL32.dll msvcrt.dll USER32.dll ntdll.dll"
for imported in $(echo "$table" | sed -nE 's/^\s*DLL Name: (.*)$/\1/p'); do
    case " $system_dlls " in
        *" $imported "*) ;;
        *) fail "imports $imported, which is no system DLL" ;;
    esac
done

if [ "$failures" -eq 0 ]; then
    echo "Velmora.dll: $format DLL, 11 plain exports, system imports only"
fi
[ "$failures" -eq 0 ]
