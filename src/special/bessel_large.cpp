// Bessel functions of the first and second kind, Jn(x) and Yn(x), of large
// integer order n >= BESSEL_LARGE_ORDER and finite x > 0, in extended
// precision and in a time that does not depend on n (about a microsecond).
//
// With z = x/n, u = 1 - z^2 and Olver's variable zeta (the Airy argument
// a = n^(2/3) zeta is about 2^(1/3) (n - x)/n^(1/3)):
//
//   |a| <= 20, x within about 16 n^(1/3) of n: Olver's uniform expansion
//     (DLMF 10.20.4, 10.20.5) in Ai, Ai' or Bi, Bi' of a, with A_0 ... A_2
//     and B_0, B_1, each a power series in u;
//   x below: Debye's expansion in exponential form (DLMF 10.19.3),
//     x = n sech(alpha), with u_0 ... u_13 (DLMF 10.41.10);
//   x above: Debye's expansion in oscillatory form (DLMF 10.19.6),
//     x = n sec(beta). For x large against n^2 its terms are those of
//     Hankel's expansion (DLMF 10.17.3, 10.17.4) regrouped, with the phase
//     x - n pi/2 - pi/4 + D, D = n arcsin(n/x) - (x - sqrt(x^2 - n^2)).
//
// At |a| = 20 the fourteenth Debye term is below 1e-19 of the first; inside,
// the neglected terms of Olver's expansion (A_3/n^6, B_2/n^(16/3)) are below
// 1e-23 for n >= 10^4. Debye's exponent and phase reach hundreds near x = n
// and 0.57 n beyond; they are formed in twice the extended precision (pairs
// hi + lo), free of cancellation, and the phase is reduced exactly, so that
// neither costs the result more than about 1e-18.
//
// Where Jn(x) lies below e^-800 or |Yn(x)| above e^749 (x far below n) the
// double result is a zero or an infinity: that value is returned at once, as
// the recurrences of bessel.cpp gave it, with the same report. No state is
// kept between calls.
#include "special.h"

#include "fp/reduce.h"

// Flags standing on entry are reported as the recurrences' first kernel
// reported them (J0 for Jn, Y1 for Yn); nothing below raises a reported flag.
static inline void report_standing(int code) { report_flags(0.0L, code); }

static const long double THIRD = 0xa.aaaaaaaaaaaaaabp-5L;
static const long double THIRD_LO = -0xa.aaaaaaaaaaaaaabp-70L; // 1/3 - THIRD
static const long double ONE_OVER_2PI = 0xa.2f9836e4e44152ap-6L;
static const long double CBRT_2 = 0xa.14517cc6b945711p-3L;       // 2^(1/3)
static const long double CBRT_QUARTER = 0xa.14517cc6b945711p-4L; // 2^(-2/3)
static const long double CBRT_QUARTER_LO = 0xf.76adc56f8943431p-71L;
static const long double LOG2_E = 0xb.8aa3b295c17f0bcp-3L;
static const long double LN2_HI = 0xb.17217f7d1cf0000p-4L; // 48 bits: k LN2_HI is exact for |k| < 2^16
static const long double LN2_LO = 0xf.35793c7673007e6p-53L;

// Horner's rule over c[0] ... c[count - 1], constant term first.
static inline long double poly(const long double *c, int count, long double t)
{
    long double r = c[count - 1];
    for (int i = count - 2; i >= 0; i--)
        r = r * t + c[i];
    return r;
}

// Values hi + lo of twice the extended precision, for Debye's exponent and
// phase: they reach hundreds (near x = n) where the results need them to
// 1e-17, beyond the 2^-64 of one extended number.
struct Wide {
    long double hi, lo;
};

static inline Wide quick_sum(long double a, long double b) // |a| >= |b|
{
    long double s = a + b;
    return Wide{s, b - (s - a)};
}

static inline Wide two_sum(long double a, long double b)
{
    long double s = a + b, bb = s - a;
    return Wide{s, (a - (s - bb)) + (b - bb)};
}

