// The library as a threaded program links it. One fixed list of calls covers
// every exported routine and sheet function (those that the build exports:
// the Windows DLL has only the entry points and the sheet functions); a
// serial run gives each call's result bytes under each of eight
// floating-point modes. Then eight threads, one per mode, run the list round
// after round from different starting points, and every result must be the
// serial one bit for bit. After every call the thread's x87 control word and
// MXCSR must be what it set, and the int that lgamma wrote its sign into must
// still hold it when the thread comes back to it. Where the error record is
// exported, each thread resets funno before its calls, so that every failing
// call makes a first report, and the hook scrambles the floating-point
// environment that the report must give back.
//
// usage: threads_test LIBRARY [ROUNDS]
#include "host/platform.h"
#include "host/range_block.h"
#include "quorel.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

static unsigned short x87_cw()
{
    unsigned short cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}
static void set_x87_cw(unsigned short cw) { asm volatile("fldcw %0" : : "m"(cw)); }
static unsigned mxcsr()
{
    unsigned m;
    asm volatile("stmxcsr %0" : "=m"(m));
    return m;
}
static void set_mxcsr(unsigned m) { asm volatile("ldmxcsr %0" : : "m"(m)); }

// A thread's mode: x87 rounding and precision, SSE rounding, flush-to-zero
// and denormals-are-zero. Exception flags are the library's to set and clear.
struct Mode {
    unsigned short cw;
    unsigned mxcsr;
    const char *name;
};
static const Mode modes[8] = {
    {0x037F, 0x1F80, "nearest, 64 bits"},
    {0x0E7F, 0x7F80 | 0x8040, "toward zero, 53 bits, FTZ+DAZ"},
    {0x047F, 0x3F80, "down, 24 bits"},
    {0x0B7F, 0x5F80 | 0x8000, "up, 64 bits, FTZ"},
    {0x027F, 0x1F80, "nearest, 53 bits"},
    {0x0F7F, 0x7F80 | 0x0040, "toward zero, 64 bits, DAZ"},
    {0x067F, 0x3F80, "down, 53 bits"},
    {0x087F, 0x5F80 | 0x8040, "up, 24 bits, FTZ+DAZ"},
};
static void enter(const Mode &m)
{
    set_x87_cw(m.cw);
    set_mxcsr(m.mxcsr);
}
static bool in_mode(const Mode &m) { return x87_cw() == m.cw && (mxcsr() & ~0x3Fu) == (m.mxcsr & ~0x3Fu); }

struct Caller {
    int sign = 0, sign_seen = 0; // lgamma's sign cell, and what it held on return
};
struct Call {
    int routine; // index into routine_names
    std::function<std::string(Caller &)> run;
};

static std::vector<std::string> routine_names;
static std::vector<Call> calls;
static int32_t *funno;

template <typename T> static std::string bytes(const T &v, size_t n = sizeof(T))
{
    return std::string((const char *)&v, n);
}

static void add(const char *name, std::function<std::string(Caller &)> run)
{
    if (routine_names.empty() || routine_names.back() != name)
        routine_names.push_back(name);
    calls.push_back({(int)routine_names.size() - 1, run});
}

// Arguments: the fixed points of each range (Bessel and Weber beyond 8, gamma
// at and between negative integers, poles, overflow, zeros, NaN, infinities)
// and a random spread from a fixed seed.
static std::vector<double> numbers()
{
    std::vector<double> v = {0,    -0.0, 0.5,   1,     2.5,   4.5,   7.9,   8,     8.5,  9.75,  12.3,   17.2,
                             25.5, 33.3, 47.1,  60.25, -0.5,  -1.5,  -2,    -2.5,  -3.9, -9.75, -12.3,  -20.5,
                             -33.7, 171.5, 172, 1e-310, 3e-309, 1e300, -1e300, __builtin_nan(""), __builtin_inf(),
                             -__builtin_inf()};
    uint64_t s = 0x2545F4914F6CDD1Dull;
    for (int i = 0; i < 40; i++) {
        s ^= s << 13, s ^= s >> 7, s ^= s << 17;
        v.push_back(-60 + 120 * (double)(s >> 11) * 0x1p-53);
    }
    return v;
}
// Second numbers: orders and counts of decimals. (An order from a huge or
// NaN number is about 2^31, which takes 2^31 steps at an argument beyond it.)
static const double seconds[] = {0, 1, 2, 2.9, -2.9, 3, 5, 7.5, 10, 24, -7, 60, -0.0, 172, 0.5, 15, -40};
enum { SECOND_COUNT = sizeof seconds / sizeof seconds[0] };
static const char *const texts[] = {"1+2i", "3-i", "-0.5+0.25i", "1e3-7i", "i", "0", "-4", "0.75i",
                                    "12.5+8.25i", "1e308+1e308i", "abc", "MCMXCIV", "xlii", "MMXXIV"};
