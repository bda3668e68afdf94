#!/bin/sh
# Runs a 64-bit Windows test program under Wine, quietly and without looking for Mono or Gecko.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
