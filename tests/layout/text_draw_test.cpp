// Drawing wrapped lines on the raster surface: alignment, justification, Wysiwyg widths,
// rotation and clipping, checked on the pixels; the pictures are written to the temporary folder
// (vl_layout_png) for a look.
#include "layout/layout_fixture.h"
#include "layout/text_layout.h"
#include "platform/canvas/raster_surface.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace vl {
namespace {

using test::Apply;
using test::LayoutInput;

constexpr uint32_t White = 0xFFFFFF;

IntRect InkBox(const RasterSurface& s, int top = 0, int bottom = -1)
{
    if (bottom < 0) bottom = s.Height();
    IntRect box{s.Width(), s.Height(), -1, -1};
    for (int y = std::max(0, top); y < std::min(bottom, s.Height()); ++y)
        for (int x = 0; x < s.Width(); ++x)
            if (s.PixelColor(x, y) != White) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

std::string PngPath(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / "vl_layout_png";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

const char16_t* Paragraphs =
    u"Report engines measure every text at six hundred dots per inch, so lines break where "
    u"they would break on a printer.\r\nThe second paragraph is justified as well, and its "
    u"last line stays short.";

TEST(TextDraw, JustifiedLinesReachTheRightEdgeExceptParagraphEnds)
{
    for (bool continues : {false, true}) {
        SCOPED_TRACE(continues ? "paragraph continues" : "paragraph ends");
        TvlxDrawText layout;
        Apply(layout, {.Text = Paragraphs, .Width = 240, .Height = 200});
        layout.SetParaBreaks(false, continues);
        RasterSurface canvas(260, 220);
        layout.DrawText(canvas, THAlign::haBlock, TVAlign::vaTop);
        canvas.WritePng(PngPath(continues ? "justified_continues.png" : "justified.png"));
        const auto& lines = layout.Lines();
        for (size_t i = 0; i < lines.size(); ++i) {
            SCOPED_TRACE(ToUtf8(lines[i].Text));
            int top = int(i) * 15; // 13 pixels of font + 2 of spacing per line
            IntRect ink = InkBox(canvas, top, top + 13);
            bool stretched = !(lines[i].Flags & lfLast);
            if (stretched) {
                EXPECT_NEAR(ink.Right, 240, 2);
            } else {
                EXPECT_LT(ink.Right, 230);
            }
            EXPECT_LE(ink.Left, 1);
        }
    }
}

TEST(TextDraw, WysiwygKeepsTheMeasuredWidthOnAnyScale)
{
    for (double scale : {1.0, 2.0, 3.0}) {
        SCOPED_TRACE(scale);
        TvlxDrawText layout;
        Apply(layout, {.Text = u"HHHHHHHHHH", .Width = 300, .Height = 30, .Scale = scale});
        RasterSurface canvas(int(320 * scale), int(40 * scale));
        layout.DrawText(canvas, THAlign::haLeft, TVAlign::vaTop);
        int expected = int(std::nearbyint(test::Width600(u"HHHHHHHHHH") / 6.25 * scale));
        // The last H ends one side bearing before the pen.
        int bearing = int(std::ceil(0.08 * scale * 13));
        EXPECT_NEAR(InkBox(canvas).Right, expected - bearing, bearing + 1);
    }
}

TEST(TextDraw, AlignmentsPlaceTheLineInTheRectangle)
{
    struct Case
    {
        THAlign H;
        TVAlign V;
        int Left, Right, Top, Bottom; // expected ink edges, -1 for "do not check"
    } cases[] = {
        {THAlign::haLeft, TVAlign::vaTop, 0, -1, 0, 15},
        {THAlign::haRight, TVAlign::vaTop, -1, 200, -1, -1},
        {THAlign::haCenter, TVAlign::vaCenter, -1, -1, 40, 60},
        {THAlign::haLeft, TVAlign::vaBottom, -1, -1, 85, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.H) * 10 + int(c.V));
        TvlxDrawText layout;
        Apply(layout, {.Text = u"Aligned", .Width = 200, .Height = 100});
        RasterSurface canvas(200, 100);
        layout.DrawText(canvas, c.H, c.V);
        IntRect ink = InkBox(canvas);
        if (c.Left >= 0) {
            EXPECT_NEAR(ink.Left, c.Left, 2);
        }
        if (c.Right >= 0) {
            EXPECT_NEAR(ink.Right, c.Right, 3);
        }
        if (c.Top >= 0) {
            EXPECT_GE(ink.Top, c.Top);
        }
        if (c.Bottom >= 0) {
            EXPECT_LE(ink.Bottom, c.Bottom);
        }
        if (c.H == THAlign::haCenter) {
            EXPECT_NEAR(ink.Left + ink.Right, 200, 4);
        }
    }
}

TEST(TextDraw, ParagraphGapIndentsFirstLines)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"Indented\r\nagain", .Width = 200, .ParagraphGap = 20});
    RasterSurface canvas(200, 60);
    layout.DrawText(canvas, THAlign::haLeft, TVAlign::vaTop);
    EXPECT_NEAR(InkBox(canvas, 0, 13).Left, 20, 2);
    EXPECT_NEAR(InkBox(canvas, 15, 28).Left, 20, 2);
}

