#!/usr/bin/env bash
# Fuzzes the module for the given number of seconds (60 by default): installs clang and
# libFuzzer's runtime when they are missing, builds the harness in build/fuzz with
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs it on both cores. What it finds is
# left in build/fuzz/findings; the corpus it grows is kept in build/fuzz/corpus for the next run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
# shellcheck source=scripts/far2l-common.sh
source scripts/far2l-common.sh

install_packages cmake make clang libclang-rt-14-dev libsqlite3-dev libncurses-dev pkg-config

CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVELMORA_SANITIZE=address,undefined,fuzzer-no-link -DVELMORA_FUZZ=ON \
    -DVELMORA_TESTS=OFF > /dev/null
cmake --build build/fuzz --target module_fuzzer -j"$(nproc)"

mkdir -p build/fuzz/corpus build/fuzz/findings
# Seeds that reach deep roads at once. An input is three bytes (options, a failing key or
# store, the host's version), then actions of two bytes (what, which heap request to refuse)
# and their arguments; texts are a length byte and the bytes (module_fuzzer.cpp).
# shellcheck disable=SC2059 # a seed is written as the escapes of printf's format
seed() { printf "$2" > "build/fuzz/corpus/seed-$1"; }
seed completion '\xc2\x00\x00\x08\x00\x01\x04proj\x04C:\\p\x08\x00\x01\x05proje\x04C:\\q\x00\x00\x02pr\x01'
seed commands '\x01\x00\x01\x00\x00\x05:proj\x00\x00\x05+temp\x00\x00\x05:abc:\x00\x00\x08proj/sub\x00\x00\x07ftp:srv\x00\x00\x05-proj\x00\x00\x00'
seed panel '\x05\x00\x00\x08\x00\x03\x03flt\x03C:*\x08\x00\x02\x03tmp\x04C:\\t\x08\x00\x01\x82ab\x04C:\\l\x01\x00\x00\x03\x00\x01\x02\x00\x01\x00\x03\x00\x00\x02\x00\x01\x00\x03\x00\x02\x02\x00\x04\x00\x01\x03new\x00\x00\x07\x03\x00\x03\x02\x00\x08\x00\x01\x02\x00\x02\x01'
seed configure '\x00\x00\x01\x06\x00\x01\x00\x01\x00\x01\x01\x04vel:\x09\x00\x00\x05:name'
jobs=$(nproc)
echo "Fuzzing the module for $seconds s with $jobs jobs"
cd build/fuzz
# One run per core side by side, each logging to fuzz-N.log.
status=0
ASAN_OPTIONS=detect_leaks=1 ./tests/fuzz/module_fuzzer -max_total_time="$seconds" \
    -jobs="$jobs" -workers="$jobs" -max_len=4096 -len_control=0 -timeout=10 \
    -print_final_stats=1 -artifact_prefix=findings/ corpus > fuzz.log 2>&1 || status=$?
tail -n 3 fuzz-*.log 2> /dev/null || true
if [ "$status" -ne 0 ] || ls findings/* > /dev/null 2>&1; then
    echo "fuzz: the module failed; the input is in build/fuzz/findings, the logs in build/fuzz"
    grep -h -A30 -E "ERROR|module_fuzzer:|runtime error" fuzz-*.log | head -60
    exit 1
fi
echo "fuzz: no failure in $seconds s"
