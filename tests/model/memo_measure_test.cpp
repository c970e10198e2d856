#include "model/view_fixture.h"
#include "platform/fonts/font_lookup.h"

#include <cmath>
#include <numeric>

namespace vl {
namespace {

using test::ViewTree;

// Width of a text in 10 pt Arial at 600 dpi (83 units per em).
int Width600(StringView text)
{
    std::vector<int> advances(text.size());
    FindFontFace(u"Arial", 0).CharAdvances(text, 83, advances);
    return std::accumulate(advances.begin(), advances.end(), 0);
}

TEST(MemoMeasure, HeightAddsGapsFramedHalvesAndShadow)
{
    // Three lines of 10 pt text with LineSpacing 2 are 3 x (83 / 6.25 + 2) = 45.84 pixels.
    struct Case
    {
        const char* What;
        void (*Setup)(TvlxMemoView&);
        double Height;
    };
    const Case cases[] = {
        {"gaps only", [](TvlxMemoView&) {}, 48}, // 45.84 + 2
        {"bottom line of width 2",
         [](TvlxMemoView& m) {
             m.MutableFrame().SetTyp({TvlxFrameType::ftBottom});
             m.MutableFrame().SetWidth(2);
         },
         49}, // 45.84 + 2 + 1
        {"top and bottom of width 3",
         [](TvlxMemoView& m) {
             m.MutableFrame().SetTyp({TvlxFrameType::ftTop, TvlxFrameType::ftBottom});
             m.MutableFrame().SetWidth(3);
         },
         50}, // 45.84 + 2 + 1 + 1.5
        {"drop shadow",
         [](TvlxMemoView& m) { m.MutableFrame().SetDropShadow(true); },
         52}, // 45.84 + 2 + 4
        {"left and right edges do not count",
         [](TvlxMemoView& m) {
             m.MutableFrame().SetTyp({TvlxFrameType::ftLeft, TvlxFrameType::ftRight});
             m.MutableFrame().SetWidth(5);
         },
         48},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ViewTree t;
        auto* m = t.Add<TvlxMemoView>(0, 0, 200, 20);
        m->SetText(u"one\r\ntwo\r\nthree");
        c.Setup(*m);
        EXPECT_EQ(m->CalcHeight(), c.Height);
    }
}

TEST(MemoMeasure, HeightWrapsInTheTextRectangleUnlessAutoWidth)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 60, 20);
    m->SetText(u"several words that cannot fit on one narrow line");
    double wrapped = m->CalcHeight();
    EXPECT_GT(wrapped, 48);
    m->SetAutoWidth(true);
    EXPECT_EQ(m->CalcHeight(), 17); // one line: 15.28 + 2, rounded
}

TEST(MemoMeasure, HighlightFontMeasuresWhileActive)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 200, 20);
    m->SetText(u"x");
    EXPECT_EQ(m->CalcHeight(), 17);
    m->MutableHighlight().MutableFont().SetSize(20);
    EXPECT_EQ(m->CalcHeight(), 17);
    m->MutableHighlight().SetActive(true);
    // 20 pt: 167 / 6.25 + 2 = 28.72, plus 2 for the gaps.
    EXPECT_EQ(m->CalcHeight(), 31);
}

TEST(MemoMeasure, WidthIsTheWidestLinePlusHorizontalExtra)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 20, 20);
    m->SetText(u"short\r\nthe longest line\r\nmid");
    m->MutableFrame().SetTyp({TvlxFrameType::ftLeft});
    m->MutableFrame().SetWidth(3);
    double expected = std::nearbyint(Width600(u"the longest line") / 6.25 + 4 + 1);
    EXPECT_EQ(m->CalcWidth(), expected);
}

TEST(MemoMeasure, TextRectangleShrinksByFramedEdgesAndGaps)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 100, 50);
    m->SetGapX(2);
    m->SetGapY(1);
    EXPECT_EQ(m->TextRect({0, 0, 100, 50}, 1, 1), (IntRect{2, 1, 99, 50}));
    m->MutableFrame().SetTyp({TvlxFrameType::ftLeft,
                              TvlxFrameType::ftRight,
                              TvlxFrameType::ftTop,
                              TvlxFrameType::ftBottom});
    m->MutableFrame().SetWidth(3);
    // Left and top lose round((3 - 1) / 2) = 1, right and bottom round(3 / 2) = 2.
    EXPECT_EQ(m->TextRect({0, 0, 100, 50}, 1, 1), (IntRect{3, 2, 97, 48}));
    // At scale 2 everything doubles: round(5 / 2) = 2, round(3) = 3, gaps 4 and 2.
    EXPECT_EQ(m->TextRect({0, 0, 200, 100}, 2, 2), (IntRect{6, 4, 194, 96}));
}

TEST(MemoMeasure, DrawPartKeepsTheLinesThatFitAndLeavesTheRest)
{
    ViewTree t;
    // Text rectangle 30 high with GapY 1: fitting height 31 holds two lines of 15.28.
    auto* m = t.Add<TvlxMemoView>(0, 0, 200, 31);
    m->SetText(u"one\r\ntwo\r\nthree\r\nfour");
    m->SetLastParaBreak(true);
    m->InitPart();
    EXPECT_FALSE(m->LastParaBreak());
    double unused = m->DrawPart();
    EXPECT_NEAR(unused, 31 - 2 * 15.28, 1e-9);
    EXPECT_EQ(m->Text(), u"one\r\ntwo\r\n");
    EXPECT_EQ(m->FPartMemo, u"three\r\nfour\r\n");
    EXPECT_FALSE(m->LastParaBreak());

    unused = m->DrawPart();
    EXPECT_EQ(m->Text(), u"three\r\nfour\r\n");
    EXPECT_TRUE(m->FPartMemo.empty());

    // Nothing fits: the full height comes back and the text waits for the next part.
    auto* tiny = t.Add<TvlxMemoView>(0, 0, 200, 5);
    tiny->SetText(u"one");
    tiny->InitPart();
    EXPECT_EQ(tiny->DrawPart(), 5);
    EXPECT_EQ(tiny->FPartMemo, u"one\r\n");
}

TEST(MemoMeasure, DrawPartMarksACutInsideAParagraph)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 60, 16);
    m->SetText(u"words words words words words");
    m->InitPart();
    m->DrawPart();
    EXPECT_TRUE(m->LastParaBreak());
    EXPECT_FALSE(m->FPartMemo.empty());
}

TEST(MemoMeasure, WrapTextGivesTheLaidOutLinesWithoutTags)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 60, 20);
    m->SetAllowHTMLTags(true);
    m->SetText(u"<b>alpha</b> beta gamma\r\ndelta");
    EXPECT_EQ(ToUtf8(m->WrapText(false)), "alpha beta gamma\r\ndelta\r\n");
    const std::string wrapped = ToUtf8(m->WrapText(true));
    EXPECT_TRUE(wrapped.starts_with("alpha\r\n")) << wrapped;
    EXPECT_TRUE(wrapped.ends_with("gamma\r\ndelta\r\n")) << wrapped;
    // Asking for one form leaves the view's own wrapping as it was.
    EXPECT_TRUE(m->WordWrap());
}

TEST(MemoMeasure, RotationIsKeptModulo360)
{
    const std::pair<int32_t, int32_t> cases[] = {{450, 90}, {360, 0}, {-90, -90}, {719, 359}};
    for (auto [in, out] : cases) {
        SCOPED_TRACE(in);
        TvlxMemoView m;
        m.SetRotation(in);
        EXPECT_EQ(m.Rotation(), out);
    }
}

} // namespace
} // namespace vl
