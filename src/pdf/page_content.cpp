// Page content operators: coordinates, colours, dashes, paths, text lines and image placement.
#include "pdf/page_content.h"

#include "pdf/pdf_objects.h"

#include <iterator>

namespace vl {

namespace {

// The RGB value of a report colour; system colours (negative) resolve to the usual desktop
// palette, clNone keeps its low three bytes.
uint32_t ResolveRgb(TColor color)
{
    if (color >= 0) return uint32_t(color) & 0xFFFFFF;
    // Indexes of the platform's system colours (the low byte of 0x800000xx values).
    static constexpr uint32_t SystemColors[] = {
        0xC8C8C8, 0xA56E3A, 0x6A240A, 0x808080, 0xF0F0F0, 0xFFFFFF, 0x000000, 0x000000,
        0x000000, 0xFFFFFF, 0xB4B4B4, 0xF4F7FC, 0xABABAB, 0xD77800, 0xFFFFFF, 0xF0F0F0,
        0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
        0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xD77800, 0xF0F0F0};
    const uint32_t index = uint32_t(color) & 0xFF;
    return index < std::size(SystemColors) ? SystemColors[index] : 0;
}

} // namespace

std::string ColorOperands(TColor color)
{
    if (color == clBlack) return "0 0 0";
    if (color == clWhite) return "1 1 1";
    const uint32_t rgb = ResolveRgb(color);
    std::string out;
    AppendCoord(out, double(rgb & 0xFF) / 255);
    out += ' ';
    AppendCoord(out, double((rgb >> 8) & 0xFF) / 255);
    out += ' ';
    AppendCoord(out, double((rgb >> 16) & 0xFF) / 255);
    return out;
}

std::string DashOperator(int style, double widthPx)
{
    const std::string dash = FormatCoord(widthPx * 6) + " ";
    const std::string dot = FormatCoord(widthPx * 2) + " ";
    switch (style) {
    case 1:
        return "[" + dash + "] 0 d";
    case 2:
        return "[" + dot + dash + "] 0 d";
    case 3:
        return "[" + dash + dash + dot + dash + "] 0 d";
    case 4:
        return "[" + dash + dash + dot + dash + dot + dash + "] 0 d";
    default:
        return "[] 0 d";
    }
}

void PdfPageContent::Reset(double heightPt, double marginLeftPt, double marginTopPt)
{
    FBuffer.clear();
    FHeight = heightPt;
    FMarginLeft = marginLeftPt;
    FMarginTop = marginTopPt;
}

void PdfPageContent::Line(std::string_view text)
{
    FBuffer += text;
    FBuffer += "\r\n";
}

void PdfPageContent::Raw(std::string_view text)
{
    FBuffer += text;
}

void PdfPageContent::Num(double value)
{
    AppendCoord(FBuffer, value);
    FBuffer += ' ';
}

const std::string& PdfPageContent::Operands(TColor color)
{
    if (color != FLastColor) {
        FLastColor = color;
        FLastColorResult = ColorOperands(color);
    }
    return FLastColorResult;
}

void PdfPageContent::FillColor(TColor color)
{
    FBuffer += Operands(color);
    FBuffer += " rg\r\n";
}

void PdfPageContent::StrokeColor(TColor color)
{
    FBuffer += Operands(color);
    FBuffer += " RG\r\n";
}

void PdfPageContent::LineWidth(double widthPt)
{
    Num(widthPt);
    Line("w");
}

void PdfPageContent::Dash(int style, double widthPx)
{
    Line(DashOperator(style, widthPx));
}

void PdfPageContent::MoveTo(double xPt, double yPt)
{
    Num(xPt);
    Num(yPt);
    Line("m");
}

void PdfPageContent::LineTo(double xPt, double yPt)
{
    Num(xPt);
    Num(yPt);
    Line("l");
}

void PdfPageContent::Rectangle(double xPt, double yPt, double wPt, double hPt)
{
    Num(xPt);
    Num(yPt);
    Num(wPt);
    Num(hPt);
    Line("re");
}

void PdfPageContent::TextLine(double xPt,
                              double yPt,
                              std::string_view glyphHex,
                              bool simulateBold,
                              bool simulateItalic,
                              double fontSize,
                              TColor fontColor)
{
    Line("BT");
    if (simulateItalic) {
        Raw("1 0 0.3333 1 ");
        Num(xPt);
        Num(yPt);
        Line("Tm");
    } else {
        Num(xPt);
        Num(yPt);
        Line("Td");
    }
    if (simulateBold) {
        Raw("2 Tr ");
        Num(fontSize / 35);
        Raw("w ");
        Raw(Operands(fontColor));
        Line(" RG");
    }
    Raw("<");
    Raw(glyphHex);
    Line("> Tj");
    Line("ET");
    if (simulateBold) Line("0 Tr");
}

void PdfPageContent::Image(int index, double xPt, double yPt, double wPt, double hPt)
{
    Line("q");
    Num(wPt);
    Raw("0 0 ");
    Num(hPt);
    Num(xPt);
    Num(yPt);
    Line("cm");
    Line("/Im" + IntText(index) + " Do");
    Line("Q");
}

} // namespace vl