TEST(TextDraw, RotatedBlocksStayInTheirRectangle)
{
    for (int rotation : {90, 180, 270, 30, 120, 200, 300}) {
        SCOPED_TRACE(rotation);
        TvlxDrawText layout;
        Apply(layout,
              {.Text = u"Rotated text wraps\r\ninto lines",
               .Width = 160,
               .Height = 160,
               .Rotation = rotation,
               .Scale = 2});
        RasterSurface canvas(320, 320);
        layout.DrawText(canvas, THAlign::haLeft, TVAlign::vaTop);
        IntRect ink = InkBox(canvas);
        EXPECT_GT(ink.Right, ink.Left);
        if (rotation % 90 == 0) {
            EXPECT_GE(ink.Left, 0);
            EXPECT_LE(ink.Right, 320);
            EXPECT_EQ(rotation % 180 != 0, ink.Height() > ink.Width());
        }
    }
}

TEST(TextDraw, ClippedTextStaysInTheScaledRectangle)
{
    TvlxDrawText layout;
    Apply(layout, {.Text = u"WWWWWWWWWWWWWWWWWWWW", .Width = 60, .Height = 20, .WordWrap = false});
    RasterSurface canvas(400, 40);
    layout.DrawText(canvas, THAlign::haLeft, TVAlign::vaTop);
    EXPECT_LE(InkBox(canvas).Right, 60);

    Apply(layout,
          {.Text = u"WWWWWWWWWWWWWWWWWWWW",
           .Width = 60,
           .Height = 20,
           .WordWrap = false,
           .Clipped = false});
    RasterSurface unclipped(400, 40);
    layout.DrawText(unclipped, THAlign::haLeft, TVAlign::vaTop);
    EXPECT_GT(InkBox(unclipped).Right, 200);
}

TEST(TextDraw, AMemoWorthLookingAt)
{
    RasterSurface canvas(900, 700);
    auto draw = [&](LayoutInput in, IntRect at, THAlign h, TVAlign v) {
        TvlxDrawText layout;
        in.Scale = 2;
        layout.SetFont(in.Font);
        layout.SetOptions(
            in.WordWrap, in.Tags, in.Rtl, in.WordBreak, in.Clipped, in.Wysiwyg, in.Rotation);
        layout.SetGaps(in.ParagraphGap, in.CharSpacing, in.LineSpacing);
        IntRect original{0, 0, at.Width() / 2, at.Height() / 2};
        layout.SetDimensions(2, 2, 1, original, at);
        layout.SetText(in.Text);
        canvas.FillRect({at.Left, at.Top, at.Right, at.Top + 1}, 0xC0C0C0);
        canvas.FillRect({at.Left, at.Bottom - 1, at.Right, at.Bottom}, 0xC0C0C0);
        canvas.FillRect({at.Left, at.Top, at.Left + 1, at.Bottom}, 0xC0C0C0);
        canvas.FillRect({at.Right - 1, at.Top, at.Right, at.Bottom}, 0xC0C0C0);
        layout.DrawText(canvas, h, v);
    };
    draw({.Text = Paragraphs, .ParagraphGap = 10},
         {10, 10, 430, 330},
         THAlign::haBlock,
         TVAlign::vaTop);
    draw({.Text = u"Rotated by thirty degrees, justified and wrapped into several lines.",
          .Rotation = 30},
         {460, 10, 890, 330},
         THAlign::haBlock,
         TVAlign::vaTop);
    draw({.Text = u"<b>Bold</b>, <i>italic</i>, <u>under</u>, <strike>struck</strike>, "
                  u"<font color=red>red</font>, <font color=\"#0000FF\">blue</font>, "
                  u"H<sub>2</sub>O and E=mc<sup>2</sup>.",
          .Font = {.Name = u"Times New Roman", .Size = 12},
          .Tags = true},
         {10, 350, 430, 690},
         THAlign::haCenter,
         TVAlign::vaCenter);
    draw({.Text = u"Съешь же ещё этих мягких французских булок.\r\n"
                  u"\u0627\u0644\u062A\u0642\u0631\u064A\u0631 \u062C\u0627\u0647\u0632 "
                  u"\u0644\u0644\u0637\u0628\u0627\u0639\u0629",
          .Font = {.Name = u"DejaVu Sans"},
          .Rtl = true,
          .Rotation = 90},
         {460, 350, 890, 690},
         THAlign::haRight,
         TVAlign::vaBottom);
    canvas.WritePng(PngPath("memo.png"));
    EXPECT_GT(InkBox(canvas).Width(), 800);
}

} // namespace
} // namespace vl
