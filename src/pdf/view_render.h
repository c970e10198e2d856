// Vector output of report views into page content: text objects, lines, the seven shapes, check
// marks, frames and placed images. Each view arrives as a plain record of what it looks like
// (view_export.cpp fills them from the view classes), so the rules here are tested without a
// report. Units: geometry in report pixels (96 per inch, absolute page positions); the page
// content converts to points.
#pragma once

#include "base/string.h"
#include "layout/text_layout.h"
#include "model/font.h"
#include "pdf/page_content.h"

#include <string>

namespace vl {

class TvlxPDFExport;

// Frame side bits: left 1, right 2, top 4, bottom 8.
enum PdfFrameSide : uint8_t
{
    pfLeft = 1,
    pfRight = 2,
    pfTop = 4,
    pfBottom = 8,
};

struct PdfLineStyle
{
    TColor Color = clBlack;
    int Style = 0;    // TvlxFrameStyle ordinal
    double Width = 1; // pixels
};

struct PdfFrameSpec
{
    uint8_t Typ = 0; // PdfFrameSide bits
    TColor Color = clBlack;
    int Style = 0;
    double Width = 1; // pixels
    bool DropShadow = false;
    double ShadowWidth = 4; // pixels
    TColor ShadowColor = clBlack;
    PdfLineStyle Left, Top, Right, Bottom;
};

// Absolute position and size of a view, pixels.
struct PdfBox
{
    double AbsLeft = 0;
    double AbsTop = 0;
    double Width = 0;
    double Height = 0;
};

struct PdfTextObject
{
    PdfBox Box;
    PdfFrameSpec Frame;
    TColor Fill = clNone;
    TvlxFont Font;
    String Text;
    THAlign HAlign = THAlign::haLeft;
    TVAlign VAlign = TVAlign::vaTop;
    double GapX = 2;
    double GapY = 1;
    double CharSpacing = 0;
    double LineSpacing = 2;
    double ParagraphGap = 0;
    int Rotation = 0; // degrees
    bool RTLReading = false;
    bool WordWrap = true;
    bool WordBreak = false;
    bool Clipped = true;
    bool Wysiwyg = true;
    bool Underlines = false;
};

struct PdfLineObject
{
    PdfBox Box; // the line runs from the top-left to the bottom-right corner
    PdfLineStyle Line;
    bool ArrowStart = false;
    bool ArrowEnd = false;
    double ArrowLength = 20; // pixels
    double ArrowWidth = 5;   // pixels
    bool ArrowSolid = false;
};

enum class PdfShapeKind : uint8_t
{
    skRectangle,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiamond,
    skDiagonal1,
    skDiagonal2
};

struct PdfShapeObject
{
    PdfBox Box;
    PdfLineStyle Outline;
    TColor Fill = clNone;
    PdfShapeKind Shape = PdfShapeKind::skRectangle;
    double Curve = 0;
};

struct PdfCheckMark
{
    PdfBox Box;
    PdfLineStyle Outline;
    TColor Fill = clNone;
    bool FramedAllSides = false;
    bool Checked = false;
};

// The edges of a view in points, formatted once per view.
struct PdfEdges
{
    double Left = 0, Top = 0, Right = 0, Bottom = 0, Width = 0, Height = 0;
    static PdfEdges Of(const PdfPageContent& c, const PdfBox& box);
    // "left bottom right top": the rectangle of a link annotation.
    std::string AnnotRect() const;
};

// The frame's sides in the order top, right, bottom, left; nothing when no side is set or the
// frame has no colour.
void WriteFrameLines(PdfPageContent& c, const PdfEdges& e, const PdfFrameSpec& frame);

// A text object through the shared layout: clip, shadow, fill, frame, rotation, underlines, then
// one text operator group per non-empty wrapped line. Takes the layout lock.
void WriteTextObject(TvlxPDFExport& writer, const PdfTextObject& text);

void WriteLineObject(PdfPageContent& c, const PdfLineObject& line);
void WriteShapeObject(PdfPageContent& c, const PdfShapeObject& shape);
void WriteCheckMark(PdfPageContent& c, const PdfCheckMark& mark);

// Places image `index` of `widthPx` x `heightPx` with its top-left corner at (leftPx, topPx).
void WriteImagePlacement(
    PdfPageContent& c, int index, double leftPx, double topPx, double widthPx, double heightPx);

} // namespace vl
