// One differential check of the complex text codec against the C-library
// reference (codec_reference.h): the same text read, or the same pair
// written, by both in the current locale and floating-point environment must
// give the same return value, the same parts bit for bit, the same 256 result
// bytes, and leave the same flags of mask 0x4D and the same errno behind.
// Shared by the libFuzzer target and the unit test that runs on every target.
#ifndef QUOREL_CODEC_DIFFERENTIAL_H
#define QUOREL_CODEC_DIFFERENTIAL_H

#include "codec_reference.h"

#include <errno.h>
#include <fenv.h>
#include <stdint.h>
#include <string.h>
#include <xmmintrin.h>

namespace differential {

struct ParseOutcome {
    int ok;
    uint64_t re, im;
    unsigned flags;
    int error;
};

struct FormatOutcome {
    unsigned char text[256];
    uint64_t re, im;
    unsigned flags;
    int error;
};

inline uint64_t bits(double x)
{
    uint64_t b;
    memcpy(&b, &x, sizeof b);
    return b;
}

// As a sheet function runs the codec: inside the 64-bit precision guard,
// starting from clear flags and errno 0.
template <typename Parse> ParseOutcome run_parse(Parse parse, const char *text)
{
    fp_clear();
    errno = 0;
    Complex z = {1234.5, -1234.5};
    unsigned short cw = fpu_enter();
    int ok = parse(text, &z);
    fpu_leave(cw);
    ParseOutcome o = {ok, bits(z.re), bits(z.im), fp_flags() & FP_REPORTED, errno};
    return o;
}

template <typename Format> FormatOutcome run_format(Format format, double re, double im)
{
    FormatOutcome o;
    memset(o.text, 0xA5, sizeof o.text);
    fp_clear();
    errno = 0;
    Complex z = {re, im};
    unsigned short cw = fpu_enter();
    format((char *)o.text, &z);
    fpu_leave(cw);
    o.re = bits(z.re);
    o.im = bits(z.im);
    o.flags = fp_flags() & FP_REPORTED;
    o.error = errno;
    return o;
}

// 0 when the library reads text as the reference does, else what differs.
inline const char *check_parse(const char *text)
{
    ParseOutcome want = run_parse(reference::xparse, text);
    ParseOutcome got = run_parse(xparse, text);
    if (got.ok != want.ok)
        return "parse: return value";
    if (got.re != want.re || got.im != want.im)
        return "parse: parts";
    if (got.flags != want.flags)
        return "parse: flags";
    if (got.error != want.error)
        return "parse: errno";
    return 0;
}

// 0 when the library writes (re, im) as the reference does, else what differs.
inline const char *check_format(double re, double im)
{
    FormatOutcome want = run_format(reference::xformat, re, im);
    FormatOutcome got = run_format(xformat, re, im);
    if (memcmp(got.text, want.text, sizeof got.text) != 0)
        return "format: text";
    if (got.re != want.re || got.im != want.im)
        return "format: flushed parts";
    if (got.flags != want.flags)
        return "format: flags";
    if (got.error != want.error)
        return "format: errno";
    return 0;
}

// The floating-point environment of a check: a rounding mode (0 nearest,
// 1 downward, 2 upward, 3 toward zero) and, with ftz set, flush-to-zero and
// denormals-are-zero on the SSE unit. restore_environment goes back to the
// default.
inline void set_environment(int mode, bool ftz)
{
    static const int modes[] = {FE_TONEAREST, FE_DOWNWARD, FE_UPWARD, FE_TOWARDZERO};
    fesetround(modes[mode & 3]);
    if (ftz)
        _mm_setcsr(_mm_getcsr() | 0x8040);
}

inline void restore_environment()
{
    _mm_setcsr(_mm_getcsr() & ~0x8040u);
    fesetround(FE_TONEAREST);
}

} // namespace differential

#endif
