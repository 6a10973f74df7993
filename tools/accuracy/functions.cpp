#include "functions.h"

#include "large_order.h"

#include <cmath>
#include <cstdio>

const FuncInfo func_info[F_COUNT] = {
    {"gamma", "GAMMA", K_REAL},        {"jn", "BESSEL", K_ORDER},       {"yn", "WEBER", K_ORDER},
    {"xexp", "XEXP", K_COMPLEX},       {"xpow10", "XPOW10", K_COMPLEX}, {"xlog", "XLN", K_COMPLEX},
    {"xlog10", "XLOG10", K_COMPLEX},   {"xsqrt", "XSQRT", K_COMPLEX},   {"xsin", "XSIN", K_COMPLEX},
    {"xcos", "XCOS", K_COMPLEX},       {"xtan", "XTAN", K_COMPLEX},     {"xsinh", "XSINHYP", K_COMPLEX},
    {"xcosh", "XCOSHYP", K_COMPLEX},   {"xtanh", "XTANHYP", K_COMPLEX}, {"xasin", "XARCSIN", K_COMPLEX},
    {"xacos", "XARCCOS", K_COMPLEX},   {"xatan", "XARCTAN", K_COMPLEX}, {"xasinh", "XARCSINHYP", K_COMPLEX},
    {"xacosh", "XARCCOSHYP", K_COMPLEX}, {"xatanh", "XARCTANHYP", K_COMPLEX}, {"xpow", "XPOWER", K_COMPLEX2},
    {"xlogy", "XLOG", K_COMPLEX2},
};

Value evaluate(const Library &lib, const Input &in)
{
    Value v = {0, 0};
    switch (func_info[in.f].kind) {
    case K_REAL:
        v.re = lib.gamma(in.a[0]);
        break;
    case K_ORDER:
        v.re = (in.f == F_JN ? lib.jn : lib.yn)(in.n, in.a[0]);
        break;
    case K_COMPLEX: {
        Cplx c = lib.unary[in.f - F_XEXP](in.a[0], in.a[1]);
        v.re = c.re;
        v.im = c.im;
        break;
    }
    case K_COMPLEX2: {
        Cplx c = (in.f == F_XPOW ? lib.xpow : lib.xlogy)(in.a[0], in.a[1], in.a[2], in.a[3]);
        v.re = c.re;
        v.im = c.im;
        break;
    }
    }
    return v;
}

static const long double two63 = 0x1p63L;

// arg z1 of xpow's unit bases as fpatan gives it (pi and pi/2 rounded to the
// extended format); false for any other base.
static bool unit_base(const Input &in, long double *theta)
{
    static const long double pi = 0xc.90fdaa22168c235p-2L;
    double x = in.a[0], y = in.a[1];
    if (x == -1 && y == 0)
        *theta = std::signbit(y) ? -pi : pi;
    else if (x == 0 && std::fabs(y) == 1)
        *theta = y > 0 ? pi / 2 : -pi / 2;
    else
        return false;
    return true;
}

long double formed_angle(const Input &in)
{
    long double theta = 0;
    if (in.f == F_XPOW10)
        return (long double)in.a[1] * 2.302585092994046;
    if (in.f == F_XPOW && unit_base(in, &theta))
        return in.a[2] * theta; // + y2 ln|z1|, which is 0
    return 0;
}

static bool huge(long double v) { return std::isfinite(v) && std::fabs(v) >= two63; }

bool huge_argument(const Input &in)
{
    double x = in.a[0], y = in.a[1];
    long double theta;
    switch (in.f) {
    case F_JN:
    case F_YN: // large orders reduce their phase exactly and have regions of their own
        return huge(x) && std::labs(in.n) < large_order_from;
    case F_XEXP:
    case F_XSINH:
    case F_XCOSH: return huge(y);
    case F_XSIN:
    case F_XCOS: return huge(x);
    case F_XTAN: return huge(2.0L * x);
    case F_XTANH: return huge(2.0L * y);
    case F_XPOW10: return huge(formed_angle(in));
    case F_XPOW: return unit_base(in, &theta) && huge(formed_angle(in));
    default: return false;
    }
}

double pair_argument(const Input &in)
{
    switch (in.f) {
    case F_XSIN:
    case F_XCOS: return std::fabs(in.a[1]);
    case F_XTAN: return 2 * std::fabs(in.a[1]);
    case F_XSINH:
    case F_XCOSH: return std::fabs(in.a[0]);
    case F_XTANH: return 2 * std::fabs(in.a[0]);
    default: return 0;
    }
}

int s_part(Func f)
{
    switch (f) {
    case F_XSIN:
    case F_XCOS:
    case F_XTAN:
    case F_XCOSH:
        return 1;
    case F_XSINH:
    case F_XTANH:
        return 0;
    default:
        return -1;
    }
}

void format_input(const Input &in, char *out, int size)
{
    const char *name = func_info[in.f].sheet;
    switch (func_info[in.f].kind) {
    case K_REAL:
        snprintf(out, size, "%s(%a)", name, in.a[0]);
        break;
    case K_ORDER:
        snprintf(out, size, "%s(%a; %d)", name, in.a[0], in.n);
        break;
    case K_COMPLEX:
        snprintf(out, size, "%s(%a%+ai)", name, in.a[0], in.a[1]);
        break;
    case K_COMPLEX2:
        snprintf(out, size, "%s(%a%+ai; %a%+ai)", name, in.a[0], in.a[1], in.a[2], in.a[3]);
        break;
    }
}
