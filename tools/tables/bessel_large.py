#!/usr/bin/env python3
"""Prints the coefficient tables of src/special/bessel_large.cpp.

    python3 tools/tables/bessel_large.py > /tmp/tables.inc

Every series is worked out in exact rational arithmetic (fractions) and only
the final coefficients are rounded, to the 64-bit significand of the x87
extended format (to nearest, ties to even). The Airy values come from mpmath
(python3-mpmath) at 60 digits and are checked against the Wronskian
Ai Bi' - Ai' Bi = 1/pi before they are printed.

Variables: p = (1 - z^2)^(-1/2) and u = 1 - z^2 with z = x/n.
  - Debye's polynomials u_k(p) (DLMF 10.41.10), as U_k(y) = u_k(p) / p^k in y = p^2.
  - Olver's uniform expansion (DLMF 10.20.2, 10.20.10, 10.20.11) as power
    series in u: with S(u) = sum u^m / (2m + 3), so that (2/3) zeta^(3/2) =
    w^3 S(u), w = sqrt(u), and T(u) = (3 S(u))^(2/3):
        zeta = 2^(-2/3) u T(u),   (4 zeta / (1 - z^2))^(1/4) = 2^(1/3) T(u)^(1/4),
        A_k(zeta) = A_k(u),       B_k(zeta) = 2^(1/3) Bt_k(u).
    The negative powers of u in the finite sums for A_k and B_k cancel
    exactly (asserted).
"""
from fractions import Fraction as F

import mpmath as mp

mp.mp.dps = 60

DEBYE_TERMS = 14  # u_0 ... u_13
SERIES = 48       # working length of the power series in u
# Terms kept of each series in u: each is the first index from which every
# later term, at |u| <= 0.075 and weighted by its share of the result at
# orders >= 10^4 (A_k / n^2k, B_k (2/n)^(1/3) / n^(2k+1) |Ai'/Ai|), stays
# below 2^-68.
KEEP = {"T": 17, "T4": 17, "A1": 8, "A2": 2, "B0": 11, "B1": 4}
AIRY_FIRST, AIRY_STEP, AIRY_COUNT = -20, F(1, 2), 81
ATAN_POINTS = 32  # atan(j/32), j = 0 ... 32


def debye_polynomials(count):
    """u_k(p) as {power: coefficient}, u_(k+1) = p^2 (1 - p^2) u_k'/2 + (1/8) int_0^p (1 - 5t^2) u_k dt."""
    us = [{0: F(1)}]
    for _ in range(count - 1):
        nxt = {}
        for e, c in us[-1].items():
            if e:
                nxt[e + 1] = nxt.get(e + 1, 0) + c * e / 2
                nxt[e + 3] = nxt.get(e + 3, 0) - c * e / 2
            nxt[e + 1] = nxt.get(e + 1, 0) + c / (8 * (e + 1))
            nxt[e + 3] = nxt.get(e + 3, 0) - 5 * c / (8 * (e + 3))
        us.append({e: c for e, c in nxt.items() if c})
    return us


def times(a, b, n=SERIES):
    r = [F(0)] * n
    for i, x in enumerate(a[:n]):
        if x:
            for j, y in enumerate(b[: n - i]):
                r[i + j] += x * y
    return r


def power(f, alpha, n=SERIES):
    """f^alpha for a series with f[0] = 1 (J. C. P. Miller's recurrence)."""
    assert f[0] == 1
    g = [F(1)] + [F(0)] * (n - 1)
    for k in range(1, n):
        g[k] = sum(((alpha + 1) * j - k) * f[j] * g[k - j] for j in range(1, k + 1)) / k
    return g


def airy_u(j):
    """The coefficients u_j of the Airy functions' expansions (DLMF 9.7.2)."""
    r = F(1)
    for k in range(1, j + 1):
        r *= F((6 * k - 5) * (6 * k - 3) * (6 * k - 1), (2 * k - 1) * 216 * k)
    return r


def series_in_u(terms, lowest):
    """sum of c u^(-e) S^(-j) over terms (c, e, j), with u^-lowest the lowest power:
    returns the power series from u^0 on, the negative powers asserted zero."""
    n = lowest + SERIES
    g = [F(0)] * n
    for c, e, j in terms:
        sj = [x * 3**j for x in power(THREE_S, F(-j), n)]
        shift = lowest - e
        for m in range(n - shift):
            g[m + shift] += c * sj[m]
    assert not any(g[:lowest]), "negative powers do not cancel"
    return g[lowest:]


US = debye_polynomials(DEBYE_TERMS + 2 * 3)


def c(k, i):
    return US[k].get(k + 2 * i, F(0))


THREE_S = [F(3, 2 * m + 3) for m in range(SERIES + 20)]  # 3 S(u) = 1 + 3u/5 + 3u^2/7 + ...
T = power(THREE_S, F(2, 3))
T4 = power(T, F(1, 4))
LAMBDA = [airy_u(j) for j in range(12)]
MU = [-F(6 * j + 1, 6 * j - 1) * LAMBDA[j] for j in range(12)]


