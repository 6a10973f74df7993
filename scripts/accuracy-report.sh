#!/usr/bin/env bash
# Regenerates docs/accuracy.md and its plots (docs/accuracy/*.png) from the
# accuracy tool: builds the linux-x64 library and the tool, runs the full
# sweep (ACCURACY_SAMPLES per region, default 20000; many minutes, run
# niced) and draws the plots with gnuplot.
#
#   bash scripts/accuracy-report.sh [LIBRARY]
#
# LIBRARY defaults to the library just built (build/linux-x64/libquorel.so).
set -euo pipefail
cd "$(dirname "$0")/.."
samples=${ACCURACY_SAMPLES:-20000}

for p in libmpfr-dev libmpc-dev gnuplot-nox; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || bash scripts/setup.sh
done
cmake --preset linux-x64 >/dev/null
nice cmake --build --preset linux-x64 -j 2 --target quorel quorel-accuracy >/dev/null
lib=${1:-build/linux-x64/libquorel.so}
label="$(git describe --always --dirty 2>/dev/null || echo unknown) ($(basename "$lib"), linux-x64)"

data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
mkdir -p docs/accuracy
nice build/linux-x64/tools/accuracy/quorel-accuracy sweep "$lib" --samples "$samples" --label "$label" \
    --plots "$data" --markdown tools/accuracy/accuracy.md.in docs/accuracy.md >"$data/sweep.txt"
tail -n 1 "$data/sweep.txt"
gnuplot -e "data='$data'; out='docs/accuracy'" tools/accuracy/plots.gp
echo "accuracy-report: wrote docs/accuracy.md and docs/accuracy/*.png"
