#!/usr/bin/env bash
# Builds every configuration and runs every test: the host logic (plain, and under
# ASan/UBSan with brief fuzzing), the static checks of the shipped 32-bit binaries,
# and the behaviour tests of the 64-bit twin under wine.
set -uo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh || exit 1

presets=(native native-sanitize windows-x86 windows-x64)
for preset in "${presets[@]}"; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null || exit 1
    cmake --build --preset "$preset" -j"$(nproc)" || exit 1
done

passed=0
failed=0
run_tests() {
    local preset=$1 log
    echo "== test $preset"
    log=$(mktemp)
    ctest --preset "$preset" -j1 2>&1 | tee "$log"
    local total bad
    total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$log")
    bad=$(sed -n 's/.*, \([0-9]*\) tests failed out of.*/\1/p' "$log")
    if [ -z "$total" ]; then
        failed=$((failed + 1))
    else
        passed=$((passed + total - bad))
        failed=$((failed + bad))
    fi
    rm -f "$log"
}

run_tests native
run_tests native-sanitize
run_tests windows-x86
source tools/wine-env.sh --private-display || exit 1
run_tests windows-x64

echo
echo "tests: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
