// The floating-point environment of every numeric routine: the exception
// flags, the precision-control guard around each exported entry, and the
// reporting step into the error record (__matherr, quorel_math.h).
//
// Exception flags live in two places: the x87 status word (extended
// arithmetic) and MXCSR (double arithmetic on SSE). Both use the same bit
// positions for the six IEEE flags (0x01 invalid ... 0x20 inexact); the x87
// word adds the stack fault 0x40.
#ifndef QUOREL_FPENV_H
#define QUOREL_FPENV_H

#include "bits.h"
#include "quorel_math.h"
#include "x87.h"

enum {
    FP_INVALID = 0x01,
    FP_DENORMAL = 0x02,
    FP_DIVBYZERO = 0x04,
    FP_OVERFLOW = 0x08,
    FP_UNDERFLOW = 0x10,
    FP_INEXACT = 0x20,
    FP_STACKFAULT = 0x40,
    FP_REPORTED = 0x4D, // invalid, division by zero, overflow, stack fault
};

// Make the value of x exist before anything that follows (flag reads above all).
static inline void fp_force(long double x) { asm volatile("" : : "f"(x)); }
static inline void fp_force(double x)
{
#if defined(__SSE2_MATH__)
    asm volatile("" : : "x"(x));
#else
    asm volatile("" : : "m"(x));
#endif
}

static inline unsigned fp_flags(void)
{
    unsigned short sw;
    unsigned mxcsr;
    asm volatile("fnstsw %0" : "=am"(sw) : : "memory");
    asm volatile("stmxcsr %0" : "=m"(mxcsr) : : "memory");
    return (sw & 0x7Fu) | (mxcsr & 0x3Fu);
}

static inline void fp_clear(void)
{
    unsigned mxcsr;
    asm volatile("fnclex" : : : "memory");
    asm volatile("stmxcsr %0" : "=m"(mxcsr) : : "memory");
    mxcsr &= ~0x3Fu;
    asm volatile("ldmxcsr %0" : : "m"(mxcsr) : "memory");
}

// Raise flags in the x87 status word as an arithmetic instruction would
// (exceptions are masked while the library computes).
static inline void fp_raise(unsigned flags)
{
    struct {
        unsigned short cw, r0, sw, r1, tw, r2;
        unsigned ip, cs, dp, ds;
    } env;
    asm volatile("fnstenv %0" : "=m"(env) : : "memory");
    env.sw = (unsigned short)(env.sw | (flags & 0x7Fu));
    asm volatile("fldenv %0" : : "m"(env) : "memory");
}

static inline unsigned short x87_control(void)
{
    unsigned short cw;
    asm volatile("fnstcw %0" : "=m"(cw) : : "memory");
    return cw;
}

static inline void x87_set_control(unsigned short cw) { asm volatile("fldcw %0" : : "m"(cw) : "memory"); }

static inline unsigned sse_control(void)
{
    unsigned mxcsr;
    asm volatile("stmxcsr %0" : "=m"(mxcsr) : : "memory");
    return mxcsr;
}

// The extended routines need a 64-bit significand whatever the caller set
// (many Windows programs run the x87 at 53 bits). fpu_enter sets precision
// control to 64 bits and masks all exceptions, keeping the caller's rounding
// mode and flags; fpu_leave restores the caller's control word. The
// computation between them must be a call the compiler cannot see into: a
// merely noinline function that only computes may still be judged free of
// side effects and moved across the switch or merged with another call.
// GCC gets that from noipa on the worker. Clang has no noipa, so fpu_call
// also passes the worker's address through an empty asm: the call then goes
// to an unknown function, which may read or write anything and so stays
// between the two control-word loads.
#if defined(__clang__)
#define FPU_GUARDED __attribute__((noinline))
#else
#define FPU_GUARDED __attribute__((noipa))
#endif

// The control word while the library computes: 64-bit precision, all
// exceptions masked, the caller's rounding mode.
static inline unsigned short fpu_working(unsigned short caller) { return (unsigned short)(caller | 0x033F); }

// fldcw is slow, so the control word is only loaded when it has to change.
static inline unsigned short fpu_enter(void)
{
    unsigned short saved = x87_control();
    if (fpu_working(saved) != saved)
        x87_set_control(fpu_working(saved));
    return saved;
}

static inline void fpu_leave(unsigned short saved)
{
    if (fpu_working(saved) != saved)
        x87_set_control(saved);
}

// Every exported entry: an FPU_GUARDED worker run between the two. The
// caller's control word comes back after the result is taken, on every path.
struct FpuScope {
    unsigned short saved;
    ~FpuScope() { fpu_leave(saved); }
};

template <typename Worker, typename... Args>
static inline auto fpu_call(Worker worker, Args... args) -> decltype(worker(args...))
{
    FpuScope scope{fpu_enter()};
#if defined(__clang__)
    asm("" : "+r"(worker));
#endif
    return worker(args...);
}

// Function codes handed to __matherr.
enum {
    CODE_GAMMA = 0x2004,
    CODE_LGAMMA = 0x2008,
    CODE_J0 = 0x2200,
    CODE_Y0 = 0x2204,
    CODE_J1 = 0x2208,
    CODE_Y1 = 0x220C,
    CODE_IP3_FUNC = 0x2550,
    CODE_IP3_ROOT = 0x2554,
    CODE_IP3_EXTR = 0x2558,
    CODE_IP4_FUNC = 0x2560,
    CODE_IP4_ROOT = 0x2564,
    CODE_IP4_EXTR = 0x2568,
    CODE_IP5_FUNC = 0x2570,
    CODE_IP5_ROOT = 0x2574,
    CODE_IP5_EXTR = 0x2578,
};

// The reporting step of every failing routine: after its result exists, read
// the accumulated flags; any of invalid, division by zero, overflow or stack
// fault means a report. report_flags makes it with the routine's code;
// must_report only tells, for routines that also report for other reasons.
static inline unsigned flags_after(long double result)
{
    fp_force(result);
    return fp_flags();
}

static inline int must_report(long double result) { return (flags_after(result) & FP_REPORTED) != 0; }

static inline void report_flags(long double result, int code)
{
    unsigned flags = flags_after(result);
    if (flags & FP_REPORTED)
        __matherr((int)flags, code);
}

#endif
