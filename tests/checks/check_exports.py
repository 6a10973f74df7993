#!/usr/bin/env python3
"""Checks what a built quorel library exports and what it needs at run time.

The expected names: the internal names of the library's own catalogue, as
`quorel-host list` reads them through the entry points (HOST run on
CATALOGUE_LIBRARY, under RUNNER when that is not empty), the four entry
points, and (Linux only) every QR_LIB declaration of include/quorel_math.h.
Every one of them must be exported, and nothing else.

usage: check_exports.py linux|windows LIBRARY STATIC_ARCHIVE SOURCE_DIR OBJDUMP NM
                        HOST CATALOGUE_LIBRARY [RUNNER]
"""
import os
import re
import shlex
import subprocess
import sys

ENTRY_POINTS = ["GetFunctionCount", "GetFunctionData", "GetParameterDescription", "SetLanguage"]
ALLOWED_DLL_IMPORTS = {"kernel32.dll", "msvcrt.dll"}
ALLOWED_SO_NEEDED = {"libc.so.6"}


def run(*cmd):
    return subprocess.run(cmd, check=True, capture_output=True, text=True).stdout


def catalogue_names(host, library, runner):
    for path in (host, library):
        if not os.path.exists(path):
            sys.exit(f"no {path}: the catalogue is read from a build that the host tool can run")
    cmd = shlex.split(runner) + [host, "--lib", library, "list", "--lang", "1033"]
    out = subprocess.run(cmd, check=True, capture_output=True, text=True, encoding="utf-8").stdout
    names = re.findall(r"^\d+ (\S+) ", out, re.M)
    if len(names) != 40 or len(set(names)) != 40:
        sys.exit(f"quorel-host list: expected 40 distinct rows, found {len(names)}")
    return names


def library_extras(source_dir):
    """Names declared QR_LIB in quorel_math.h: functions and data objects."""
    names = []
    text = open(f"{source_dir}/include/quorel_math.h", encoding="latin-1").read()
    for decl in re.findall(r"^QR_LIB\s+([^;]*);", text, re.M):
        decl = re.sub(r"\bQR_CALL\b", "", decl)
        pointer = re.match(r"^[\w\s*]*\(\s*\*\s*(\w+)\s*\)\s*\(", decl)  # void (*onerr)(void)
        if pointer:
            names.append(pointer.group(1))
        elif "(" in decl:                                          # int *_geterrno(void)
            names.append(re.search(r"(\w+)\s*\(", decl).group(1))
        else:                                                      # extern const double _ln2, _pi
            decl = re.sub(r"^\s*extern\s+(const\s+)?[\w ]*?\b(double|float|int32_t|char)\s+", "", decl)
            names += [re.sub(r"[\s*]|\[.*\]", "", n) for n in decl.split(",")]
    return names


def linux_exports(lib, nm):
    out = run(nm, "-D", "--defined-only", lib)
    return {line.split()[-1].split("@")[0] for line in out.splitlines() if line.strip()}


def windows_exports(lib, objdump):
    out = run(objdump, "-p", lib)
    m = re.search(r"\[Ordinal/Name Pointer\] Table\n(.*?)\n\s*\n", out, re.S)
    return set(re.findall(r"\]\s+(\S+)", m.group(1))) if m else set()


def main():
    platform, lib, archive, source_dir, objdump, nm, host, catalogue_lib = sys.argv[1:9]
    runner = sys.argv[9] if len(sys.argv) > 9 else ""
    failures = []
    catalogue = catalogue_names(host, catalogue_lib, runner)

    if platform == "linux":
        exported = linux_exports(lib, nm)
        extras = library_extras(source_dir)
    else:
        exported = windows_exports(lib, objdump)
        extras = []

    for name in ENTRY_POINTS:
        if name not in exported:
            failures.append(f"entry point {name} is not exported")
    missing = [n for n in catalogue if n not in exported]
    if missing:
        failures.append(f"sheet functions not exported ({len(missing)} of 40): {' '.join(missing)}")
    missing_extras = [n for n in extras if n not in exported]
    if missing_extras:
        failures.append(f"library routines not exported: {' '.join(missing_extras)}")
    expected = set(ENTRY_POINTS) | set(catalogue) | set(extras)
    unexpected = sorted(exported - expected)
    if unexpected:
        failures.append(f"unexpected exports: {' '.join(unexpected)}")
    mangled = sorted(n for n in exported if n.startswith("_Z"))
    if mangled:
        failures.append(f"C++-mangled exports: {' '.join(mangled)}")

    if platform == "linux":
        needed = set(re.findall(r"\(NEEDED\).*\[(.*)\]", run("readelf", "-d", lib)))
        if needed - ALLOWED_SO_NEEDED:
            failures.append(f"run-time dependencies beyond libc: {' '.join(sorted(needed - ALLOWED_SO_NEEDED))}")
    else:
        imports = {d.lower() for d in re.findall(r"DLL Name: (\S+)", run(objdump, "-p", lib))}
        if imports - ALLOWED_DLL_IMPORTS:
            failures.append(f"DLL imports beyond the C runtime: {' '.join(sorted(imports - ALLOWED_DLL_IMPORTS))}")

    # No code at load or unload: no static constructors, no DllMain of our own.
    own_symbols = run(nm, archive)
    if "_GLOBAL__sub_I" in own_symbols or re.search(r"\bT _?DllMain", own_symbols):
        failures.append("the library's own objects carry load-time code (static constructor or DllMain)")

    for f in failures:
        print(f"FAIL: {f}")
    print(f"{platform} exports: {len(exported)} names, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
