// Measuring and wrapping at 600 dpi: heights, widths, the wrap rules, fitting and cutting.
#include "layout/layout_fixture.h"
#include "layout/text_layout.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace vl {
namespace {

using test::Apply;
using test::LayoutInput;
using test::LineTexts;
using test::Width600;

using Lines = std::vector<std::string>;

TEST(TextLayout, HeightsOfTenPointLinesWithSpacingTwo)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"one\r\ntwo\r\nthree"});
    EXPECT_EQ(layout.MeasuringHeight(), 83);
    EXPECT_DOUBLE_EQ(layout.TextHeight(), 13.28);
    EXPECT_DOUBLE_EQ(layout.LineHeight(), 15.28);
    EXPECT_DOUBLE_EQ(layout.CalcHeight(), 45.84);

    Apply(layout, {.Text = u"one\ntwo", .LineSpacing = -3});
    EXPECT_DOUBLE_EQ(layout.CalcHeight(), (13.28 - 3) * 2 + 3);
    Apply(layout, {.Text = u""});
    EXPECT_TRUE(layout.Lines().empty());
    EXPECT_DOUBLE_EQ(layout.CalcHeight(), 0);
}

TEST(TextLayout, FittingHeightIsTheRectangleHeightPlusOne)
{
    struct Case
    {
        int Height;
        size_t Fit;
        double Unused;
    } cases[] = {
        {29, 1, 30 - 15.28},
        {30, 2, 31 - 2 * 15.28},
        {13, 0, 0},
        {200, 3, 201 - 13 * 15.28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Height);
        TvlxDrawText layout;
        Apply(layout, {.Text = u"a\r\nb\r\nc", .Height = c.Height});
        EXPECT_NEAR(layout.UnusedSpace(), c.Unused, 1e-9);
        bool paraBreak = true;
        String rest = layout.GetOutBoundsText(paraBreak);
        EXPECT_EQ(layout.Lines().size(), c.Fit);
        EXPECT_FALSE(paraBreak);
        EXPECT_EQ(rest.empty(), c.Fit == 3);
    }
}

TEST(TextLayout, AFullRectangleLeavesATinyUnusedSpace)
{
    // 6 pt: 50 units = 8 pixels, plus spacing 2 = 10; 19 + 1 holds exactly two lines.
    TvlxDrawText layout;
    Apply(layout, {.Text = u"a", .Height = 19, .Font = {.Size = 6}});
    EXPECT_DOUBLE_EQ(layout.LineHeight(), 10);
    EXPECT_DOUBLE_EQ(layout.UnusedSpace(), 0.0001);
}

