// Where the tool samples: each function's whole range, and the regions where
// the usual steps are known to lose accuracy. Every region draws from its
// own fixed-seed stream, so its samples do not depend on the other regions.
#ifndef ACCURACY_REGIONS_H
#define ACCURACY_REGIONS_H

#include <cstdint>

#include "functions.h"

// xoshiro256** seeded through splitmix64.
struct Rng {
    uint64_t s[4];
    explicit Rng(uint64_t seed);
    uint64_t next();
    double uniform();                          // [0, 1)
    double uniform(double lo, double hi);      // [lo, hi)
    double log_uniform(double lo, double hi);  // a random binade, then a random significand, within [lo, hi]
    int below(int n);                          // 0 .. n-1
    double sign() { return (next() >> 63) ? -1.0 : 1.0; }
};

struct Region;
typedef void (*Sampler)(Rng &rng, const Region &r, Input *in);

struct Region {
    const char *name; // short name: tables and the list of known failures
    const char *what; // what is sampled
    Func f;
    int order;        // BESSEL and WEBER: the order, unless the sampler picks it
    Sampler sample;
    double p[4];      // the sampler's ranges
    bool named;       // one of the regions where the usual steps lose accuracy
    double share = 1; // of the samples per region that this one draws
    long diff_cap = 0; // the most that the diff draws here (the old build is slow), 0: no cap
};

// The count of samples that region r draws when each region draws
// per_region (diff: in the differential mode).
long samples_in(const Region &r, long per_region, bool diff);

extern const Region *regions;
extern int region_count;

// The regions table (built once; the J0 zeros come from MPFR).
void regions_setup();

// A label for an input of the differential mode: the first of its function's
// bins that holds it ("elsewhere" when none does), and whether that bin is
// one of the named regions.
const char *bin_of(const Input &in, bool *named);

// Zeros of J0 used by the "j0-zeros" region, in ascending order.
extern double j0_zeros[40];

#endif
