#!/usr/bin/env bash
# Builds the benchmarks (Release, in build/bench) and runs them: the registry store's, one Tab in
# bash, zsh and fish over 100,000 names, then the whole-process figures of the velmora program
# beside /bin/true and zoxide. Arguments go to every benchmark program, e.g.
# --benchmark_repetitions=5 or --benchmark_filter=OpenReadClose; --process runs only the
# whole-process section, --tab only the shells'. VELMORA_BENCH_PROGRAM names another build's
# velmora to measure in place of this one, for figures to compare.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake --preset bench > /dev/null

# Installs the Debian packages named when a command of theirs is missing: hyperfine times the
# processes, zoxide is the jumper they are compared with, time gives the peak memory.
install_missing() {
    local missing=() command package
    for command in "$@"; do
        package=${command#*:}
        command -v "${command%%:*}" > /dev/null || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" apt-get update -qq > /dev/null 2>&1 || true
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}" > /dev/null 2>&1 ||
        echo "(${missing[*]} not installable here)"
}

# --- The registry store (src/platform/posix) ---
# Lookups and walks over 100,000 names, and what a start over an existing store costs. Only
# these programs and what they link are built: the rest of the tree has no part in the figures.
registry_benchmarks() {
    cmake --build build/bench -j"$(nproc)" --target registry_bench store_start_bench
    build/bench/bench/registry_bench "$@"
    build/bench/bench/store_start_bench "$@"
}

# --- One Tab in the shells --------------------------------------------------------------------
# bash, zsh and fish with the integration loaded, over 100,000 names, with 1, 10, 1,000 and
# 10,000 of them matching what is typed (bench/shell_tab_bench.cpp). Target: at most 100 ms.
tab_benchmarks() {
    cmake --build build/bench -j"$(nproc)" --target shell_tab_bench > /dev/null
    build/bench/bench/shell_tab_bench "$@"
}

# --- The velmora program, whole process -----------------------------------------------------
# Each figure is the median of 100 runs of the whole process, taken in the same run as /bin/true
# and zoxide so that the machine's own cost of starting a process is beside it, over stores of
# 1,000, 10,000 and 100,000 names written through the registry API, and zoxide's database filled
# by `zoxide import` of as many directories (zoxide keeps only directories that exist).

process_benchmarks() {
    cmake --build build/bench -j"$(nproc)" --target velmora store_filler > /dev/null
    local program=${VELMORA_BENCH_PROGRAM:-$PWD/build/bench/cli/velmora}
    local filler=$PWD/build/bench/bench/store_filler
    install_missing hyperfine /usr/bin/time:time zoxide
    local stores
    stores=$(mktemp -d)
    trap 'rm -rf "$stores"' RETURN
    echo
    printf '%-34s %10s %10s %8s  %s\n' "whole process" "median" "/bin/true" "ratio" "target"
    for count in 1000 10000 100000; do
        export VELMORA_REGISTRY_DIR=$stores/$count/registry
        export VELMORA_VOLATILE_DIR=$stores/$count/volatile
        # The names' directories lie where zoxide's are; the one jumped to exists, so that the
        # jump lands as a user's does rather than saying that its directory is gone.
        "$filler" "$count" "$stores/$count/dirs"
        mkdir -p "$stores/$count/dirs/area500/folder000500"
        # zoxide reads its database from the environment, as velmora its store.
        export _ZO_DATA_DIR=$stores/$count/zoxide
        local zoxide=(true) zoxide_ms
        if command -v zoxide > /dev/null; then
            fill_zoxide "$stores/$count" "$count"
            zoxide=(zoxide query folder000500)
        fi
        # Completion is on: a miss offers every permanent name that begins with the text.
        local medians true_ms hit miss names
        medians=$(median_ms /bin/true "${zoxide[*]}" "$program name000500" "$program zzz" \
            "$program --names")
        read -r true_ms zoxide_ms hit miss names <<< "$medians"
        local hit_target="< zoxide"
        [ "$count" != 1000 ] && hit_target="<= 1.5x /bin/true, < zoxide"
        figure "$count names: velmora NAME" "$hit" "$true_ms" "$hit_target"
        command -v zoxide > /dev/null &&
            figure "$count dirs: zoxide query" "$zoxide_ms" "$true_ms" ""
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

# Fills zoxide's database ($_ZO_DATA_DIR) with COUNT directories made in FOLDER/dirs, the one
# zoxide is asked for among them, as `zoxide import` reads them from z's data file.
fill_zoxide() {
    local folder=$1 count=$2 now
    now=$(date +%s)
    mkdir -p "$_ZO_DATA_DIR"
    seq -f "$folder/dirs/area%03g" 0 999 | xargs mkdir -p
    seq 0 $((count - 1)) |
        awk -v base="$folder/dirs" -v now="$now" \
            '{ printf "%s/area%03d/folder%06d|%d|%d\n", base, $1 % 1000, $1, 1 + $1 % 7, now - $1 }' \
            > "$folder/z"
    cut -d'|' -f1 "$folder/z" | xargs mkdir -p
    zoxide import "$folder/z" > /dev/null 2>&1
}

# The median wall time of each command in milliseconds, in one run, separated by blanks.
median_ms() {
    if command -v hyperfine > /dev/null; then
        local csv
        csv=$(mktemp)
        hyperfine -N -i --warmup 10 --runs 100 --export-csv "$csv" "$@" > /dev/null 2>&1
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

case "${1-}" in
    --process) process_benchmarks ;;
    --tab) shift && tab_benchmarks "$@" ;;
    *)
        registry_benchmarks "$@"
        tab_benchmarks "$@"
        process_benchmarks
        ;;
esac
