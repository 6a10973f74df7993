// Comparing doubles bit for bit, for the host tool's case files and for the
// tests. One rule for NaN: any NaN matches any NaN (sign and payload are not
// compared); every other value matches only its own bit pattern, so 0 and -0
// differ and an infinity matches only itself.
#ifndef QUOREL_HOST_ULP_H
#define QUOREL_HOST_ULP_H

#include <stdint.h>
#include <string.h>

inline uint64_t bits_of(double x)
{
    uint64_t b;
    memcpy(&b, &x, sizeof b);
    return b;
}

inline bool same_bits(double a, double b) { return bits_of(a) == bits_of(b) || (a != a && b != b); }

// Distance in representable doubles between finite values: the patterns are
// mapped in order onto 1 ... 2^64 - 1, -0 and +0 both to 2^63, so that any two
// of them (opposite signs included) have an unsigned difference. NaN operands
// give a number without meaning; callers decide about NaN first.
inline uint64_t ulp_distance(double a, double b)
{
    const uint64_t sign = 1ull << 63;
    uint64_t ua = bits_of(a), ub = bits_of(b);
    ua = (ua & sign) ? sign - (ua & ~sign) : sign + ua;
    ub = (ub & sign) ? sign - (ub & ~sign) : sign + ub;
    return ua > ub ? ua - ub : ub - ua;
}

#endif
