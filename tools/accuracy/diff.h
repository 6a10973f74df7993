// Differential mode: two builds on the same inputs; every changed result is
// judged against the true value.
#ifndef ACCURACY_DIFF_H
#define ACCURACY_DIFF_H

#include <cstdint>
#include <cstdio>

#include "functions.h"

// Runs n inputs of f over its regions and prints the changes by bin; returns
// the number of changes that are not closer to the true value.
int diff_function(const Library &old_lib, const Library &new_lib, Func f, long n, uint64_t seed, FILE *out);

#endif
