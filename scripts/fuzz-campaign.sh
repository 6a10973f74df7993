#!/usr/bin/env bash
# Runs every libFuzzer target for a given time, starting from the committed
# seed corpus fuzz/corpus/<target>/, and prints the executions and findings
# of each. New inputs go to a scratch corpus under build/fuzz-campaign/; with
# --minimise the seed corpora are replaced by the minimised union of seeds
# and scratch corpus (commit the result).
#
# usage: scripts/fuzz-campaign.sh [--minimise] [--jobs N] SECONDS_PER_TARGET [TARGET...]
set -uo pipefail
cd "$(dirname "$0")/.."

minimise=0
jobs=1
while [ $# -gt 0 ]; do
    case "$1" in
    --minimise) minimise=1; shift ;;
    --jobs) jobs=$2; shift 2 ;;
    *) break ;;
    esac
done
seconds=${1:?usage: scripts/fuzz-campaign.sh [--minimise] [--jobs N] SECONDS_PER_TARGET [TARGET...]}
shift

cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j 2 >build/fuzz.build.log 2>&1 || {
    tail -n 40 build/fuzz.build.log
    exit 1
}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in build/fuzz/fuzz/fuzz_*; do [ -x "$f" ] && targets+=("$(basename "$f")"); done
fi

out=build/fuzz-campaign
mkdir -p "$out"
run_target() {
    local t=$1 seeds=fuzz/corpus/$1 scratch=$out/$1
    mkdir -p "$seeds" "$scratch" "$out/$t.artifacts"
    nice build/fuzz/fuzz/"$t" "$scratch" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$out/$t.artifacts/" >"$out/$t.log" 2>&1
    echo $? >"$out/$t.rc"
}
pids=()
for t in "${targets[@]}"; do
    run_target "$t" &
    pids+=($!)
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
done
wait

total=0
findings=0
printf '%-22s %14s %10s %s\n' target executions exec/s findings
for t in "${targets[@]}"; do
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$out/$t.log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$out/$t.log" | tail -n 1)
    found=$(find "$out/$t.artifacts" -type f | wc -l)
    [ "$(cat "$out/$t.rc")" = 0 ] || [ "$found" -gt 0 ] || found=1
    printf '%-22s %14s %10s %s\n' "$t" "${runs:-0}" "${rate:-0}" "$found"
    total=$((total + ${runs:-0}))
    findings=$((findings + found))
    if [ "$found" -gt 0 ]; then
        grep -E 'ERROR|fuzz_[a-z_]+:|SUMMARY' "$out/$t.log" | head -n 5
        ls "$out/$t.artifacts"
    fi
    if [ "$minimise" = 1 ]; then
        rm -rf "$out/$t.min" && mkdir -p "$out/$t.min"
        nice build/fuzz/fuzz/"$t" -merge=1 "$out/$t.min" "fuzz/corpus/$t" "$out/$t" >"$out/$t.merge.log" 2>&1 &&
            rm -rf "fuzz/corpus/$t" && mv "$out/$t.min" "fuzz/corpus/$t"
    fi
done
echo "campaign: $total executions, $findings findings"
[ "$findings" -eq 0 ]
