#include "addin/texts.h"
#include "quorel.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

static void set_language(uint16_t code) { SetLanguage(&code); }

TEST(Texts, German)
{
    set_language(1031);
    EXPECT_STREQ(LookupText(0), "Zahl");
}
