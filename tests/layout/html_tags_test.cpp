// The tag language: recognised tags, colour forms, positions and run starts.
#include "layout/html_tags.h"
#include "layout/layout_fixture.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

struct Parsed
{
    String Text;
    TvlxHTMLTags Tags;
};

Parsed Parse(const char* utf8, bool allowTags = true)
{
    TvlxHTMLTagsList parser;
    parser.Reset(10, 0, 0x000000);
    Parsed p{U(utf8), {}};
    parser.ExpandHTMLTags(p.Text, p.Tags, allowTags);
    return p;
}

constexpr uint32_t Red = 0x0000FF; // report colours hold red in the low byte

TEST(HTMLTags, FontColourForms)
{
    struct Case
    {
        const char* Source;
        const char* Text;
        uint32_t Color;
    } cases[] = {
        {"<font color=red>x</font>", "x", Red},
        {"<font color=\"#FF0000\">x", "x", Red},
        {"<FONT COLOR = MoneyGreen>x", "x", 0xC0DCC0},
        {"<font color=\"#00ff80\">x", "x", 0x80FF00},
        {"<font color=\"red\">x", "<font color=\"red\">x", 0},
        {"<font color=\"#FF00\">x", "<font color=\"#FF00\">x", 0},
        {"<font color=reddish>x", "<font color=reddish>x", 0},
        {"<font color=red x", "<font color=red x", 0},
        {"<font color=clRed>x", "<font color=clRed>x", 0},
        {"<font color=btnface>x", "x", 0xF0F0F0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source);
        Parsed p = Parse(c.Source);
        EXPECT_EQ(ToUtf8(p.Text), c.Text);
        EXPECT_EQ(p.Tags.back().Color, c.Color);
    }
}

TEST(HTMLTags, StylesSizesAndPositions)
{
    Parsed p = Parse("a<B>b<i>c</b><u>d</U></i><strike>e</strike><sub>f</sub><sup>g</sup>h");
    ASSERT_EQ(ToUtf8(p.Text), "abcdefgh");
    struct Expect
    {
        int Position;
        uint8_t Style;
        int Size;
        int AddY;
        TvlxSubType Sub;
        bool Default;
    } expected[] = {
        {1, 0, 10, 0, TvlxSubType::stNormal, true},
        {5, 1, 10, 0, TvlxSubType::stNormal, false},
        {9, 3, 10, 0, TvlxSubType::stNormal, false},
        {17, 6, 10, 0, TvlxSubType::stNormal, false},
        {34, 8, 10, 0, TvlxSubType::stNormal, false},
        {49, 0, 7, 1, TvlxSubType::stSubscript, false},
        {61, 0, 7, 0, TvlxSubType::stSuperscript, false},
        {68, 0, 10, 0, TvlxSubType::stNormal, false},
    };
    for (size_t i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        const TvlxHTMLTag& t = p.Tags[i];
        EXPECT_EQ(t.Position, expected[i].Position);
        EXPECT_EQ(t.Style, expected[i].Style);
        EXPECT_EQ(t.Size, expected[i].Size);
        EXPECT_EQ(t.AddY, expected[i].AddY);
        EXPECT_EQ(t.SubType, expected[i].Sub);
        EXPECT_EQ(t.Small, expected[i].Size != 10);
        EXPECT_EQ(t.Default, expected[i].Default);
    }
}

TEST(HTMLTags, MalformedOrDefeatedTagsStayText)
{
    struct Case
    {
        const char* Source;
        const char* Text;
    } cases[] = {
        {"a < b <b", "a < b <b"},
        {"<bold>x</bo>", "<bold>x</bo>"},
        {"<font color=>x", "<font color=>x"},
        {"<font>x", "<font>x"},
        // An identical text kept earlier in the line defeats these tags.
        {"sub> <sub>x", "sub> <sub>x"},
        {"nowrap> <nowrap>x</nowrap>", "nowrap> <nowrap>x"},
        {"/font> x</font>", "/font> x</font>"},
        // Deleted tags do not defeat later ones.
        {"<sub>1</sub><sub>2</sub>", "12"},
        {"<>", "<>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Source);
        EXPECT_EQ(ToUtf8(Parse(c.Source).Text), c.Text);
    }
}

TEST(HTMLTags, WithoutTagsEverythingIsPlainText)
{
    Parsed p = Parse("<b>x</b>", false);
    EXPECT_EQ(ToUtf8(p.Text), "<b>x</b>");
    for (const TvlxHTMLTag& t : p.Tags) {
        EXPECT_TRUE(t.Default);
        EXPECT_EQ(t.Style, 0);
    }
    EXPECT_EQ(p.Tags[4].Position, 5);
}

TEST(HTMLTags, ALineOfTagsOnlyBecomesOneBlank)
{
    Parsed p = Parse("<b></b>");
    EXPECT_EQ(ToUtf8(p.Text), " ");
    ASSERT_EQ(p.Tags.size(), 1u);
    EXPECT_EQ(p.Tags[0].Position, 8);
}

TEST(HTMLTags, DeleteTagsKeepsLinesAndUnknownMarkup)
{
    EXPECT_EQ(ToUtf8(DeleteTags(u"<b>x</b> <font color=red>y</font> <q>\r\n<i></i>\r\nz")),
              "x y <q>\r\n\r\nz");
}

TEST(HTMLTags, FormattingCarriesAcrossSourceLines)
{
    TvlxDrawText layout;
    test::Apply(layout, {.Text = u"<b>one\r\ntwo</b>\r\nthree", .Tags = true});
    ASSERT_EQ(layout.Lines().size(), 3u);
    EXPECT_EQ(layout.Lines()[1].Tags[0].Style, fsBold);
    EXPECT_TRUE(layout.Lines()[1].Tags[0].Default);
    EXPECT_EQ(layout.Lines()[1].Tags[0].Position, 9); // after "<b>one" and the line break
    EXPECT_EQ(layout.Lines()[2].Tags[0].Style, 0);
}

} // namespace
} // namespace vl
