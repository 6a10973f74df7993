// quorel-accuracy: measures GAMMA, BESSEL, WEBER and the complex kernels of a
// build of the library against MPFR/MPC, or compares two builds.
//
//   quorel-accuracy sweep LIB [--samples N] [--seed S] [--only NAME]
//                             [--markdown TEMPLATE OUT] [--plots DIR] [--label TEXT]
//   quorel-accuracy check LIB [--samples N] [--known FILE]
//   quorel-accuracy diff OLD NEW [--samples N] [--seed S] [--only NAME]
//   quorel-accuracy at LIB NAME ARG...
#include <mpfr.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "diff.h"
#include "report.h"
#include "sweep.h"

static const char usage[] =
    "usage: quorel-accuracy sweep LIB [--samples N] [--seed S] [--only NAME]\n"
    "                             [--markdown TEMPLATE OUT] [--plots DIR] [--label TEXT]\n"
    "       quorel-accuracy check LIB [--samples N] [--seed S] [--known FILE]\n"
    "       quorel-accuracy diff OLD NEW [--samples N] [--seed S] [--only NAME]\n"
    "       quorel-accuracy at LIB NAME ARG...\n"
    "\n"
    "sweep  samples every function over its whole range and the regions where the\n"
    "       usual steps lose accuracy (N per region, default 20000) and prints\n"
    "       per region the worst and median E, the worst E against its bound\n"
    "       max(1e-12, kappa 1e-15), the samples over it and hard-rule\n"
    "       violations; --markdown fills the report template, --plots writes the\n"
    "       data of the plots.\n"
    "check  a reduced sweep (N per region, default 1000); exit status 1 when a\n"
    "       sample breaks the target. With --known, the regions listed in FILE\n"
    "       (one key such as xtan/poles a line) are expected to fail: the check\n"
    "       fails when another region fails or a listed one no longer does.\n"
    "diff   evaluates both builds on N inputs per function (default 1000000)\n"
    "       over the same regions and reports every changed result: closer to\n"
    "       the true value or not, binned by region; exit status 1 when a change\n"
    "       is not closer.\n"
    "at     one input: the result, the true value, E, kappa and the verdict.\n"
    "       ARG: x for gamma; n x for jn and yn; x y for a complex kernel;\n"
    "       x1 y1 x2 y2 for xpow and xlogy (decimal or hexadecimal floats).\n"
    "NAME is a kernel name (gamma, jn, yn, xexp ... xlogy).\n";

struct Options {
    std::vector<std::string> args;
    long samples = -1;
    uint64_t seed = 1;
    std::string only, known, markdown_template, markdown_out, plots, label;
};

static bool parse(int argc, char **argv, Options *o)
{
    for (int i = 2; i < argc; i++) {
        std::string a = argv[i];
        auto value = [&](std::string *out) {
            if (i + 1 >= argc)
                return false;
            *out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--samples") {
            if (!value(&v))
                return false;
            o->samples = std::atol(v.c_str());
        } else if (a == "--seed") {
            if (!value(&v))
                return false;
            o->seed = std::strtoull(v.c_str(), nullptr, 0);
        } else if (a == "--only") {
            if (!value(&o->only))
                return false;
        } else if (a == "--known") {
            if (!value(&o->known))
                return false;
        } else if (a == "--markdown") {
            if (!value(&o->markdown_template) || !value(&o->markdown_out))
                return false;
        } else if (a == "--plots") {
            if (!value(&o->plots))
                return false;
        } else if (a == "--label") {
            if (!value(&o->label))
                return false;
        } else if (a.size() > 1 && a[0] == '-') {
            fprintf(stderr, "quorel-accuracy: unknown option %s\n", a.c_str());
            return false;
        } else {
            o->args.push_back(a);
        }
    }
    return true;
}

static bool selected(const Options &o, Func f) { return o.only.empty() || o.only == func_info[f].name; }

static bool load(const std::string &path, Library *lib)
{
    std::string error;
    if (load_library(path.c_str(), lib, &error))
        return true;
    fprintf(stderr, "quorel-accuracy: %s: %s\n", path.c_str(), error.c_str());
    return false;
}

static std::vector<Stats> run_all(const Library &lib, const Options &o, long per_region)
{
    std::vector<Stats> all;
    for (int i = 0; i < region_count; i++) {
        if (!selected(o, regions[i].f))
            continue;
        Stats s;
        run_region(lib, regions[i], samples_in(regions[i], per_region, false), o.seed, &s);
        all.push_back(std::move(s));
    }
    return all;
}

static int sweep(const Options &o)
{
    Library lib;
    if (!load(o.args[0], &lib))
        return 2;
    long n = o.samples > 0 ? o.samples : 20000;
    auto start = std::chrono::steady_clock::now();
    std::vector<Stats> all = run_all(lib, o, n);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    print_table(stdout, all);
    fprintf(stdout, "\n%.0f s\n", seconds);
    if (!o.plots.empty() && !write_plot_data(lib, o.plots))
        return 2;
    if (!o.markdown_template.empty()) {
        ReportInfo info{o.label, n, o.seed};
        if (!write_markdown(o.markdown_template, o.markdown_out, all, info))
            return 2;
    }
    return 0;
}

