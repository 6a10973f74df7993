// Complex kernels beside the C++ library's std::complex<double> functions on
// the same arguments, and whole sheet calls (parse, compute, format). The
// library is loaded at run time, so the C library's own functions stay
// reachable in the same process.
#include "bench_library.h"

#include <benchmark/benchmark.h>

#include <complex>
#include <random>
#include <string>
#include <vector>

namespace {

struct Pair {
    double re, im;
};
typedef Pair (*Kernel1)(double, double);
typedef Pair (*Kernel2)(double, double, double, double);
typedef void (*Sheet1)(char *, const char *);
typedef void (*Sheet2)(char *, const char *, const char *);
typedef std::complex<double> cd;

// 1024 arguments in |re|, |im| < 2: inside every function's ordinary range.
const std::vector<cd> &arguments()
{
    static std::vector<cd> z = [] {
        std::mt19937_64 gen(12345);
        std::uniform_real_distribution<double> u(-2.0, 2.0);
        std::vector<cd> v(1024);
        for (cd &c : v)
            c = cd(u(gen), u(gen));
        return v;
    }();
    return z;
}

void run_kernel(benchmark::State &state, const char *name)
{
    Kernel1 k = (Kernel1)library_symbol(name);
    const std::vector<cd> &z = arguments();
    size_t i = 0;
    for (auto _ : state) {
        const cd &a = z[i++ & 1023];
        Pair r = k(a.real(), a.imag());
        benchmark::DoNotOptimize(r);
    }
}

void run_kernel2(benchmark::State &state, const char *name)
{
    Kernel2 k = (Kernel2)library_symbol(name);
    const std::vector<cd> &z = arguments();
    size_t i = 0;
    for (auto _ : state) {
        const cd &a = z[i & 1023];
        const cd &b = z[(i + 1) & 1023];
        i++;
        Pair r = k(a.real(), a.imag(), b.real(), b.imag());
        benchmark::DoNotOptimize(r);
    }
}

cd s_exp(const cd &z) { return std::exp(z); }
cd s_pow10(const cd &z) { return std::pow(10.0, z); }
cd s_log(const cd &z) { return std::log(z); }
cd s_log10(const cd &z) { return std::log10(z); }
cd s_sqrt(const cd &z) { return std::sqrt(z); }
cd s_sin(const cd &z) { return std::sin(z); }
cd s_cos(const cd &z) { return std::cos(z); }
cd s_tan(const cd &z) { return std::tan(z); }
cd s_sinh(const cd &z) { return std::sinh(z); }
cd s_cosh(const cd &z) { return std::cosh(z); }
cd s_tanh(const cd &z) { return std::tanh(z); }
cd s_asin(const cd &z) { return std::asin(z); }
cd s_acos(const cd &z) { return std::acos(z); }
cd s_atan(const cd &z) { return std::atan(z); }
cd s_asinh(const cd &z) { return std::asinh(z); }
cd s_acosh(const cd &z) { return std::acosh(z); }
cd s_atanh(const cd &z) { return std::atanh(z); }
cd s_logy(const cd &a, const cd &b) { return std::log(a) / std::log(b); }
cd s_pow(const cd &a, const cd &b) { return std::pow(a, b); }

struct Row {
    const char *kernel;
    cd (*std1)(const cd &);
    cd (*std2)(const cd &, const cd &);
};

void std_dispatch1(benchmark::State &state, cd (*f)(const cd &))
{
    const std::vector<cd> &z = arguments();
    size_t i = 0;
    for (auto _ : state) {
        cd r = f(z[i++ & 1023]);
        benchmark::DoNotOptimize(r);
    }
}

void std_dispatch2(benchmark::State &state, cd (*f)(const cd &, const cd &))
{
    const std::vector<cd> &z = arguments();
    size_t i = 0;
    for (auto _ : state) {
        cd r = f(z[i & 1023], z[(i + 1) & 1023]);
        i++;
        benchmark::DoNotOptimize(r);
    }
}

const Row rows[] = {
    {"xexp", s_exp, nullptr},     {"xpow10", s_pow10, nullptr}, {"xlog", s_log, nullptr},
    {"xlog10", s_log10, nullptr}, {"xlogy", nullptr, s_logy},   {"xpow", nullptr, s_pow},
    {"xsqrt", s_sqrt, nullptr},   {"xsin", s_sin, nullptr},     {"xcos", s_cos, nullptr},
    {"xtan", s_tan, nullptr},     {"xsinh", s_sinh, nullptr},   {"xcosh", s_cosh, nullptr},
    {"xtanh", s_tanh, nullptr},   {"xasin", s_asin, nullptr},   {"xacos", s_acos, nullptr},
    {"xatan", s_atan, nullptr},   {"xasinh", s_asinh, nullptr}, {"xacosh", s_acosh, nullptr},
    {"xatanh", s_atanh, nullptr},
};

// Both benchmarks of a kernel are registered side by side: quorel/NAME, std/NAME.
int register_all()
{
    for (const Row &r : rows) {
        std::string name = r.kernel;
        if (r.std1) {
            benchmark::RegisterBenchmark(("quorel/" + name).c_str(), run_kernel, r.kernel);
            benchmark::RegisterBenchmark(("std/" + name).c_str(), std_dispatch1, r.std1);
        } else {
            benchmark::RegisterBenchmark(("quorel/" + name).c_str(), run_kernel2, r.kernel);
            benchmark::RegisterBenchmark(("std/" + name).c_str(), std_dispatch2, r.std2);
        }
    }
    return 0;
}
const int registered = register_all();

void sheet_xadd(benchmark::State &state)
{
    Sheet2 f = (Sheet2)library_symbol("QR_xadd");
    char result[256];
    for (auto _ : state) {
        f(result, "1.25+2.5i", "3-0.75i");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(sheet_xadd)->Name("sheet/XADD");

void sheet_xsin(benchmark::State &state)
{
    Sheet1 f = (Sheet1)library_symbol("QR_xsin");
    char result[256];
    for (auto _ : state) {
        f(result, "0.5+0.25i");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(sheet_xsin)->Name("sheet/XSIN");

} // namespace