enum { TEXT_COUNT = sizeof texts / sizeof texts[0] };

static Bytes column(std::vector<double> v, int columns = 1)
{
    Bytes b;
    unsigned rows = (unsigned)v.size() / columns;
    put_header(&b, 1, 1, columns, rows, 0, (unsigned)v.size());
    for (unsigned i = 0; i < v.size(); i++)
        put_double_entry(&b, 1 + i % columns, 1 + i / columns, 0, 0, v[i]);
    return b;
}

static void *symbol(void *lib, const char *name, int *missing)
{
    void *p = library_symbol(lib, name);
    if (!p) {
        fprintf(stderr, "%s is not exported\n", name);
        ++*missing;
    }
    return p;
}

typedef void *P;
typedef void(QR_CALL *Sheet1)(P, P);
typedef void(QR_CALL *Sheet2)(P, P, P);
struct Cplx {
    double re, im;
};

#if !defined(_WIN32)
static std::string bytes(long double v) { return bytes(v, 10); } // no padding bytes

// A hook as hostile as it may be: another rounding mode and precision, flags.
static void scramble(void)
{
    set_x87_cw(0x0C60);
    set_mxcsr(0x6000 | 0x8040 | 0x3F);
}

// The math library of the Linux build, each routine over its arguments.
static int add_math_calls(void *lib, const std::vector<double> &xs)
{
    int missing = 0;
    typedef double (*Real)(double);
    for (const char *name : {"gamma", "j0", "j1", "y0", "y1"})
        if (Real f = (Real)symbol(lib, name, &missing))
            for (double x : xs)
                add(name, [=](Caller &) { return bytes(f(x)); });
    typedef double (*Order)(int, double);
    for (const char *name : {"jn", "yn"})
        if (Order f = (Order)symbol(lib, name, &missing))
            for (size_t i = 0; i < xs.size(); i++)
                for (int n : {2, 5, -7, 24})
                    add(name, [=](Caller &) { return bytes(f(n + (int)i % 3, xs[i])); });
    auto lgamma = (double (*)(double, int *))symbol(lib, "lgamma", &missing);
    if (lgamma)
        for (double x : xs)
            add("lgamma", [=](Caller &c) {
                c.sign = 99;
                std::string r = bytes(lgamma(x, &c.sign)) + bytes(c.sign);
                c.sign_seen = c.sign;
                return r;
            });
    typedef Cplx (*Unary)(double, double);
    typedef Cplx (*Binary)(double, double, double, double);
    for (const char *name : {"xexp", "xpow10", "xlog", "xlog10", "xsqrt", "xsin", "xcos", "xtan", "xsinh", "xcosh",
                             "xtanh", "xasin", "xacos", "xatan", "xasinh", "xacosh", "xatanh"})
        if (Unary f = (Unary)symbol(lib, name, &missing))
            for (size_t i = 0; i < 24; i++)
                add(name, [=](Caller &) { return bytes(f(xs[i], xs[(i * 7 + 3) % xs.size()])); });
    for (const char *name : {"xlogy", "xpow"})
        if (Binary f = (Binary)symbol(lib, name, &missing))
            for (size_t i = 0; i < 24; i++)
                add(name, [=](Caller &) { return bytes(f(xs[i], xs[i + 1], xs[i + 2], xs[(i * 5) % xs.size()])); });
    static const double ys[] = {1, 4, 9, 16, 25, 0, 1, 0, -1, 0, 3, 3, 3, 3, 3};
    typedef long double (*Ip)(double, const double *);
    typedef long double (*Extremum)(const double *);
    for (const char *name : {"ip3_func", "ip3_root", "ip4_func", "ip4_root", "ip5_func", "ip5_root"})
        if (Ip f = (Ip)symbol(lib, name, &missing))
            for (size_t i = 0; i < 12; i++)
                add(name, [=](Caller &) { return bytes(f(xs[i], ys + i % 10)); });
    for (const char *name : {"ip3_extr", "ip4_extr", "ip5_extr"})
        if (Extremum f = (Extremum)symbol(lib, name, &missing))
            for (size_t i = 0; i < 10; i++)
                add(name, [=](Caller &) { return bytes(f(ys + i)); });
    static const double points[] = {0, 1, 1, 3, 2, 2, 4, -1, 7, 5, 7.5, 0};
    auto lagrange = (long double (*)(double, int, const double *))symbol(lib, "lagrange", &missing);
    if (lagrange)
        for (size_t i = 0; i < 12; i++)
            add("lagrange", [=](Caller &) { return bytes(lagrange(xs[i], 1 + (int)i % 6, points)); });
    auto fltoie = (char *(*)(long double, char *))symbol(lib, "fltoie", &missing);
    if (fltoie)
        for (size_t i = 0; i < 12; i++)
            add("fltoie", [=](Caller &) {
                char out[64] = {};
                fltoie((long double)xs[i] / 3, out);
                return std::string(out, sizeof out);
            });
    auto roman = (int (*)(const char *))symbol(lib, "roman", &missing);
    if (roman)
        for (const char *t : texts)
            add("roman", [=](Caller &) { return bytes(roman(t)); });
    auto isodd = (int (*)(double))symbol(lib, "_isodd", &missing);
    auto isfinit = (int (*)(double))symbol(lib, "_isfinit", &missing);
    if (isodd && isfinit)
        for (double x : xs)
            add("_isodd, _isfinit", [=](Caller &) { return bytes(isodd(x)) + bytes(isfinit(x)); });
    auto matherr = (void (*)(int, int))symbol(lib, "__matherr", &missing);
    if (matherr)
        for (int flags : {0x01, 0x04, 0x08, 0x09, 0x40})
            add("__matherr", [=](Caller &) {
                matherr(flags, 0x2004);
                return std::string();
            });
    auto QR_word = (void(QR_CALL *)(char *, const double *))symbol(lib, "QR_word", &missing);
    if (QR_word)
        for (size_t i = 0; i < 12; i++)
            add("QR_word", [=](Caller &) {
                char out[QR_TEXT_SIZE];
                memset(out, 0x5A, sizeof out);
                QR_word(out, &xs[i]);
                return std::string(out, sizeof out);
            });
    return missing;
}
#endif

