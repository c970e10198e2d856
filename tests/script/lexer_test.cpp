#include "base/variant.h"
#include "script/lexer.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

const TsbParserSettings& Pascal()
{
    static const TsbParserSettings settings = [] {
        TsbParserSettings s;
        s.Keywords = {u"begin", u"end"};
        return s;
    }();
    return settings;
}

} // namespace

TEST(Lexer, AngleBracketTextEndsAtTheMatchingBracket)
{
    const struct
    {
        const char* Text;
        const char* Expected; // text read, or "-" when nothing is read
    } cases[] = {
        {"Orders.\"Total\">", "Orders.\"Total\""},
        {"a<b>c> + 1", "a<b>c"},
        {"x[1]>", "x[1]"},
        {"\"a>b\">", "\"a>b\""},
        {"'it\">'>", "'it\">'"},
        {"SUM(<a>)>", "SUM(<a>)"},
        {"unclosed", "-"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        TsbParser p(U(c.Text), Pascal());
        String text;
        EXPECT_EQ(p.ReadVlString(text) ? ToUtf8(text) : "-", c.Expected);
    }
}

TEST(Lexer, NumbersStopBeforeTwoDots)
{
    TsbParser p(u"1..5 2.5e3 $1F 7.", Pascal());
    String text;
    ASSERT_TRUE(p.ReadNumber(text));
    EXPECT_EQ(ToUtf8(text), "1");
    EXPECT_TRUE(p.ReadChar(u'.'));
    EXPECT_TRUE(p.ReadChar(u'.', false));
    ASSERT_TRUE(p.ReadNumber(text));
    EXPECT_EQ(ToUtf8(text), "5");
    ASSERT_TRUE(p.ReadNumber(text));
    EXPECT_EQ(ToUtf8(text), "2.5e3");
    ASSERT_TRUE(p.ReadNumber(text));
    EXPECT_EQ(ToUtf8(text), "$1F");
    ASSERT_TRUE(p.ReadNumber(text));
    EXPECT_EQ(ToUtf8(text), "7");
}

TEST(Lexer, NumberValues)
{
    const struct
    {
        const char* Text;
        TVarType Type;
    } cases[] = {
        {"0", varInteger},
        {"2147483647", varInteger},
        {"2147483648", varInt64},
        {"$FFFFFFFF", varInt64},
        {"99999999999999999999", varDouble},
        {"1.5", varDouble},
        {"1e3", varDouble},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        Variant v;
        ASSERT_TRUE(NumberTokenValue(U(c.Text), v));
        EXPECT_EQ(v.Type(), c.Type);
    }
}

TEST(Lexer, StringsAndKeywords)
{
    TsbParser p(u"'a'#9'b' #$263A begin BEGIN2 'open", Pascal());
    String text;
    ASSERT_TRUE(p.ReadString(text));
    EXPECT_EQ(text, u"a\tb");
    ASSERT_TRUE(p.ReadString(text));
    EXPECT_EQ(text, u"\u263A");
    EXPECT_FALSE(p.ReadIdent(text));
    EXPECT_TRUE(p.ReadKeyword(u"BEGIN"));
    EXPECT_FALSE(p.ReadKeyword(u"begin")); // BEGIN2 is an identifier
    ASSERT_TRUE(p.ReadIdent(text));
    EXPECT_EQ(text, u"BEGIN2");
    EXPECT_FALSE(p.ReadString(text));
    EXPECT_EQ(ToUtf8(p.LinePos(p.Position())), "1:30");
}

TEST(Lexer, PositionsCountLinesAndColumnsFromOne)
{
    TsbParser p(u"a\nbb\r\n  c", Pascal());
    EXPECT_EQ(ToUtf8(p.LinePos(0)), "1:1");
    EXPECT_EQ(ToUtf8(p.LinePos(3)), "2:2");
    EXPECT_EQ(ToUtf8(p.LinePos(8)), "3:3");
}

} // namespace vl
