#include "template/xml_value.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(ValueToXML, EncodesEachKindOfValue)
{
    const auto english = FormatSettings::English();
    auto comma = english;
    comma.DecimalSeparator = u',';
    const struct
    {
        const char* Name;
        Variant Value;
        const FormatSettings& Settings;
        const char16_t* Expected;
    } cases[] = {
        {"smallint", Variant::FromInteger(varSmallint, -12), english, u"-12"},
        {"integer", Variant(int32_t{123456}), english, u"123456"},
        {"byte", Variant::FromInteger(varByte, 255), english, u"255"},
        {"int64", Variant(int64_t{1} << 40), english, u"1099511627776"},
        {"word", Variant::FromInteger(varWord, 65535), english, u"65535"},
        {"double", Variant(2.5), english, u"2.5"},
        {"double with a decimal comma", Variant(2.5), comma, u"2,5"},
        {"single", Variant::FromSingle(0.5f), english, u"0.5"},
        {"currency", Variant::FromCurrencyScaled(123456789), comma, u"12345,6789"},
        {"date with a time", Variant::FromDate(45298.75), english, u"2024-01-07"},
        {"string", Variant(u"a<\"b\">&\r\n"), english, u"a&#60;&#34;b&#34;&#62;&#38;&#13;&#10;"},
        {"true", Variant(true), english, u"1"},
        {"false", Variant(false), english, u"0"},
        {"empty", Variant(), english, u""},
        {"null", Variant::Null(), english, u""},
        {"array", Variant::Array(0, 1), english, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ToUtf8(ValueToXML(c.Value, c.Settings)), ToUtf8(c.Expected));
    }
}

} // namespace
} // namespace vl
