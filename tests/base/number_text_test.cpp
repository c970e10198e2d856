#include "base/number_text.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

TEST(FloatToStr, GeneralFormatUpTo15Digits)
{
    const struct
    {
        double Value;
        const char* Expected;
    } cases[] = {
        {0, "0"},
        {1, "1"},
        {-2.5, "-2.5"},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {123456789012345, "123456789012345"},
        {1e15, "1E15"},
        {1e20, "1E20"},
        {1.5e-7, "1.5E-7"},
        {0.0001, "0.0001"},
        {0.00001, "1E-5"},
        {12.5e100, "1.25E101"},
        {0.1 + 0.2, "0.3"},
        {999999999999999.9, "1E15"},
    };
    const auto settings = FormatSettings::English();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(ToUtf8(FloatToStr(c.Value, settings)), c.Expected);
    }
}

TEST(FloatToStr, UsesTheLocaleDecimalSeparator)
{
    auto settings = FormatSettings::English();
    settings.DecimalSeparator = u',';
    EXPECT_EQ(ToUtf8(FloatToStr(-1234.5, settings)), "-1234,5");
    EXPECT_EQ(ToUtf8(FloatToStr(2.5e-9, settings)), "2,5E-9");
}

TEST(FloatToStr, InfinityAndNaN)
{
    EXPECT_EQ(ToUtf8(FloatToStr(HUGE_VAL)), "INF");
    EXPECT_EQ(ToUtf8(FloatToStr(-HUGE_VAL)), "-INF");
    EXPECT_EQ(ToUtf8(FloatToStr(NAN)), "NAN");
}

TEST(TryStrToInt, PlatformIntegerRules)
{
    const struct
    {
        const char* Text;
        bool Ok;
        int32_t Value;
    } cases[] = {
        {"12", true, 12},
        {"  -7", true, -7},
        {"+3", true, 3},
        {"$1F", true, 31},
        {"x10", true, 16},
        {"0X10", true, 16},
        {"-$10", true, -16},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"$FFFFFFFF", true, -1},
        {"2147483648", false, 0},
        {"$100000000", false, 0},
        {"", false, 0},
        {" ", false, 0},
        {"-", false, 0},
        {"12 ", false, 0},
        {"abc", false, 0},
        {"1.5", false, 0},
        {"0x", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        int32_t value = 0;
        EXPECT_EQ(TryStrToInt(FromUtf8(c.Text), value), c.Ok);
        if (c.Ok) {
            EXPECT_EQ(value, c.Value);
        }
    }
}

} // namespace vl