TEST(TextLayout, WrapsAtBlanksAndALineAsWideAsTheLimitFits)
{
    int firstLine = Width600(u"aaa bbb");
    struct Case
    {
        const char* Name;
        int Shrink; // measuring units taken off the first-line limit
        Lines Expected;
    } cases[] = {
        {"exactly as wide", 0, {"aaa bbb", "ccc"}},
        {"one unit short", 1, {"aaa", "bbb ccc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        // The paragraph gap trims the first-line limit to the unit.
        double gap = 200 - (firstLine - c.Shrink) / 6.25;
        TvlxDrawText layout;
        Apply(layout, {.Text = u"aaa bbb ccc", .Width = 200, .ParagraphGap = gap});
        EXPECT_EQ(LineTexts(layout), c.Expected);
    }
}

TEST(TextLayout, WrapRulesForBlanksWordsAndCharacters)
{
    struct Case
    {
        const char* Name;
        const char* Text;
        int Width;
        Lines Expected;
    } cases[] = {
        {"blank at the break belongs to neither line",
         "aaaa bbbb cccc",
         30,
         {"aaaa", "bbbb", "cccc"}},
        {"only the breaking blank is dropped", "aaaa  bbbb", 35, {"aaaa ", "bbbb"}},
        {"a blank after a break starts the next line", "aaaa  bbbb", 30, {"aaaa", " bbb", "b"}},
        {"character wider than the line stands alone", "WWi", 3, {"W", "W", "i"}},
        {"empty source line keeps a blank", "a\r\n\r\nb", 100, {"a", " ", "b"}},
        {"line breaks of every kind", "a\nb\rc\r\n", 100, {"a", "b", "c"}},
        {"single character never wraps", "W", 1, {"W"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TvlxDrawText layout;
        Apply(layout, {.Text = U(c.Text), .Width = c.Width});
        EXPECT_EQ(LineTexts(layout), c.Expected);
    }
}

// A word wider than the line is cut after the last character that fits, line after line.
void ExpectCutAtTheLastFittingCharacter(const TvlxDrawText& layout, StringView word, int width)
{
    String joined;
    for (const LayoutLine& line : layout.Lines()) {
        EXPECT_LE(Width600(line.Text), width * 6.25) << ToUtf8(line.Text);
        size_t next = joined.size() + line.Text.size();
        if (next < word.size()) {
            EXPECT_GT(Width600(line.Text + word[next]), width * 6.25) << ToUtf8(line.Text);
        }
        joined += line.Text;
    }
    EXPECT_EQ(joined, word);
}

TEST(TextLayout, AWordWiderThanTheLineIsCutAtTheLastFittingCharacter)
{
    for (int width : {20, 33, 71}) {
        SCOPED_TRACE(width);
        TvlxDrawText layout;
        Apply(layout, {.Text = u"abcdefghijklmnopqrstuvwxyz", .Width = width});
        EXPECT_GT(layout.Lines().size(), 1u);
        ExpectCutAtTheLastFittingCharacter(layout, u"abcdefghijklmnopqrstuvwxyz", width);
    }
}

TEST(TextLayout, EveryWrappedLineFitsAndNoTextIsLost)
{
    struct Case
    {
        const char* Name;
        const char* Text;
        const char16_t* Font;
        bool Rtl;
    } cases[] = {
        {"Latin",
         "The quick brown fox jumps over the lazy dog while the report engine keeps printing.",
         u"Arial",
         false},
        {"Cyrillic",
         "Съешь же ещё этих мягких французских булок, да выпей чаю. Отчёт готов к печати.",
         u"Times New Roman",
         false},
        {"Arabic",
         "\u0627\u0644\u062A\u0642\u0631\u064A\u0631 \u062C\u0627\u0647\u0632 \u0644\u0644"
         "\u0637\u0628\u0627\u0639\u0629 \u0641\u064A \u0643\u0644 \u0635\u0641\u062D\u0629 "
         "\u0645\u0646 \u0627\u0644\u0635\u0641\u062D\u0627\u062A",
         u"DejaVu Sans",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TvlxDrawText layout;
        String text = U(c.Text);
        Apply(layout, {.Text = text, .Width = 90, .Font = {.Name = c.Font}, .Rtl = c.Rtl});
        ASSERT_GT(layout.Lines().size(), 2u);
        String joined;
        for (const LayoutLine& line : layout.Lines()) {
            EXPECT_LE(Width600(line.Text, c.Font), 90 * 6.25) << ToUtf8(line.Text);
            joined += (joined.empty() ? u"" : u" ") + line.Text;
        }
        EXPECT_EQ(ToUtf8(joined), ToUtf8(text));
        EXPECT_LE(layout.CalcWidth(), 90);
    }
}

TEST(TextLayout, ParagraphGapNarrowsAndWidensTheFirstLineOnly)
{
    TvlxDrawText plain, gapped;
    String text = u"aaa bbb ccc ddd eee fff ggg hhh\r\nsecond paragraph";
    int width = static_cast<int>(Width600(u"aaa bbb ccc") / 6.25) + 1;
    Apply(plain, {.Text = text, .Width = width});
    Apply(gapped, {.Text = text, .Width = width, .ParagraphGap = 20});
    EXPECT_EQ(LineTexts(plain)[0], "aaa bbb ccc");
    EXPECT_EQ(LineTexts(gapped)[0], "aaa bbb");
    EXPECT_EQ(LineTexts(gapped)[1], "ccc ddd eee");
    EXPECT_EQ(gapped.Lines()[0].Flags, lfFirst);
    auto second = std::find_if(gapped.Lines().begin(), gapped.Lines().end(), [](auto& line) {
        return line.Text.starts_with(u"second");
    });
    ASSERT_NE(second, gapped.Lines().end());
    EXPECT_EQ(second->Flags & lfFirst, lfFirst);
    // The widest line counts the gap when it opens a paragraph.
    EXPECT_DOUBLE_EQ(gapped.LineWidth(0), (Width600(u"aaa bbb") + 125) / 6.25);
    EXPECT_DOUBLE_EQ(gapped.LineWidth(1), Width600(u"ccc ddd eee") / 6.25);
}

TEST(TextLayout, CalcWidthAddsCharacterSpacingPerCharacter)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"ab\r\nabcd", .CharSpacing = 1.5});
    // 4 characters * 1.5 px * 6.25 = 37.5 -> 38 (halves to even).
    EXPECT_DOUBLE_EQ(layout.CalcWidth(), (Width600(u"abcd") + 38) / 6.25);
    EXPECT_EQ(ToUtf8(layout.WrappedText()), "ab\r\nabcd\r\n");
}

TEST(TextLayout, RotatedQuarterTurnsWrapToTheHeight)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"aaaa bbbb cccc", .Width = 500, .Height = 30, .Rotation = -270});
    EXPECT_EQ(LineTexts(layout), (Lines{"aaaa", "bbbb", "cccc"}));
    Apply(layout, {.Text = u"aaaa bbbb cccc", .Width = 500, .Height = 30, .Rotation = 45});
    EXPECT_EQ(LineTexts(layout), (Lines{"aaaa bbbb cccc"}));
}

