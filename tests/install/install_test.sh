#!/bin/bash
# cmake --install into a scratch prefix, then the example program
# examples/consumer built against the installed files twice, through
# find_package(quorel) and through pkg-config; each build must run and get
# the library's own answers. The installed tool finds the installed library
# by itself, and the installed documents' links hold.
#   install_test.sh CMAKE BUILD_DIR SOURCE_DIR VERSION PYTHON
set -euo pipefail
cmake=$1 build=$2 source=$3 version=$4 python=$5
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

prefix=$T/prefix
"$cmake" --install "$build" --prefix "$prefix" > "$T/install.log"
lib=$(find "$prefix" -name 'libquorel*')
[ "$(wc -l <<< "$lib")" = 1 ] || fail "expected one libquorel file, found: $lib"
[ -f "$lib" ] && [ ! -L "$lib" ] || fail "$lib is not a plain file"
[ "$(stat -c %a "$lib")" = 644 ] || fail "$lib has mode $(stat -c %a "$lib"), not 644"
libdir=$(dirname "$lib")
for f in bin/quorel-host include/quorel.h include/quorel_blocks.h include/quorel_math.h \
         share/man/man1/quorel-host.1.gz share/doc/quorel/README.md share/doc/quorel/docs/functions.md \
         share/doc/quorel/host/README.md share/doc/quorel/copyright share/doc/quorel/changelog.gz \
         "${libdir#$prefix/}/pkgconfig/quorel.pc" "${libdir#$prefix/}/cmake/quorel/quorelConfig.cmake" \
         "${libdir#$prefix/}/cmake/quorel/quorelConfigVersion.cmake"; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done

# The installed host tool on the installed library.
[ "$("$prefix/bin/quorel-host" --version)" = "quorel-host $version" ] || fail "quorel-host --version"
rows=$(env -u QUOREL_LIB "$prefix/bin/quorel-host" list --lang 1033 | grep -cE '^[0-9]+ QR_')
[ "$rows" = 40 ] || fail "quorel-host list without --lib, from the installed tool: $rows functions"
"$python" "$source/tests/checks/check_links.py" "$prefix/share/doc/quorel" || fail "links of the installed documents"

# find_package: the version file takes the same major version only.
"$cmake" -S "$source/examples/consumer" -B "$T/cmake" -DCMAKE_PREFIX_PATH="$prefix" > "$T/cmake.log" 2>&1 ||
    { cat "$T/cmake.log"; fail "find_package(quorel 1.0)"; }
"$cmake" --build "$T/cmake" > "$T/cmake-build.log" 2>&1 || { cat "$T/cmake-build.log"; fail "CMake build"; }
LC_ALL=C "$T/cmake/consumer" || fail "consumer built with find_package"
mkdir "$T/major"
printf 'cmake_minimum_required(VERSION 3.16)\nproject(major NONE)\nfind_package(quorel 2 REQUIRED)\n' \
    > "$T/major/CMakeLists.txt"
if "$cmake" -S "$T/major" -B "$T/major/build" -DCMAKE_PREFIX_PATH="$prefix" > "$T/major.log" 2>&1; then
    fail "find_package(quorel 2) accepted version $version"
fi

# pkg-config, with the example's Makefile.
export PKG_CONFIG_PATH=$libdir/pkgconfig
[ "$(pkg-config --modversion quorel)" = "$version" ] || fail "pkg-config --modversion quorel"
mkdir "$T/make"
make -s -C "$T/make" -f "$source/examples/consumer/Makefile" VPATH="$source/examples/consumer" \
    > "$T/make.log" 2>&1 || { cat "$T/make.log"; fail "pkg-config build"; }
LC_ALL=C LD_LIBRARY_PATH=$libdir "$T/make/consumer" || fail "consumer built with pkg-config"
echo "install: passed"
