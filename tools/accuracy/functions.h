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

// A sine or cosine argument of magnitude 2^63 or more, as the kernel forms it
// (x, y, 2x, 2y, y ln 10, or the angle of xpow), or a BESSEL or WEBER
// argument of that size: where the processor would leave it unreduced and the
// library reduces it exactly. xpow counts only for the bases whose angle and
// log modulus are exact (-1, i, -i: ln|z1| = 0), where the angle as formed,
// x2 arg z1 rounded to the extended format, is known to the bit.
bool huge_argument(const Input &in);

// The angle that xpow10 (y ln 10, ln 10 the double) and xpow (x2 arg z1 for
// the bases above) form, in the extended format as the kernels do.
long double formed_angle(const Input &in);

// The six kernels built on a hyperbolic pair: which part of the result carries
// S (the hyperbolic sine), or -1 for the other kernels; and the argument of
// the pair at the input (y for XSIN and XCOS, 2y for XTAN, x for XSINHYP and
// XCOSHYP, 2x for XTANHYP).
int s_part(Func f);
double pair_argument(const Input &in);

// "XSIN(0x1p-3+0x1p-60i)"-style text of an input, exact (hexadecimal floats).
void format_input(const Input &in, char *out, int size);

#endif
