// Running the regions and collecting what each one shows.
#ifndef ACCURACY_SWEEP_H
#define ACCURACY_SWEEP_H

#include <string>
#include <vector>

#include "measure.h"
#include "regions.h"

struct Example {
    Input in;
    Value got;
    double e, ratio;
};

struct Stats {
    const Region *region;
    long samples = 0, measured = 0, over = 0, hard = 0;
    std::vector<double> errors; // E of every measured sample whose true value is a normal double
    Example worst_e{}, worst_ratio{};
    Example first_hard{};
    const char *hard_rule = nullptr;

    double median() const;
    bool fails() const { return over > 0 || hard > 0; }
};

// The region's key in tables and in the list of known failures: "xtan/poles",
// "jn(5)/wide".
std::string region_key(const Region &r);

// Samples one region: count inputs from the region's own stream of the seed.
void run_region(const Library &lib, const Region &r, long count, uint64_t seed, Stats *s);

#endif
