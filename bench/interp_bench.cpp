// IPOLVALUE, IPOLINVERSE, POLYNOMIAL and LAGRANGE through the sheet-function
// entry points, on DoubleArray blocks laid out as a host writes them.
#include "bench_library.h"
#include "host/range_block.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

struct DoubleArray;
typedef void (*SheetTable)(double *, const double *, const DoubleArray *);

// cols x rows cells from (0, 0), in row order (on sheet 2).
Bytes block(unsigned cols, unsigned rows, const std::vector<double> &cells)
{
    Bytes b;
    put_header(&b, 0, 0, cols - 1, rows - 1, 2, (unsigned)cells.size());
    for (size_t i = 0; i < cells.size(); i++)
        put_double_entry(&b, (unsigned)(i % cols), (unsigned)(i / cols), 2, 0, cells[i]);
    return b;
}

void run(benchmark::State &state, const char *name, double x, const Bytes &b)
{
    SheetTable f = (SheetTable)library_symbol(name);
    const DoubleArray *t = (const DoubleArray *)b.data();
    double r = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        f(&r, &x, t);
        benchmark::DoNotOptimize(r);
    }
}

void ipolvalue_3(benchmark::State &state) { run(state, "QR_ipfunc", 0.5, block(1, 3, {2, 3.5, 7.25})); }
void ipolvalue_5(benchmark::State &state) { run(state, "QR_ipfunc", 0.5, block(1, 5, {3, 1, -1, 2, 6})); }
// Seven Newton steps from t = 5.
void ipolinverse_3(benchmark::State &state) { run(state, "QR_iproot", 5, block(1, 3, {2, 3.5, 7.25})); }
// Nine steps short of a value that the polynomial never takes: then the
// search for all its real zeros, and the report.
void ipolinverse_3_exhausted(benchmark::State &state) { run(state, "QR_iproot", 0, block(1, 3, {2, 3.5, 7.25})); }
// A table in microvolts: Newton from t = 10000 runs out, the quartic's zeros
// give the answer.
void ipolinverse_5_mended(benchmark::State &state)
{
    run(state, "QR_iproot", 10000, block(1, 5, {0, 4096, 8138, 12209, 16397}));
}

void polynomial(benchmark::State &state)
{
    std::vector<double> c((size_t)state.range(0));
    for (size_t k = 0; k < c.size(); k++)
        c[k] = 1.0 / (double)(k + 1);
    run(state, "QR_poly", 0.999, block(1, (unsigned)c.size(), c));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Points (i, 1 + i/n) at unit spacing, evaluated between the two middle
// points. From 172 points on the weights' double products overflow.
void lagrange_unit(benchmark::State &state)
{
    int n = (int)state.range(0);
    std::vector<double> cells(2 * (size_t)n);
    for (int i = 0; i < n; i++) {
        cells[2 * i] = i;
        cells[2 * i + 1] = 1.0 + (double)i / n;
    }
    run(state, "QR_lagrange", n / 2 - 0.5, block(2, (unsigned)n, cells));
    state.SetComplexityN(n);
}

// Points spread evenly over [0, 1]; from 424 points the double products
// underflow, but only after many factors, so the rounded pass runs longer
// before a weight is handed to the scaled one than at unit spacing.
void lagrange_01(benchmark::State &state)
{
    int n = (int)state.range(0);
    std::vector<double> cells(2 * (size_t)n);
    for (int i = 0; i < n; i++) {
        cells[2 * i] = (double)i / (n - 1);
        cells[2 * i + 1] = 3.0;
    }
    run(state, "QR_lagrange", 0.5 + 0.5 / (n - 1), block(2, (unsigned)n, cells));
    state.SetComplexityN(n);
}

} // namespace

BENCHMARK(ipolvalue_3);
BENCHMARK(ipolvalue_5);
BENCHMARK(ipolinverse_3);
BENCHMARK(ipolinverse_3_exhausted);
BENCHMARK(ipolinverse_5_mended);
BENCHMARK(polynomial)->Arg(1000);
BENCHMARK(lagrange_unit)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(
    benchmark::oNSquared);
BENCHMARK(lagrange_01)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(
    benchmark::oNSquared);
