/* quorel's own math library, exported under its own names by the Linux
 * library (internal in the Windows DLL).
 *
 * Several names (gamma, lgamma, j0, j1, jn, y0, y1, yn) are also those of the
 * C math library, and lgamma has a different signature here: do not include
 * <math.h> or <cmath> in the same translation unit. GCC and Clang know those
 * names as built-ins and evaluate calls with constant arguments themselves:
 * compile with -fno-builtin-NAME for each of them (pkg-config's Cflags and
 * the CMake target quorel::quorel carry these flags).
 *
 * Every routine may be called from several threads at once: its result
 * depends only on its arguments and the calling thread's floating-point
 * modes, which it leaves as it found them. What the threads share is the
 * error record below and epsilon.
 */
#ifndef QUOREL_MATH_H
#define QUOREL_MATH_H

#include "quorel.h"

#if defined(_WIN32)
#  define QR_LIB
#else
#  define QR_LIB __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct Complex {
    double re;
    double im;
} Complex;

/* Constants. The float NaN/infinity patterns: _qnan 0xFFC00000, _snan 0x7FC00000,
 * _infp 0x7F800000, _infn 0xFF800000. */
QR_LIB extern const double _ln2, _log2e, _pi, _pi_2, _pi_4, _2_pi;
QR_LIB extern const float _qnan, _snan, _infp, _infn, _zero, _half, _one, _two, _eight;
QR_LIB extern double epsilon;

/* Error record and reporter, one per process. A first report (funno 0) sets
 * funno and the error number and runs onerr in the thread that made it.
 * Reports made at the same moment in several threads may each count as the
 * first, and ercnt may miss some of them; _fpustate holds the state saved by
 * some thread's last first report. Set onerr and _seterrno before other
 * threads call the library, and reset funno with an atomic store while they
 * run. */
QR_LIB extern void (*onerr)(void);
QR_LIB extern int32_t ercnt;
QR_LIB extern int32_t funno;
QR_LIB extern unsigned char _fpustate[108];
QR_LIB void __matherr(int flags, int code);
QR_LIB void _seterrno(int *(*source)(void));
QR_LIB int *_geterrno(void);
QR_LIB int _isfinit(double x);
QR_LIB int _isodd(double x);

/* Complex kernels. */
QR_LIB Complex xexp(double x, double y);
QR_LIB Complex xpow10(double x, double y);
QR_LIB Complex xlog(double x, double y);
QR_LIB Complex xlog10(double x, double y);
QR_LIB Complex xlogy(double x1, double y1, double x2, double y2);
QR_LIB Complex xpow(double x1, double y1, double x2, double y2);
QR_LIB Complex xsqrt(double x, double y);
QR_LIB Complex xsin(double x, double y);
QR_LIB Complex xcos(double x, double y);
QR_LIB Complex xtan(double x, double y);
QR_LIB Complex xsinh(double x, double y);
QR_LIB Complex xcosh(double x, double y);
QR_LIB Complex xtanh(double x, double y);
QR_LIB Complex xasin(double x, double y);
QR_LIB Complex xacos(double x, double y);
QR_LIB Complex xatan(double x, double y);
QR_LIB Complex xasinh(double x, double y);
QR_LIB Complex xacosh(double x, double y);
QR_LIB Complex xatanh(double x, double y);

/* Gamma, Bessel and Weber. */
QR_LIB double gamma(double x);
QR_LIB double lgamma(double x, int *sign); /* writes only *sign, the sign of Gamma(x) */
QR_LIB double j0(double x);
QR_LIB double j1(double x);
QR_LIB double jn(int n, double x);
QR_LIB double y0(double x);
QR_LIB double y1(double x);
QR_LIB double yn(int n, double x);

/* Equidistant interpolation on 3, 4 or 5 values. */
QR_LIB long double ip3_func(double x, const double *y);
QR_LIB long double ip3_root(double v, const double *y);
QR_LIB long double ip3_extr(const double *y);
QR_LIB long double ip4_func(double x, const double *y);
QR_LIB long double ip4_root(double v, const double *y);
QR_LIB long double ip4_extr(const double *y);
QR_LIB long double ip5_func(double x, const double *y);
QR_LIB long double ip5_root(double v, const double *y);
QR_LIB long double ip5_extr(const double *y);

/* Lagrange interpolation through n points stored as x0, y0, x1, y1, ... */
QR_LIB long double lagrange(double x, int n, const double *points);

/* Formatting and conversion. */
QR_LIB char *fltoie(long double x, char *buffer);
QR_LIB int roman(const char *text);
QR_LIB void QR_CALL QR_word(char *result, const double *number);

#ifdef __cplusplus
}
#endif

#endif
