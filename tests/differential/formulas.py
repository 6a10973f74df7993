#!/usr/bin/env python3
"""Random formulas over all 40 sheet functions, for differential runs of two
builds of the library through quorel-host (eval --output case -f FILE).

    formulas.py --seed S --count N --lang en|de > FILE

The same seed, count and language give the same file. German files use the
German display names and write complex numbers with the decimal comma, as a
German user would under a de_DE locale; a few texts in each language carry the
other separator on purpose. Every function gets about the same share; the
arguments mix ordinary values, extremes (subnormals, 1e308, huge orders),
special forms (inf, nan, hexadecimal) and malformed input.
"""
import argparse
import math
import random
import struct

# (English display name, German display name, argument kinds)
FUNCTIONS = [
    ("BESSEL", "BESSEL", "x,order"), ("GAMMA", "GAMMA", "x"), ("WEBER", "WEBER", "x,order"),
    ("REAL", "REAL", "z"), ("IMAG", "IMAG", "z"), ("ABSOLUTE", "ABSOLUT", "z"),
    ("ARGUMENT", "ARGUMENT", "z"), ("CONJUGATE", "KONJUGIERT", "z"),
    ("XADD", "XADD", "z,z"), ("XSUB", "XSUB", "z,z"), ("XMUL", "XMUL", "z,z"), ("XDIV", "XDIV", "z,z"),
    ("XSQRT", "XWURZEL", "z"), ("XPOWER", "XPOTENZ", "z,z"), ("XEXP", "XEXP", "z"),
    ("XPOW10", "XPOW10", "z"), ("XLOG", "XLOG", "z,z"), ("XLN", "XLN", "z"), ("XLOG10", "XLOG10", "z"),
    ("XSIN", "XSIN", "z"), ("XCOS", "XCOS", "z"), ("XTAN", "XTAN", "z"),
    ("XSINHYP", "XSINHYP", "z"), ("XCOSHYP", "XCOSHYP", "z"), ("XTANHYP", "XTANHYP", "z"),
    ("XARCSIN", "XARCSIN", "z"), ("XARCCOS", "XARCCOS", "z"), ("XARCTAN", "XARCTAN", "z"),
    ("XARCSINHYP", "XARCSINHYP", "z"), ("XARCCOSHYP", "XARCCOSHYP", "z"),
    ("XARCTANHYP", "XARCTANHYP", "z"), ("XSUM", "XSUMME", "cells"),
    ("EURO", "EURO", "x,decimals"), ("IEEE", "IEEE", "x"), ("ROMANTONUM", "RöMISCHINZAHL", "roman"),
    ("IPOLVALUE", "IPOLWERT", "x,table"), ("IPOLINVERSE", "IPOLINVERS", "x,table"),
    ("IPOLEXTREMUM", "IPOLEXTREMUM", "table"), ("LAGRANGE", "LAGRANGE", "x,pairs"),
    ("POLYNOMIAL", "POLYNOM", "x,coefficients"),
]
INTERNAL = ["QR_bessel", "QR_gamma", "QR_weber", "QR_xreal", "QR_ximag", "QR_xabs", "QR_xarg", "QR_xconj",
            "QR_xadd", "QR_xsub", "QR_xmul", "QR_xdiv", "QR_xsqrt", "QR_xpow", "QR_xexp", "QR_xpow10",
            "QR_xlogy", "QR_xlog", "QR_xlog10", "QR_xsin", "QR_xcos", "QR_xtan", "QR_xsinh", "QR_xcosh",
            "QR_xtanh", "QR_xasin", "QR_xacos", "QR_xatan", "QR_xasinh", "QR_xacosh", "QR_xatanh", "QR_xsum",
            "QR_euro", "QR_ieee", "QR_roman", "QR_ipfunc", "QR_iproot", "QR_ipextr", "QR_lagrange", "QR_poly"]


