#!/bin/bash
# Builds the .deb from the build tree with CPack, unpacks it into a scratch
# root and runs the packaged host tool there, which finds the packaged library
# by itself: the catalogue, every case file, the export check, the sample
# sheets; the links of the packaged documents; then lintian.
#   deb_test.sh CPACK BUILD_DIR SOURCE_DIR VERSION PYTHON OBJDUMP NM STATIC_ARCHIVE
set -euo pipefail
cpack=$1 build=$2 source=$3 version=$4 python=$5 objdump=$6 nm=$7 archive=$8
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$T/out" > "$T/cpack.log" 2>&1 ||
    { cat "$T/cpack.log"; fail "cpack"; }
deb=$T/out/quorel_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb; cpack made: $(ls "$T/out")"

[ "$(dpkg-deb -f "$deb" Package)" = quorel ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), not $version"
dpkg-deb -f "$deb" Depends | grep -q 'libc6 (>=' || fail "Depends lacks libc6: $(dpkg-deb -f "$deb" Depends)"

root=$T/root
dpkg -x "$deb" "$root"
libdir=$root/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)
lib=$libdir/libquorel.so
host=$root/usr/bin/quorel-host
for f in "$lib" "$host" "$root/usr/include/quorel.h" "$root/usr/include/quorel_blocks.h" "$root/usr/include/quorel_math.h" \
         "$libdir/pkgconfig/quorel.pc" "$libdir/cmake/quorel/quorelConfig.cmake" \
         "$root/usr/share/man/man1/quorel-host.1.gz" "$root/usr/share/doc/quorel/copyright"; do
    [ -f "$f" ] || fail "not in the package: ${f#$root}"
done
changelog_version=$(zcat "$root/usr/share/doc/quorel/changelog.gz" | sed -n '1s/^quorel (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$version" ] ||
    fail "the change log's last entry is version $changelog_version, the project is $version (cmake/debian/changelog.in)"

# The packaged tool on the packaged (stripped) library, which it finds with
# neither --lib nor QUOREL_LIB.
unset QUOREL_LIB
[ "$("$host" --version)" = "quorel-host $version" ] || fail "quorel-host --version"
rows=$("$host" list --lang 1033 | grep -cE '^[0-9]+ QR_')
[ "$rows" = 40 ] || fail "quorel-host list: $rows functions"
"$host" eval 'XSUM({1, "2i"})' 2>&1 | grep -qx '1+2i' || fail "quorel-host eval without --lib"
LC_ALL=C "$host" check "$source"/tests/cases/*.cases > "$T/check.log" ||
    { tail -n 20 "$T/check.log"; fail "case files on the packaged library"; }
tail -n 1 "$T/check.log"
"$python" "$source/tests/checks/check_exports.py" linux "$lib" "$archive" "$source" "$objdump" "$nm" "$host" "$lib"

# The packaged sample sheets, each in its language, read by the packaged tool
# as the built tool reads the sheet in the source tree.
for sheet in "$root"/usr/share/doc/quorel/examples/*.csv; do
    [ -e "$sheet" ] || continue
    settings=(env LC_ALL=C); lang=1033
    [[ $sheet == *-de.csv ]] && settings=(env LC_ALL=de_DE.UTF-8) lang=1031
    "${settings[@]}" "$host" --lang $lang sheet "$sheet" > "$T/packaged.csv" ||
        fail "quorel-host sheet ${sheet#$root} from the package"
    "${settings[@]}" "$build/host/quorel-host" --lib "$build/libquorel.so" --lang $lang sheet \
        "$source/examples/$(basename "$sheet")" > "$T/built.csv" || fail "quorel-host sheet in the build tree"
    cmp -s "$T/packaged.csv" "$T/built.csv" || fail "${sheet#$root}: the package's result differs from the build's"
    echo "${sheet#$root}: $(grep -c . "$T/packaged.csv") rows"
done

"$python" "$source/tests/checks/check_links.py" "$root/usr/share/doc/quorel" || fail "links of the packaged documents"

# The manual page renders without a warning.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/quorel-host.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"

# lintian: no error or warning (the package's overrides say why the soname
# has no version) but this one: CPack writes postinst and postrm scripts that
# call ldconfig beside the package's trigger, and cannot be told not to.
accepted=maintscript-calls-ldconfig
if ! lintian --fail-on error,warning --suppress-tags "$accepted" "$deb" > "$T/lintian.log" 2>&1; then
    grep -v 'root privileges' "$T/lintian.log"
    fail "lintian"
fi
echo "deb: passed"
