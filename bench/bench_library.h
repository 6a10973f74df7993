// The library under test, loaded at run time as a host loads it, so that the
// C library's functions of the same names stay reachable in the same process.
#ifndef QUOREL_BENCH_LIBRARY_H
#define QUOREL_BENCH_LIBRARY_H

#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>

// Address of an exported name; a library or name that cannot be had ends the
// run. QUOREL_BENCH_LIBRARY names another build of the library to measure
// (an older one, for before-and-after figures).
inline void *library_symbol(const char *name)
{
    static void *handle = [] {
        const char *path = getenv("QUOREL_BENCH_LIBRARY");
        return dlopen(path && *path ? path : QUOREL_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    }();
    if (!handle) {
        fprintf(stderr, "%s\n", dlerror());
        exit(1);
    }
    void *p = dlsym(handle, name);
    if (!p) {
        fprintf(stderr, "missing %s\n", name);
        exit(1);
    }
    return p;
}

#endif
