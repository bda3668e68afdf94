#!/bin/sh
# Runs a Windows test program under Wine, quietly and without looking for Mono or Gecko. The
# first argument says which Wine: 64 (wine64) or 32 (the 32-bit one, package wine32:i386).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
bits=$1
shift
if [ "$bits" = 32 ]; then
    exec /usr/lib/wine/wine "$@"
fi
exec /usr/lib/wine/wine64 "$@"
