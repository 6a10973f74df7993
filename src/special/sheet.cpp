// Sheet functions GAMMA, BESSEL and WEBER. Each computes with a 64-bit
// significand whatever precision control the host left set, keeping the
// host's rounding mode and standing flags, and stores whatever the routine
// returns (an infinity or NaN included).
#include "special.h"

static FPU_GUARDED double gamma_sheet(double x) { return __gamma_ext(x); }

static FPU_GUARDED double bessel_sheet(double x, double order)
{
    return (double)__jn_ext(__bessel_order(order), x);
}

static FPU_GUARDED double weber_sheet(double x, double order)
{
    return (double)__yn_ext(__bessel_order(order), x);
}

extern "C" {

QR_SHEET void QR_CALL QR_gamma(double *result, const double *x)
{
    unsigned short cw = fpu_enter();
    double r = gamma_sheet(*x);
    fpu_leave(cw);
    *result = r;
}

QR_SHEET void QR_CALL QR_bessel(double *result, const double *x, const double *order)
{
    unsigned short cw = fpu_enter();
    double r = bessel_sheet(*x, *order);
    fpu_leave(cw);
    *result = r;
}

QR_SHEET void QR_CALL QR_weber(double *result, const double *x, const double *order)
{
    unsigned short cw = fpu_enter();
    double r = weber_sheet(*x, *order);
    fpu_leave(cw);
    *result = r;
}

}
