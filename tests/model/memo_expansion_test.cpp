#include "model/memo_expansion.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {
namespace {

std::string Utf8(StringView s)
{
    return ToUtf8(String(s));
}

// ---- FormatData

TEST(DisplayFormat, FormatDataUnderBothLocales)
{
    const FormatSettings english = FormatSettings::FromLocale("C.UTF-8");
    const FormatSettings croatian = FormatSettings::FromLocale("hr_HR.UTF-8");
    ASSERT_EQ(croatian.DecimalSeparator, u',') << "the test set-up generates hr_HR.UTF-8";
    struct Case
    {
        Variant Value;
        TvlxFormatKind Kind;
        const char16_t* FormatStr;
        const char16_t* Decimal;
        const char16_t* Thousand;
        const char* English;
        const char* Croatian;
    };
    using K = TvlxFormatKind;
    const Case cases[] = {
        {Variant::Null(), K::fkNumeric, u"#,##0.00", u"", u"", "", ""},
        {Variant(1234.5), K::fkText, u"", u"", u"", "1234.5", "1234,5"},
        {Variant(1234.5), K::fkNumeric, u"#,##0.00", u"", u"", "1,234.50", "1.234,50"},
        // Own separators: swapped in one pass, so "." and "," may trade places.
        {Variant(1234.5), K::fkNumeric, u"#,##0.00", u",", u".", "1.234,50", "1.234,50"},
        {Variant(1234567.5), K::fkNumeric, u"#,##0.00", u"", u" ", "1 234 567.50", "1 234 567,50"},
        {Variant(0.5), K::fkNumeric, u"0.000", u"", u"", "0.500", "0,500"},
        {Variant(2.5), K::fkNumeric, u"%2.2f", u"", u"", "2.50", "2,50"},
        {Variant(7.0), K::fkNumeric, u"%3d", u"", u"", "  7", "  7"},
        {Variant(u"12.5"), K::fkNumeric, u"%.1f", u"", u"", "12.5", "12,5"},
        // A text that is no number prints as it is.
        {Variant(u"n/a"), K::fkNumeric, u"#,##0.00", u"", u"", "n/a", "n/a"},
        {Variant::FromDate(45298.5),
         K::fkDateTime,
         u"dd.mm.yyyy hh:nn",
         u"",
         u"",
         "07.01.2024 12:00",
         "07.01.2024 12:00"},
        {Variant(true), K::fkBoolean, u"False,True", u"", u"", "True", "True"},
        {Variant(int32_t{0}), K::fkBoolean, u"False,True", u"", u"", "False", "False"},
        {Variant(true), K::fkBoolean, u"No,Yes", u"", u"", "Yes", "Yes"},
        {Variant(false), K::fkBoolean, u"No,Yes", u"", u"", "No", "No"},
        {Variant(u"maybe"), K::fkBoolean, u"No,Yes", u"", u"", "maybe", "maybe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.FormatStr) + " " + c.English);
        TvlxFormat format;
        format.SetKind(c.Kind);
        format.SetFormatStr(c.FormatStr);
        format.SetDecimalSeparator(c.Decimal);
        format.SetThousandSeparator(c.Thousand);
        EXPECT_EQ(Utf8(FormatData(c.Value, format, english)), c.English);
        EXPECT_EQ(Utf8(FormatData(c.Value, format, croatian)), c.Croatian);
    }
}

TEST(MemoExpansion, SplitInlineFormat)
{
    struct Case
    {
        const char16_t* Text;
        bool Split;
        const char16_t* Expression;
        TvlxFormatKind Kind;
        const char16_t* FormatStr;
        const char16_t* Decimal;
    };
    using K = TvlxFormatKind;
    const Case cases[] = {
        {u"<T.\"n\"> #n%2,2f", true, u"<T.\"n\">", K::fkNumeric, u"%2.2f", u","},
        {u"x #N#,##0.00", true, u"x", K::fkNumeric, u"#.##0.00", u"."},
        {u"x #n%d", true, u"x", K::fkNumeric, u"%d", u""},
        {u"x #Ddd.mm.yyyy", true, u"x", K::fkDateTime, u"dd.mm.yyyy", u""},
        {u"x #tt", true, u"x", K::fkDateTime, u"t", u""},
        {u"x #bNo,Yes", true, u"x", K::fkBoolean, u"No,Yes", u""},
        {u"x #s", true, u"x", K::fkText, u"", u""},
        // A ")" after the mark: the "#" belongs to the expression.
        {u"Copy('a #b', 1, 2)", false, u"", K::fkText, u"", u""},
        {u"x#n0", false, u"", K::fkText, u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.Text));
        StringView expression;
        TvlxFormat format;
        ASSERT_EQ(SplitInlineFormat(c.Text, expression, format), c.Split);
        if (!c.Split) continue;
        EXPECT_EQ(Utf8(expression), Utf8(c.Expression));
        EXPECT_EQ(format.Kind(), c.Kind);
        EXPECT_EQ(Utf8(format.FormatStr()), Utf8(c.FormatStr));
        EXPECT_EQ(Utf8(format.DecimalSeparator()), Utf8(c.Decimal));
    }
}

} // namespace
} // namespace vl
