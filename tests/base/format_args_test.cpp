#include "base/exception.h"
#include "base/format_args.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

std::string Fmt(const char* picture, std::initializer_list<Variant> args)
{
    const std::vector<Variant> list(args);
    return ToUtf8(FormatArgs(FromUtf8(picture), list, FormatSettings::English()));
}

std::string ErrorOf(const char* picture, std::initializer_list<Variant> args)
{
    try {
        Fmt(picture, args);
        return "";
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.what();
    }
}

} // namespace

TEST(FormatArgs, EveryType)
{
    EXPECT_EQ(Fmt("%d|%5d|%-5d|%.3d|%x|%.4x",
                  {Variant(42), Variant(-7), Variant(3), Variant(5), Variant(255), Variant(10)}),
              "42|   -7|3    |005|FF|000A");
    EXPECT_EQ(Fmt("%x %u", {Variant(-1), Variant(-1)}), "FFFFFFFF 4294967295");
    EXPECT_EQ(Fmt("%d", {Variant(int64_t(1) << 40)}), "1099511627776");
    EXPECT_EQ(
        Fmt("%f|%.1f|%.0f|%8.3f", {Variant(2.675), Variant(0.25), Variant(2.5), Variant(-1.5)}),
        "2.68|0.3|3|  -1.500");
    EXPECT_EQ(Fmt("%n", {Variant(1234567.891)}), "1,234,567.89");
    EXPECT_EQ(Fmt("%e", {Variant(1234.5)}), "1.23450000000000E+003");
    EXPECT_EQ(Fmt("%.3e", {Variant(-0.000123)}), "-1.23E-004");
    EXPECT_EQ(Fmt("%g|%.3g", {Variant(0.1), Variant(1234.5)}), "0.1|1.23E3");
    EXPECT_EQ(Fmt("%m|%m", {Variant(1234.5), Variant(-2.0)}), "$1,234.50|-$2.00");
    EXPECT_EQ(
        Fmt("%s|%6s|%-6s|%.2s", {Variant(u"abc"), Variant(u"ab"), Variant(u"ab"), Variant(u"xyz")}),
        "abc|    ab|ab    |xy");
    EXPECT_EQ(Fmt("100%%", {}), "100%");
    EXPECT_EQ(Fmt("%p", {Variant(255)}), "000000FF");
}

TEST(FormatArgs, IndexesAndStars)
{
    EXPECT_EQ(Fmt("%1:s %0:s %s", {Variant(u"a"), Variant(u"b"), Variant(u"c")}), "b a b");
    EXPECT_EQ(Fmt("%*d|%-*d|%.*f",
                  {Variant(4), Variant(7), Variant(3), Variant(8), Variant(1), Variant(2.25)}),
              "   7|8  |2.3");
}

TEST(FormatArgs, MismatchesAndMissingArguments)
{
    const struct
    {
        const char* Picture;
        std::initializer_list<Variant> Args;
        const char* Error;
    } cases[] = {
        {"%d", {Variant(1.5)}, "EConvertError: Format '%d' invalid or incompatible with argument"},
        {"%s", {Variant(1)}, "EConvertError: Format '%s' invalid or incompatible with argument"},
        {"%f", {Variant(u"x")}, "EConvertError: Format '%f' invalid or incompatible with argument"},
        {"%d", {Variant(true)}, "EConvertError: Format '%d' invalid or incompatible with argument"},
        {"%k", {Variant(1)}, "EConvertError: Format '%k' invalid or incompatible with argument"},
        {"abc %",
         {Variant(1)},
         "EConvertError: Format 'abc %' invalid or incompatible with argument"},
        {"%d %d", {Variant(1)}, "EConvertError: No argument for format '%d %d'"},
        {"%99999999999d",
         {Variant(1)},
         "EConvertError: Format '%99999999999d' invalid or incompatible with argument"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Picture);
        EXPECT_EQ(ErrorOf(c.Picture, c.Args), c.Error);
    }
}

} // namespace vl
