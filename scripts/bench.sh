#!/usr/bin/env bash
# Builds the registry benchmarks (Release, in build/bench) and runs them. Arguments go to the
# benchmark program, e.g. --benchmark_repetitions=5 or --benchmark_filter=OpenReadClose.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCH=ON -DVELMORA_TESTS=OFF \
    > /dev/null
# Only the benchmark and what it links: the rest of the tree has no part in the figures.
cmake --build build/bench -j"$(nproc)" --target registry_bench
exec build/bench/bench/registry_bench "$@"
