#!/usr/bin/env bash
# Several shells using one store at once: 4 processes add and delete names (half of them
# temporary) while 4 jump and list, for VELMORA_STRESS_SECONDS (3 by default); then both
# database files pass SQLite's integrity check and every name whose add said yes and that no
# delete was asked for is still stored. The run with `kill` as its argument also kills commands
# with SIGKILL at random moments, as a closed terminal or a crash would.
# Usage: concurrent_commands.sh VELMORA [kill]
set -uo pipefail
velmora=$(realpath "$1")
killing=${2:-}
seconds=${VELMORA_STRESS_SECONDS:-3}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export VELMORA_REGISTRY_DIR=$work/registry VELMORA_VOLATILE_DIR=$work/volatile
mkdir -p "$work/here"
cd "$work/here" || exit 1

# Runs velmora with the arguments; in the killing run a third of the commands get SIGKILL after
# 0 to 29 ms. The command is not yet waited for when it is killed, so its id is still ours.
run() {
    "$velmora" "$@" > /dev/null 2>> "$work/said" &
    local pid=$!
    if [ -n "$killing" ] && [ $((RANDOM % 3)) -eq 0 ]; then
        sleep "0.0$((RANDOM % 30))"
        kill -9 "$pid" 2> /dev/null
    fi
    # bash tells of a killed job on its standard error.
    wait "$pid" 2> /dev/null
}

# Writer W: adds tW-N (temporary for odd W), and deletes every other name again. Acknowledged
# adds go to acked.W, the names a delete was asked for to deleting.W.
writer() {
    local w=$1 kind=: n=0
    [ $((w % 2)) -eq 1 ] && kind=+
    while [ "$SECONDS" -lt "$end" ]; do
        n=$((n + 1))
        local name=t$w-$n
        run "$kind$name" && echo "$name" >> "$work/acked.$w"
        if [ $((n % 2)) -eq 0 ]; then
            echo "$name" >> "$work/deleting.$w"
            run -- "-$name"
        fi
    done
}

# Reader R: jumps to a name of the writers and lists; statuses other than 0 (found) and 1 (not
# found) go to failed.R.
reader() {
    local r=$1 rc
    while [ "$SECONDS" -lt "$end" ]; do
        run "t$r-$((RANDOM % 20 + 1))"
        rc=$?
        [ "$rc" -le 1 ] || echo "jump $rc" >> "$work/failed.$r"
        run list
        rc=$?
        [ "$rc" -eq 0 ] || echo "list $rc" >> "$work/failed.$r"
    done
}

end=$((SECONDS + seconds))
for i in 0 1 2 3; do
    writer "$i" &
    reader "$i" &
done
wait

failures=0
for database in "$VELMORA_REGISTRY_DIR/hkcu.db" "$VELMORA_VOLATILE_DIR/hkcu.db"; do
    verdict=$(sqlite3 -readonly "$database" 'PRAGMA integrity_check' 2>&1)
    if [ "$verdict" != ok ]; then
        echo "FAIL $database: $verdict"
        failures=$((failures + 1))
    fi
done

cat "$work"/acked.* 2> /dev/null | sort > "$work/acked"
cat "$work"/deleting.* 2> /dev/null | sort > "$work/deleting"
comm -23 "$work/acked" "$work/deleting" > "$work/kept"
"$velmora" --names | sort > "$work/stored"
lost=$(comm -23 "$work/kept" "$work/stored" | wc -l)
if [ "$lost" -ne 0 ]; then
    echo "FAIL names acknowledged and lost: $(comm -23 "$work/kept" "$work/stored" | head -5)"
    failures=$((failures + 1))
fi
# In the killing run a killed read has status 137; the others must be 0 or 1.
unexpected=$(cat "$work"/failed.* 2> /dev/null | grep -vc ' 137$')
echo "${killing:+kill -9: }$(wc -l < "$work/acked") adds acknowledged, $(wc -l < "$work/kept")" \
    "kept, lost: $lost; reads with another status: $unexpected"
if [ "$unexpected" -ne 0 ]; then
    sort "$work"/failed.* | uniq -c | grep -v ' 137$' | head -5
    sort -u "$work/said" | head -5
    failures=$((failures + 1))
fi
# In a sanitizer build a fault is a report on standard error, whatever the status.
if grep -qE 'Sanitizer|runtime error' "$work/said" 2> /dev/null; then
    grep -E -m 5 'Sanitizer|runtime error' "$work/said"
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
