#!/bin/bash
# Runs a command and compares what it prints with a file.
#   expect_output.sh EXPECTED EMULATOR COMMAND...
# EMULATOR is empty for a native build, otherwise the command that runs it.
set -u
expected=$1 emulator=$2
shift 2
actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
$emulator "$@" >"$actual" || { echo "exit status $?"; exit 1; }
diff -u "$expected" "$actual" && exit 0
echo "output differs from $expected"
exit 1
