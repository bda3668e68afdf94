#!/usr/bin/env bash
# Builds the benchmarks (Release, in build/bench) and runs them: the registry store's, then the
# whole-process figures of the velmora program. Arguments go to every benchmark program, e.g.
# --benchmark_repetitions=5 or --benchmark_filter=OpenReadClose; --process runs only the
# whole-process section.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF \
    > /dev/null

# --- The registry store (src/platform/posix) ---
# Lookups and walks over 100,000 names, and what a start over an existing store costs. Only
# these programs and what they link are built: the rest of the tree has no part in the figures.
registry_benchmarks() {
    cmake --build build/bench -j"$(nproc)" --target registry_bench store_start_bench
    build/bench/bench/registry_bench "$@"
    build/bench/bench/store_start_bench "$@"
}

# --- The velmora program, whole process -----------------------------------------------------
# Each figure is the median of 15 runs of the whole process, taken in the same run as /bin/true
# so that the machine's own cost of starting a process is beside it, over stores of 1,000,
# 10,000 and 100,000 names written through the registry API.

process_benchmarks() {
    cmake --build build/bench -j"$(nproc)" --target velmora store_filler > /dev/null
    local program=$PWD/build/bench/cli/velmora filler=$PWD/build/bench/bench/store_filler
    if ! command -v hyperfine > /dev/null || [ ! -x /usr/bin/time ]; then
        local as_root=()
        [ "$(id -u)" -eq 0 ] || as_root=(sudo)
        DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq \
            --no-install-recommends hyperfine time > /dev/null 2>&1 ||
            echo "(hyperfine is not installable here; timing with the shell's own clock)"
    fi
    local stores
    stores=$(mktemp -d)
    trap 'rm -rf "$stores"' RETURN
    local true_ms
    echo
    printf '%-34s %10s %10s %8s  %s\n' "velmora, whole process" "median" "/bin/true" "ratio" \
        "target"
    for count in 1000 10000 100000; do
        export VELMORA_REGISTRY_DIR=$stores/$count/registry
        export VELMORA_VOLATILE_DIR=$stores/$count/volatile
        "$filler" "$count"
        # Completion is on: a miss offers every permanent name that begins with the text.
        local medians
        medians=$(median_ms /bin/true "$program name000500" "$program zzz" "$program --names")
        read -r true_ms hit miss names <<< "$medians"
        figure "$count names: velmora NAME" "$hit" "$true_ms" \
            "$([ "$count" = 10000 ] && echo '<= 2.5x /bin/true')"
        figure "$count names: a miss, completion on" "$miss" "$true_ms" \
            "$([ "$count" = 100000 ] && echo '<= 25 ms')"
        local names_target=
        [ "$count" = 10000 ] && names_target='<= 10 ms'
        [ "$count" = 100000 ] && names_target='<= 80 ms'
        figure "$count names: velmora --names" "$names" "$true_ms" "$names_target"
    done
    local peak
    peak=$(/usr/bin/time -f %M "$program" --names 2>&1 > /dev/null | tail -1)
    printf '%-34s %7.1f MB %28s\n' "100000 names: --names, peak memory" \
        "$(awk "BEGIN { print $peak / 1024 }")" "<= 30 MB"
}

# The median wall time of each command in milliseconds, in one run, separated by blanks.
median_ms() {
    if command -v hyperfine > /dev/null; then
        local csv
        csv=$(mktemp)
        hyperfine -N -i --warmup 3 --runs 15 --export-csv "$csv" "$@" > /dev/null 2>&1
        awk -F, 'NR > 1 { printf "%s ", $4 * 1000 }' "$csv"
        rm -f "$csv"
        return
    fi
    local command
    for command in "$@"; do
        local times=() i start
        for i in $(seq 1 18); do
            start=$(date +%s%N)
            $command > /dev/null 2>&1 || true
            [ "$i" -gt 3 ] && times+=($((($(date +%s%N) - start) / 1000)))
        done
        printf '%s\n' "${times[@]}" | sort -n | sed -n 8p | awk '{ printf "%s ", $1 / 1000 }'
    done
}

figure() {
    printf '%-34s %7.2f ms %7.2f ms %7.1fx  %s\n' "$1" "$2" "$3" "$(awk "BEGIN { print $2 / $3 }")" \
        "$4"
}

if [ "${1-}" = --process ]; then
    process_benchmarks
else
    registry_benchmarks "$@"
    process_benchmarks
fi
