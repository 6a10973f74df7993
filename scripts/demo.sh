#!/usr/bin/env bash
# The main job: build the native library and the host tool, then evaluate the
# demo formulas and the sample sheet in English and, under a German locale, in
# German.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh --native
cmake --preset linux-x64 -DQUOREL_TESTS=OFF >/dev/null
cmake --build --preset linux-x64 -j "$(nproc)" --target quorel quorel-host >/dev/null
host=build/linux-x64/host/quorel-host
lib=build/linux-x64/libquorel.so
echo "== English (SetLanguage 1033, C locale)"
"$host" eval --lib "$lib" --lang 1033 -f examples/demo-en.txt
echo
echo "== Deutsch (SetLanguage 1031, LC_ALL=de_DE.UTF-8)"
LC_ALL=de_DE.UTF-8 "$host" eval --lib "$lib" --lang 1031 -f examples/demo-de.txt
echo
echo "== Sample sheet, English (examples/engineering-en.csv)"
"$host" sheet --lib "$lib" --lang 1033 examples/engineering-en.csv
echo
echo "== Beispielblatt, deutsch (examples/engineering-de.csv, LC_ALL=de_DE.UTF-8)"
LC_ALL=de_DE.UTF-8 "$host" sheet --lib "$lib" --lang 1031 examples/engineering-de.csv
