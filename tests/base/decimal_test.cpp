#include "base/decimal.h"
#include "base/exception.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

TEST(Decimal, ParsesLocaleTextExactly)
{
    const struct
    {
        const char* Text;
        int64_t Units;
    } cases[] = {
        {"0", 0},
        {"-0", 0},
        {"1", 1000000},
        {"+12.5", 12500000},
        {"-0.000001", -1},
        {"0.0000005", 1}, // halves round away from zero
        {"-0.0000005", -1},
        {"0.00000049", 0},
        {"123456789012.123456", 123456789012123456},
        {"999999999999.999999", Decimal::MaxUnits},
        {"-999999999999.999999", -Decimal::MaxUnits},
        {"  7  ", 7000000},
        {"1.5E-7", 0},
        {"2.5E-6", 3},
        {"1E11", 100000000000000000},
        {"0001.10", 1100000},
        {".5", 500000},
        {"5.", 5000000},
        {"0.1234565", 123457},
        {"3,25", 3250000}, // the settings below use a comma
    };
    auto settings = FormatSettings::English();
    settings.DecimalSeparator = u',';
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        const auto value = Decimal::TryParse(FromUtf8(c.Text), settings);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->Units(), c.Units);
    }
}

TEST(Decimal, RefusesNonNumbersAndValuesOutOfRange)
{
    for (const char* text : {"",
                             " ",
                             "-",
                             ".",
                             "1e",
                             "1e+",
                             "abc",
                             "1.2.3",
                             "1 2",
                             "0x10",
                             "1000000000000",
                             "999999999999.9999995",
                             "1E12",
                             "-1E12",
                             "1,5"}) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(Decimal::TryParse(FromUtf8(text), FormatSettings::English()).has_value());
    }
    try {
        Decimal::Parse(u"1E20", FormatSettings::English());
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(),
                     "'1E20' is not a decimal number of at most 12 integer and 6 fraction digits");
    }
}

TEST(Decimal, TextRoundTripAndDoubleForms)
{
    const auto settings = FormatSettings::English();
    for (const char* text : {"0", "-12.5", "0.000001", "999999999999.999999", "42", "-0.1"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ToUtf8(Decimal::Parse(FromUtf8(text), settings).ToText(settings)), text);
    }
    EXPECT_DOUBLE_EQ(Decimal::Parse(u"-12.5").ToDouble(), -12.5);
    EXPECT_EQ(Decimal::Parse(u"1.23455").ToCurrencyUnits(), 12346);
    EXPECT_EQ(Decimal::Parse(u"-1.23455").ToCurrencyUnits(), -12346);
}

TEST(Decimal, FromDoubleMatchesTheGeneralTextForm)
{
    const struct
    {
        double Value;
        int64_t Units;
    } cases[] = {
        {0.1, 100000},
        {0.1 + 0.2, 300000}, // 15 digits: 0.3
        {-2.5, -2500000},
        {1.5e-7, 0},
        {123456789012.3456, 123456789012346000}, // 15 significant digits
        {1.0 / 3, 333333},
        {2.0 / 3, 666667},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Value);
        const auto value = Decimal::TryFromDouble(c.Value);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->Units(), c.Units);
    }
    EXPECT_FALSE(Decimal::TryFromDouble(1e12).has_value());
    EXPECT_FALSE(Decimal::TryFromDouble(NAN).has_value());
    EXPECT_FALSE(Decimal::TryFromDouble(HUGE_VAL).has_value());
}

} // namespace vl
