#!/bin/sh
# Runs a Windows x64 program under wine64 quietly, without Mono/Gecko prompts.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
