#include "pdf/pdf_document_fixture.h"
#include "pdf/view_render.h"

#include <gtest/gtest.h>

namespace vl {

using test::CountOf;
using test::MakeFont;
using test::PdfDocumentTest;

namespace {

// The page content of the views written so far, on a page without margins 1000 pt high.
class ViewRenderTest : public PdfDocumentTest
{
protected:
    ViewRenderTest()
    {
        Export.SetCompressed(false);
        Export.SetEmbeddedFonts(true);
        Start();
        Export.BeginPage(PdfPageSetup{800, 4000.0 / 3, 0, 0, 0, 0, clNone});
    }
    const std::string& Content() { return Export.Content().Bytes(); }

    // The "x y Td" positions of the text lines written so far.
    std::vector<std::pair<double, double>> TextPositions()
    {
        std::vector<std::pair<double, double>> out;
        const std::string& c = Content();
        for (size_t at = c.find(" Td\r\n"); at != std::string::npos;
             at = c.find(" Td\r\n", at + 1)) {
            const size_t line = c.rfind("\r\n", at) + 2;
            const std::string numbers = c.substr(line, at - line);
            const size_t blank = numbers.find(' ');
            out.emplace_back(std::stod(numbers.substr(0, blank)), std::stod(numbers.substr(blank)));
        }
        return out;
    }
};

PdfTextObject Memo(StringView text, double left, double top, double width, double height)
{
    PdfTextObject t;
    t.Box = {left, top, width, height};
    t.Font = MakeFont(u"Arial", 10);
    t.Text = String(text);
    return t;
}

} // namespace

TEST_F(ViewRenderTest, TextObjectIsClippedFilledFramedAndReadable)
{
    PdfTextObject t = Memo(u"Total 42", 100, 100, 200, 40);
    t.Fill = 0x00FFFF; // yellow
    t.Frame.Typ = pfLeft | pfRight | pfTop | pfBottom;
    t.Frame.Width = 2;
    for (PdfLineStyle* side : {&t.Frame.Left, &t.Frame.Top, &t.Frame.Right, &t.Frame.Bottom})
        side->Width = 2;
    WriteTextObject(Export, t);
    const std::string content = Content();
    // Clip enlarged by the frame width: x(98) = 73.50, y(142) = 893.50, 204 x 44 px.
    EXPECT_EQ(content.rfind("q\r\n73.50 893.50 153.00 33.00 re\r\nW\r\nn\r\n", 0), 0u) << content;
    EXPECT_NE(content.find("1.00 1.00 0.00 rg\r\n75.00 895.00 150.00 30.00 re\r\nf\r\n"),
              std::string::npos);
    EXPECT_EQ(CountOf(content, "1.50 w\r\n"), 4); // four framed sides
    EXPECT_NE(content.find("/F0 10 Tf\r\n0 0 0 rg\r\n"), std::string::npos);
    EXPECT_EQ(content.substr(content.size() - 3), "Q\r\n");

    const std::string pdf = Written("memo.pdf");
    ExpectValid();
    EXPECT_NE(test::RunTool("pdftotext '" + Path + "' -").Output.find("Total 42"),
              std::string::npos);
}

TEST_F(ViewRenderTest, FrameWithoutColourDrawsNoSides)
{
    PdfTextObject t = Memo(u"x", 0, 0, 50, 20);
    t.Frame.Typ = pfLeft | pfTop;
    t.Frame.Color = clNone;
    t.Frame.Left.Color = 0xFF;
    t.Frame.Top.Color = 0xFF;
    WriteTextObject(Export, t);
    EXPECT_EQ(Content().find("RG"), std::string::npos);
    EXPECT_EQ(Content().find("\r\nS\r\n"), std::string::npos);
}

TEST_F(ViewRenderTest, EmptyLinesStillMoveTheFollowingLines)
{
    WriteTextObject(Export, Memo(u"First\r\n\r\nThird", 0, 0, 300, 100));
    const auto positions = TextPositions();
    ASSERT_EQ(positions.size(), 2u) << Content();
    EXPECT_EQ(CountOf(Content(), "BT\r\n"), 2);
    const double step = positions[0].second - positions[1].second;
    TvlxDrawText& layout = SharedDrawText();
    EXPECT_GT(step, 0);
    // Two line heights apart (the empty line between counts).
    const double lh = step / 2 / 0.75;
    EXPECT_NEAR(lh, layout.LineHeight(), 0.01);
}

TEST_F(ViewRenderTest, AlignmentPlacesLinesInsideTheTextArea)
{
    // Right-aligned text with the default shadow width of 4 and no drop shadow ends 4 pixels
    // (3 points) inside the right edge, less half the horizontal gap.
    const struct
    {
        const char16_t* Text;
        THAlign HAlign;
        TVAlign VAlign;
    } cases[] = {
        {u"Aligned", THAlign::haLeft, TVAlign::vaTop},
        {u"Aligned", THAlign::haRight, TVAlign::vaBottom},
        {u"Aligned", THAlign::haCenter, TVAlign::vaCenter},
    };
    std::vector<std::pair<double, double>> seen;
    for (const auto& c : cases) {
        PdfTextObject t = Memo(c.Text, 0, 0, 400, 100);
        t.GapX = 0;
        t.GapY = 0;
        t.HAlign = c.HAlign;
        t.VAlign = c.VAlign;
        WriteTextObject(Export, t);
        seen.push_back(TextPositions().back());
    }
    // Left: x = 0.01 x size px; right and centre move by (A - lw) and half of it.
    EXPECT_NEAR(seen[0].first, 0.075, 0.006);
    EXPECT_NEAR(seen[2].first - seen[0].first, (seen[1].first - seen[0].first) / 2, 0.011);
    EXPECT_GT(seen[0].second, seen[2].second);
    EXPECT_GT(seen[2].second, seen[1].second);

    const std::string pdf = Written("align.pdf");
    ExpectValid();
    // The right-aligned word ends near 400 x 0.75 - 3 = 297 points (pdftotext's word box).
    const std::string boxes = test::RunTool("pdftotext -bbox '" + Path + "' -").Output;
    std::vector<double> xMax;
    for (size_t at = boxes.find(">Aligned<"); at != std::string::npos;
         at = boxes.find(">Aligned<", at + 1)) {
        const size_t value = boxes.rfind("xMax=\"", at) + 6;
        xMax.push_back(std::stod(boxes.substr(value)));
    }
    ASSERT_EQ(xMax.size(), 3u) << boxes;
    // Reading order: top, centre, bottom.
    EXPECT_NEAR(xMax[2], 297, 1.0) << boxes;
}

TEST_F(ViewRenderTest, FontStylesAndSimulatedFaces)
{
    PdfTextObject t = Memo(u"Under", 0, 0, 200, 30);
    t.Font = MakeFont(u"Arial", 12, {TFontStyle::fsUnderline, TFontStyle::fsStrikeOut});
    WriteTextObject(Export, t);
    EXPECT_NE(Content().find("[] 0 d\r\n0 0 0 RG\r\n0.96 w\r\n"), std::string::npos);
    EXPECT_EQ(CountOf(Content(), "0.96 w\r\n"), 2);

    PdfTextObject simulated = Memo(u"Gothic", 0, 50, 200, 30);
    simulated.Font = MakeFont(u"MS UI Gothic", 14, {TFontStyle::fsBold, TFontStyle::fsItalic});
    WriteTextObject(Export, simulated);
    EXPECT_NE(Content().find("BT\r\n1 0 0.3333 1 "), std::string::npos);
    EXPECT_NE(Content().find("2 Tr 0.40 w 0 0 0 RG\r\n"), std::string::npos);
    EXPECT_NE(Content().find("ET\r\n0 Tr\r\n"), std::string::npos);
    const std::string pdf = Written("styles.pdf");
    ExpectValid();
    EXPECT_NE(pdf.find("/BaseFont /MS#20UI#20Gothic\r\n"), std::string::npos);
}

TEST_F(ViewRenderTest, RotatedTextTurnsAroundTheCentre)
{
    PdfTextObject t = Memo(u"Up", 100, 100, 40, 200);
    t.Rotation = 90;
    WriteTextObject(Export, t);
    // cx = 100 + (0.8 x 10 + 40) / 2 = 124 px, cy = 200 px.
    EXPECT_NE(Content().find("0.00 1.00 -1.00 0.00 93.00 850.00 cm\r\n"), std::string::npos)
        << Content();
    const std::string pdf = Written("rotated.pdf");
    ExpectValid();
}

TEST_F(ViewRenderTest, ShapedTextMapsBackToItsCharacters)
{
    // Right-to-left, mixed-direction and non-BMP text: the ToUnicode map must give the reader
    // the characters back (glyphs are written in visual order).
    const struct
    {
        const char16_t* Text;
        bool RightToLeft;
        const char* Extracted; // UTF-8
    } cases[] = {
        {u"\u05E9\u05DC\u05D5\u05DD", true, "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D"},
        {u"Total \u05E9\u05DC\u05D5\u05DD 12", false, "Total"},
        {u"fi \u00E6 \u0107", false, "fi \xC3\xA6 \xC4\x87"},
    };
    double top = 0;
    for (const auto& c : cases) {
        PdfTextObject t = Memo(c.Text, 0, top, 400, 30);
        t.Font = MakeFont(u"DejaVu Sans", 12);
        t.RTLReading = c.RightToLeft;
        WriteTextObject(Export, t);
        top += 40;
    }
    Written("shaped.pdf");
    ExpectValid();
    const std::string text = test::RunTool("pdftotext '" + Path + "' -").Output;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Extracted);
        EXPECT_NE(text.find(c.Extracted), std::string::npos) << text;
    }
}

