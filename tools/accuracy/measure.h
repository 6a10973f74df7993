// The error measure and the target.
//
//   E = |got - true| / |true|   (complex: modulus of the difference over the
//                                modulus of the true value)
//   E <= max(1e-12, kappa 1e-15) + 2^-1074/|true|
//
// The last term is the spacing of the subnormal doubles: a true value below
// the smallest subnormal may come out 0. Where a trigonometric argument is
// huge (huge_argument) the plain target E <= 1e-12 holds instead, since the
// library reduces it exactly; BESSEL and WEBER, whose values there lie near
// sqrt(2/(pi x)), take E absolute in units of that size where they fall below
// 1e-3 of it (near their zeros). The six pair kernels are held to the target
// twice: as a whole, and in the part that carries S on its own (its relative
// error against max(1e-12, kappa_s 1e-15), kappa_s that part's condition
// number; 1e-12 at a huge argument). Hard rules besides: no NaN or infinity
// where the true value is finite and inside the double range, no 0 where it
// is at least the smallest subnormal, no finite value where it overflows.
// Within the bound of the overflow threshold either is accepted.
#ifndef ACCURACY_MEASURE_H
#define ACCURACY_MEASURE_H

#include "functions.h"
#include "reference.h"

enum Outcome {
    O_OK,
    O_OVER, // over the bound
    O_HARD, // a hard rule broken
};

struct Verdict {
    Outcome outcome;
    bool measured;    // E was computed (the true value is finite and in range)
    bool subnormal;   // the true value lies below the normal range (E there is mostly the spacing of subnormals)
    double e;         // E of the whole result
    double bound;     // max(1e-12, kappa 1e-15), or 1e-12 at a huge argument
    double e_s;       // the pair kernels: E of the part that carries S (-1: not judged, its true value is 0)
    double bound_s;   // and its bound
    double ratio;     // the larger of e and e_s over their bounds with the subnormal term
    const char *hard; // the rule broken, for O_HARD
};

double error_bound(double kappa);

Verdict judge(const Input &in, const Value &got, const Truth &t);

// Judges against the truth at the input and, where a part of the input is
// zero, against the other side of a possible cut too; the better verdict
// counts. Both truths are scratch space owned by the caller.
Verdict judge_input(const Input &in, const Value &got, Truth *t, Truth *other);

// Distance of a result from the truth rounded to double, for the
// differential mode: -1 when a is closer than b, 1 when farther, 0 when
// equally close.
int compare_closeness(const Value &a, const Value &b, const Truth &t);

#endif
