#!/usr/bin/env python3
"""Turns two Google Benchmark JSON files (before, after) into the tables of
docs/performance.md, written between its BEGIN/END markers.

usage: bench_report.py BEFORE.json AFTER.json LOAD_BEFORE LOAD_AFTER OUT.md
"""
import json
import platform
import re
import subprocess
import sys

# Sheet function, its kernel benchmark (None: the arithmetic is inline), the
# std::complex peer of that kernel.
SHEETS = [
    ("REAL", None), ("IMAG", None), ("ABSOLUTE", None), ("ARGUMENT", None), ("CONJUGATE", None),
    ("XADD", None), ("XSUB", None), ("XMUL", None), ("XDIV", None), ("XSQRT", "xsqrt"),
    ("XPOWER", "xpow"), ("XEXP", "xexp"), ("XPOW10", "xpow10"), ("XLOG", "xlogy"), ("XLN", "xlog"),
    ("XLOG10", "xlog10"), ("XSIN", "xsin"), ("XCOS", "xcos"), ("XTAN", "xtan"), ("XSINHYP", "xsinh"),
    ("XCOSHYP", "xcosh"), ("XTANHYP", "xtanh"), ("XARCSIN", "xasin"), ("XARCCOS", "xacos"),
    ("XARCTAN", "xatan"), ("XARCSINHYP", "xasinh"), ("XARCCOSHYP", "xacosh"), ("XARCTANHYP", "xatanh"),
    ("XSUM", None),
]
BUDGET_NS = 200.0
RATIO_TARGET = 0.35


def medians(path):
    data = json.load(open(path))
    out = {}
    # Medians of the repetitions; a single run has no aggregates.
    for kind in ("iteration", "median"):
        for b in data["benchmarks"]:
            if (b.get("aggregate_name") == "median") == (kind == "median") and "cpu_time" in b:
                unit = {"ns": 1.0, "us": 1e3, "ms": 1e6}[b["time_unit"]]
                # Sweeps over many arguments per iteration count items: per value.
                per_item = 1e9 / b["items_per_second"] if b.get("items_per_second") else None
                out[b.get("run_name", b["name"])] = per_item or b["cpu_time"] * unit
    return out, data.get("context", {})


def fmt(ns):
    return "—" if ns is None else (f"{ns:.0f}" if ns >= 100 else f"{ns:.1f}")


def main():
    before, _ = medians(sys.argv[1])
    after, context = medians(sys.argv[2])
    load_before, load_after, out_path = sys.argv[3], sys.argv[4], sys.argv[5]
    cpu = ""
    try:
        cpu = re.search(r"model name\s*:\s*(.*)", open("/proc/cpuinfo").read()).group(1)
    except (OSError, AttributeError):
        pass
    lines = []
    lines.append(f"Machine: {cpu or platform.processor()}, {context.get('num_cpus', '?')} cores at "
                 f"{context.get('mhz_per_cpu', '?')} MHz, {platform.system()} {platform.release()}; "
                 f"load average {load_before} before the runs, {load_after} after. Times are medians of "
                 f"repeated runs, CPU time in nanoseconds.")
    lines.append("")
    base_b, base_a = before.get("baseline/strtod4+snprintf"), after.get("baseline/strtod4+snprintf")
    xadd_b, xadd_a = before.get("sheet/XADD"), after.get("sheet/XADD")
    lines.append("| measure | before | after |")
    lines.append("|---|---:|---:|")
    lines.append(f"| baseline: 4 × strtod + snprintf(\"%.15G%+.15Gi\") | {fmt(base_b)} | {fmt(base_a)} |")
    lines.append(f"| XADD, whole sheet call | {fmt(xadd_b)} | {fmt(xadd_a)} |")
    if base_b and base_a and xadd_b and xadd_a:
        lines.append(f"| XADD / baseline of the same run (target < {RATIO_TARGET}) | {xadd_b / base_b:.2f} | "
                     f"{xadd_a / base_a:.2f} |")
    lines.append("")
    lines.append("Complex sheet functions, two parts of 15 significant digits per operand; the kernel and its "
                 "std::complex peer on the same kind of arguments (— : arithmetic inline in the sheet call); "
                 f"text cost = after − kernel, budget {BUDGET_NS:.0f} ns.")
    lines.append("")
    lines.append("| function | before | after | kernel | std::complex | text cost | within budget |")
    lines.append("|---|---:|---:|---:|---:|---:|:---:|")
    for name, kernel in SHEETS:
        b, a = before.get("sheet/" + name), after.get("sheet/" + name)
        k = after.get("quorel/" + kernel) if kernel else None
        s = after.get("std/" + kernel) if kernel else None
        cost = a - (k or 0.0) if a is not None else None
        ok = "—" if cost is None else ("yes" if cost <= BUDGET_NS else "NO")
        lines.append(f"| {name} | {fmt(b)} | {fmt(a)} | {fmt(k)} | {fmt(s)} | {fmt(cost)} | {ok} |")
    lines.append("")
    lines.append("Special functions and interpolation beside their glibc peers, unchanged by the text path "
                 "(per item where the benchmark counts items: an argument of a sweep, a coefficient; else per "
                 "call):")
    lines.append("")
    lines.append("| benchmark | quorel | glibc |")
    lines.append("|---|---:|---:|")
    pairs = [("quorel_gamma", "glibc_gamma")]
    for n in ("0", "1", "5", "50"):
        pairs += [(f"quorel_bessel/{n}", f"glibc_jn/{n}"), (f"quorel_weber/{n}", f"glibc_yn/{n}")]
    pairs += [("quorel_bessel_large/2000", "glibc_jn_large/2000"), ("quorel_weber_large/2000", "glibc_yn_large/2000")]
    for q, g in pairs:
        lines.append(f"| {q.replace('quorel_', '')} | {fmt(after.get(q))} | {fmt(after.get(g))} |")
    for name in sorted(after):
        if name.startswith(("ipol", "polynomial", "lagrange")):
            lines.append(f"| {name} | {fmt(after[name])} | — |")
    lines.append("")
    lines.append("BESSEL and WEBER at large orders, per sheet call (the recurrences took up to seconds on these; "
                 "bound 1 ms):")
    lines.append("")
    lines.append("| call | quorel |")
    lines.append("|---|---:|")
    for name in after:
        if name.startswith("large_order/"):
            lines.append(f"| {name[len('large_order/'):]} | {fmt(after[name])} |")
    table = "\n".join(lines)

    text = open(out_path).read()
    start, end = "<!-- BEGIN bench-report -->", "<!-- END bench-report -->"
    if start in text and end in text:
        text = text[: text.index(start) + len(start)] + "\n" + table + "\n" + text[text.index(end):]
    else:
        text += f"\n{start}\n{table}\n{end}\n"
    open(out_path, "w").write(text)
    print(table)


if __name__ == "__main__":
    main()
