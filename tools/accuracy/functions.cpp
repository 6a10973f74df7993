#include "functions.h"

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

static const double two63 = 0x1p63;

bool unspecified(const Input &in)
{
    double x = std::fabs(in.a[0]), y = std::fabs(in.a[1]);
    switch (in.f) {
    case F_JN:
    case F_YN:
        return x >= two63;
    case F_XEXP:
    case F_XSINH:
    case F_XCOSH:
        return y >= two63;
    case F_XSIN:
    case F_XCOS:
        return x >= two63;
    case F_XTAN:
        return 2 * x >= two63;
    case F_XTANH:
        return 2 * y >= two63;
    case F_XPOW10:
        return y * 2.302585092994046 >= two63;
    case F_XPOW: {
        // B = x2 arg(z1) + y2 ln|z1|, bounded here by its terms' magnitudes.
        double r = std::hypot(in.a[0], in.a[1]);
        double b = std::fabs(in.a[2]) * 3.2 + std::fabs(in.a[3]) * std::fabs(std::log(r));
        return !(b < two63);
    }
    default:
        return false;
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
