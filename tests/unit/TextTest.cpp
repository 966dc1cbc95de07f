#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/Text.h"

using namespace kestrix;

TEST(TextTest, TrimRemovesControlCodesAndBlanksOnly) {
    EXPECT_EQ(Trim(" \t\r\n\x01 a b \x1F "), "a b");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // code 160 is not trimmed
    EXPECT_EQ(Trim("   "), "");
}

TEST(TextTest, CaseChangesAsciiLettersOnly) {
    EXPECT_EQ(UpperCase("abz\xE9!"), "ABZ\xE9!");
    EXPECT_EQ(LowerCase(".JPG\xC9"), ".jpg\xC9");
    EXPECT_TRUE(SameText("ScrollBar", "SCROLLbar"));
    EXPECT_FALSE(SameText("Scroll", "Scrol"));
}

TEST(TextTest, IntegerConversion) {
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0", true, 0},           {"  42", true, 42},      {"-4", true, -4},
        {"+7", true, 7},          {"$1F", true, 31},       {"0x10", true, 16},
        {"-$10", true, -16},      {"2147483647", true, INT32_MAX}, {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0}, {"", false, 0},          {" ", false, 0},
        {"4 ", false, 0},         {"1x", false, 0},        {"0x", false, 0},
        {"$", false, 0},          {"\t4", false, 0},       {"- 4", false, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(TryStrToInt(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
    EXPECT_THROW(StrToInt("abc"), EConvertError);
}
