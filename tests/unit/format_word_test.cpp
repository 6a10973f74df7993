#include "quorel.h"
#include "quorel_math.h"

#include <gtest/gtest.h>
#include <string.h>

// QR_word is exported for the Linux host but never writes its result.
TEST(Word, ResultUntouched)
{
    for (double x : {0.0, -0.0, 1234.5, -2.5e-300, 5e-324, 1.7976931348623157e308, __builtin_inf(),
                     __builtin_nan("")}) {
        char buf[QR_TEXT_SIZE];
        memset(buf, 0x33, sizeof buf);
        QR_word(buf, &x);
        for (size_t i = 0; i < sizeof buf; i++)
            ASSERT_EQ(buf[i], 0x33) << x;
    }
}