def olver_a(k):
    # A_k = sum_j (3/2)^j v_j zeta^(-3j/2) u_(2k-j)(p), (3/2)^j zeta^(-3j/2) = S^-j w^-3j
    terms = [(MU[j] * c(2 * k - j, i), k + j + i, j) for j in range(2 * k + 1) for i in range(2 * k - j + 1)]
    return series_in_u(terms, 3 * k)


def olver_b(k):
    # B_k = -zeta^(-1/2) sum_j (3/2)^j u_j zeta^(-3j/2) u_(2k+1-j)(p), zeta^(-1/2) = (3/2)^(-1/3) w^-1 S^(-1/3)
    terms = [(LAMBDA[j] * c(2 * k + 1 - j, i), k + 1 + j + i, j) for j in range(2 * k + 2)
             for i in range(2 * k + 2 - j)]
    g = series_in_u(terms, 3 * k + 2)
    return [-x for x in times(power(THREE_S, F(-1, 3)), g)]


def extended(v):
    """v rounded to the x87 extended format, as a C hexadecimal literal."""
    if isinstance(v, mp.mpf):
        sign, man, ex, _ = v._mpf_  # exact: v = (-1)^sign man 2^ex
        v = (-1) ** sign * F(man) * F(2) ** ex
    if v == 0:
        return "0.0L"
    sign = "-" if v < 0 else ""
    v = abs(v)
    e = v.numerator.bit_length() - v.denominator.bit_length()
    while F(2) ** e > v:
        e -= 1
    while F(2) ** (e + 1) <= v:
        e += 1
    scaled = v / F(2) ** (e - 63)  # in [2^63, 2^64)
    m = scaled.numerator // scaled.denominator
    rest = scaled - m
    if rest > F(1, 2) or (rest == F(1, 2) and m & 1):
        m += 1
    if m == 1 << 64:
        m, e = 1 << 63, e + 1
    digits = "%016x" % m
    return "%s0x%s.%sp%dL" % (sign, digits[0], digits[1:], e - 3)


def exact(v):
    """The exact value of an mpmath number or of an extended literal."""
    if isinstance(v, mp.mpf):
        sign, man, ex, _ = v._mpf_
        return (-1) ** sign * F(man) * F(2) ** ex
    if v == "0.0L":
        return F(0)
    negative = v.startswith("-")
    mant, ex = v.lstrip("-").rstrip("L")[2:].split("p")
    whole, frac = mant.split(".")
    r = F(int(whole + frac, 16), 16 ** len(frac)) * F(2) ** int(ex)
    return -r if negative else r


def rows(values, per_line=3, indent="    "):
    out = [extended(v) for v in values]
    return "\n".join(indent + ", ".join(out[i : i + per_line]) + "," for i in range(0, len(out), per_line))


def main():
    print("// Debye: U_k(y) = sum_j c_kj y^j, u_k(p) = p^k U_k(p^2), k = 1 ... %d, c_k0 first." % (DEBYE_TERMS - 1))
    flat = [c(k, i) for k in range(1, DEBYE_TERMS) for i in range(k + 1)]
    print("static const long double debye[%d] = {\n%s\n};\n" % (len(flat), rows(flat)))
    series = {"T": T, "T4": T4, "A1": olver_a(1), "A2": olver_a(2), "B0": olver_b(0), "B1": olver_b(1)}
    assert series["A1"][0] == F(-1, 225) and series["B0"][0] == F(1, 70)
    for name, s in series.items():
        kept = s[: KEEP[name]]
        print("static const long double olver_%s[%d] = {\n%s\n};\n" % (name, len(kept), rows(kept)))
    print("// atan(j/%d) = hi + lo, j = 0 ... %d." % (ATAN_POINTS, ATAN_POINTS))
    print("static const Wide atan_points[%d] = {" % (ATAN_POINTS + 1))
    for j in range(ATAN_POINTS + 1):
        v = exact(mp.atan(mp.mpf(j) / ATAN_POINTS))
        hi = extended(v)
        print("    {%s, %s}," % (hi, extended(v - exact(hi))))
    print("};\n")
    print("// Airy functions at a = %d + %s j, j = 0 ... %d: Ai, Ai', Bi, Bi'." % (AIRY_FIRST, AIRY_STEP, AIRY_COUNT - 1))
    print("static const AiryPoint airy_points[%d] = {" % AIRY_COUNT)
    for j in range(AIRY_COUNT):
        a = mp.mpf(AIRY_FIRST) + mp.mpf(AIRY_STEP.numerator) / AIRY_STEP.denominator * j
        vals = [mp.airyai(a), mp.airyai(a, 1), mp.airybi(a), mp.airybi(a, 1)]
        assert abs(vals[0] * vals[3] - vals[1] * vals[2] - 1 / mp.pi) < mp.mpf(10) ** -50
        print("    {%s}," % ", ".join(extended(v) for v in vals))
    print("};")


if __name__ == "__main__":
    main()