// a b exactly (Dekker: halves of 32 bits, whose products the 64-bit
// significand holds).
static inline Wide product(long double a, long double b)
{
    const long double split = 0x1.00000002p32L; // 2^32 + 1
    long double ca = split * a, cb = split * b;
    long double ah = ca - (ca - a), bh = cb - (cb - b);
    long double al = a - ah, bl = b - bh;
    long double p = a * b;
    return Wide{p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

static inline Wide times(Wide a, Wide b)
{
    Wide p = product(a.hi, b.hi);
    return quick_sum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// e^t: t = k ln 2 + r with ln 2 in two parts (t.hi - k LN2_HI exact), then
// 2^(r log2 e) with |r log2 e| <= 1/2.
static long double exp_wide(Wide t)
{
    long double k = x87_rndint(t.hi * LOG2_E);
    long double r = ((t.hi - k * LN2_HI) - k * LN2_LO) + t.lo;
    return x87_scale(x87_f2xm1(r * LOG2_E) + 1.0L, k);
}

// ---- the phase

struct Turn {
    long double sin, cos;
};

// a/b, b > 0: the quotient and one correction.
static inline Wide divide(Wide a, Wide b)
{
    long double q = a.hi / b.hi;
    Wide qb = product(q, b.hi);
    return quick_sum(q, (((a.hi - qb.hi) - qb.lo) + (a.lo - q * b.lo)) / b.hi);
}

// atan(j/32) = hi + lo, j = 0 ... 32 (mpmath at 60 digits).
static const Wide atan_points[33] = {
    {0.0L, 0.0L},
    {0xf.feaaddd4bb12542p-9L, 0xe.f3aeedbb518c427p-74L},
    {0xf.faaddb967ef4e37p-8L, -0xd.361b48fc747cabbp-74L},
    {0xb.f70c13017887461p-7L, -0xd.953030f660f9313p-72L},
    {0xf.eadd4d5617b6e33p-7L, -0xd.da19d8305ddc422p-73L},
    {0x9.eb77746331362c3p-6L, 0x8.ec33a4a06c1fd0bp-71L},
    {0xb.dcbda5e72d81134p-6L, 0xf.6169f103938e90fp-71L},
    {0xd.c86ba9493051023p-6L, -0x9.de5a3e34aad0fd8p-74L},
    {0xf.adbafc96406eb15p-6L, 0xd.b8f3debef442fcbp-71L},
    {0x8.c5fad185f8bc131p-5L, -0xd.6e2dd3901df59ccp-71L},
    {0x9.b13b9b83f5e5e6ap-5L, -0xe.9512d9cb6143360p-71L},
    {0xa.9856cca8e6a4edbp-5L, -0xc.c901108104c2e7ep-70L},
    {0xb.7b0ca0f26f78474p-5L, -0xe.ab9bdba460376fap-70L},
    {0xc.59269ca50d92b6ep-5L, -0xb.d1722dc15ebae44p-70L},
    {0xd.327761e611fe5b6p-5L, 0x8.4f92bd2003ce26dp-70L},
    {0xe.06da64a764f7c68p-5L, -0xe.73849a619cd1ff1p-71L},
    {0xe.d63382b0dda7b45p-5L, 0xd.fc88bd978751a07p-70L},
    {0xf.a06e85aa0a0be5cp-5L, 0xc.da478fabb91d984p-70L},
    {0x8.32bf4a6d9867e2ap-4L, 0x9.6d41396c34a2b82p-69L},
    {0x8.92aecdfde9547b5p-4L, 0x9.4478fc472b4afb9p-72L},
    {0x8.f005d5ef7f59f9bp-4L, 0xb.906bc2ccb886e8fp-69L},
    {0x9.4ac72c9847186f6p-4L, 0xc.6279c9fbc5197c8p-71L},
    {0x9.a2f80e671bdda20p-4L, 0x8.44df1c4409fe77ap-69L},
    {0x9.f89fdc4f4b7a1edp-4L, -0xe.96db3761f1fc40cp-73L},
    {0xa.4bc7d1934f70924p-4L, 0xc.d43f9522bed64f7p-71L},
    {0xa.9c7abdc4830f5c9p-4L, -0xd.d2af694830d9814p-69L},
    {0xa.eac4c38b4d8c080p-4L, 0xa.392f179f2903850p-71L},
    {0xb.36b31c91f043691p-4L, 0xb.20282e888c5f274p-69L},
    {0xb.8053e2bc2319e74p-4L, -0xd.3496ab7bd6eef0bp-70L},
    {0xb.c7b5deae98af281p-4L, -0xa.fbb3fe45fc135c0p-70L},
    {0xc.0ce85b8ac526641p-4L, -0xe.c453a7722da0bb6p-69L},
    {0xc.4ffaffabf8fbd55p-4L, -0xe.69785de86c3fbbdp-69L},
    {0xc.90fdaa22168c235p-4L, -0xe.ce675d1fc8f8cbbp-70L},
};

// (atan(e) - e)/e^3 = -1/3 + e^2/5 - ..., in e^2.
static const long double atan_series[6] = {-1.0L / 3, 1.0L / 5, -1.0L / 7, 1.0L / 9, -1.0L / 11, 1.0L / 13};

// atan(y), 0 <= y <= 1, wide: atan(y) = atan(c) + atan(e) with c = j/32 the
// nearest point and e = (y - c)/(1 + c y), |e| <= 1/64, whose odd series
// reaches 2^-70 of e with e^13/13. y - c is exact.
static Wide arctan(Wide y)
{
    long double j = x87_rndint(y.hi * 32);
    long double c = j * (1.0L / 32);
    Wide cy = product(c, y.hi);
    Wide den = quick_sum(1, cy.hi);
    den.lo += cy.lo + c * y.lo;
    Wide e = divide(two_sum(y.hi - c, y.lo), quick_sum(den.hi, den.lo));
    long double e2 = e.hi * e.hi;
    long double tail = e2 * poly(atan_series, 6, e2);
    const Wide &a = atan_points[x87_to_int64(j)];
    Wide r = quick_sum(a.hi, e.hi);
    r.lo += a.lo + (e.lo + e.hi * tail);
    return quick_sum(r.hi, r.lo);
}

// sin and cos of r + d.hi + d.lo - pi/4 + q pi/2 for a reduced r (|r| <= pi/4):
// d.hi reduced exactly, then the sum of the two remainders with the rest.
static Turn turn(long double r, int q, Wide d)
{
    int qd, qs;
    long double rd = reduce_half_pi(d.hi, &qd);
    long double rs = reduce_half_pi((r + rd - PI_OVER_4) + (d.lo - PI_OVER_4_LO), &qs);
    q += qd + qs;
    return Turn{sin_quadrant(rs, q), cos_quadrant(rs, q)};
}

// ---- Debye's expansions

// Debye's polynomials u_k(p) = p^k U_k(p^2) (DLMF 10.41.10, from the
// recurrence in exact rational arithmetic), U_k(y) = sum_j c_kj y^j, c_k0
// first, k = 1 ... 13 one after the other (k + 1 entries each).
static const long double debye_c[104] = {
    0x8.000000000000000p-6L, -0xd.555555555555555p-6L, 0x9.000000000000000p-7L,
    -0xc.d55555555555555p-5L, 0xa.b1c71c71c71c71cp-5L, 0x9.600000000000000p-7L,
    -0xe.426666666666666p-4L, 0xe.c58e38e38e38e39p-3L, -0x8.34dd3c0ca4587e7p-3L,
    0xe.5b0000000000000p-7L, -0x9.74d333333333333p-2L, 0x8.ca0400000000000p0L,
    -0xb.34fe1f9add3c0cap0L, 0x9.56d3c5010db20a9p-1L, 0xe.88f000000000000p-6L,
    -0xe.bcd29d41d41d41dp-1L, 0xa.a23d6b60b60b60bp2L, -0xb.7a2f08e38e38e39p3L,
    0xa.945be52b3183affp3L, -0xe.1b25318eecaf954p1L, 0x9.28f740000000000p-4L,
    -0xd.3ee731b6db6db6ep1L, 0xd.a30c560aee487e2p4L, -0xa.ee5189d6c16c16cp6L,
    0x8.47fb1c980000000p7L, -0xb.f502870226a0d58p6L, 0xd.491f40ad0e79d0dp4L,
    0xd.d262cc000000000p-3L, -0xd.82e8d09db6db6dbp3L, 0x9.61ce4aa41eb851fp7L,
    -0xa.5cd2d031f8e38e4p9L, 0xb.61d92c6e625ed09p10L, -0xd.44a3334e2fcd6eap10L,
    0xf.bedc70737fc1921p9L, -0xe.feea52b72456d44p7L, 0xc.25e8d54c0000000p-1L,
    -0xf.6f528b4f1249249p5L, 0xd.e2c1d4a9fa08c6fp9L, -0xa.0e8a7ac0aaae148p12L,
    0xe.eac3b84904297b4p13L, -0xc.6a20b588ff4bc3ap14L, 0xb.c08c014319ca7dbp14L,
    -0xb.d6a4c97ffb6358fp13L, 0x9.dd895295517d74dp11L, 0xc.30b5327b6000000p1L,
    -0x9.c3d49a74bb11746p8L, 0xb.0a2c4dbf66c2492p12L, -0xa.1efa584fe58f436p15L,
    0x9.ad46a2fc33f7dd0p17L, -0xa.bb9ece8064ce6e1p18L, 0xe.5b11d30ccd72270p18L,
    -0xb.6fbffac9540e27cp18L, 0xa.0209cead46c491cp17L, -0xe.d39cc069008b82ap14L,
    0xd.c08c69bffb80000p3L, -0xd.8f85be865fd88bap10L, 0x9.67b4cf296411191p15L,
    -0xa.a054883291877ccp18L, 0xc.ac53f2a9a9ecb11p20L, -0x8.f4eb22a49f25e11p22L,
    0xf.d15901195290e32p22L, -0x8.d582786c4e022e2p23L, 0xc.25e669f87d1478bp22L,
    -0x9.659e18f28c986b9p21L, 0xc.877d7698bb75e4cp18L, 0x8.9d57f5272bba000p6L,
    -0xa.412b7804dcbf24ep13L, 0x8.8f2e0b6314d7617p18L, -0xb.ab8e75ce501b41bp21L,
    0x8.77b53bcc2b21015p24L, -0xe.c756bc23343173dp25L, 0x8.3f22981a5622703p27L,
    -0xc.13f73d03777f506p27L, 0xb.93403c7242311b2p27L, -0xd.ffc3b5eb9efb052p26L,
    0x9.b3ece917c72c0c6p25L, -0xb.c2d196a8754caa3p22L, 0xb.de172bb94b923c0p8L,
    -0x8.63d253dbc70afcbp16L, 0x8.4b6d1c6e8c1a9b2p21L, -0xd.6ad6fde3b0b83acp24L,
    0xb.9e171f1c22e0a71p27L, -0xc.399f5304f44b581p29L, 0x8.5c4f1ec64faad05p31L,
    -0xf.6113d68b99f8622p31L, 0x9.9c7da4ebc1046fep32L, -0x8.103b0b7c28a5ab8p32L,
    0x8.b3ced52a97765d4p31L, -0xa.ed5b3aa06a2ee11p29L, 0xc.242c7a07926cfa2p26L,
    0x8.ea382cd86cc4edbp11L, -0xe.c5165c531c1453ep18L, 0x8.886a74b8091bb82p24L,
    -0x8.12c5037394aa2a0p28L, 0x8.363944ddab811b6p31L, -0xa.3aa48f5902fa5eap33L,
    0x8.6106e93644d19f7p35L, -0x9.642be687d606285p36L, 0xe.abae7e4f161d0f6p36L,
    -0xf.fbc42d171392aa3p36L, 0xb.ebd3cdfec93cbcfp36L, -0xb.9d7f8b4f0eed8d2p35L,
    0xd.54503a92034dbd9p33L, -0xd.abcf00fec84fbbep30L,
};

enum { DEBYE_TERMS = 14 };

// The terms h^k U_k(y), k = 0 ... 13 (u_k(p)/n^k with h = p/n, y = p^2),
// until one is below 2^-70 (of the first, 1): beyond |a| = 20 they fall at
// least tenfold a step before that. Returns the count.
static int debye_terms(long double y, long double h, long double *t)
{
    t[0] = 1;
    long double hk = 1;
    const long double *c = debye_c;
    for (int k = 1; k < DEBYE_TERMS; k++) {
        hk *= h;
        t[k] = hk * poly(c, k + 1, y);
        c += k + 1;
        if (__builtin_fabsl(t[k]) < 0x1p-70L)
            return k + 1;
    }
    return DEBYE_TERMS;
}

// S(u) = sum u^m/(2m + 3), |u| <= 1/2: (atanh w - w)/w^3 for u = w^2, and
// (t - atan t)/t^3 for u = -t^2. Debye's exponent and phase are n w^3 S(u)
// and n t^3 S(u) (Olver's (2/3) zeta^(3/2) times n), free of the cancellation
// of their closed forms. Here (S(u) - 1/3)/u.
static long double excess_tail(long double u)
{
    long double s = 0, um = 1;
    for (int m = 1; m < 100; m++) {
        long double term = um / (2 * m + 3);
        s += term;
        if (__builtin_fabsl(term) < s * 0x1p-66L)
            break;
        um *= u;
    }
    return s;
}

// n w^3 S(u) = |d s|^(3/2) S(u)/n^2 for d = n - x and s = n + x, both exact,
// u = d s/n^2: the product d s exact, its root, the powers and the leading
// 1/3 of S wide; good to about 2^-66.
static Wide debye_exponent(int64_t n, long double d, long double s, long double u)
{
    Wide p = product(d, s);
    if (p.hi < 0)
        p = Wide{-p.hi, -p.lo};
    long double r = x87_sqrt(p.hi);
    Wide rr = product(r, r);
    Wide root = quick_sum(r, ((p.hi - rr.hi) - rr.lo + p.lo) / (2 * r));
    Wide e = times(times(p, root), quick_sum(THIRD, THIRD_LO + u * excess_tail(u)));
    long double n2 = (long double)n * n; // exact
    long double q = e.hi / n2;
    Wide qn = product(q, n2);
    return quick_sum(q, ((e.hi - qn.hi) - qn.lo + e.lo) / n2);
}

// x = n sech(alpha) below the band, d = n - x, s = n + x (both exact):
// v = n tanh(alpha) = sqrt(d s), p = coth(alpha) = n/v, and the exponent
// eta = n (alpha - tanh(alpha)) = v u S(u):
//   Jn(x) = e^-eta / sqrt(2 pi v) sum u_k(p)/n^k
//   Yn(x) = -e^eta / sqrt(pi v/2) sum (-1)^k u_k(p)/n^k
static long double debye_below(int64_t n, long double d, long double s, int second)
{
    long double ds = d * s;
    long double v = x87_sqrt(ds);
    long double u = ds / ((long double)n * n);
    // eta >= v u/3. The sums lie within 1 +- 1e-3 here, so Jn < e^-800 and
    // |Yn| > e^760 / sqrt(pi 2^30) > e^749 beyond: a zero and an infinity of
    // the double result.
    long double lower = v * u * (1.0L / 3);
    if (!second && lower > 800)
        return 0;
    if (second && lower > 760)
        return -0x1p1100L;
    Wide eta = debye_exponent(n, d, s, u);
    long double t[DEBYE_TERMS];
    int count = debye_terms(1 / u, 1 / v, t);
    long double sum = 0;
    for (int k = count - 1; k >= 0; k--)
        sum += (second && (k & 1)) ? -t[k] : t[k];
    if (!second)
        return exp_wide(Wide{-eta.hi, -eta.lo}) * sum * x87_sqrt(ONE_OVER_2PI / v);
    return -exp_wide(eta) * sum * x87_sqrt(TWO_OVER_PI / v);
}

// x = n sec(beta) above the band: w = n tan(beta) = sqrt((x - n)(x + n)),
// q = cot(beta) = n/w, so that u_k(iq)/n^k = i^k U_k(-q^2)/w^k, and
//   P = sum (-1)^m U_2m(-q^2)/w^2m,  Q = sum (-1)^(m+1) U_(2m+1)(-q^2)/w^(2m+1)
//   xi = n (tan(beta) - beta) - pi/4
//   Jn(x) = sqrt(2/(pi w)) (P cos xi - Q sin xi)
//   Yn(x) = sqrt(2/(pi w)) (P sin xi + Q cos xi)
// The phase is wide: up to x = 1.22 n (u >= -1/2) as n t^3 S(u), t = w/n;
// beyond it as x - n pi/2 - pi/4 + D with x exact and
//   D = n atan(n/w) - n^2/(x + w),
// between n^2/(2x) and 0.45 n, from the wide root w of the product
// (x - n)(x + n), exact below 2^64 (above, D is below 1/8).
static long double debye_above(int64_t n, double x, long double d, long double s, long double u, int second)
{
    long double nn = n;
    Wide ww = product((long double)x - nn, (long double)x + nn);
    long double w = x87_sqrt(ww.hi);
    Wide w2 = product(w, w);
    Wide root = quick_sum(w, ((ww.hi - w2.hi) - w2.lo + ww.lo) / (2 * w));
    long double q = nn / w;
    long double t[DEBYE_TERMS];
    int count = debye_terms(-q * q, 1 / w, t);
    long double p_sum = 0, q_sum = 0;
    for (int k = count - 1; k >= 0; k--) {
        long double term = (k & 2) ? -t[k] : t[k];
        if (k & 1)
            q_sum -= term;
        else
            p_sum += term;
    }
    Turn xi;
    if (u >= -0.5L) {
        xi = turn(0, 0, debye_exponent(n, d, s, u));
    } else {
        // atan(n/w), by atan(w/n) below w = n
        Wide a;
        if (w >= nn) {
            a = arctan(divide(Wide{nn, 0}, root));
        } else {
            Wide b = arctan(divide(root, Wide{nn, 0}));
            a = quick_sum(PI_OVER_2, -b.hi);
            a = quick_sum(a.hi, a.lo + (PI_OVER_2_LO - b.lo));
        }
        Wide na = product(nn, a.hi);
        na.lo += nn * a.lo;
        Wide sum = quick_sum(x, root.hi); // x > w
        sum.lo += root.lo;
        Wide tail = divide(Wide{nn * nn, 0}, quick_sum(sum.hi, sum.lo));
        Wide dd = quick_sum(na.hi, -tail.hi); // D > 0, n atan(n/w) > D
        dd.lo += na.lo - tail.lo;
        int qx;
        long double r = reduce_half_pi(x, &qx);
        xi = turn(r, qx - (int)(n & 3), quick_sum(dd.hi, dd.lo));
    }
    long double amplitude = x87_sqrt(TWO_OVER_PI / w);
    if (!second)
        return amplitude * (p_sum * xi.cos - q_sum * xi.sin);
    return amplitude * (p_sum * xi.sin + q_sum * xi.cos);
}

// ---- Olver's uniform expansion

// In u = 1 - z^2, with S(u) = sum u^m/(2m + 3) and T(u) = (3 S(u))^(2/3)
// (DLMF 10.20.2, 10.20.10, 10.20.11, the finite sums turned into power
// series in exact rational arithmetic): zeta = 2^(-2/3) u T(u), the factor
// (4 zeta/(1 - z^2))^(1/4) = 2^(1/3) T^(1/4), A_k(zeta) = A_k(u) and
// B_k(zeta) = 2^(1/3) Bt_k(u). Each series is cut where its later terms,
// weighted by their share of the result, stay below 2^-68 for |u| <= 0.075
// and n >= 10^4. Constant term first.
static const long double olver_T[17] = {
    0x8.000000000000000p-3L, 0xc.ccccccccccccccdp-5L, 0xf.b9c869536202ed0p-6L,
    0xb.3f6c48b0101fba5p-6L, 0x8.b5b03f02212020fp-6L, 0xe.2a59f26b4532168p-7L,
    0xb.e894ac096f58651p-7L, 0xa.413d5175eecfa84p-7L, 0x8.fe3ab3dd78e4ac8p-7L,
    0xf.fff3926c81c207cp-8L, 0xe.65ad0ab39a86a3bp-8L, 0xd.13f176776ac2d8fp-8L,
    0xb.f942e319afda8c1p-8L, 0xb.0950f2c1d133b03p-8L, 0xa.3b318d8a32a900fp-8L,
    0x9.8848d4b6eb5b5a5p-8L, 0x8.eb967bc2a49c3b0p-8L,
};

static const long double olver_T4[17] = {
    0x8.000000000000000p-3L, 0xc.ccccccccccccccdp-7L, 0xb.e2be2be2be2be2cp-8L,
    0xe.da20d540873ba6fp-9L, 0xa.9516227061cddbfp-9L, 0x8.1f21be5c6efa259p-9L,
    0xd.13702fe9565d6acp-10L, 0xa.e1e251a1bf26b95p-10L, 0x9.4808cd79e552118p-10L,
    0x8.10e707b6b5eebddp-10L, 0xe.3abb3f7f9b9931fp-11L, 0xc.b403c69d8d86e63p-11L,
    0xb.743d0145f5a5aafp-11L, 0xa.6a1aece95018db4p-11L, 0x9.8974e1bcf05bc85p-11L,
    0x8.c9822ee156d78adp-11L, 0x8.23c3d7493585931p-11L,
};

static const long double olver_A1[8] = {
    -0x9.1a2b3c4d5e6f809p-11L, -0xf.1b79a14292c3b42p-14L, -0xb.99353341547a901p-17L,
    0xa.dfcdfe244ab2aa8p-16L, 0x8.1565b0669ba330dp-15L, 0x8.b7552db62fe873fp-15L,
    0x8.94576586d5bddc3p-15L, 0x8.26808c0568bb66fp-15L,
};

static const long double olver_A2[2] = {
    0xb.5dbcdd9488c8edcp-14L, 0xf.385eb3489adfd18p-16L,
};

static const long double olver_Bt0[11] = {
    0xe.a0ea0ea0ea0ea0fp-10L, 0x9.1a2b3c4d5e6f809p-11L, 0x9.61117a8d164428dp-12L,
    0xb.b5ba293ba5262cap-13L, 0x8.1c875fd9b146f30p-13L, 0xc.00488eceafc52aep-14L,
    0x9.4a5aa54d907a834p-14L, 0xe.defbec01c6b3811p-15L, 0xc.357ddbfb2d88808p-15L,
    0xa.3a2934e0c09e5fap-15L, 0x8.b53d093e60cbb89p-15L,
};

static const long double olver_Bt1[4] = {
    -0x9.b4d4a55ab7f9528p-13L, -0xb.6b8feac2309e582p-14L, -0xd.147096e02bab903p-15L,
    -0xf.55e06fb658b71e3p-16L,
};

// Ai, Ai', Bi and Bi' at a = -20 + j/2, j = 0 ... 80 (mpmath at 60 digits,
// checked by the Wronskian Ai Bi' - Ai' Bi = 1/pi).
struct AiryPoint {
    long double ai, dai, bi, dbi;
};

static const AiryPoint airy_points[81] = {
    {-0xb.4a3ceca74b30d98p-6L, 0xe.492a9017f0c06c7p-4L, -0xc.cf151b0bd404362p-6L, -0xc.a9b17d972188286p-4L},
    {0x8.91d1e0514bc4fcap-5L, 0xb.3b199879d753405p-7L, -0x9.c661363f171cc8cp-9L, 0x9.7576188474b7debp-3L},
    {-0x9.10fa75d3e7b08a8p-6L, -0x8.0a290eed30028fdp-3L, 0xe.ba4dcf04df41169p-6L, -0x9.d4e26e57ddf4f6ep-4L},
    {-0xe.58ead24bd1d8dc6p-7L, 0x8.84640dbf006bac4p-3L, -0xf.dd1d0791ff04bb1p-6L, -0xf.88fca7fccb9ebd9p-5L},
    {0x8.adb525290354bb5p-5L, -0xa.2db18ee62f97772p-6L, 0x9.d2c78735ab4d048p-8L, 0x9.35a1944630eda87p-3L},
    {-0xb.0cdf018cf28fd80p-6L, -0xe.704024536f64b56p-4L, 0xd.c487b4ddf37799ep-6L, -0xb.820148fddfc76f0p-4L},
    {-0xd.793c2ca02cf37fbp-7L, 0x8.782f9e8bbf5337fp-3L, -0x8.3a751c6a9ef41a5p-5L, -0xe.02797a563169719p-5L},
    {0x8.ec7d977c91a2536p-5L, -0xc.1c97bb3408b2742p-7L, 0xc.757412ecc2f36e3p-9L, 0x9.10bf28dc4467827p-3L},
    {-0x9.27dc747cf09d1c7p-6L, -0xf.98a2996112b56a1p-4L, 0xf.8f54681238630fdp-6L, -0x9.1864e7ce5368c38p-4L},
    {-0xa.a71551d37c4f8f4p-6L, 0xe.7aa033595201a1bp-4L, -0xe.c0f2599ceabc64bp-6L, -0xa.8b7904156a33851p-4L},
    {0x8.e7285e0ee477145p-5L, 0x8.b74a1b78f2cf1a2p-5L, -0x8.d923e765b38239ep-7L, 0x8.9c8733cf828ca75p-3L},
    {-0xf.aa77035ff0d7d48p-9L, -0x8.c337ccad147ee33p-3L, 0x9.3322eef85dcbc91p-5L, -0xe.47abc1576b9baadp-7L},
    {-0x8.82efcafaae6f058p-5L, 0xe.2d4281c15514e3fp-5L, -0xf.513369dc9d91bd8p-7L, -0xf.f5661870800b148p-4L},
    {0xc.39096486d3eefd5p-6L, 0xd.39118c7b6facbbbp-4L, -0xe.5532d0b3f7fa80ep-6L, 0xb.2967ca3341298c4p-4L},
    {0xa.fa06ec013812b91p-6L, -0xd.f1be9e2509a4b01p-4L, 0xf.86f9a321e812898p-6L, 0x9.f834d21e80ad773p-4L},
    {-0x8.d73dbfbb2999099p-5L, -0xd.6b2989cae0d395cp-5L, 0xe.faf30a74a424211p-7L, -0xf.979ea6c3fcc7a3cp-4L},
    {-0x8.84e1461e79a7a77p-7L, 0x8.2f54888b4a121a1p-3L, -0x9.76899ae4d79b50cp-5L, -0xf.269ecde61276090p-6L},
    {0x9.c606647919f4198p-5L, 0xb.3a8b8af0cf226e9p-7L, -0xc.3dd60dae0d20787p-9L, 0x8.485935c6bc86f68p-3L},
    {-0x8.f8461584bef610ep-10L, -0x8.37f7ad1d44c9efdp-3L, 0x9.e8b11d64c0a1030p-5L, -0xb.469919456b8b3b3p-9L},
    {-0x9.fb4c4eea1637854p-5L, 0xb.a47eb4d5abf4906p-7L, -0xf.8ad6794dfc3c26ap-9L, -0x8.17c91fa634515bap-3L},
    {0xa.4d3ff33ff38d0e8p-8L, 0xf.f0b39d6b2c5c0c5p-4L, -0xa.11db6f20ff15a8ap-5L, 0xf.48f62fdde18b309p-7L},
    {0xa.361803a00889b0dp-5L, -0xd.d6114192e7323a1p-7L, 0x9.ac4e5cceb6a5f65p-8L, 0xf.c1638a691f5ecfdp-4L},
    {-0xb.551c745e84220a1p-9L, -0xf.9c51d59f6b91afdp-4L, 0xa.65f7ede53762182p-5L, -0xe.b1ccd1bb6e7d9e6p-8L},
    {-0xa.91bcd519ea02911p-5L, -0x8.45b0061b561de52p-8L, 0xf.e18ed788674a9ccp-11L, -0xf.68525af3f610daep-4L},
    {-0xd.7e14039d5dc2129p-8L, 0xe.f80ebf0fa0fd054p-4L, -0xa.999cea4261d076ap-5L, -0xa.346fdc5c02dc4a3p-6L},
    {0xa.4bfc96500f305a9p-5L, 0xa.33affe9d92ec418p-5L, -0xe.65341732e83aaafp-7L, 0xe.0b7a67b97ddc1b8p-4L},
    {0xb.cb41d82b8d13cedp-6L, -0xc.560ca944535e8bbp-4L, 0x9.667fb76d6fe7b43p-5L, 0xf.f19ea376ac3ae34p-5L},
    {-0xf.3bb98137255ea1cp-6L, -0xa.cc9afc1b2a8ccc3p-4L, 0x8.5a37378c80f7f20p-5L, -0x9.8e02d41da613bb7p-4L},
    {-0xa.885b758c0ae9161p-5L, 0xb.11e74c8cc62da3dp-5L, -0x9.6381968b49055b9p-6L, -0xd.01a2280fc014a5bp-4L},
    {0x9.1aa98482bf04ec9p-9L, 0xd.d3c07639f5212d2p-4L, -0xb.c520b87318df408p-5L, 0xc.db6ce81aa3efc5ep-9L},
    {0xb.396f26cf0e98defp-5L, 0xa.785d12e5ad38d75p-5L, -0x8.db0a374b676900ap-6L, 0xc.745fe73dd520903p-4L},
    {0x9.5950ca0243f250ep-5L, -0x8.5fb16403f750841p-4L, 0x8.1fb98d45058e9cdp-5L, 0xa.27ea212e51ebe6bp-4L},
    {-0x8.fe760306cf8c8d5p-7L, -0xc.a66a2627dba9377p-4L, 0xc.8d2fcc2bc494529p-5L, -0xe.ef0fa7c6d702fb9p-7L},
    {-0xc.045f821dc295d02p-5L, -0xa.fd7d1556c13df17p-5L, 0xa.cfe9093e40bedf2p-6L, -0xb.17011a000778636p-4L},
    {-0xc.1f3f27534acd15bp-5L, 0xa.1111fb1468110e1p-5L, -0xc.b0c6f91aa5c838fp-6L, -0xa.cf4db6a3e66f8b5p-4L},
    {-0xe.60aaf621923e8b6p-7L, 0xa.dc94af477ac23cap-4L, -0xd.d667a6d38fda508p-5L, -0xe.1b5d232435e3507p-6L},
    {0xe.8dd7e2bf98e7eefp-6L, 0x9.e4639228ae47881p-4L, -0xd.3195326a864ec40p-5L, 0x8.ebe3d786b274970p-5L},
    {0xe.db309c4c4bfbed7p-5L, 0x9.e4dc110f7b1aacdp-5L, -0xc.463402a264a49a7p-6L, 0x8.ed310c0a706d37bp-4L},
    {0x8.91a849ec1ed2b30p-4L, -0xa.67881de63311eb8p-10L, 0xd.4fc955611ec0b56p-7L, 0x9.7a5edd66ef3bc69p-4L},
    {0xf.392a1e682f2e8d8p-5L, -0xd.0fac90f491f80e7p-6L, 0xc.2bd9575279fe57dp-5L, 0x8.184df31f550155bp-4L},
    {0xb.5c63cb138adc2f5p-5L, -0x8.483fa15b87c545dp-5L, 0x9.d6bd4da51f54babp-4L, 0xe.5860d3406450458p-5L},
    {0xe.d4116ba1c2202aap-6L, -0xe.64ef25948748998p-6L, 0xd.ab1e679da04c3acp-4L, 0x8.b691b89485f705dp-4L},
    {0x8.a8a185dd7b2b078p-6L, -0xa.2f78bfe727d7330p-6L, 0x9.a8cdb3a5ee3fd97p-3L, 0xe.eb41f0f89864f80p-4L},
    {0x9.2f166793bee0533p-7L, -0xc.770388302bc89e4p-7L, 0xf.08127bad8dddab7p-3L, 0xf.16f6735f192a90fp-3L},
    {0x8.f0c9ae025b118bcp-8L, -0xd.9754d8dfe66e087p-8L, 0xd.313fd0d007bbf21p-2L, 0x8.338c98ff8312928p-1L},
    {0x8.0d3a6d3caefbd34p-9L, -0xd.70c16714ae20440p-9L, 0xc.f69c3c7ee929780p-1L, 0x9.6be26605b8fffadp0L},
    {0xd.7fa7bfde8f8d765p-11L, -0xc.32ea556678f06f0p-10L, 0xe.098e64166a37fbdp0L, 0xb.760b23d83f1fe12p1L},
    {0xa.959fbc79df121bep-12L, -0xa.3fc1129fbf7a8a9p-11L, 0x8.438d6c33f0db910p2L, 0xe.ca843647026c247p2L},
    {0xf.9725e7be24b8229p-14L, -0x8.05c8ad36342261ep-12L, 0xa.7b1b357f97ea085p3L, 0xa.1ed3b21520ea65ep4L},
    {0xa.d2572b63f038b68p-15L, -0xb.c2f35b8e26efa40p-14L, 0xe.3968c87fb45be96p4L, 0xe.a914a36c105fbc1p5L},
    {0xe.336f8d14a96a51dp-17L, -0x8.1b7548f10beff6cp-15L, 0xa.472b0da090abadap6L, 0xb.37a35e7b7a1228fp7L},
    {0x8.d4954083db75a5ep-18L, -0xa.8be744b396b4f09p-17L, 0xf.c128fad3c234becp7L, 0x9.0c46e0ba3d7305ep9L},
    {0xa.6e5059e607ceb8ap-20L, -0xc.fbedce67ebcfe41p-19L, 0xc.c43919f66079d5ap9L, 0xf.5b66915b92d006cp10L},
    {0xb.ba0e495c1e1a849p-22L, -0xf.2a9d17a45047c6cp-21L, 0xa.e893726dda091bbp11L, 0xd.afe7eef891ba72ep12L},
    {0xc.91d847c02ccd3ccp-24L, -0x8.6c3c5094ff56108p-22L, 0x9.ce3e535f773c65cp13L, 0xc.ca42aef9961a384p14L},
    {0xc.ddd222c7dad2cfcp-26L, -0x8.e9cb13ceeae5751p-24L, 0x9.40fb3af007aca52p15L, 0xc.8313d5da1304cc3p16L},
    {0xc.9875e4b6ceee8bbp-28L, -0x9.00933e0e093f2d7p-26L, 0x9.26f10087267a422p17L, 0xc.cbb9940401ab9e9p18L},
    {0xb.ced5c4248b720f8p-30L, -0x8.b0f2aedf0c129fep-28L, 0x9.7878f153bb9fb76p19L, 0xd.a9a1d07d977f9c6p20L},
    {0xa.9d14139755d1e1bp-32L, -0x8.084357198f34177p-30L, 0xa.3d332721a8db36dp21L, 0xf.3680071fa6671ecp22L},
    {0x9.28465741c8e44a9p-34L, -0xe.3afd1b42f6c355ap-33L, 0xb.8cead32930e2b95p23L, 0x8.d290e5ef1aca02fp25L},
    {0xf.2f01450fc66cf86p-37L, -0xc.18c839c9ab36f13p-35L, 0xd.944420c62c3dcdcp25L, 0xa.a60d34cf73a2edap27L},
    {0xc.1b6d042fb57fbcfp-39L, -0x9.e0f22bc23235ba0p-37L, 0x8.4f38f4922fe7563p28L, 0xd.5caedaaa44325c5p29L},
    {0x9.4b2e8a88197506fp-41L, -0xf.840481301010967p-40L, 0xa.936df609b8cec68p30L, 0x8.b5394704ed4e5dap32L},
    {0xd.bf3e51d37626f22p-44L, -0xb.ba6a2b8c5550342p-42L, 0xd.fc318b1ee562a6fp32L, 0xb.c7797d5f98911edp34L},
    {0x9.cdbd08fad477304p-46L, -0x8.8a610470adf1c84p-44L, 0x9.99415c7ca25fa6cp35L, 0x8.430c2bab5af747dp37L},
    {0xd.7e3163d254c4c93p-49L, -0xb.fe237f0797de1c5p-47L, 0xd.aa97638c306a397p37L, 0xc.02990ef728973d7p39L},
    {0x8.f7566f2d010d9f4p-51L, -0x8.1fe1cb2944b91cdp-49L, 0xa.1553373953679d8p40L, 0x9.0a319615ad161b2p42L},
    {0xb.83a3a980f5107bcp-54L, -0xa.a10f20b5230979dp-52L, 0xf.68fe9ab21afa0fep42L, 0xe.1535242df4b09e2p44L},
    {0xe.4be8eb156dbe2eap-57L, -0xd.6fae7411495cd14p-55L, 0xc.2ff83a22f531324p45L, 0xb.585d60cea74593cp47L},
    {0x8.962b571659ef24ap-59L, -0x8.35f71a22f2cccd1p-57L, 0x9.f827d9ce9bb0716p48L, 0x9.72737a5da61ac8dp50L},
    {0x9.fbefc5bf948bc1bp-62L, -0x9.b550203f3539266p-60L, 0x8.6e03ceb9f83ab5fp51L, 0x8.2065d9791f32c7bp53L},
    {0xb.3e5183023dbd730p-65L, -0xb.1c7a50ae5232b4bp-63L, 0xe.ba4798701d4cdd9p53L, 0xe.6f89ff30a6849b6p55L},
    {0xc.44db3cce963d7d0p-68L, -0xc.51021d9e33bd078p-66L, 0xd.48b399049bcf7c9p56L, 0xd.3b48e0df9cde000p58L},
    {0xc.faadcdde80ee9b1p-71L, -0xd.3aaadfc62d15791p-69L, 0xc.5d8497f084bc4c3p59L, 0xc.827e60b8beee57bp61L},
    {0xd.514426ecfd92a47p-74L, -0xd.c69da5324523c05p-72L, 0xb.df677847b414f80p62L, 0xc.31ab84b0674b0cfp64L},
    {0xd.425cbddd1ae07c2p-77L, -0xd.e9ee29609710198p-75L, 0xb.c0d09a2c7f70426p65L, 0xc.3fdabcd40318d90p67L},
    {0xc.d0af8223bcd4847p-80L, -0xd.a2fe0aad4e2c0cfp-78L, 0xb.fd85b46b4f22ebfp68L, 0xc.acf914f366c0554p70L},
    {0xc.0755ed98d1168cep-83L, -0xc.f980f9ce4e0872fp-81L, 0xc.99ba8c3b9583dabp71L, 0xd.819c6723748eabbp73L},
    {0xa.f80d85adbe75d8ep-86L, -0xb.fd2c53eb1ddf0d9p-84L, 0xd.a28065aaa056b15p74L, 0xe.d01d9ecd0a54f7dp76L},
    {0x9.b8b338c5b361857p-89L, -0xa.c35ec4e775a74dbp-87L, 0xf.2f9462b098f0477p77L, 0x8.5b9c172ee9aa25cp80L},
    {0x8.60733b8bf253550p-92L, -0x9.6439359fbb58ac0p-90L, 0x8.b372a8c863b37eep81L, 0x9.b35a29713d5bd2dp83L},
};

enum { AIRY_TERMS = 26 };

struct AiryPair {
    long double f, df;
};

// Ai and Ai' (second = 0) or Bi and Bi' at |a| <= 20 by Taylor's series
// about the nearest point c of the table (|t| = |a - c| <= 1/4), whose
// coefficients follow from y'' = (c + t) y:
//   y(c + t) = sum a_k t^k,  a_k = (c a_(k-2) + a_(k-3)) / (k (k - 1)).
// They fall at least like 1.12^k/k! of the values at c: 26 terms reach
// 2^-70. On the decaying side of Ai the sum loses up to 3 bits.
static AiryPair airy(Wide a, int second)
{
    long double j = x87_rndint((a.hi + 20) * 2);
    const AiryPoint *pt = &airy_points[x87_to_int64(j)];
    long double c = j * 0.5L - 20;
    long double t = (a.hi - c) + a.lo;
    long double prev2 = 0, prev1 = second ? pt->bi : pt->ai, cur = second ? pt->dbi : pt->dai;
    AiryPair r = {prev1 + cur * t, cur};
    long double tk = t; // t^(k-1)
    for (int k = 2; k < AIRY_TERMS; k++) {
        long double ak = (c * prev1 + prev2) / (long double)(k * (k - 1));
        r.df += k * ak * tk;
        tk *= t;
        r.f += ak * tk;
        prev2 = prev1;
        prev1 = cur;
        cur = ak;
    }
    return r;
}

// n^(1/3): from 2^(log2(n)/3) (good to about 2^-60), then one Newton step.
static long double cube_root(long double n)
{
    long double r = x87_exp2(x87_log2(n) * (1.0L / 3));
    return r - (r * r * r - n) / (3 * r * r);
}

// a = 2^(-2/3) rho^2 u T(u) = 2^(-2/3) d s T(u)/rho^4 (n = rho^3), wide: on
// the oscillating side Ai moves by |a|^(1/2) of its size a unit of a, so
// near |a| = 20 a needs about 2^-70. rho is widened by a Newton step whose
// residual n - rho^3 is exact; T = 1 + u T1(u) is wide through its 1.
static Wide airy_argument(long double n, long double rho, long double d, long double s, long double u)
{
    Wide r2 = product(rho, rho);
    Wide r3 = times(r2, Wide{rho, 0});
    Wide wide_rho = quick_sum(rho, ((n - r3.hi) - r3.lo) / (3 * r2.hi));
    Wide rho2 = times(wide_rho, wide_rho);
    Wide t = quick_sum(1, u * poly(olver_T + 1, 16, u));
    Wide num = times(times(product(d, s), t), Wide{CBRT_QUARTER, CBRT_QUARTER_LO});
    return divide(num, times(rho2, rho2));
}

// rho = n^(1/3), sigma = (2/n)^(1/3):
//   Jn(x) =  sigma T^(1/4) (Ai(a) (1 + A1/n^2 + A2/n^4) + Ai'(a) (sigma/n) (Bt0 + Bt1/n^2))
//   Yn(x) = -sigma T^(1/4) (Bi(a) (1 + A1/n^2 + A2/n^4) + Bi'(a) (sigma/n) (Bt0 + Bt1/n^2))
static long double olver(long double n, long double rho, long double u, Wide a, int second)
{
    long double n2 = 1 / (n * n);
    long double sigma = CBRT_2 / rho;
    long double lead = 1 + n2 * (poly(olver_A1, 8, u) + n2 * poly(olver_A2, 2, u));
    long double next = (sigma / n) * (poly(olver_Bt0, 11, u) + n2 * poly(olver_Bt1, 4, u));
    AiryPair ai = airy(a, second);
    long double r = sigma * poly(olver_T4, 17, u) * (ai.f * lead + ai.df * next);
    return second ? -r : r;
}

// ---- the regions

static long double large_order(int64_t n, double x, int second)
{
    long double nn = n;
    long double d = nn - x, s = nn + x; // exact near the band
    long double u = d * s / (nn * nn);
    if (__builtin_fabsl(u) < 0.075L) {
        long double rho = cube_root(nn);
        Wide a = airy_argument(nn, rho, d, s, u);
        if (__builtin_fabsl(a.hi) <= 20)
            return olver(nn, rho, u, a, second);
    }
    if (d > 0)
        return debye_below(n, d, s, second);
    return debye_above(n, x, d, s, u, second);
}

long double __jn_large(int64_t n, double x)
{
    report_standing(CODE_J0);
    return large_order(n, x, 0);
}

long double __yn_large(int64_t n, double x)
{
    report_standing(CODE_Y1);
    return large_order(n, x, 1);
}
