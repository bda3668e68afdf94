#!/usr/bin/env bash
# Runs every test: shellcheck on the scripts, the native suites, the same under AddressSanitizer
# and UndefinedBehaviorSanitizer, the 64-bit Windows suites under Wine, the 32-bit Windows build
# (and its suites where 32-bit programs run), both with checks of the DLL and of its folder in
# dist/, a minute of fuzzing, and the end-to-end suites of the velmora program, of far2l, of
# Far 3 with the DLLs and of the Debian package. With --quick, only shellcheck, the native suites
# and the program's terminal suite: the few minutes a change needs before the full run.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
quick=0
case "${1:-}" in
'') ;;
--quick) quick=1 ;;
*) echo "usage: scripts/test.sh [--quick]" >&2; exit 2 ;;
esac
scripts/install-deps.sh || exit 1

passed=0
failed=0

# Configures and builds one preset of CMakePresets.json, whose folder is build/PRESET.
configure_and_build() {
    local preset=$1
    shift
    cmake --preset "$preset" "$@" > /dev/null && cmake --build "build/$preset" -j"$(nproc)"
}

# Runs one ctest directory and adds its programs to the totals.
run_suite() {
    local dir=$1 log
    log=$(mktemp)
    ctest --test-dir "build/$dir" --output-on-failure 2>&1 | tee "$log"
    local line total failures
    line=$(grep -E '^[0-9]+% tests passed' "$log" | tail -1)
    rm -f "$log"
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<< "$line")
    failures=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<< "$line")
    passed=$((passed + total - failures))
    failed=$((failed + failures))
}

step() { echo; echo "=== $*"; }

# The shells' integration (cli/shells) is read with the values the program fills in, by the
# native suites (tests/cli/shell_init_test.cpp).
step "shellcheck: the scripts"
shellcheck -x scripts/*.sh scripts/lib/*.sh tests/*/*.sh cmake/*.sh doc/keys/*.sh &&
    passed=$((passed + 1)) || failed=$((failed + 1))

step "native"
configure_and_build native && run_suite native || failed=$((failed + 1))

# The builds and checks beyond the native suites, which a quick run leaves to the full one.
builds_beyond_native() {
    step "native with AddressSanitizer and UndefinedBehaviorSanitizer"
    configure_and_build sanitize && run_suite sanitize || failed=$((failed + 1))

    step "64-bit Windows under Wine, its DLL tables and dist/Velmora64"
    configure_and_build win64 && run_suite win64 || failed=$((failed + 1))

    step "32-bit Windows build, its DLL tables, dist/Velmora and, where 32-bit programs run," \
        "its suites"
    run_32bit=OFF
    if scripts/runs-32bit.sh; then
        run_32bit=ON
    else
        echo "32-bit suites not run: this machine's kernel refuses 32-bit programs" \
            "(Exec format error)"
    fi
    configure_and_build win32 -DVELMORA_RUN_32BIT_SUITES=$run_32bit && run_suite win32 ||
        failed=$((failed + 1))

    step "the module fuzzed for 60 s"
    scripts/fuzz.sh 60 && passed=$((passed + 1)) || failed=$((failed + 1))

    step "the demonstration's far2l, headless"
    scripts/far2l-demo.sh --check && passed=$((passed + 1)) || failed=$((failed + 1))
}

end_to_end=(scripts/test-terminal.sh scripts/test-far2l.sh scripts/test-far3.sh
    scripts/test-package.sh)
if [ "$quick" -eq 1 ]; then
    end_to_end=(scripts/test-terminal.sh)
else
    builds_beyond_native
fi

# End-to-end suites in a real terminal: the velmora program, the module inside far2l, and both
# DLLs inside Far 3 under Wine; then the Debian package, installed and removed again.
for suite in "${end_to_end[@]}"; do
    [ -x "$suite" ] || continue
    step "$suite"
    log=$(mktemp)
    "$suite" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    line=$(grep -E '^[a-z0-9-]+: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
    rm -f "$log"
    if [ -n "$line" ]; then
        passed=$((passed + $(sed -E 's/.*: ([0-9]+) passed.*/\1/' <<< "$line")))
        failed=$((failed + $(sed -E 's/.* ([0-9]+) failed$/\1/' <<< "$line")))
    fi
    [ "$status" -eq 0 ] || [ -n "$line" ] || failed=$((failed + 1))
done

echo
echo "velmora: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
