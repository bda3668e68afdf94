#!/usr/bin/env bash
# The panel's keys stand in one list for each family of hosts (doc/keys): the program's F1 and
# the manual page are made from it when they are built, and the guides must show it exactly as
# doc/keys/render.sh writes it. A key added in one place and not in the others fails here.
set -u
root=$(cd "$(dirname "$0")/../.." && pwd)
failures=0
check() {
    local form=$1 list=$2 document=$3 block
    block=$("$root/doc/keys/render.sh" "$form" "$root/doc/keys/$list")
    if [[ "$(cat "$root/$document")" != *"$block"* ]]; then
        printf 'FAIL: %s does not list the keys of doc/keys/%s as doc/keys/render.sh %s writes them:\n%s\n' \
            "$document" "$list" "$form" "$block"
        failures=$((failures + 1))
    fi
}
check markdown shell-panel.txt doc/guide.md
check markdown far-panel.txt doc/guide.md
check text far-panel.txt doc/UserGuide.txt
[ "$failures" -eq 0 ] && echo "the guides list the panel's keys as doc/keys holds them"
[ "$failures" -eq 0 ]
