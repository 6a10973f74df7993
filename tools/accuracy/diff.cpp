#include "diff.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "measure.h"
#include "regions.h"

struct Change {
    Input in;
    Value old_v, new_v;
    double true_re, true_im;
    double e_old, e_new;
    const char *bin;
    int closeness; // -1 closer, 0 as close, 1 farther
};

struct Bin {
    bool named = false;
    long changed = 0, closer = 0, same = 0, farther = 0;
    long rounding = 0; // of the not closer: the new result within an ulp of the true value
    double worst_old = 0, worst_new = 0; // worst E among the changed results, before and after
};

// E of a result at most an ulp from the true value.
static const double ulp_level = 0x1p-52;

static bool same_bits(const Value &a, const Value &b) { return memcmp(&a, &b, sizeof a) == 0; }

static void print_change(FILE *out, const Change &c)
{
    char at[256];
    format_input(c.in, at, sizeof at);
    bool cplx = is_complex(c.in.f);
    fprintf(out, "    %s  [%s]\n", at, c.bin);
    if (cplx)
        fprintf(out, "      old %.17g%+.17gi  new %.17g%+.17gi  true %.17g%+.17gi\n", c.old_v.re, c.old_v.im,
                c.new_v.re, c.new_v.im, c.true_re, c.true_im);
    else
        fprintf(out, "      old %.17g  new %.17g  true %.17g\n", c.old_v.re, c.new_v.re, c.true_re);
    fprintf(out, "      E old %.3g  E new %.3g  %s\n", c.e_old, c.e_new,
            c.closeness < 0 ? "closer" : c.closeness == 0 ? "NOT CLOSER (as close)" : "NOT CLOSER (farther)");
}

static uint64_t stream_seed(uint64_t seed, const Region &r)
{
    uint64_t h = (seed + 0x5EED) * 0xD1B54A32D192ED03ull + (uint64_t)r.f * 0x100000001B3ull + (uint64_t)(int64_t)r.order;
    for (const char *c = r.name; *c; c++)
        h = (h ^ (unsigned char)*c) * 0x100000001B3ull;
    return h;
}

int diff_function(const Library &old_lib, const Library &new_lib, Func f, long n, uint64_t seed, FILE *out)
{
    std::vector<const Region *> mine;
    for (int i = 0; i < region_count; i++)
        if (regions[i].f == f)
            mine.push_back(&regions[i]);
    if (mine.empty())
        return 0;
    long per_region = (n + (long)mine.size() - 1) / (long)mine.size();
    long samples = 0, changed = 0, not_closer = 0;
    std::map<std::string, Bin> bins;
    std::vector<Change> bad, outside, least;
    Truth t, other;
    truth_init(&t);
    truth_init(&other);
    for (const Region *r : mine) {
        Rng rng(stream_seed(seed, *r));
        for (long i = 0, count = samples_in(*r, per_region, true); i < count; i++) {
            Input in{f, r->order, {0, 0, 0, 0}};
            r->sample(rng, *r, &in);
            samples++;
            Value a = evaluate(old_lib, in), b = evaluate(new_lib, in);
            if (same_bits(a, b))
                continue;
            changed++;
            // Against the side of a cut that the old result is on; where the
            // old result is on neither (infinite, NaN, or off the target on
            // both sides), the new one's side.
            compute_truth(in, false, &t);
            Verdict va = judge(in, a, t), vb = judge(in, b, t);
            const Truth *tr = &t;
            if (has_zero_part(in)) {
                compute_truth(in, true, &other);
                Verdict wa = judge(in, a, other), wb = judge(in, b, other);
                bool undecided = (!(wa.e < va.e) && !(va.e < wa.e)) || (va.outcome != O_OK && wa.outcome != O_OK);
                if (undecided ? wb.e < vb.e : wa.e < va.e) {
                    va = wa;
                    vb = wb;
                    tr = &other;
                }
            }
            Change c{in, a, b, mpfr_get_d(tr->re, MPFR_RNDN), mpfr_get_d(tr->im, MPFR_RNDN), va.e, vb.e, nullptr,
                     compare_closeness(b, a, *tr)};
            bool named;
            c.bin = bin_of(in, &named);
            Bin &bin = bins[c.bin];
            bin.named = named;
            bin.changed++;
            if (c.closeness < 0)
                bin.closer++;
            else if (c.closeness == 0)
                bin.same++;
            else
                bin.farther++;
            bin.worst_old = std::fmax(bin.worst_old, va.e);
            bin.worst_new = std::fmax(bin.worst_new, vb.e);
            if (c.closeness >= 0) {
                not_closer++;
                bin.rounding += vb.e <= ulp_level;
                // Keep the twenty that ended farthest from the true value.
                bad.push_back(c);
                std::sort(bad.begin(), bad.end(), [](const Change &x, const Change &y) { return x.e_new > y.e_new; });
                if (bad.size() > 20)
                    bad.pop_back();
            } else {
                if (!named && outside.size() < 5)
                    outside.push_back(c);
                // Keep the three closer changes that improved least (E new / E old highest).
                least.push_back(c);
                std::sort(least.begin(), least.end(), [](const Change &x, const Change &y) {
                    return x.e_new / x.e_old > y.e_new / y.e_old;
                });
                if (least.size() > 3)
                    least.pop_back();
            }
        }
    }
    truth_clear(&t);
    truth_clear(&other);

    fprintf(out, "\n%s (%s): %ld inputs, %ld changed, %ld not closer\n", func_info[f].name, func_info[f].sheet,
            samples, changed, not_closer);
    if (changed) {
        fprintf(out, "  %-44s %8s %8s %6s %7s %9s %11s %11s\n", "bin", "changed", "closer", "same", "farther",
                "(<= 1ulp)", "worst E old", "worst E new");
        for (auto &kv : bins)
            fprintf(out, "  %-44s %8ld %8ld %6ld %7ld %9ld %11.3g %11.3g%s\n", kv.first.c_str(), kv.second.changed,
                    kv.second.closer, kv.second.same, kv.second.farther, kv.second.rounding, kv.second.worst_old,
                    kv.second.worst_new, kv.second.named ? "" : "  (outside the named regions)");
        fprintf(out, "  (<= 1ulp: of the changes not closer, those whose new result is within an ulp of the true "
                     "value)\n");
    }
    if (!bad.empty()) {
        fprintf(out, "  changes not closer to the true value (the %zu with the largest new E):\n", bad.size());
        for (const Change &c : bad)
            print_change(out, c);
    }
    if (!outside.empty()) {
        fprintf(out, "  changes outside the named regions (first %zu):\n", outside.size());
        for (const Change &c : outside)
            print_change(out, c);
    }
    if (!least.empty()) {
        fprintf(out, "  closer changes that improved least:\n");
        for (const Change &c : least)
            print_change(out, c);
    }
    return (int)std::min<long>(not_closer, 1L << 30);
}
