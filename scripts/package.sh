#!/usr/bin/env bash
# Builds every package into build/packages/: the .deb for Linux x86-64, the
# tarball for Linux i386 and the zips for Windows i686 and x64, each with
# CPack from its preset's build tree (configured here, and built as far as the
# packages need: the library, the host tool, the manual page). Then each
# package is unpacked and tried, lintian looks at the .deb, and the packages
# are listed with their SHA-256 sums.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/setup.sh

out=$root/build/packages
rm -rf "$out"
for preset in linux-x64 linux-i386 windows-i686 windows-x64; do
    echo "=== $preset"
    targets=(quorel quorel-host)
    [[ $preset == linux-* ]] && targets+=(quorel-manpage quorel-changelog)
    cmake --preset "$preset" >/dev/null
    nice cmake --build --preset "$preset" -j 2 --target "${targets[@]}" >"build/$preset.package-build.log" 2>&1 ||
        { tail -n 40 "build/$preset.package-build.log"; exit 1; }
    cpack --preset "$preset" >"build/$preset.cpack.log" 2>&1 || { cat "build/$preset.cpack.log"; exit 1; }
done
rm -rf "$out/_CPack_Packages"

# Unpacked, each package's host tool lists the 40 functions of its library,
# which it finds by itself from its own place (run from another directory,
# under qemu-i386 and wine64 where needed), and the package's documents keep
# their links; the i686 DLL, which nothing here runs, exports its 44 names and
# imports only the C runtime.
echo "=== unpacked"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
listed() { # NAME COMMAND...: the command is quorel-host ... list
    local n
    n=$("${@:2}" 2>/dev/null | grep -cE '^[0-9]+ QR_') || true
    echo "$1: quorel-host lists $n functions"
    [ "$n" = 40 ]
}
unset QUOREL_LIB
cd "$T"
dpkg -x "$out"/quorel_*_amd64.deb "$T/deb"
listed linux-x64 "$T/deb/usr/bin/quorel-host" list
tar -xzf "$out"/quorel-*-linux-i386.tar.gz -C "$T"
i386=$(echo "$T"/quorel-*-linux-i386)
listed linux-i386 qemu-i386 "$i386/bin/quorel-host" list
unzip -q "$out"/quorel-*-windows-x64.zip -d "$T"
listed windows-x64 "$root/cmake/wine-run.sh" "$(echo "$T"/quorel-*-windows-x64)/quorel-host.exe" list
unzip -q "$out"/quorel-*-windows-i686.zip -d "$T"
python3 "$root/tests/checks/check_links.py" "$T/deb/usr/share/doc/quorel" "$i386/share/doc/quorel" \
    "$T"/quorel-*-windows-x64 "$T"/quorel-*-windows-i686
dll=$(echo "$T"/quorel-*-windows-i686/quorel.dll)
exports=$(objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next } on && !NF { on = 0 } on' | wc -l)
imports=$(objdump -p "$dll" | sed -n 's/^\tDLL Name: //p' | tr '\n' ' ')
echo "windows-i686: quorel.dll exports $exports names, imports $imports"
[ "$exports" = 44 ] && [ "$imports" = "KERNEL32.dll msvcrt.dll " ]

echo "=== lintian"
lintian --info "$out"/*.deb 2>&1 | grep -v 'root privileges' || true

echo "=== packages"
cd "$out"
for f in *.deb *.tar.gz *.zip; do
    printf '%-34s %7s bytes  sha256 %s\n' "$f" "$(stat -c %s "$f")" "$(cut -d' ' -f1 "$f.sha256")"
done
