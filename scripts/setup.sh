#!/usr/bin/env bash
# Installs what building, testing and packaging quorel need on Debian 12
# (idempotent), and generates the German locales (UTF-8 and ISO 8859-1) used
# by the locale tests.
set -euo pipefail

packages=(cmake g++ g++-multilib qemu-user g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine64
          googletest libbenchmark-dev python3 binutils locales clang libclang-rt-14-dev
          make pkg-config dpkg-dev file man-db lintian libmpfr-dev libmpc-dev gnuplot-nox
          libfast-float-dev)
if [ "${1:-}" = "--native" ]; then
    packages=(cmake g++ locales libfast-float-dev)
fi

sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# German in both locale families: UTF-8 (today's desktops) and ISO 8859-1.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf8'; then
    echo "setup: generating the de_DE.UTF-8 locale"
    $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
if ! locale -a 2>/dev/null | grep -qix 'de_DE.iso88591'; then
    echo "setup: generating the de_DE.ISO-8859-1 locale"
    $sudo localedef -i de_DE -f ISO-8859-1 de_DE.ISO-8859-1
fi
