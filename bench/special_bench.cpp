// GAMMA, BESSEL and WEBER through the sheet-function entry points, beside the
// C library's tgamma, jn and yn on the same arguments. The library is loaded
// at run time, so the C library's functions of the same names stay reachable.
#include "bench_library.h"

#include <benchmark/benchmark.h>
#include <math.h>

#include <random>
#include <string>
#include <vector>

namespace {

typedef void (*Sheet1)(double *, const double *);
typedef void (*Sheet2)(double *, const double *, const double *);

std::vector<double> uniform(double lo, double hi, unsigned seed)
{
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> u(lo, hi);
    std::vector<double> v(1024);
    for (double &x : v)
        x = u(gen);
    return v;
}

// Γ over most of its finite range, negative non-integers included.
const std::vector<double> &gamma_arguments()
{
    static std::vector<double> v = uniform(-20, 170, 1);
    return v;
}

// Bessel arguments on both sides of the kernels' branch point 8.
const std::vector<double> &bessel_arguments()
{
    static std::vector<double> v = uniform(0.1, 30, 2);
    return v;
}

void quorel_gamma(benchmark::State &state)
{
    Sheet1 f = (Sheet1)library_symbol("QR_gamma");
    const std::vector<double> &xs = gamma_arguments();
    for (auto _ : state)
        for (double x : xs) {
            double r;
            f(&r, &x);
            benchmark::DoNotOptimize(r);
        }
    state.SetItemsProcessed(state.iterations() * xs.size());
}

void glibc_gamma(benchmark::State &state)
{
    const std::vector<double> &xs = gamma_arguments();
    for (auto _ : state)
        for (double x : xs)
            benchmark::DoNotOptimize(tgamma(x));
    state.SetItemsProcessed(state.iterations() * xs.size());
}

void quorel_sheet2(benchmark::State &state, const char *name, const std::vector<double> &xs)
{
    Sheet2 f = (Sheet2)library_symbol(name);
    double n = (double)state.range(0);
    for (auto _ : state)
        for (double x : xs) {
            double r;
            f(&r, &x, &n);
            benchmark::DoNotOptimize(r);
        }
    state.SetItemsProcessed(state.iterations() * xs.size());
}

void quorel_bessel(benchmark::State &state) { quorel_sheet2(state, "QR_bessel", bessel_arguments()); }
void quorel_weber(benchmark::State &state) { quorel_sheet2(state, "QR_weber", bessel_arguments()); }

void glibc_jn(benchmark::State &state)
{
    const std::vector<double> &xs = bessel_arguments();
    int n = (int)state.range(0);
    for (auto _ : state)
        for (double x : xs)
            benchmark::DoNotOptimize(jn(n, x));
    state.SetItemsProcessed(state.iterations() * xs.size());
}

void glibc_yn(benchmark::State &state)
{
    const std::vector<double> &xs = bessel_arguments();
    int n = (int)state.range(0);
    for (auto _ : state)
        for (double x : xs)
            benchmark::DoNotOptimize(yn(n, x));
    state.SetItemsProcessed(state.iterations() * xs.size());
}

// Large orders at a small argument: Jn far below and Yn far beyond the double
// range. Both must return within microseconds.
const std::vector<double> &small_arguments()
{
    static std::vector<double> v = uniform(0.5, 3, 3);
    return v;
}

void quorel_bessel_large(benchmark::State &state) { quorel_sheet2(state, "QR_bessel", small_arguments()); }
void quorel_weber_large(benchmark::State &state) { quorel_sheet2(state, "QR_weber", small_arguments()); }

void glibc_jn_large(benchmark::State &state)
{
    const std::vector<double> &xs = small_arguments();
    int n = (int)state.range(0);
    for (auto _ : state)
        for (double x : xs)
            benchmark::DoNotOptimize(jn(n, x));
    state.SetItemsProcessed(state.iterations() * xs.size());
}

void glibc_yn_large(benchmark::State &state)
{
    const std::vector<double> &xs = small_arguments();
    int n = (int)state.range(0);
    for (auto _ : state)
        for (double x : xs)
            benchmark::DoNotOptimize(yn(n, x));
    state.SetItemsProcessed(state.iterations() * xs.size());
}

// The slowest calls of the recurrences (about 10 ns a unit of order: seconds
// at the largest orders), now direct: each must stay far below 1 ms. Also
// the direct forms' own slowest paths: Olver's expansion at x = n, both exact
// reductions of the phase at x beyond 2^63.
struct LargeOrderCall {
    const char *name, *symbol;
    double x, n;
};

const LargeOrderCall large_order_calls[] = {
    {"BESSEL(999000; 1e6)", "QR_bessel", 999000, 1e6},
    {"BESSEL(1e300; 1e6)", "QR_bessel", 1e300, 1e6},
    {"BESSEL(1e8; 1e8)", "QR_bessel", 1e8, 1e8},
    {"BESSEL(1e15; 2147483647)", "QR_bessel", 1e15, 2147483647},
    {"BESSEL(2147483647; 2147483647)", "QR_bessel", 2147483647, 2147483647},
    {"BESSEL(1e19; 2147483647)", "QR_bessel", 1e19, 2147483647},
    {"WEBER(1e8; 1e8)", "QR_weber", 1e8, 1e8},
    {"WEBER(1e15; 2147483647)", "QR_weber", 1e15, 2147483647},
    {"WEBER(1e9; 2147483647)", "QR_weber", 1e9, 2147483647},
    {"WEBER(5e7; 1e8)", "QR_weber", 5e7, 1e8},
};

void large_order(benchmark::State &state, const LargeOrderCall *c)
{
    Sheet2 f = (Sheet2)library_symbol(c->symbol);
    for (auto _ : state) {
        double r;
        f(&r, &c->x, &c->n);
        benchmark::DoNotOptimize(r);
    }
}

int register_large_orders()
{
    for (const LargeOrderCall &c : large_order_calls)
        benchmark::RegisterBenchmark((std::string("large_order/") + c.name).c_str(), large_order, &c);
    return 0;
}
const int large_orders_registered = register_large_orders();

} // namespace

BENCHMARK(quorel_gamma);
BENCHMARK(glibc_gamma);
BENCHMARK(quorel_bessel)->Arg(0)->Arg(1)->Arg(5)->Arg(50);
BENCHMARK(glibc_jn)->Arg(0)->Arg(1)->Arg(5)->Arg(50);
BENCHMARK(quorel_weber)->Arg(0)->Arg(1)->Arg(5)->Arg(50);
BENCHMARK(glibc_yn)->Arg(0)->Arg(1)->Arg(5)->Arg(50);
BENCHMARK(quorel_bessel_large)->Arg(2000)->Arg(2000000000);
BENCHMARK(glibc_jn_large)->Arg(2000); // the C library runs all 2e9 steps
BENCHMARK(quorel_weber_large)->Arg(2000)->Arg(2000000000);
BENCHMARK(glibc_yn_large)->Arg(2000)->Arg(2000000000);
