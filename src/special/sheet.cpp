// Sheet functions GAMMA, BESSEL and WEBER. Each computes with a 64-bit
// significand whatever precision control the host left set, keeping the
// host's rounding mode and standing flags, and stores whatever the routine
// returns (an infinity or NaN included).
#include "special.h"

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
    *result = fpu_call(__gamma_ext, *x);
}

QR_SHEET void QR_CALL QR_bessel(double *result, const double *x, const double *order)
{
    *result = fpu_call(bessel_sheet, *x, *order);
}

QR_SHEET void QR_CALL QR_weber(double *result, const double *x, const double *order)
{
    *result = fpu_call(weber_sheet, *x, *order);
}

}