TEST_F(ViewRenderTest, LineWithBothArrows)
{
    PdfLineObject line;
    line.Box = {0, 0, 100, 0};
    line.Line = {0xFF, 1, 2};
    line.ArrowStart = true;
    line.ArrowEnd = true;
    line.ArrowSolid = true;
    WriteLineObject(Export.Content(), line);
    const std::string& c = Content();
    // The line first, then the start arrow (tip at x 0), then the end arrow (tip at x 75).
    const size_t body = c.find("[12.00 ] 0 d\r\n1.00 0.00 0.00 RG\r\n1.50 w\r\n0.00 1000.00 m\r\n"
                               "75.00 1000.00 l\r\nS\r\n");
    ASSERT_NE(body, std::string::npos) << c;
    const size_t start = c.find("0.00 1000.00 l\r\n", body + 40);
    const size_t end = c.find("75.00 1000.00 l\r\n", start);
    EXPECT_NE(start, std::string::npos);
    EXPECT_NE(end, std::string::npos);
    EXPECT_EQ(CountOf(c, "1 j\r\n"), 2);
    EXPECT_EQ(CountOf(c, "b\r\n"), 2);
    // Base of the start arrow: 20 px (15 pt) along the line, 5 px (3.75 pt) to either side.
    EXPECT_NE(c.find("15.00 1003.75 m\r\n0.00 1000.00 l\r\n15.00 996.25 l\r\n"), std::string::npos);
}

