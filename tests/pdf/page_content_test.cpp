#include "pdf/page_content.h"
#include "pdf/pdf_fonts.h"

#include <gtest/gtest.h>

namespace vl {

TEST(PageContent, ColorOperands)
{
    const struct
    {
        TColor Color;
        const char* Expected;
    } cases[] = {
        {clBlack, "0 0 0"},
        {clWhite, "1 1 1"},
        {0x0000FF, "1.00 0.00 0.00"},
        {0x804020, "0.13 0.25 0.50"},
        {clNone, "1.00 1.00 1.00"},
        {TColor(0x80000005), "1.00 1.00 1.00"}, // the window colour
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Color);
        EXPECT_EQ(ColorOperands(c.Color), c.Expected);
    }
}

TEST(PageContent, DashOperator)
{
    const struct
    {
        int Style;
        double Width;
        const char* Expected;
    } cases[] = {
        {0, 1, "[] 0 d"},
        {1, 1, "[6.00 ] 0 d"},
        {2, 1, "[2.00 6.00 ] 0 d"},
        {3, 0.5, "[3.00 3.00 1.00 3.00 ] 0 d"},
        {4, 1, "[6.00 6.00 2.00 6.00 2.00 6.00 ] 0 d"},
        {5, 2, "[] 0 d"},
        {6, 2, "[] 0 d"},
        {7, 2, "[] 0 d"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Style);
        EXPECT_EQ(DashOperator(c.Style, c.Width), c.Expected);
    }
}

TEST(PageContent, CoordinatesGrowUpwardsFromTheMargins)
{
    PdfPageContent c;
    c.Reset(842.25, 0.5, 0.5);
    EXPECT_DOUBLE_EQ(c.X(100), 75.5);
    EXPECT_DOUBLE_EQ(c.Y(100), 842.25 - 0.5 - 75);
    EXPECT_DOUBLE_EQ(PdfPageContent::Len(4), 3);
}

TEST(PageContent, ColourCacheFollowsTheLastColour)
{
    PdfPageContent c;
    c.Reset(100, 0, 0);
    c.FillColor(clBlack);
    c.StrokeColor(0x0000FF);
    c.FillColor(0x0000FF);
    c.FillColor(clBlack);
    EXPECT_EQ(c.Bytes(), "0 0 0 rg\r\n1.00 0.00 0.00 RG\r\n1.00 0.00 0.00 rg\r\n0 0 0 rg\r\n");
}

TEST(PageContent, TextLineWithSimulatedStyles)
{
    const struct
    {
        bool Bold;
        bool Italic;
        const char* Expected;
    } cases[] = {
        {false, false, "BT\r\n1.00 2.00 Td\r\n<0041> Tj\r\nET\r\n"},
        {false, true, "BT\r\n1 0 0.3333 1 1.00 2.00 Tm\r\n<0041> Tj\r\nET\r\n"},
        {true, false, "BT\r\n1.00 2.00 Td\r\n2 Tr 0.40 w 0 0 0 RG\r\n<0041> Tj\r\nET\r\n0 Tr\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        PdfPageContent content;
        content.Reset(100, 0, 0);
        content.TextLine(1, 2, "0041", c.Bold, c.Italic, 14, clBlack);
        EXPECT_EQ(content.Bytes(), c.Expected);
    }
}

TEST(PdfFonts, FontNames)
{
    const struct
    {
        const char16_t* Face;
        bool Bold;
        bool Italic;
        const char* Expected;
    } cases[] = {
        {u"Arial", false, false, "Arial"},
        {u"Arial", true, false, "Arial,Bold"},
        {u"Arial", false, true, "Arial,Italic"},
        {u"Times New Roman", true, true, "Times#20New#20Roman,BoldItalic"},
        {u"MS UI Gothic", true, true, "MS#20UI#20Gothic"},
        {u"A(b)%<>[]{}/#", false, false, "A#28b#29#25#3C#3E#5B#5D#7B#7D#2F#23"},
        {u"\u00C9l", false, false, "#C3#89l"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(PdfFontName(c.Face, c.Bold, c.Italic), c.Expected);
    }
    EXPECT_TRUE(IsSimulatedFace(u"\uFF2D\uFF33 \u660E\u671D"));
    EXPECT_FALSE(IsSimulatedFace(u"Arial"));
}

} // namespace vl
