// True values on the exact double inputs, at 200 bits with MPFR and MPC, and
// the relative condition number of the problem at each input.
#ifndef ACCURACY_REFERENCE_H
#define ACCURACY_REFERENCE_H

#include <mpfr.h>

#include "functions.h"

const mpfr_prec_t reference_bits = 200;

struct Truth {
    mpfr_t re, im;  // the true value; im is 0 for the real functions
    bool undefined; // a pole or a point without a value (the result is NaN)
    double kappa;   // |z f'(z)/f(z)|; the larger partial one for xpow and xlogy
    double kappa_s; // the pair kernels: the condition number of the part that
                    // carries S on its own (the sum of its partial ones)
    bool plain;     // a huge argument (huge_argument): the plain target, not kappa
    double scale;   // there, the size below 1e-3 of which E is absolute (BESSEL
                    // and WEBER: sqrt(2/(pi x))); 0: E stays relative
};

void reference_setup(); // the widest exponent range, once per process
void truth_init(Truth *t);
void truth_clear(Truth *t);

// The value that the kernel is meant to give at the input. With flip, every
// zero part of the input counts with the other sign: on a branch cut the two
// sides' limits are both values that a kernel's sign convention may pick.
// Where xpow10 and xpow form a huge angle from rounded values (y ln 10 with the
// double ln 10; x2 arg z1 with arg z1 rounded), the last bits of those values
// move it by radians: there the reference is the true modulus at the angle as
// the kernel forms it (formed_angle), which its exact reduction must then meet.
void compute_truth(const Input &in, bool flip, Truth *t);

// Whether some part of a complex input is zero, so that a cut may pass there.
bool has_zero_part(const Input &in);

#endif