// The entry points and the 40 sheet functions, driven by the catalogue: each
// function over sixteen argument combinations of its parameter types, or
// sixty-four for GAMMA, BESSEL, WEBER, EURO and IEEE (numbers only; on Windows
// the only way to gamma and the Bessel kernels).
static int add_sheet_calls(void *lib, const std::vector<double> &xs, const std::vector<Bytes> &tables,
                           const std::vector<Bytes> &cells)
{
    int missing = 0;
    auto data = (decltype(&GetFunctionData))symbol(lib, "GetFunctionData", &missing);
    auto describe = (decltype(&GetParameterDescription))symbol(lib, "GetParameterDescription", &missing);
    if (!data || !describe)
        return missing;
    for (uint16_t index = 0; index < QR_FUNCTION_COUNT; index++) {
        char name[QR_TEXT_SIZE] = {}, display[QR_TEXT_SIZE];
        int32_t types[8] = {};
        uint16_t count = 0;
        data(&index, name, &count, types, display);
        add("GetFunctionData", [=](Caller &) {
            char n[QR_TEXT_SIZE], d[QR_TEXT_SIZE];
            int32_t t[8] = {};
            uint16_t c = 0;
            data(&index, n, &c, t, d);
            return std::string(n, strlen(n)) + d + bytes(c) + bytes(t);
        });
        for (uint16_t param = 0; param + 1 < count; param++)
            add("GetParameterDescription", [=](Caller &) {
                char n[QR_TEXT_SIZE], d[QR_TEXT_SIZE];
                describe(&index, &param, n, d);
                return std::string(n) + "\n" + d;
            });
        void *f = symbol(lib, name, &missing);
        if (!f)
            continue;
        int result_type = types[0];
        std::vector<int> params(types + 1, types + count);
        routine_names.push_back(name);
        int routine = (int)routine_names.size() - 1;
        bool numbers_only = true;
        for (int type : params)
            numbers_only = numbers_only && type == QR_ARG_NUMBER;
        for (size_t k = 0; k < (numbers_only ? 64u : 16u); k++) {
            // Argument j of combination k; numbers and texts pair up
            // differently in each combination.
            auto argument = [&, k](size_t j) -> const void * {
                size_t i = k * (j ? 5 : 1) + 3 * j;
                switch (params[j]) {
                case QR_ARG_NUMBER: return j ? &seconds[i % SECOND_COUNT] : &xs[(i * 13) % xs.size()];
                case QR_ARG_STRING: return texts[i % TEXT_COUNT];
                case QR_ARG_DOUBLE_ARRAY: return tables[i % tables.size()].data();
                default: return cells[i % cells.size()].data();
                }
            };
            const void *a = argument(0), *b = params.size() > 1 ? argument(1) : nullptr;
            calls.push_back({routine, [=](Caller &) {
                                 char out[QR_TEXT_SIZE];
                                 memset(out, 0x5A, sizeof out);
                                 if (b)
                                     ((Sheet2)f)(out, (P)a, (P)b);
                                 else
                                     ((Sheet1)f)(out, (P)a);
                                 return std::string(out, result_type == QR_ARG_NUMBER ? sizeof(double) : sizeof out);
                             }});
        }
    }
    return missing;
}

