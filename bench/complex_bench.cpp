// Complex kernels beside the C++ library's std::complex<double> functions on
// the same arguments, and whole sheet calls (parse, compute, format). The
// library is loaded at run time, so the C library's own functions stay
// reachable in the same process.
#include "bench_library.h"
#include "host/range_block.h"

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

// Sheet calls as a host makes them on earlier complex results: every operand
// text has two parts of 15 significant digits, |re|, |im| < 2 ("d.ddd...",
// "0.ddd..." or "-..."); 64 of them in turn.
const std::vector<std::string> &operand_texts()
{
    static std::vector<std::string> texts = [] {
        std::mt19937_64 gen(2718);
        auto part = [&gen](bool first) {
            // 15 digits, the last non-zero, below 2 in magnitude.
            std::string d;
            for (int i = 0; i < 15; i++)
                d += (char)('0' + gen() % 10);
            d[14] = (char)('1' + gen() % 9);
            bool small = gen() % 2;
            d[0] = small ? (char)('1' + gen() % 9) : '1';
            std::string t = gen() % 2 ? "-" : (first ? "" : "+");
            return t + (small ? "0." + d : d.substr(0, 1) + "." + d.substr(1));
        };
        std::vector<std::string> v;
        for (int i = 0; i < 64; i++)
            v.push_back(part(true) + part(false) + "i");
        return v;
    }();
    return texts;
}

void run_sheet1(benchmark::State &state, const char *name)
{
    Sheet1 f = (Sheet1)library_symbol(name);
    const std::vector<std::string> &t = operand_texts();
    char result[256];
    size_t i = 0;
    for (auto _ : state) {
        f(result, t[i++ & 63].c_str());
        benchmark::DoNotOptimize(result);
    }
}

void run_sheet2(benchmark::State &state, const char *name)
{
    Sheet2 f = (Sheet2)library_symbol(name);
    const std::vector<std::string> &t = operand_texts();
    char result[256];
    size_t i = 0;
    for (auto _ : state) {
        f(result, t[i & 63].c_str(), t[(i + 1) & 63].c_str());
        i++;
        benchmark::DoNotOptimize(result);
    }
}

void run_sheet_number(benchmark::State &state, const char *name)
{
    typedef void (*SheetNumber)(double *, const char *);
    SheetNumber f = (SheetNumber)library_symbol(name);
    const std::vector<std::string> &t = operand_texts();
    double result;
    size_t i = 0;
    for (auto _ : state) {
        f(&result, t[i++ & 63].c_str());
        benchmark::DoNotOptimize(result);
    }
}

// XSUM over a range of two text cells, laid out as hosts write them.
void run_sheet_sum(benchmark::State &state, const char *name)
{
    typedef void (*SheetRange)(char *, const void *);
    SheetRange f = (SheetRange)library_symbol(name);
    const std::vector<std::string> &t = operand_texts();
    std::vector<Bytes> blocks(64);
    for (size_t k = 0; k < 64; k++) {
        put_header(&blocks[k], 0, 0, 0, 1, 0, 2);
        for (unsigned row = 0; row < 2; row++)
            put_text_cell(&blocks[k], 0, row, 0, t[(k + row) & 63], LAYOUT_PADDED);
    }
    char result[256];
    size_t i = 0;
    for (auto _ : state) {
        f(result, blocks[i++ & 63].data());
        benchmark::DoNotOptimize(result);
    }
}

// What the text handling of XADD costs when done with the C library: two
// operands read with four strtod calls, the sum written with one snprintf.
void baseline_strtod_snprintf(benchmark::State &state)
{
    const std::vector<std::string> &t = operand_texts();
    char result[256];
    size_t i = 0;
    for (auto _ : state) {
        const char *a = t[i & 63].c_str();
        const char *b = t[(i + 1) & 63].c_str();
        i++;
        char *end;
        double a_re = strtod(a, &end);
        double a_im = strtod(end, &end);
        double b_re = strtod(b, &end);
        double b_im = strtod(end, &end);
        snprintf(result, sizeof result, "%.15G%+.15Gi", a_re + b_re, a_im + b_im);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(baseline_strtod_snprintf)->Name("baseline/strtod4+snprintf");

// The 29 complex sheet functions, named as the catalogue names them.
struct SheetRow {
    const char *display, *symbol;
    void (*run)(benchmark::State &, const char *);
};

const SheetRow sheet_rows[] = {
    {"REAL", "QR_xreal", run_sheet_number},       {"IMAG", "QR_ximag", run_sheet_number},
    {"ABSOLUTE", "QR_xabs", run_sheet_number},    {"ARGUMENT", "QR_xarg", run_sheet_number},
    {"CONJUGATE", "QR_xconj", run_sheet1},        {"XADD", "QR_xadd", run_sheet2},
    {"XSUB", "QR_xsub", run_sheet2},              {"XMUL", "QR_xmul", run_sheet2},
    {"XDIV", "QR_xdiv", run_sheet2},              {"XSQRT", "QR_xsqrt", run_sheet1},
    {"XPOWER", "QR_xpow", run_sheet2},            {"XEXP", "QR_xexp", run_sheet1},
    {"XPOW10", "QR_xpow10", run_sheet1},          {"XLOG", "QR_xlogy", run_sheet2},
    {"XLN", "QR_xlog", run_sheet1},               {"XLOG10", "QR_xlog10", run_sheet1},
    {"XSIN", "QR_xsin", run_sheet1},              {"XCOS", "QR_xcos", run_sheet1},
    {"XTAN", "QR_xtan", run_sheet1},              {"XSINHYP", "QR_xsinh", run_sheet1},
    {"XCOSHYP", "QR_xcosh", run_sheet1},          {"XTANHYP", "QR_xtanh", run_sheet1},
    {"XARCSIN", "QR_xasin", run_sheet1},          {"XARCCOS", "QR_xacos", run_sheet1},
    {"XARCTAN", "QR_xatan", run_sheet1},          {"XARCSINHYP", "QR_xasinh", run_sheet1},
    {"XARCCOSHYP", "QR_xacosh", run_sheet1},      {"XARCTANHYP", "QR_xatanh", run_sheet1},
    {"XSUM", "QR_xsum", run_sheet_sum},
};

int register_sheets()
{
    for (const SheetRow &r : sheet_rows)
        benchmark::RegisterBenchmark((std::string("sheet/") + r.display).c_str(), r.run, r.symbol);
    return 0;
}
const int sheets_registered = register_sheets();

} // namespace
