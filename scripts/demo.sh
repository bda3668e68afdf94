#!/usr/bin/env bash
# Velmora to try at once, on throwaway stores: first far2l, the Linux port of Far, with Velmora
# loaded (type cd::name, cd:name, or cd: alone for the panel; F10 leaves); then a bash with the
# cd: command of the velmora program. Installs and builds what is missing.
#   scripts/demo.sh           both, one after the other
#   scripts/demo.sh far2l     only far2l
#   scripts/demo.sh shell     only the shell
set -euo pipefail
cd "$(dirname "$0")/.."

what=${1:-both}
case $what in
    both | far2l | shell) ;;
    *)
        echo "usage: scripts/demo.sh [both|far2l|shell]" >&2
        exit 2
        ;;
esac
if [ ! -t 0 ] || [ ! -t 1 ]; then
    echo "demo: this is interactive; run it in a terminal (CI checks it with" \
        "scripts/far2l-demo.sh --check)" >&2
    exit 1
fi

if [ "$what" != shell ]; then
    scripts/far2l-demo.sh
fi
if [ "$what" != far2l ]; then
    exec scripts/velmora-demo.sh
fi
