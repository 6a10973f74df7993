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

// MXCSR is not part of the x87 save area; it travels beside _fpustate.
static unsigned saved_mxcsr = 0;

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
QR_LIB void __matherr(int flags, int code)
{
    ercnt = (int32_t)((uint32_t)ercnt + 1u);
    if (funno == 0) {
        funno = code;
        asm volatile("fnsave %0" : "=m"(_fpustate) : : "memory");
        asm volatile("stmxcsr %0" : "=m"(saved_mxcsr) : : "memory");
        unsigned fresh = 0x1F80;
        asm volatile("ldmxcsr %0" : : "m"(fresh) : "memory");
        *_geterrno() = (flags & (FP_DIVBYZERO | FP_OVERFLOW)) ? 34 : 33;
        if (onerr)
            onerr();
        asm volatile("frstor %0" : : "m"(_fpustate) : "memory");
        asm volatile("ldmxcsr %0" : : "m"(saved_mxcsr) : "memory");
    }
    fp_clear();
}

}