TEST_F(ViewRenderTest, Shapes)
{
    const struct
    {
        PdfShapeKind Kind;
        TColor Fill;
        const char* Path;
        const char* End;
    } cases[] = {
        {PdfShapeKind::skRectangle, clNone, "0.00 970.00 \r\n30.00 30.00 re\r\n", "S"},
        {PdfShapeKind::skRoundRectangle, 0xFF, "5.61 970.00 m\r\n24.39 970.00 l\r\n", "B"},
        {PdfShapeKind::skEllipse, 0xFF, "30.00 985.00 m\r\n30.00 976.72 ", "B"},
        {PdfShapeKind::skTriangle,
         clNone,
         "15.00 1000.00 m 30.00 970.00 l 0.00 970.00 l 15.00 1000.00 l\r\n",
         "S"},
        {PdfShapeKind::skDiamond,
         clNone,
         "15.00 1000.00 m 30.00 985.00 l 15.00 970.00 l 0.00 985.00 l 15.00 1000.00 l\r\n",
         "S"},
        {PdfShapeKind::skDiagonal1, 0xFF, "0.00 970.00 m\r\n30.00 1000.00 l\r\n", "S"},
        {PdfShapeKind::skDiagonal2, 0xFF, "0.00 1000.00 m\r\n30.00 970.00 l\r\n", "S"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.Kind));
        PdfPageContent content;
        content.Reset(1000, 0, 0);
        PdfShapeObject shape;
        shape.Box = {0, 0, 40, 40};
        shape.Fill = c.Fill;
        shape.Shape = c.Kind;
        WriteShapeObject(content, shape);
        const std::string& bytes = content.Bytes();
        EXPECT_EQ(bytes.rfind("[] 0 d\r\n0 0 0 RG\r\n0.75 w\r\n", 0), 0u) << bytes;
        EXPECT_NE(bytes.find(c.Path), std::string::npos) << bytes;
        EXPECT_EQ(bytes.substr(bytes.size() - 3), std::string(c.End) + "\r\n") << bytes;
    }
}

TEST_F(ViewRenderTest, CheckMarkAsShape)
{
    PdfCheckMark mark;
    mark.Box = {0, 0, 16, 16};
    mark.FramedAllSides = true;
    mark.Checked = true;
    WriteCheckMark(Export.Content(), mark);
    EXPECT_EQ(Content(),
              "[] 0 d\r\n0 0 0 RG\r\n1.50 w\r\n1.00 1.00 1.00 rg\r\n"
              "1.50 994.00 m 4.00 991.00 l 9.00 998.29 l\r\n"
              "0.00 1000.00 m 12.00 1000.00 l 12.00 990.25 l 0.00 990.25 l 0.00 1000.00 l\r\n"
              "S\r\n");
    PdfPageContent unchecked;
    mark.Checked = false;
    WriteCheckMark(unchecked, mark);
    EXPECT_TRUE(unchecked.Bytes().empty());
}

} // namespace vl
