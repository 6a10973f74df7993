// The process-wide error record and its reporter, and the classification
// helpers of the math library.
#include "fpenv.h"

#include <errno.h>
#include <string.h>

extern "C" {

void (*onerr)(void) = nullptr;
int32_t ercnt = 0;
int32_t funno = 0;
unsigned char _fpustate[108] = {};

}

#if defined(_WIN32)
// The runtime's _errno is reached through an import slot, whose address is no
// constant; a local forwarder keeps the initial value static data.
static int *crt_errno(void) { return &errno; }
static int *(*errno_source)(void) = &crt_errno;
#else
static int *(*errno_source)(void) = &__errno_location;
#endif

extern "C" {

QR_LIB void _seterrno(int *(*source)(void)) { errno_source = source; }

QR_LIB int *_geterrno(void) { return errno_source(); }

QR_LIB int _isfinit(double x) { return ((double_bits(x) >> 52) & 0x7FF) != 0x7FF; }

// Out-of-range values convert to the most negative 64-bit integer, as the
// processor's own conversion does, so every |x| >= 2^63 except -2^63 fails the
// round trip.
QR_LIB int _isodd(double x)
{
    if (!_isfinit(x))
        return 0;
    int64_t n = INT64_MIN;
    if (x >= -9223372036854775808.0 && x < 9223372036854775808.0)
        n = (int64_t)x;
    if ((double)n != x)
        return 0;
    return (n & 1) ? 1 : -1;
}

// Only the first report since funno was last 0 sets the error number and runs
// the hook; the hook gets a freshly initialised x87 and MXCSR and whatever it
// changes there is undone. Every report ends with all flags clear.
//
// The caller's x87 state and MXCSR are saved in the call and restored from
// there, so that a report never hands a thread another thread's control word
// or flags; _fpustate gets a copy for the hook to read. The record is read
// and written with relaxed atomic loads and stores, the same plain moves as
// before but no data race: reports made at the same moment in several
// threads may each count as the first, and ercnt may miss some of them.
// (Locked read-modify-write operations would make the count exact and the
// first report unique, at about 5 ns on every report.)
QR_LIB void __matherr(int flags, int code)
{
    uint32_t count = (uint32_t)__atomic_load_n(&ercnt, __ATOMIC_RELAXED);
    __atomic_store_n(&ercnt, (int32_t)(count + 1u), __ATOMIC_RELAXED);
    if (__atomic_load_n(&funno, __ATOMIC_RELAXED) == 0) {
        __atomic_store_n(&funno, code, __ATOMIC_RELAXED);
        unsigned char state[sizeof _fpustate];
        unsigned mxcsr;
        asm volatile("fnsave %0" : "=m"(state) : : "memory");
        asm volatile("stmxcsr %0" : "=m"(mxcsr) : : "memory");
        memcpy(_fpustate, state, sizeof state);
        unsigned fresh = 0x1F80;
        asm volatile("ldmxcsr %0" : : "m"(fresh) : "memory");
        *_geterrno() = (flags & (FP_DIVBYZERO | FP_OVERFLOW)) ? 34 : 33;
        void (*hook)(void) = __atomic_load_n(&onerr, __ATOMIC_RELAXED);
        if (hook)
            hook();
        asm volatile("frstor %0" : : "m"(state) : "memory");
        asm volatile("ldmxcsr %0" : : "m"(mxcsr) : "memory");
    }
    fp_clear();
}

}
