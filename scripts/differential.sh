#!/usr/bin/env bash
# Differential run: two builds of the library, each with its own host tool,
# answer the same inputs; every byte they print must agree.
#
#   scripts/differential.sh [options] OLD_DIR NEW_DIR
#
# Each DIR holds one build's quorel-host (or quorel-host.exe) and libquorel.so
# (or quorel.dll), for example build/linux-x64/host/.. after copying, or a
# folder made with --stage. Inputs: the catalogue (list) in English and German,
# every case file, formula file and sample sheet, and random formulas over all
# 40 functions (tests/differential/formulas.py), in English under the C locale
# and in German under de_DE.UTF-8 (and de_DE.ISO-8859-1 when installed).
#
# Options:
#   --count N        random formulas per language (default 100000)
#   --seed S         seed of the formulas (default 1)
#   --runner CMD     command that runs the host tools (qemu-i386, cmake/wine-run.sh)
#   --keep DIR       keep inputs and outputs in DIR
#   --stage PRESET DIR   copy build/PRESET's library and host tool into DIR and exit
# Exit status 0 when everything agrees, 1 otherwise.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

count=100000 seed=1 runner="" keep=""
while [ $# -gt 0 ]; do
    case $1 in
    --count) count=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --runner) runner=$2; shift 2 ;;
    --keep) keep=$2; shift 2 ;;
    --stage)
        mkdir -p "$3"
        for f in build/$2/libquorel.so build/$2/quorel.dll build/$2/host/quorel-host build/$2/host/quorel-host.exe; do
            [ -f "$f" ] && cp "$f" "$3/"
        done
        exit 0 ;;
    -*) echo "differential: unknown option $1" >&2; exit 2 ;;
    *) break ;;
    esac
done
[ $# -eq 2 ] || { sed -n '2,20p' "$0" >&2; exit 2; }
old=$(cd "$1" && pwd) new=$(cd "$2" && pwd)

tool_of() { if [ -f "$1/quorel-host.exe" ]; then echo "$1/quorel-host.exe"; else echo "$1/quorel-host"; fi; }
lib_of() { if [ -f "$1/quorel.dll" ]; then echo "$1/quorel.dll"; else echo "$1/libquorel.so"; fi; }

work=${keep:-$(mktemp -d)}
mkdir -p "$work"
[ -n "$keep" ] || trap 'rm -rf "$work"' EXIT

python3 tests/differential/formulas.py --seed "$seed" --count "$count" --lang en >"$work/random-en.txt"
python3 tests/differential/formulas.py --seed "$seed" --count "$count" --lang de >"$work/random-de.txt"

locales=("C" "de_DE.UTF-8")
locale -a 2>/dev/null | grep -qix 'de_DE.iso88591' && locales+=("de_DE.ISO-8859-1")

# run SIDE NAME LOCALE ARGS...: stdout, stderr and exit status of one tool call
run() {
    local side=$1 name=$2 loc=$3
    shift 3
    local dir=$old
    [ "$side" = new ] && dir=$new
    local out="$work/$side.$name"
    LC_ALL=$loc $runner "$(tool_of "$dir")" --lib "$(lib_of "$dir")" "$@" >"$out.out" 2>"$out.err"
    echo "exit $?" >>"$out.err"
}

jobs=()
add() { jobs+=("$*"); }
for loc in "${locales[@]}"; do
    tag=${loc//[^A-Za-z0-9]/}
    for lang in 1033 1031; do add "list-$lang-$tag $loc list --lang $lang"; done
    for f in tests/cases/*.cases examples/*.txt; do
        add "$(basename "$f")-$tag $loc eval --output case -f $root/$f"
    done
done
add "random-en C --lang 1033 eval --output case -f $work/random-en.txt"
for f in examples/*-en.csv; do add "$(basename "$f")-C C --lang 1033 sheet --output case $root/$f"; done
for loc in "${locales[@]:1}"; do
    tag=${loc//[^A-Za-z0-9]/}
    for f in examples/*-de.csv; do add "$(basename "$f")-$tag $loc --lang 1031 sheet --output case $root/$f"; done
done
for loc in "${locales[@]:1}"; do
    tag=${loc//[^A-Za-z0-9]/}
    add "random-de-$tag $loc --lang 1031 eval --output case -f $work/random-de.txt"
done

differ=0 lines=0 same=0
for job in "${jobs[@]}"; do
    read -r name loc args <<<"$job"
    # shellcheck disable=SC2086
    run old "$name" "$loc" $args
    # shellcheck disable=SC2086
    run new "$name" "$loc" $args
    n=$(wc -l <"$work/old.$name.out")
    d=$( { diff "$work/old.$name.out" "$work/new.$name.out"; diff "$work/old.$name.err" "$work/new.$name.err"; } |
        grep -c '^[<>]')
    lines=$((lines + n))
    if [ "$d" -eq 0 ]; then
        same=$((same + 1))
    else
        differ=$((differ + 1))
        echo "DIFFERS: $name ($d lines)"
        diff "$work/old.$name.out" "$work/new.$name.out" | head -n 10
        diff "$work/old.$name.err" "$work/new.$name.err" | head -n 4
    fi
done
echo "differential: ${#jobs[@]} runs ($same identical, $differ differing), $lines result lines;" \
    "random formulas: $count per language, seed $seed; locales: ${locales[*]}"
[ "$differ" -eq 0 ]
