#!/usr/bin/env bash
# Builds the benchmarks (Release, in build/bench) and runs them. Arguments go to every benchmark
# program, e.g. --benchmark_repetitions=5 or --benchmark_filter=OpenReadClose.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF \
    > /dev/null

# --- The registry store (src/platform/posix) ---
# Lookups and walks over 100,000 names, and what a start over an existing store costs. Only
# these programs and what they link are built: the rest of the tree has no part in the figures.
cmake --build build/bench -j"$(nproc)" --target registry_bench store_start_bench
build/bench/bench/registry_bench "$@"
build/bench/bench/store_start_bench "$@"
