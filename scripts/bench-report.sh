#!/usr/bin/env bash
# Regenerates the tables of docs/performance.md: Google Benchmark runs of the
# current library and of a library built from an earlier commit ("before"),
# side by side in one process each, medians of repeated runs.
#
# usage: scripts/bench-report.sh [--before-lib PATH | --before-rev REV] [--repetitions N]
#                                [--min-time SECONDS] [--out FILE]
# (default: the library of commit e3fc1ea, built in build/bench-before; the
# tables go to docs/performance.md between its BEGIN/END markers)
set -euo pipefail
cd "$(dirname "$0")/.."

before_rev=e3fc1ea
before_lib=""
repetitions=5
min_time=0.2
out=docs/performance.md
while [ $# -gt 0 ]; do
    case "$1" in
    --before-lib) before_lib=$(readlink -f "$2"); shift 2 ;;
    --before-rev) before_rev=$2; shift 2 ;;
    --repetitions) repetitions=$2; shift 2 ;;
    --min-time) min_time=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
    esac
done

cmake --preset linux-x64 >/dev/null
cmake --build --preset linux-x64 -j 2 --target quorel quorel_bench >/dev/null
bench=build/linux-x64/bench/quorel_bench
after_lib=$(readlink -f build/linux-x64/libquorel.so)

if [ -z "$before_lib" ]; then
    dir=build/bench-before
    if [ ! -f "$dir/rev" ] || [ "$(cat "$dir/rev")" != "$before_rev" ]; then
        rm -rf "$dir" && mkdir -p "$dir/src"
        git archive "$before_rev" | tar -x -C "$dir/src"
        cmake -S "$dir/src" -B "$dir/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUOREL_TESTS=OFF >/dev/null
        cmake --build "$dir/build" -j 2 --target quorel >/dev/null
        echo "$before_rev" >"$dir/rev"
    fi
    before_lib=$(readlink -f "$dir/build/libquorel.so")
fi

results=build/bench-report
mkdir -p "$results"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
run() { # LIBRARY FILTER OUTPUT
    QUOREL_BENCH_LIBRARY=$1 "$bench" --benchmark_filter="$2" --benchmark_repetitions="$repetitions" \
        --benchmark_min_time="$min_time" --benchmark_report_aggregates_only=true --benchmark_format=json >"$3"
}
run "$before_lib" '^(sheet|baseline)/' "$results/before.json"
run "$after_lib" '.' "$results/after.json"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

python3 scripts/bench_report.py "$results/before.json" "$results/after.json" "$load_before" "$load_after" "$out"
