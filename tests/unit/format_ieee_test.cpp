#include "format/format.h"
#include "fp/fpenv.h"
#include "quorel.h"
#include "quorel_math.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

// QR_ieee into a buffer pre-filled with 'Z': 20 digits, a NUL, rest untouched.
static std::string ieee_checked(double x)
{
    char buf[QR_TEXT_SIZE];
    memset(buf, 'Z', sizeof buf);
    QR_ieee(buf, &x);
    EXPECT_EQ(buf[20], '\0');
    for (size_t i = 21; i < sizeof buf; i++)
        if (buf[i] != 'Z') {
            ADD_FAILURE() << "byte " << i << " written";
            break;
        }
    return std::string(buf, strnlen(buf, 21));
}

// One row per line of the widening table (zero, normal, subnormal, infinity,
// NaN), each with both signs and the extremes of its range.
TEST(Ieee, WideningTable)
{
    static const struct { uint64_t bits; const char *text; } rows[] = {
        // zero
        {0x0000000000000000ull, "00000000000000000000"},
        {0x8000000000000000ull, "80000000000000000000"},
        // normal: exponent + 15360, integer bit above the fraction
        {0x3FF0000000000000ull, "3fff8000000000000000"}, // 1
        {0xC004000000000000ull, "c000a000000000000000"}, // -2.5
        {0x3FB999999999999Aull, "3ffbccccccccccccd000"}, // 0.1
        {0x4059000000000000ull, "4005c800000000000000"}, // 100
        {0x0010000000000000ull, "3c018000000000000000"}, // smallest normal
        {0x8010000000000000ull, "bc018000000000000000"},
        {0x7FEFFFFFFFFFFFFFull, "43fefffffffffffff800"}, // largest double
        {0xFFEFFFFFFFFFFFFFull, "c3fefffffffffffff800"},
        // subnormal: highest fraction bit k becomes the integer bit, exponent k + 15309
        {0x0000000000000001ull, "3bcd8000000000000000"}, // 2^-1074, k = 0
        {0x8000000000000001ull, "bbcd8000000000000000"},
        {0x0000000000000002ull, "3bce8000000000000000"}, // k = 1
        {0x0000000000000003ull, "3bcec000000000000000"},
        {0x0000000000012345ull, "3bdd91a2800000000000"}, // k = 16
        {0x0008000000000000ull, "3c008000000000000000"}, // k = 51
        {0x000FFFFFFFFFFFFFull, "3c00fffffffffffff000"}, // largest subnormal
        {0x800FFFFFFFFFFFFFull, "bc00fffffffffffff000"},
        // infinity
        {0x7FF0000000000000ull, "7fff8000000000000000"},
        {0xFFF0000000000000ull, "ffff8000000000000000"},
        // NaN: payload kept below the quiet bit, which is always set
        {0x7FF8000000000000ull, "7fffc000000000000000"},
        {0xFFF8000000000000ull, "ffffc000000000000000"},
        {0x7FF0000000000001ull, "7fffc000000000000800"}, // signalling, payload 1
        {0xFFF0000000000001ull, "ffffc000000000000800"},
        {0x7FF4000000000000ull, "7fffe000000000000000"},
        {0x7FF8000000000001ull, "7fffc000000000000800"},
        {0x7FFFFFFFFFFFFFFFull, "7ffffffffffffffff800"},
        {0xFFFFFFFFFFFFFFFFull, "fffffffffffffffff800"},
        {0x7FF123456789ABCDull, "7fffc91a2b3c4d5e6800"},
    };
    for (const auto &r : rows)
        EXPECT_EQ(ieee_checked(from_bits(r.bits)), r.text) << std::hex << r.bits;
}

TEST(Ieee, LibraryNaN) { EXPECT_EQ(ieee_checked(no_result()), "ffffc000000000000000"); }

// On x86-64 hardware (native and wine64) the x87 load of a double is the
// reference widening; emulated i386 x87 need not treat NaNs the same way.
#if defined(__x86_64__)
TEST(Ieee, AgreesWithX87Load)
{
    Rng rng = {0x243F6A8885A308D3ull};
    char mine[QR_TEXT_SIZE], x87[32];
    for (int i = 0; i < 200000; i++) {
        uint64_t s = rng.next(), bits = s;
        switch (i & 3) { // favour the special exponents
        case 1: bits &= 0x800FFFFFFFFFFFFFull; break;                                 // zero, subnormal
        case 2: bits |= 0x7FF0000000000000ull; break;                                 // infinity, NaN
        case 3: bits &= 0x800FFFFFFFFFFFFFull | (s >> 11 & 1) << 52; bits >>= (s >> 58); break;
        }
        double x = from_bits(bits);
        volatile long double wide = x;
        QR_ieee(mine, &x);
        fltoie(wide, x87);
        ASSERT_STREQ(mine, x87) << std::hex << bits;
    }
}
#endif

static long double from_parts(uint16_t se, uint64_t m)
{
    unsigned char bytes[sizeof(long double)] = {};
    memcpy(bytes, &m, 8);
    memcpy(bytes + 8, &se, 2);
    long double x;
    memcpy(&x, bytes, sizeof x);
    return x;
}

// fltoie on extended values that no double holds: byte order, all digits,
// lowercase, the returned pointer and the untouched rest of the buffer.
TEST(Ieee, FltoieExtendedPatterns)
{
    static const struct { uint16_t se; uint64_t m; const char *text; } rows[] = {
        {0x3FFD, 0xAAAAAAAAAAAAAAABull, "3ffdaaaaaaaaaaaaaaab"}, // 1/3
        {0x7FFE, 0xFFFFFFFFFFFFFFFFull, "7ffeffffffffffffffff"}, // largest extended
        {0x0000, 0x0000000000000001ull, "00000000000000000001"}, // smallest denormal
        {0x8123, 0x0123456789ABCDEFull, "81230123456789abcdef"},
        {0xFEDC, 0xBA9876543210FEDCull, "fedcba9876543210fedc"},
    };
    for (const auto &r : rows) {
        char buf[32];
        memset(buf, 'Z', sizeof buf);
        long double x = from_parts(r.se, r.m);
        EXPECT_EQ(fltoie(x, buf), buf);
        EXPECT_STREQ(buf, r.text);
        EXPECT_EQ(buf[21], 'Z');
    }
    char buf[32];
    EXPECT_STREQ(fltoie(1.0L / 3, buf), "3ffdaaaaaaaaaaaaaaab");
    EXPECT_STREQ(fltoie(-0.0L, buf), "80000000000000000000");
}
