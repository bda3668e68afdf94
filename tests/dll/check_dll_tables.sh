#!/bin/sh
# Checks the 32-bit plugin DLL the way the host will meet it: a 32-bit (i386) DLL that exports
# the eleven entry points under their plain names and imports nothing but system DLLs.
set -u
dll=$1
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
table=$($objdump -p "$dll") || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "$table" | grep -q "file format pei-i386" || fail "not a 32-bit (i386) PE file"
echo "$table" | grep -q "Magic.*(PE32)" || fail "not PE32"
echo "$table" | grep -qE "Characteristics.*" || true
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
    echo "Velmora.dll: i386 DLL, 11 plain exports, system imports only"
fi
[ "$failures" -eq 0 ]