TEST(TextLayout, WithoutWordWrapEachSourceLineIsOneLine)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"aaaa bbbb cccc\r\nx", .Width = 10, .WordWrap = false});
    EXPECT_EQ(LineTexts(layout), (Lines{"aaaa bbbb cccc", "x"}));
}

TEST(TextLayout, LongSourceLinesWrapWithoutLosingText)
{
    String text;
    for (int i = 0; text.size() < 40000; ++i)
        text += u"word" + IntToStr(i) + u" ";
    text += u"end";
    TvlxDrawText layout;
    Apply(layout, {.Text = text, .Width = 600});
    String joined;
    for (const LayoutLine& line : layout.Lines())
        joined += (joined.empty() ? u"" : u" ") + line.Text;
    EXPECT_EQ(joined, text);

    // One unbroken line far past 32768 units without wrapping is measured whole.
    Apply(layout, {.Text = String(40000, u'x'), .Width = 600, .WordWrap = false});
    EXPECT_DOUBLE_EQ(layout.CalcWidth(), 40000 * Width600(u"x") / 6.25);
}

TEST(TextLayout, CutAtTheBoundaryReturnsTheSourceOfTheRest)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"aaaa bbbb cccc\r\ndddd", .Width = 30, .Height = 29});
    bool paraBreak = false;
    EXPECT_EQ(ToUtf8(layout.GetOutBoundsText(paraBreak)), "bbbb cccc\r\ndddd\r\n");
    EXPECT_TRUE(paraBreak);
    EXPECT_EQ(ToUtf8(layout.GetInBoundsText()), "aaaa ");
    EXPECT_EQ(LineTexts(layout), (Lines{"aaaa"}));

    // A cut between paragraphs is no paragraph break.
    Apply(layout, {.Text = u"aaaa\r\nbbbb", .Width = 30, .Height = 29});
    EXPECT_EQ(ToUtf8(layout.GetOutBoundsText(paraBreak)), "bbbb\r\n");
    EXPECT_FALSE(paraBreak);
    EXPECT_EQ(ToUtf8(layout.GetInBoundsText()), "aaaa\r\n");

    // Nothing fits: everything is left over.
    Apply(layout, {.Text = u"aaaa", .Width = 30, .Height = 5});
    EXPECT_EQ(ToUtf8(layout.GetOutBoundsText(paraBreak)), "aaaa\r\n");
    EXPECT_FALSE(paraBreak);
    EXPECT_TRUE(layout.Lines().empty());
}

TEST(TextLayout, SplittingABoldStretchKeepsItBold)
{
    TvlxDrawText layout;
    Apply(layout,
          {.Text = u"<b>aaaa bbbb</b> cccc",
           .Width = 40,
           .Height = 29,
           .Font = {.Color = 0x336699},
           .Tags = true});
    ASSERT_EQ(LineTexts(layout), (Lines{"aaaa", "bbbb", "cccc"}));
    bool paraBreak = false;
    String rest = layout.GetOutBoundsText(paraBreak);
    EXPECT_EQ(ToUtf8(rest), "<font color=\"#996633\"><b>bbbb</b> cccc\r\n");
    EXPECT_TRUE(paraBreak);
    EXPECT_EQ(ToUtf8(layout.GetInBoundsText()), "<b>aaaa ");

    // The continuation lays out bold again.
    Apply(layout, {.Text = rest, .Width = 40, .Tags = true});
    EXPECT_EQ(layout.Lines()[0].Tags[0].Style & fsBold, fsBold);
    EXPECT_EQ(layout.Lines()[0].Tags[0].Color, 0x336699u);
    EXPECT_EQ(layout.Lines()[1].Tags[0].Style & fsBold, 0);
}

