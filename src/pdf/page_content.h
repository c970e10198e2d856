// The content stream of one PDF page under construction: coordinate conversion from report
// pixels to PDF points and the operators the view renderer writes (colours, dashes, paths, text,
// images). Every number goes through FormatCoord (two decimals); every operator line ends with
// CR LF.
//
// Coordinates: x in points = x px x 0.75 + MarginLeft; y in points = (Height - MarginTop) -
// y px x 0.75, since PDF y grows upwards. Lengths are px x 0.75. Margins are the writer's margin
// offsets (millimetres x 0.05; the prepared views already include the page margins).
#pragma once

#include "model/units.h"

#include <string>
#include <string_view>

namespace vl {

// "r g b" for a report colour (red in the low byte): black "0 0 0", white "1 1 1", otherwise each
// component / 255 with two decimals. System colours (negative) resolve to their RGB value;
// clNone keeps its low three bytes and gives "1.00 1.00 1.00".
std::string ColorOperands(TColor color);

// The dash line of a frame or line style (the ordinal of TvlxFrameStyle: solid 0, dash 1, dot 2,
// dash-dot 3, dash-dot-dot 4; double, alternate-dot and square-dot are drawn solid) for a width
// in pixels: "[6.00 ] 0 d" for a 1-pixel dash.
std::string DashOperator(int style, double widthPx);

class PdfPageContent
{
public:
    // Starts an empty page of `heightPt` points with the writer's margin offsets.
    void Reset(double heightPt, double marginLeftPt, double marginTopPt);

    double X(double px) const { return px * 0.75 + FMarginLeft; }
    double Y(double px) const { return (FHeight - FMarginTop) - px * 0.75; }
    static double Len(double px) { return px * 0.75; }
    double Height() const { return FHeight; }
    double MarginLeft() const { return FMarginLeft; }
    double MarginTop() const { return FMarginTop; }

    // A whole line, CR LF added.
    void Line(std::string_view text);
    // Appends without a line end.
    void Raw(std::string_view text);
    // Appends a number in FormatCoord form followed by a blank.
    void Num(double value);

    // "{c} rg" / "{c} RG", with the last colour's operands cached.
    void FillColor(TColor color);
    void StrokeColor(TColor color);
    void LineWidth(double widthPt);
    void Dash(int style, double widthPx);
    // "{x} {y} m", "{x} {y} l" in points.
    void MoveTo(double xPt, double yPt);
    void LineTo(double xPt, double yPt);
    // "{x} {y} {w} {h} re" in points.
    void Rectangle(double xPt, double yPt, double wPt, double hPt);

    // One text line: "BT", "{x} {y} Td" (or the slanted Tm for simulated italic), the bold
    // simulation line, "<{glyphHex}> Tj", "ET" (and "0 Tr" after bold simulation).
    void TextLine(double xPt,
                  double yPt,
                  std::string_view glyphHex,
                  bool simulateBold,
                  bool simulateItalic,
                  double fontSize,
                  TColor fontColor);

    // "q", "{w} 0 0 {h} {x} {y} cm", "/Im{k} Do", "Q" in points.
    void Image(int index, double xPt, double yPt, double wPt, double hPt);

    const std::string& Bytes() const { return FBuffer; }
    std::string TakeBytes() { return std::move(FBuffer); }

private:
    const std::string& Operands(TColor color);

    std::string FBuffer;
    double FHeight = 0;     // page height, points
    double FMarginLeft = 0; // points
    double FMarginTop = 0;  // points
    TColor FLastColor = clBlack;
    std::string FLastColorResult = "0 0 0";
};

} // namespace vl
