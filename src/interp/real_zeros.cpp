// Real zeros of a polynomial of degree at most 4 in extended precision: the
// inverse value (q = p - v) and the extremum (q = p') of the equidistant
// tables where Newton's iteration from the fixed start has not given one.
//
// Method. The zeros of q are separated by the zeros of q', which are found in
// the same way one degree lower, down to the linear case. Between two
// neighbouring stationary points, and from the outermost ones out to Cauchy's
// bound 1 + max |c_k / c_n| on the moduli of all zeros, q is monotone: it has
// a zero there exactly when it changes sign, and the zero is bracketed. Each
// bracket is narrowed by Newton steps while they land inside it and shrink
// faster than by half, otherwise by splitting it: at 0 while it straddles 0,
// at the geometric mean while its ends differ by more than a factor 2, else
// at the midpoint. A bracket of any width therefore closes down to
// neighbouring long doubles within about 80 splits (15 to bring the ends'
// exponents together, 64 for the significand). A stationary point where |q|
// is within rounding of its terms is a zero too: a double zero changes no sign.
// Where |q| there is below what the computation itself can err by, q is taken
// as 0, and the stationary point stands for the noise-split pair beside it.
//
// No test compares with a fixed number: signs, and |q| against its own terms
// (and the table's size). Scaling q by a power of 2 gives the same zeros bit
// for bit, any other factor the same to within rounding, and the extended
// range holds every power that a table of doubles can produce (moduli of
// zeros stay below 2^2200, so |c_k t^k| below 2^9000).
#include "interp.h"

namespace {

// Four rounding units of a double: the tolerance of "zero within rounding".
const long double ROUNDING = 0x1p-51L;
// 256 rounding units of the extended format, above what the coefficients and
// Horner's rule can err by: a stationary value this small is taken as 0, so
// that a double zero is not split by that noise into two close sign changes.
const long double NOISE = 0x1p-56L;

// Up to 2n - 1 zeros per degree n (a sign change and a touching stationary
// point in each monotone piece); 15 for the quartic.
const int MAX_ZEROS = 16;

struct Eval {
    long double q, dq; // q(x), q'(x)
};

long double magnitude(long double x) { return __builtin_fabsl(x); }
long double larger(long double x, long double y) { return x > y ? x : y; }

// Horner's rule for q and q' together.
Eval evaluate(const long double *c, int n, long double x)
{
    Eval e = {c[n], 0.0L};
    for (int k = n - 1; k >= 0; k--) {
        e.dq = e.dq * x + e.q;
        e.q = e.q * x + c[k];
    }
    return e;
}

// The scale of q's rounding at x: the largest of size and the terms |c_k x^k|.
long double scale(const long double *c, int n, long double x, long double size)
{
    long double power = 1.0L;
    for (int k = 0; k <= n; k++) {
        size = larger(size, magnitude(c[k]) * power);
        if (k < n)
            power *= x;
    }
    return size;
}

// A point strictly inside (lo, hi), or an end when they are neighbours.
long double split(long double lo, long double hi)
{
    if (lo < 0.0L && hi > 0.0L)
        return 0.0L;
    long double small = magnitude(lo), big = magnitude(hi);
    if (small > big) {
        long double s = small;
        small = big;
        big = s;
    }
    if (big > 2.0L * small) {
        if (small == 0.0L)
            small = __LDBL_MIN__;
        long double g = x87_sqrt(small) * x87_sqrt(big);
        return hi > 0.0L ? g : -g;
    }
    return lo + (hi - lo) * 0.5L;
}

// The zero of q in (lo, hi), where q is monotone and q(lo) = f_lo and
// q(hi) = f_hi have opposite signs. Safeguarded Newton: a step is taken only
// when it stays inside the bracket and is shorter than half the last step;
// otherwise the bracket is split. Far from the zero Newton crawls (by a
// factor (n - 1)/n per step), so there every other step is a split.
long double refine(const long double *c, int n, long double lo, long double hi, long double f_lo, long double f_hi)
{
    int lo_negative = f_lo < 0.0L;
    long double x = split(lo, hi);
    long double step = hi - lo;
    for (int k = 0; k < 256; k++) {
        Eval e = evaluate(c, n, x);
        if (e.q == 0.0L)
            return x;
        if ((e.q < 0.0L) == lo_negative) {
            lo = x;
            f_lo = e.q;
        } else {
            hi = x;
            f_hi = e.q;
        }
        long double next = lo;
        if (2.0L * magnitude(e.q) < magnitude(e.dq) * step) {
            next = x - e.q / e.dq;
            if (next == x)
                return x;
        }
        if (!(next > lo && next < hi))
            next = split(lo, hi);
        if (!(next > lo && next < hi))
            break;
        step = magnitude(next - x);
        x = next;
    }
    return magnitude(f_lo) <= magnitude(f_hi) ? lo : hi;
}

// The real zeros of c0 + c1 t + ... + cn t^n, c_n != 0, ascending; size is a
// floor for the scale of "within rounding" (0 below the top level, where the
// zeros only split the line into monotone pieces).
int zeros(const long double *c, int n, long double size, long double *z)
{
    if (n == 1) {
        z[0] = -c[0] / c[1];
        return 1;
    }
    long double d[4] = {}, s[MAX_ZEROS];
    for (int k = 1; k <= n; k++)
        d[k - 1] = (long double)k * c[k];
    int m = zeros(d, n - 1, 0.0L, s);

    long double bound = 0.0L;
    for (int k = 0; k < n; k++)
        bound = larger(bound, magnitude(c[k] / c[n]));
    bound += 1.0L;

    int count = 0;
    long double left = -bound;
    Eval fl = evaluate(c, n, left);
    for (int i = 0; i <= m; i++) {
        long double right = i < m ? s[i] : bound;
        if (!(right > left && right <= bound))
            continue;
        Eval fr = evaluate(c, n, right);
        long double rounding = i < m ? scale(c, n, right, size) : 0.0L;
        if (magnitude(fr.q) <= NOISE * rounding)
            fr.q = 0.0L;
        if ((fl.q < 0.0L && fr.q > 0.0L) || (fl.q > 0.0L && fr.q < 0.0L))
            z[count++] = refine(c, n, left, right, fl.q, fr.q);
        if (i < m && magnitude(fr.q) <= ROUNDING * rounding)
            z[count++] = right;
        left = right;
        fl = fr;
    }
    return count;
}

} // namespace

int __ip_zero_within_rounding(const long double q[5], long double t, long double size)
{
    long double rounding = scale(q, 4, t, size);
    return magnitude(evaluate(q, 4, t).q) <= ROUNDING * rounding && rounding <= __LDBL_MAX__;
}

int __ip_nearest_zero(const long double q[5], long double middle, long double size, long double *zero)
{
    int n = 4;
    while (n > 0 && q[n] == 0.0L)
        n--;
    if (n == 0)
        return 0;
    long double z[MAX_ZEROS];
    int m = zeros(q, n, size, z);
    if (m == 0)
        return 0;
    // Ascending, so of two equally near the first stays; "equally" within
    // rounding, so that a table symmetric about its middle always gives the
    // smaller of its two mirrored zeros.
    long double best = z[0];
    for (int i = 1; i < m; i++)
        if (magnitude(z[i] - middle) < magnitude(best - middle) - ROUNDING * (magnitude(z[i]) + magnitude(best)))
            best = z[i];
    *zero = best + 0.0L; // a zero at the origin as +0
    return 1;
}
