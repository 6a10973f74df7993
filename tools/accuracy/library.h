// The library under test, loaded at run time. Its gamma, j0, ... share their
// names with libm's, so the tool never links it: each copy is opened with
// RTLD_LOCAL and its entries are taken by dlsym, which also lets two builds
// sit side by side in one process.
#ifndef ACCURACY_LIBRARY_H
#define ACCURACY_LIBRARY_H

#include <string>

// The kernels return this record by value (two doubles, real part first).
struct Cplx {
    double re, im;
};

typedef double (*RealFn)(double);
typedef double (*OrderFn)(int, double);
typedef Cplx (*ComplexFn)(double, double);
typedef Cplx (*Complex2Fn)(double, double, double, double);

struct Library {
    void *handle;
    std::string path;
    RealFn gamma;
    OrderFn jn, yn;
    ComplexFn unary[17]; // indexed like the unary kernels of functions.h
    Complex2Fn xpow, xlogy;
};

// False with a message when the file cannot be opened or lacks an entry.
bool load_library(const char *path, Library *lib, std::string *error);

#endif
