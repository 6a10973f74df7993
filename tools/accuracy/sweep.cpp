#include "sweep.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

double Stats::median() const
{
    if (errors.empty())
        return NAN;
    std::vector<double> e = errors;
    size_t mid = e.size() / 2;
    std::nth_element(e.begin(), e.begin() + mid, e.end());
    return e[mid];
}

std::string region_key(const Region &r)
{
    std::string key = func_info[r.f].name;
    if (func_info[r.f].kind == K_ORDER && !r.named) {
        char n[16];
        snprintf(n, sizeof n, "(%d)", r.order);
        key += n;
    }
    return key + "/" + r.name;
}

static uint64_t region_seed(uint64_t seed, const Region &r)
{
    // Name, function and order fix a region's stream, whatever else the table holds.
    uint64_t h = seed * 0x9E3779B97F4A7C15ull + (uint64_t)r.f * 0x100000001B3ull + (uint64_t)(int64_t)r.order;
    for (const char *c = r.name; *c; c++)
        h = (h ^ (unsigned char)*c) * 0x100000001B3ull;
    return h;
}

void run_region(const Library &lib, const Region &r, long count, uint64_t seed, Stats *s)
{
    s->region = &r;
    Rng rng(region_seed(seed, r));
    Truth t, other;
    truth_init(&t);
    truth_init(&other);
    for (long i = 0; i < count; i++) {
        Input in{r.f, r.order, {0, 0, 0, 0}};
        r.sample(rng, r, &in);
        s->samples++;
        Value got = evaluate(lib, in);
        Verdict v = judge_input(in, got, &t, &other);
        Example ex{in, got, v.e, v.ratio};
        if (v.outcome == O_HARD) {
            if (s->hard++ == 0) {
                s->first_hard = ex;
                s->hard_rule = v.hard;
            }
        }
        if (!v.measured)
            continue;
        s->measured++;
        if (!v.subnormal) {
            if (s->errors.empty() || v.e > s->worst_e.e)
                s->worst_e = ex;
            s->errors.push_back(v.e);
        }
        if (s->measured == 1 || v.ratio > s->worst_ratio.ratio)
            s->worst_ratio = ex;
        if (v.outcome == O_OVER)
            s->over++;
    }
    truth_clear(&t);
    truth_clear(&other);
}
