// The functions that the tool measures: GAMMA, BESSEL and WEBER through the
// library's gamma, jn and yn, and the nineteen complex kernels.
#ifndef ACCURACY_FUNCTIONS_H
#define ACCURACY_FUNCTIONS_H

#include "library.h"

enum Func {
    F_GAMMA,
    F_JN,
    F_YN,
    // The seventeen one-argument kernels, in the order of Library::unary.
    F_XEXP,
    F_XPOW10,
    F_XLOG,
    F_XLOG10,
    F_XSQRT,
    F_XSIN,
    F_XCOS,
    F_XTAN,
    F_XSINH,
    F_XCOSH,
    F_XTANH,
    F_XASIN,
    F_XACOS,
    F_XATAN,
    F_XASINH,
    F_XACOSH,
    F_XATANH,
    F_XPOW,
    F_XLOGY,
    F_COUNT
};

enum Kind { K_REAL, K_ORDER, K_COMPLEX, K_COMPLEX2 };

struct FuncInfo {
    const char *name;  // the library's entry
    const char *sheet; // the sheet function built on it
    Kind kind;
};

extern const FuncInfo func_info[F_COUNT];

inline bool is_complex(Func f) { return func_info[f].kind >= K_COMPLEX; }

// One argument set: x = a[0] (real functions, with the order n), z = a[0] + i a[1],
// and z2 = a[2] + i a[3] for xpow and xlogy.
struct Input {
    Func f;
    int n;
    double a[4];
};

// A result; im is 0 for the real functions.
struct Value {
    double re, im;
};

Value evaluate(const Library &lib, const Input &in);

// Inputs whose results are left open: a sine or cosine argument (x, y, 2x, 2y,
// y ln 10, or the angle of xpow) of magnitude 2^63 or more, and BESSEL and
// WEBER arguments of that size.
bool unspecified(const Input &in);

// The six kernels built on a hyperbolic pair: which part of the result carries
// S (the hyperbolic sine, exact only to an absolute ulp of the pair when its
// argument is tiny), or -1 for the other kernels.
int s_part(Func f);

// "XSIN(0x1p-3+0x1p-60i)"-style text of an input, exact (hexadecimal floats).
void format_input(const Input &in, char *out, int size);

#endif