TEST(TextLayout, NoWrapStretchesKeepTheirBlanks)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"aaaa <nowrap>bb cc</nowrap> dd", .Width = 60, .Tags = true});
    EXPECT_EQ(LineTexts(layout), (Lines{"aaaa", "bb cc dd"}));
    Apply(layout, {.Text = u"aaaa bb cc dd", .Width = 60});
    EXPECT_EQ(LineTexts(layout), (Lines{"aaaa bb", "cc dd"}));
}

TEST(TextLayout, SubscriptCharactersCountTwoThirds)
{
    TvlxDrawText tagged, plain;
    Apply(tagged, {.Text = u"H<sub>2222222222</sub>O", .Width = 1000, .Tags = true});
    Apply(plain, {.Text = u"H2222222222O", .Width = 1000});
    // Sub- and superscript are narrower while wrapping, not in CalcWidth.
    EXPECT_DOUBLE_EQ(tagged.CalcWidth(), plain.CalcWidth());
    int digit = Width600(u"2");
    int narrow = static_cast<int>(std::nearbyint(digit / 1.5));
    int limit = Width600(u"HO") + 10 * narrow;
    Apply(tagged,
          {.Text = u"H<sub>2222222222</sub>O",
           .Width = 1000,
           .Tags = true,
           .ParagraphGap = 1000 - limit / 6.25});
    EXPECT_EQ(tagged.Lines().size(), 1u);
}

TEST(TextLayout, WordBreakHyphenatesWithTheLetterClasses)
{
    // Consonant-vowel pairs of the stored classes; breaks fall after each vowel.
    String word = U("ÁŔÁŔÁŔÁŔ");
    int width = static_cast<int>(Width600(U("ÁŔÁŔÁ")) / 6.25) + 1;
    TvlxDrawText layout;
    Apply(layout,
          {.Text = U("x ") + word,
           .Width = width + static_cast<int>(Width600(u"x ") / 6.25) + 1,
           .Height = 29,
           .WordBreak = true});
    EXPECT_EQ(LineTexts(layout), (Lines{"x ÁŔÁŔ-", "ÁŔÁŔ"}));
    bool paraBreak = false;
    EXPECT_EQ(ToUtf8(layout.GetOutBoundsText(paraBreak)), "ÁŔÁŔ\r\n");
    EXPECT_EQ(ToUtf8(layout.GetInBoundsText()), "x ÁŔÁŔ-");

    // A word alone on its line, and text without those letters, which is cut as usual.
    Apply(layout, {.Text = word, .Width = width, .WordBreak = true});
    EXPECT_EQ(LineTexts(layout), (Lines{"ÁŔÁŔ-", "ÁŔÁŔ"}));
    Apply(layout, {.Text = u"abcdefghijklmnop", .Width = 20, .WordBreak = true});
    ExpectCutAtTheLastFittingCharacter(layout, u"abcdefghijklmnop", 20);
}

TEST(TextLayout, ParaBreaksRemoveTheParagraphFlags)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"aaaa bbbb", .Width = 30});
    ASSERT_EQ(layout.Lines().size(), 2u);
    EXPECT_EQ(layout.Lines()[0].Flags, lfFirst);
    EXPECT_EQ(layout.Lines()[1].Flags, lfLast);
    layout.SetParaBreaks(true, true);
    EXPECT_EQ(layout.Lines()[0].Flags, 0);
    EXPECT_EQ(layout.Lines()[1].Flags, 0);
}

TEST(TextLayout, UnknownFontsMeasureWithAFallbackFace)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"some text", .Font = {.Name = u"No Such Face"}});
    EXPECT_GT(layout.CalcWidth(), 0);
    EXPECT_DOUBLE_EQ(layout.LineHeight(), 15.28);
}

} // namespace
} // namespace vl
