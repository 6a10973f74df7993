// The one copy into a host's text buffer: strncpy's zero fill, cut to
// QR_TEXT_SIZE - 1 bytes.
#include "addin/hostbuf.h"
#include "quorel.h"

#include <gtest/gtest.h>

#include <string>

TEST(HostBuffer, ZeroFillAndCut)
{
    for (size_t n : {0, 1, 254, 255, 256, 300}) {
        std::string text(n, 'q');
        char buffer[QR_TEXT_SIZE + 8];
        memset(buffer, 0x5A, sizeof buffer);
        copy_to_host(buffer, text.c_str());
        size_t kept = n < QR_TEXT_SIZE - 1 ? n : QR_TEXT_SIZE - 1;
        EXPECT_EQ(std::string(buffer), text.substr(0, kept)) << n;
        for (size_t i = kept; i < QR_TEXT_SIZE; i++)
            ASSERT_EQ(buffer[i], 0) << n << " at " << i;
        for (size_t i = QR_TEXT_SIZE; i < sizeof buffer; i++)
            ASSERT_EQ(buffer[i], 0x5A) << n << " past the buffer at " << i;
    }
}