struct Tally {
    long calls = 0, wrong = 0, mode_lost = 0, sign_overwritten = 0;
    std::vector<long> wrong_by_routine;
    std::string first_wrong;
};

static void run_thread(const Mode &mode, const std::vector<std::string> &expected, size_t start, int rounds,
                       Tally *tally)
{
    Caller caller;
    tally->wrong_by_routine.assign(routine_names.size(), 0);
    enter(mode);
    for (int round = 0; round < rounds; round++)
        for (size_t n = 0; n < calls.size(); n++) {
            size_t i = (start + n) % calls.size();
            if (funno && __atomic_load_n(funno, __ATOMIC_RELAXED))
                __atomic_store_n(funno, 0, __ATOMIC_RELAXED);
            if (caller.sign != caller.sign_seen) {
                tally->sign_overwritten++;
                caller.sign_seen = caller.sign;
            }
            std::string got = calls[i].run(caller);
            tally->calls++;
            if (!in_mode(mode)) {
                tally->mode_lost++;
                enter(mode);
            }
            if (got != expected[i]) {
                tally->wrong++;
                tally->wrong_by_routine[calls[i].routine]++;
                if (tally->first_wrong.empty() && got.size() == sizeof(double)) {
                    double g, e;
                    memcpy(&g, got.data(), sizeof g);
                    memcpy(&e, expected[i].data(), sizeof e);
                    char line[160];
                    snprintf(line, sizeof line, "call %zu (%s): %.17g instead of %.17g", i,
                             routine_names[calls[i].routine].c_str(), g, e);
                    tally->first_wrong = line;
                }
            }
        }
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: threads_test LIBRARY [ROUNDS]\n");
        return 2;
    }
    int rounds = argc > 2 ? atoi(argv[2]) : 16;
    std::string error;
    void *lib = library_load(argv[1], &error);
    if (!lib) {
        fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    // Process-wide settings, made once before any thread runs: the numeric
    // locale (GetFunctionCount) and the language.
    uint16_t count = 0, english = QR_LANGUAGE_ENGLISH;
    ((decltype(&GetFunctionCount))library_symbol(lib, "GetFunctionCount"))(&count);
    ((decltype(&SetLanguage))library_symbol(lib, "SetLanguage"))(&english);

    std::vector<double> xs = numbers();
    std::vector<Bytes> tables = {column({1, 4, 9}),          column({1, 8, 27, 64}), column({0, 1, 0, -1, 0}),
                                 column({2, 3, 5, 7, 11}, 5), column({0, 1, 1, 3, 2, 2, 4, -1}, 2),
                                 column({3, 1, 4, 1, 5, 9, 2, 6}, 4)};
    std::vector<Bytes> cells(3);
    put_header(&cells[0], 1, 1, 1, 3, 0, 3);
    put_text_cell(&cells[0], 1, 1, 0, "1+2i", LAYOUT_PADDED);
    put_number_cell(&cells[0], 1, 2, 0, 0, 3.25);
    put_text_cell(&cells[0], 1, 3, 0, "-i", LAYOUT_PADDED);
    put_header(&cells[1], 1, 1, 1, 2, 0, 2);
    put_number_cell(&cells[1], 1, 1, 0, 0, 1e308);
    put_number_cell(&cells[1], 1, 2, 0, 0, 1e308);
    put_header(&cells[2], 1, 1, 1, 1, 0, 1);
    put_text_cell(&cells[2], 1, 1, 0, "abc", LAYOUT_PADDED);

    int missing = add_sheet_calls(lib, xs, tables, cells);
#if !defined(_WIN32)
    missing += add_math_calls(lib, xs);
    // The record and the hook are the Linux build's exports.
    funno = (int32_t *)library_symbol(lib, "funno");
    if (void (**onerr)(void) = (void (**)(void))library_symbol(lib, "onerr"))
        *onerr = scramble;
#endif
    if (missing)
        return 1;

    unsigned short cw0 = x87_cw();
    unsigned mxcsr0 = mxcsr();
    std::vector<std::string> expected[8];
    long serial_mode_lost = 0;
    for (int t = 0; t < 8; t++) {
        Caller caller;
        enter(modes[t]);
        for (Call &c : calls) {
            if (funno)
                *funno = 0;
            expected[t].push_back(c.run(caller));
            if (!in_mode(modes[t])) {
                serial_mode_lost++;
                enter(modes[t]);
            }
        }
    }
    set_x87_cw(cw0);
    set_mxcsr(mxcsr0);

    Tally tally[8];
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; t++)
        threads.emplace_back(run_thread, std::cref(modes[t]), std::cref(expected[t]), t * calls.size() / 8, rounds,
                             &tally[t]);
    for (std::thread &t : threads)
        t.join();

    Tally all;
    all.wrong_by_routine.assign(routine_names.size(), 0);
    for (int t = 0; t < 8; t++) {
        all.calls += tally[t].calls;
        all.wrong += tally[t].wrong;
        all.mode_lost += tally[t].mode_lost;
        all.sign_overwritten += tally[t].sign_overwritten;
        for (size_t r = 0; r < routine_names.size(); r++)
            all.wrong_by_routine[r] += tally[t].wrong_by_routine[r];
        if (!tally[t].first_wrong.empty())
            printf("thread %d (%s): %s\n", t, modes[t].name, tally[t].first_wrong.c_str());
    }
    for (size_t r = 0; r < routine_names.size(); r++)
        if (all.wrong_by_routine[r])
            printf("  %-24s %ld wrong\n", routine_names[r].c_str(), all.wrong_by_routine[r]);
    printf("%zu calls in the list, 8 threads x %d rounds: %ld calls, %ld wrong results, %ld with the mode lost, "
           "%ld signs overwritten after lgamma returned; serial run: %ld with the mode lost\n",
           calls.size(), rounds, all.calls, all.wrong, all.mode_lost, all.sign_overwritten, serial_mode_lost);
    return all.wrong || all.mode_lost || all.sign_overwritten || serial_mode_lost ? 1 : 0;
}
