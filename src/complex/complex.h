// Complex numbers inside the library: the text codec of the sheet functions
// and the kernels' workers. The workers expect the x87 at a 64-bit
// significand; the exported kernels (quorel_math.h) switch to it and call them.
#ifndef QUOREL_COMPLEX_H
#define QUOREL_COMPLEX_H

#include "quorel_math.h"

// Reads text of the form "a+bi" (U = i or j) into *out; 1 when the whole text
// is one complex number, else 0 (then *out may hold parts already read).
int xparse(const char *text, Complex *out);

// Writes *value into the 256-byte result buffer as "%.15G" text, or "Err:503"
// for a non-finite part. A part below 2^-52 of the modulus is flushed to 0 in
// *value first.
void xformat(char *buffer, Complex *value);

// The unusable-argument text, with its NUL (8 bytes).
void xfail(char *buffer);

// An extended-precision result, each part rounded to double once.
static inline Complex pair(long double re, long double im)
{
    Complex z;
    z.re = (double)re;
    z.im = (double)im;
    return z;
}

Complex __xexp(double x, double y);
Complex __xpow10(double x, double y);
Complex __xlog(double x, double y);
Complex __xlog10(double x, double y);
Complex __xlogy(double x1, double y1, double x2, double y2);
Complex __xpow(double x1, double y1, double x2, double y2);
Complex __xsqrt(double x, double y);
Complex __xsin(double x, double y);
Complex __xcos(double x, double y);
Complex __xtan(double x, double y);
Complex __xsinh(double x, double y);
Complex __xcosh(double x, double y);
Complex __xtanh(double x, double y);
Complex __xasin(double x, double y);
Complex __xacos(double x, double y);
Complex __xatan(double x, double y);
Complex __xasinh(double x, double y);
Complex __xacosh(double x, double y);
Complex __xatanh(double x, double y);

#endif
