#!/usr/bin/env bash
# Builds all four targets and runs every test: natively (linux-x64, also with
# UBSan/ASan, and the threaded test with ThreadSanitizer), under qemu-i386
# (linux-i386) and wine64 (windows-x64); the windows-i686 DLL gets the static
# checks; the libFuzzer targets run briefly.
# Ends with one summary line.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1

jobs=$(nproc)
export QUOREL_FLAKY_LOG=$PWD/build/flaky.log
mkdir -p build && rm -f "$QUOREL_FLAKY_LOG"
presets=(linux-x64 linux-x64-sanitize linux-x64-tsan linux-i386 windows-i686 windows-x64)
total_passed=0
total_failed=0
report=()

# Create the wine prefix once, before tests run in it.
WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true

for preset in "${presets[@]}"; do
    echo "=== $preset: build"
    if ! { cmake --preset "$preset" >/dev/null && cmake --build --preset "$preset" -j "$jobs" >"build/$preset.build.log" 2>&1; }; then
        tail -n 40 "build/$preset.build.log" 2>/dev/null
        report+=("$preset: BUILD FAILED")
        total_failed=$((total_failed + 1))
        continue
    fi
    echo "=== $preset: test"
    log="build/$preset.test.log"
    ctest --preset "$preset" --output-on-failure 2>&1 | tee "$log" | grep -E '^ *[0-9]+/[0-9]+ Test|tests passed|FAIL|FLAKY' || true
    # What a failing test printed, so that the CI log tells why.
    awk '/^ *[0-9]+\/[0-9]+ Test/ { show = /\*\*\*|Failed|Timeout/; next } /tests passed/ { show = 0 } show' "$log" |
        grep -v '^FAILED' | tail -n 60
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$line" ]; then
        report+=("$preset: NO TESTS RAN")
        total_failed=$((total_failed + 1))
        continue
    fi
    failed=$(sed -E 's/.*, ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    all=$(sed -E 's/.*, ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    total_passed=$((total_passed + all - failed))
    total_failed=$((total_failed + failed))
    report+=("$preset: $((all - failed)) passed, $failed failed")
done

# Fuzzing smoke run: each libFuzzer target for a short while under ASan/UBSan
# (the long campaign is scripts/fuzz-campaign.sh).
echo "=== fuzz: build and run (${QUOREL_FUZZ_SECONDS:-20} s each)"
if cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$jobs" >build/fuzz.build.log 2>&1; then
    passed=0 failed=0
    for fuzzer in build/fuzz/fuzz/fuzz_*; do
        [ -x "$fuzzer" ] || continue
        # From the committed seed corpus; new inputs go to a scratch directory.
        name=$(basename "$fuzzer")
        rm -rf "build/fuzz-ci/$name" && mkdir -p "build/fuzz-ci/$name" "fuzz/corpus/$name"
        if "$fuzzer" "build/fuzz-ci/$name" "fuzz/corpus/$name" -max_total_time="${QUOREL_FUZZ_SECONDS:-20}" \
            -timeout=10 -rss_limit_mb=2048 >"build/$name.log" 2>&1; then
            passed=$((passed + 1))
        else
            failed=$((failed + 1))
            echo "FAIL: $fuzzer (see build/$(basename "$fuzzer").log)"
            tail -n 30 "build/$(basename "$fuzzer").log"
        fi
    done
    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    report+=("fuzz: $passed passed, $failed failed")
else
    tail -n 40 build/fuzz.build.log
    report+=("fuzz: BUILD FAILED")
    total_failed=$((total_failed + 1))
fi

if [ -s "$QUOREL_FLAKY_LOG" ]; then
    echo "=== emulated runs that passed only when run again"
    cat "$QUOREL_FLAKY_LOG"
fi

echo
echo "=== summary"
printf '%s\n' "${report[@]}"
echo "summary: $total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ]
