#include "base/format_float.h"

#include <gtest/gtest.h>

namespace vl {

TEST(FormatFloat, NumericPictures)
{
    const struct
    {
        const char* Picture;
        double Value;
        const char* Expected;
    } cases[] = {
        {"0", 1234.5, "1235"},
        {"0", -0.5, "-1"},
        {"0.00", 1234.5, "1234.50"},
        {"0.00", 2.675, "2.68"},
        {"0.00", 1.005, "1.01"},
        {"#.##", 0.5, ".5"},
        {"#.##", 12, "12"},
        {"0.##", 12.3, "12.3"},
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0", 999.5, "1,000"},
        {"#,##0", 12, "12"},
        {"#,##0.00", -1234.5, "-1,234.50"},
        {"000", 7, "007"},
        {"00-00", 1234, "12-34"},
        {"#", 0, ""},
        {"0.00;(0.00)", -5, "(5.00)"},
        {"0.00;(0.00);'zero'", 0, "zero"},
        {"0.00;(0.00);'zero'", 0.001, "zero"},
        {"0.00;;'zero'", -3, "-3.00"},
        {"0.00", -0.001, "0.00"},
        {"'Total: '#,##0.00' kn'", 1500, "Total: 1,500.00 kn"},
        {"\"x\"0", 3, "x3"},
        {"0.00E+00", 1234.5, "1.23E+03"},
        {"0.00E-00", 1234.5, "1.23E03"},
        {"0.00e-0", 0.00012, "1.20e-4"},
        {"00.0E+0", 1234.5, "12.3E+2"},
        {"0.0E+0", 9.99, "1.0E+1"},
        {"0%", 15, "15%"},
        {"$#,##0.00", -5, "-$5.00"},
        {"", 1.5, "1.5"},
        {"0.000", 1e20, "100000000000000000000.000"},
        {"0.0", 0.04, "0.0"},
        {"0.0", 0.05, "0.1"},
    };
    const auto settings = FormatSettings::English();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Picture) + " " + std::to_string(c.Value));
        EXPECT_EQ(ToUtf8(FormatFloat(FromUtf8(c.Picture), c.Value, settings)), c.Expected);
    }
}

TEST(FormatFloat, UsesTheLocaleSeparators)
{
    auto settings = FormatSettings::English();
    settings.DecimalSeparator = u',';
    settings.ThousandSeparator = u'.';
    EXPECT_EQ(ToUtf8(FormatFloat(u"#,##0.00", 1234.5, settings)), "1.234,50");
    settings.ThousandSeparator = 0; // a locale without grouping
    EXPECT_EQ(ToUtf8(FormatFloat(u"#,##0.00", 1234.5, settings)), "1234,50");
}

} // namespace vl