static int check(const Options &o)
{
    Library lib;
    if (!load(o.args[0], &lib))
        return 2;
    std::set<std::string> known;
    if (!o.known.empty()) {
        std::ifstream in(o.known);
        if (!in) {
            fprintf(stderr, "quorel-accuracy: cannot read %s\n", o.known.c_str());
            return 2;
        }
        std::string line;
        while (std::getline(in, line)) {
            line.erase(0, line.find_first_not_of(" \t"));
            line.erase(line.find_last_not_of(" \t\r") + 1);
            if (!line.empty() && line[0] != '#')
                known.insert(line);
        }
    }
    std::vector<Stats> all = run_all(lib, o, o.samples > 0 ? o.samples : 1000);
    int unexpected = 0, expected = 0, mended = 0;
    long samples = 0;
    for (const Stats &s : all) {
        samples += s.samples;
        std::string key = region_key(*s.region);
        bool listed = known.count(key) > 0;
        if (s.fails()) {
            const Example &w = s.hard ? s.first_hard : s.worst_ratio;
            char at[256];
            format_input(w.in, at, sizeof at);
            printf("%s %s: %ld over the bound, %ld hard; worst E/bound %.3g at %s\n",
                   listed ? "known failure" : "FAIL", key.c_str(), s.over, s.hard, s.worst_ratio.ratio, at);
            if (s.hard)
                printf("    %s\n", s.hard_rule);
            listed ? expected++ : unexpected++;
        } else if (listed) {
            printf("FAIL %s: listed as a known failure but meets the target now; remove it from %s\n", key.c_str(),
                   o.known.c_str());
            mended++;
        }
    }
    printf("accuracy check: %zu regions, %ld samples, %d failing unexpectedly, %d known failures, %d listed but "
           "mended\n",
           all.size(), samples, unexpected, expected, mended);
    return unexpected || mended ? 1 : 0;
}

static int differential(const Options &o)
{
    Library old_lib, new_lib;
    if (!load(o.args[0], &old_lib) || !load(o.args[1], &new_lib))
        return 2;
    long n = o.samples > 0 ? o.samples : 1000000;
    int failures = 0;
    for (int f = 0; f < F_COUNT; f++)
        if (selected(o, (Func)f))
            failures += diff_function(old_lib, new_lib, (Func)f, n, o.seed, stdout);
    printf("\ndifferential: %d changes not closer to the true value\n", failures);
    return failures ? 1 : 0;
}

static int at(int argc, char **argv)
{
    Library lib;
    if (argc < 4 || !load(argv[2], &lib))
        return 2;
    int f = 0;
    while (f < F_COUNT && strcmp(argv[3], func_info[f].name))
        f++;
    if (f == F_COUNT) {
        fprintf(stderr, "quorel-accuracy: unknown function %s\n", argv[3]);
        return 2;
    }
    Kind kind = func_info[f].kind;
    int want = kind == K_REAL ? 1 : kind == K_COMPLEX2 ? 4 : 2;
    if (argc - 4 != want) {
        fputs(usage, stderr);
        return 2;
    }
    Input in{(Func)f, 0, {0, 0, 0, 0}};
    if (kind == K_ORDER) {
        in.n = atoi(argv[4]);
        in.a[0] = strtod(argv[5], nullptr);
    } else {
        for (int i = 0; i < want; i++)
            in.a[i] = strtod(argv[4 + i], nullptr);
    }
    Truth t, other;
    truth_init(&t);
    truth_init(&other);
    Value got = evaluate(lib, in);
    Verdict v = judge_input(in, got, &t, &other);
    char text[256];
    format_input(in, text, sizeof text);
    printf("%s\n", text);
    if (is_complex(in.f))
        mpfr_printf("  got  %.17g%+.17gi\n  true %.17Rg%+.17Rgi\n", got.re, got.im, t.re, t.im);
    else
        mpfr_printf("  got  %.17g\n  true %.17Rg\n", got.re, t.re);
    static const char *outcome[] = {"meets the target", "over the bound", "hard rule broken"};
    printf("  E %.3g  kappa %.3g  bound %.3g  E/bound %.3g  %s%s%s\n", v.e, t.kappa, v.bound, v.ratio,
           outcome[v.outcome], v.hard ? ": " : "", v.hard ? v.hard : "");
    if (v.e_s >= 0)
        printf("  the part that carries S: E %.3g  kappa %.3g  bound %.3g\n", v.e_s, t.kappa_s, v.bound_s);
    if (t.plain)
        printf("  a huge argument, reduced exactly: the plain target%s\n",
               in.f == F_XPOW10 || in.f == F_XPOW ? ", at the angle as the kernel forms it" : "");
    truth_clear(&t);
    truth_clear(&other);
    return v.outcome == O_OVER || v.outcome == O_HARD ? 1 : 0;
}

int main(int argc, char **argv)
{
    if (argc < 2 || !strcmp(argv[1], "--help") || !strcmp(argv[1], "-h")) {
        fputs(usage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    Options o;
    std::string mode = argv[1];
    if (mode == "at") {
        reference_setup();
        return at(argc, argv);
    }
    size_t libs = mode == "diff" ? 2 : 1;
    if ((mode != "sweep" && mode != "check" && mode != "diff") || !parse(argc, argv, &o) || o.args.size() != libs) {
        fputs(usage, stderr);
        return 2;
    }
    reference_setup();
    regions_setup();
    if (mode == "sweep")
        return sweep(o);
    if (mode == "check")
        return check(o);
    return differential(o);
}