class Gen:
    def __init__(self, seed, lang):
        self.r = random.Random(seed)
        self.lang = lang

    # ---- numbers -------------------------------------------------------
    def double(self):
        """A double from a mix of distributions, specials included."""
        r = self.r
        k = r.random()
        if k < 0.30:
            return r.uniform(-10, 10)
        if k < 0.45:
            return float(r.randint(-200, 200))
        if k < 0.55:
            return r.randint(-400, 400) / 4
        if k < 0.80:
            return r.choice((-1, 1)) * 10 ** r.uniform(-320, 308.2)
        if k < 0.92:  # any bit pattern that is a finite double
            while True:
                v = struct.unpack("<d", r.getrandbits(64).to_bytes(8, "little"))[0]
                if math.isfinite(v):
                    return v
        return r.choice((0.0, -0.0, math.inf, -math.inf, math.nan, 1e308, -1e308, 5e-324, 2.2250738585072014e-308,
                         0.5, 1.0, -1.0, 1.5707963267948966, 3.141592653589793, 8.0, 171.6, 172.0))

    @staticmethod
    def number_syntax(v):
        """A double in the host tool's number syntax (C syntax, '.')."""
        if math.isnan(v):
            return "NaN"
        if math.isinf(v):
            return "Infinity" if v > 0 else "-Infinity"
        return repr(v)

    def number(self, v=None):
        v = self.double() if v is None else v
        if self.r.random() < 0.03 and math.isfinite(v):
            return v.hex()  # hexadecimal floating point in the formula
        return self.number_syntax(v)

    # ---- complex text --------------------------------------------------
    def decimal_text(self, v):
        """v as a number inside complex text, formatted in one of several ways."""
        r = self.r
        if math.isnan(v):
            return r.choice(("nan", "NAN", "-nan", "nan(123)"))
        if math.isinf(v):
            return r.choice(("inf", "INF", "infinity", "Infinity")) if v > 0 else r.choice(("-inf", "-infinity"))
        k = r.random()
        if k < 0.05:
            t = v.hex()
        elif k < 0.35:
            t = repr(v)
        elif k < 0.55:
            t = "%.15g" % v
        elif k < 0.65:
            t = "%.*e" % (r.randint(0, 20), v)
        elif k < 0.75:
            t = "%.*f" % (r.randint(0, 6), v) if abs(v) < 1e20 else repr(v)
        else:
            t = "%.*g" % (r.randint(1, 17), v)
        sep = "," if self.lang == "de" else "."
        if r.random() < 0.02:
            sep = "." if sep == "," else ","  # the other language's separator
        return t.replace(".", sep) if "x" not in t else t

    def part(self):
        r = self.r
        k = r.random()
        if k < 0.5:
            return r.uniform(-10, 10)
        if k < 0.6:
            return float(r.randint(-5, 5))
        if k < 0.9:
            return r.choice((-1, 1)) * 10 ** r.uniform(-320, 308.2)
        return self.double()

    def complex_text(self):
        r = self.r
        k = r.random()
        unit = "j" if r.random() < 0.1 else "i"
        if k < 0.04:  # malformed on purpose
            return r.choice(("", " ", "3x", "4i+3", "3+4I", "3 + 4i", "3+4 i", "3 i", "3+4", "i\t", "1e", "--1",
                             "1+2i3", "++i", "3 ", "0x", "abc", "1..2", "3,,5", "+", "-", "ii"))
        if k < 0.08:  # lone units and signed units
            return r.choice(("i", "j", "-i", "+j", "i ", "3+i", "3-i", "-2-j", " i", "5 -i"))
        re, im = self.part(), self.part()
        a, b = self.decimal_text(re), self.decimal_text(im)
        lead = " " * r.choice((0, 0, 0, 0, 1, 2))
        trail = " " * r.choice((0, 0, 0, 0, 1))
        if k < 0.30:
            return lead + a
        if k < 0.45:
            return lead + b + unit + trail
        sign = "" if b.startswith(("-", "+")) else r.choice(("+", "+", "+", ""))
        mid = " " if r.random() < 0.05 else ""
        return lead + a + mid + sign + b + unit + trail

    @staticmethod
    def quote(text):
        return '"' + text.replace('"', '""') + '"'

    # ---- arrays --------------------------------------------------------
    def cell_number(self):
        return "#ERR" if self.r.random() < 0.02 else self.number()

    def array(self, rows, cols, cell):
        return "{" + "; ".join(", ".join(cell() for _ in range(cols)) for _ in range(rows)) + "}"

    def table(self):
        """3 to 5 equidistant values in some shape, now and then a bad count."""
        r = self.r
        n = r.choice((3, 3, 4, 4, 5, 5, 2, 6)) if r.random() < 0.1 else r.choice((3, 4, 5))
        small = lambda: self.number_syntax(round(r.uniform(-20, 20), r.randint(0, 4)))
        cell = self.cell_number if r.random() < 0.2 else (lambda: "#ERR" if r.random() < 0.01 else small())
        if n == 4 and r.random() < 0.2:
            return self.array(2, 2, cell)
        return self.array(1, n, cell) if r.random() < 0.5 else self.array(n, 1, cell)

    def pairs(self):
        r = self.r
        n = r.randint(1, 12)
        small = lambda: self.number_syntax(round(r.uniform(-20, 20), r.randint(0, 3)))
        cell = self.cell_number if r.random() < 0.15 else small
        k = r.random()
        if k < 0.05:
            return self.array(3, 3, cell)
        if k < 0.55:
            return self.array(n, 2, cell)
        return self.array(2, n, cell)

    def coefficients(self):
        r = self.r
        n = r.randint(1, 10)
        cell = self.cell_number if r.random() < 0.3 else (lambda: self.number_syntax(round(r.uniform(-9, 9), 3)))
        k = r.random()
        if k < 0.05:
            return self.array(2, 2, cell)
        if k < 0.08:
            return "{}"
        return self.array(1, n, cell) if k < 0.5 else self.array(n, 1, cell)

    def cells(self):
        r = self.r
        rows, cols = r.randint(1, 4), r.randint(1, 4)

        def cell():
            k = r.random()
            if k < 0.02:
                return "#ERR(%d)" % r.randint(1, 9)
            if k < 0.4:
                return self.number_syntax(round(r.uniform(-100, 100), 3))
            return self.quote(self.complex_text())
        return self.array(rows, cols, cell)

    def roman(self):
        r = self.r
        letters = "IVXLCDMivxlcdm"
        text = "".join(r.choice(letters) for _ in range(r.randint(0, 12)))
        if r.random() < 0.1:
            pos = r.randint(0, len(text))
            text = text[:pos] + r.choice((" ", "1", "A", "-", "ö")) + text[pos:]
        return self.quote(text)

    # ---- arguments by kind ----------------------------------------------
    def argument(self, kind):
        r = self.r
        if kind == "x":
            return self.number(r.uniform(-30, 180) if r.random() < 0.4 else None)
        if kind == "order":
            k = r.random()
            if k < 0.8:
                return str(r.randint(-40, 160))
            if k < 0.9:
                return self.number_syntax(r.uniform(-10, 10))
            return r.choice(("3000", "-2500", "2.9", "-2.9", "0.5", "-0.5"))
        if kind == "decimals":
            k = r.random()
            if k < 0.85:
                return str(r.randint(-3, 20))
            return r.choice(("2.9", "-0.5", "400", "1e10", "NaN", "-2147483648", "1100", "1101"))
        if kind == "z":
            return self.quote(self.complex_text())
        return getattr(self, kind)()

    def formula(self):
        r = self.r
        i = r.randrange(len(FUNCTIONS))
        en, de, kinds = FUNCTIONS[i]
        name = de if self.lang == "de" else en
        k = r.random()
        if k < 0.05:
            name = INTERNAL[i]
        elif k < 0.10:
            name = name.lower()
        if kinds == "x,order" and r.random() < 0.01:
            # orders at and beyond the 32-bit range, with an argument small
            # enough that the recurrences end early
            huge = r.choice(("NaN", "1e10", "-1e10", "2147483647", "-2147483647", "-2147483648", "2147483640"))
            args = "%s; %s" % (self.number_syntax(r.uniform(-50, 50)), huge)
        else:
            args = "; ".join(self.argument(kind) for kind in kinds.split(","))
        return "%s(%s)" % (name, args)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--count", type=int, default=100000)
    ap.add_argument("--lang", choices=("en", "de"), default="en")
    a = ap.parse_args()
    g = Gen(a.seed, a.lang)
    out = []
    for k in range(a.count):
        if k % 997 == 0:  # block layouts of the CellArray texts change now and then
            out.append("@layout " + g.r.choice(("padded", "exact", "unpadded")))
            out.append("@origin %d,%d,0" % (g.r.randint(1, 300), g.r.randint(0, 65535)))
        out.append(g.formula())
    print("\n".join(out))


if __name__ == "__main__":
    main()
