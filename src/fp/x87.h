// The processor's own extended-precision operations and its floating-point
// environment. Every numeric routine of the library takes its square roots,
// logarithms, exponentials, sines, cosines and arc tangents from here; there
// is no libm.
//
// Exception flags live in two places: the x87 status word (extended
// arithmetic) and MXCSR (double arithmetic on SSE). Both use the same bit
// positions for the six IEEE flags (0x01 invalid ... 0x20 inexact); the x87
// word adds the stack fault 0x40.
#ifndef QUOREL_X87_H
#define QUOREL_X87_H

#if !defined(__i386__) && !defined(__x86_64__)
#error "quorel needs the x87 extended format (x86 or x86-64)"
#endif

static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64, "long double must be the x87 80-bit format");

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

static inline long double x87_sqrt(long double x)
{
    asm("fsqrt" : "+t"(x));
    return x;
}

// y * log2(x)
static inline long double x87_yl2x(long double y, long double x)
{
    long double r;
    asm("fyl2x" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

static inline long double x87_log2(long double x) { return x87_yl2x(1.0L, x); }

// 2^x - 1 for |x| <= 1
static inline long double x87_f2xm1(long double x)
{
    asm("f2xm1" : "+t"(x));
    return x;
}

// x * 2^trunc(n)
static inline long double x87_scale(long double x, long double n)
{
    long double r;
    asm("fscale" : "=t"(r) : "0"(x), "u"(n));
    return r;
}

// Round to an integer in the current rounding mode (ties to even by default).
static inline long double x87_rndint(long double x)
{
    asm("frndint" : "+t"(x));
    return x;
}

// fsin/fcos leave arguments of magnitude 2^63 and above unreduced.
static inline long double x87_sin(long double x)
{
    asm("fsin" : "+t"(x));
    return x;
}

static inline long double x87_cos(long double x)
{
    asm("fcos" : "+t"(x));
    return x;
}

// Full-quadrant arc tangent of y/x with the IEEE signed-zero conventions.
static inline long double x87_atan2(long double y, long double x)
{
    long double r;
    asm("fpatan" : "=t"(r) : "0"(x), "u"(y) : "st(1)");
    return r;
}

// 2^t: split at the nearest integer n (current rounding mode), 2^f by f2xm1
// on |f| <= 1/2, then scale by 2^n. The split would turn an infinite t into
// inf - inf, so 2^+inf = +inf and 2^-inf = +0 are taken directly.
static inline long double x87_exp2(long double t)
{
    if (__builtin_isinf(t))
        return t > 0 ? t : 0.0L;
    long double n = x87_rndint(t);
    long double f = t - n;
    return x87_scale(x87_f2xm1(f) + 1.0L, n);
}

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

// The extended routines need a 64-bit significand whatever the caller set
// (many Windows programs run the x87 at 53 bits). fpu_enter sets precision
// control to 64 bits and masks all exceptions, keeping the caller's rounding
// mode and flags; fpu_leave restores the caller's control word. Call the
// computation between them through a function marked FPU_GUARDED (noipa): a
// merely noinline function that only computes may still be judged free of
// side effects and moved across the switch or merged with another call.
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
    return worker(args...);
}

#endif
