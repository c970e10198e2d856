// Vector output of views: the operator sequences of text objects, lines, shapes, check marks,
// frames and image placements.
#include "pdf/view_render.h"

#include "pdf/pdf_export.h"

#include <cmath>
#include <mutex>
#include <numbers>

namespace vl {

namespace {

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value));
}

// The PDF writer's own lock around one text object; taken after the layout lock, always in
// that order.
std::mutex& WriterLock()
{
    static std::mutex lock;
    return lock;
}

uint8_t StyleBits(const TvlxFont& font)
{
    uint8_t bits = 0;
    if (font.Style().Contains(TFontStyle::fsBold)) bits |= fsBold;
    if (font.Style().Contains(TFontStyle::fsItalic)) bits |= fsItalic;
    if (font.Style().Contains(TFontStyle::fsUnderline)) bits |= fsUnderline;
    if (font.Style().Contains(TFontStyle::fsStrikeOut)) bits |= fsStrikeOut;
    return bits;
}

void StrokeSegment(PdfPageContent& c, double x1, double y1, double x2, double y2)
{
    c.MoveTo(x1, y1);
    c.LineTo(x2, y2);
    c.Line("S");
}

// "{x} {y} " of a pixel point.
void Point(PdfPageContent& c, double xPx, double yPx)
{
    c.Num(c.X(xPx));
    c.Num(c.Y(yPx));
}

// One arrow head at `tip` of the line from `from` (points): a triangle whose base is centred on
// the line `length` points from the tip, `halfWidth` points to either side.
void ArrowHead(PdfPageContent& c,
               const PdfLineObject& line,
               double tipX,
               double tipY,
               double fromX,
               double fromY)
{
    const double dx = fromX - tipX;
    const double dy = fromY - tipY;
    const double distance = std::hypot(dx, dy);
    if (distance == 0) return; // a point has no direction to point an arrow along
    const double ux = dx / distance;
    const double uy = dy / distance;
    const double length = PdfPageContent::Len(line.ArrowLength);
    const double half = PdfPageContent::Len(line.ArrowWidth);
    const double baseX = tipX + ux * length;
    const double baseY = tipY + uy * length;
    c.Dash(line.Line.Style, line.Line.Width);
    c.MoveTo(baseX - uy * half, baseY + ux * half);
    c.LineTo(tipX, tipY);
    c.LineTo(baseX + uy * half, baseY - ux * half);
    if (line.ArrowSolid) {
        c.Line("1 j");
        c.FillColor(line.Line.Color);
        c.Line("b");
    } else {
        c.Line("S");
    }
}

} // namespace

PdfEdges PdfEdges::Of(const PdfPageContent& c, const PdfBox& box)
{
    PdfEdges e;
    e.Left = c.X(box.AbsLeft);
    e.Top = c.Y(box.AbsTop);
    e.Right = c.X(box.AbsLeft + box.Width);
    e.Bottom = c.Y(box.AbsTop + box.Height);
    e.Width = PdfPageContent::Len(box.Width);
    e.Height = PdfPageContent::Len(box.Height);
    return e;
}

std::string PdfEdges::AnnotRect() const
{
    return FormatCoord(Left) + " " + FormatCoord(Bottom) + " " + FormatCoord(Right) + " " +
           FormatCoord(Top);
}

void WriteFrameLines(PdfPageContent& c, const PdfEdges& e, const PdfFrameSpec& frame)
{
    if (frame.Typ == 0 || frame.Color == clNone) return;
    c.StrokeColor(frame.Color);
    const auto side =
        [&](uint8_t bit, const PdfLineStyle& style, double x1, double y1, double x2, double y2) {
            if ((frame.Typ & bit) == 0) return;
            c.StrokeColor(style.Color);
            c.Dash(style.Style, style.Width);
            c.LineWidth(PdfPageContent::Len(style.Width));
            StrokeSegment(c, x1, y1, x2, y2);
        };
    side(pfTop, frame.Top, e.Left, e.Top, e.Right, e.Top);
    side(pfRight, frame.Right, e.Right, e.Top, e.Right, e.Bottom);
    side(pfBottom, frame.Bottom, e.Left, e.Bottom, e.Right, e.Bottom);
    side(pfLeft, frame.Left, e.Left, e.Top, e.Left, e.Bottom);
}

void WriteTextObject(TvlxPDFExport& writer, const PdfTextObject& t)
{
    PdfPageContent& c = writer.Content();
    const PdfBox& box = t.Box;
    const PdfFrameSpec& frame = t.Frame;
    PdfEdges e = PdfEdges::Of(c, box);
    const double fw = frame.Width;

    c.Line("q");
    c.Rectangle(c.X(box.AbsLeft - fw),
                c.Y(box.AbsTop + box.Height + fw),
                PdfPageContent::Len(2 * fw + box.Width),
                PdfPageContent::Len(2 * fw + box.Height));
    c.Line("W");
    c.Line("n");

    const double sw = frame.ShadowWidth;
    const double textWidth = box.Width - sw;
    const double textHeight = box.Height - sw;
    if (frame.DropShadow) {
        e.Width = PdfPageContent::Len(textWidth);
        e.Height = PdfPageContent::Len(textHeight);
        e.Right = c.X(box.AbsLeft + textWidth);
        e.Bottom = c.Y(box.AbsTop + textHeight);
        c.FillColor(frame.ShadowColor);
        c.StrokeColor(frame.ShadowColor);
        c.Rectangle(c.X(box.AbsLeft + textWidth),
                    c.Y(box.AbsTop + textHeight + sw),
                    PdfPageContent::Len(sw),
                    PdfPageContent::Len(textHeight));
        c.Line("B");
        c.Rectangle(c.X(box.AbsLeft + sw),
                    c.Y(box.AbsTop + textHeight + sw),
                    PdfPageContent::Len(textWidth),
                    PdfPageContent::Len(sw));
        c.Line("B");
    }

    std::scoped_lock locks(LayoutLock(), WriterLock());
    TvlxDrawText& layout = SharedDrawText();
    const TvlxFont& font = t.Font;
    layout.SetFont(LayoutFont{
        font.Name(), font.Size(), StyleBits(font), uint32_t(font.Color()), font.Charset()});
    layout.SetOptions(
        t.WordWrap, false, t.RTLReading, t.WordBreak, t.Clipped, t.Wysiwyg, t.Rotation);
    layout.SetGaps(t.ParagraphGap, t.CharSpacing, t.LineSpacing);
    IntRect rect{RoundHalfEven(box.AbsLeft),
                 RoundHalfEven(box.AbsTop),
                 RoundHalfEven(box.AbsLeft + box.Width),
                 RoundHalfEven(box.AbsTop + box.Height)};
    if (frame.Typ & pfLeft) rect.Left += RoundHalfEven((fw - 1) / 2);
    if (frame.Typ & pfRight) rect.Right -= RoundHalfEven(fw / 2);
    if (frame.Typ & pfTop) rect.Top += RoundHalfEven((fw - 1) / 2);
    if (frame.Typ & pfBottom) rect.Bottom -= RoundHalfEven(fw / 2);
    const int gapX = RoundHalfEven(t.GapX);
    const int gapY = RoundHalfEven(t.GapY);
    rect =
        IntRect{rect.Left + gapX, rect.Top + gapY, rect.Right - gapX + 1, rect.Bottom - gapY + 1};
    layout.SetDimensions(1, 1, 1, rect, rect);
    layout.SetText(t.Text);
    const double lh = layout.LineHeight();

    if (t.Fill != clNone) {
        c.FillColor(t.Fill);
        c.Rectangle(e.Left, e.Bottom, e.Width, e.Height);
        c.Line("f");
    }
    WriteFrameLines(c, e, frame);

    const double size = font.Size();
    const int angle = t.Rotation;
    const double rad = angle * std::numbers::pi / 180;
    const double cosA = std::cos(rad);
    const double sinA = std::sin(rad);
    const bool steep = (angle >= 45 && angle <= 135) || (angle >= 225 && angle <= 315);
    if (angle > 0) {
        double cx, cy;
        if (angle == 90 || angle == 180 || angle == 270) {
            cx = box.AbsLeft + (0.8 * size + box.Width) / 2;
            cy = box.AbsTop + box.Height / 2;
        } else {
            const double p = steep ? box.Height : box.Width;
            const double q = steep ? box.Width : box.Height;
            cx = box.AbsLeft + (p * cosA + q * sinA) / 2;
            cy = box.AbsTop + (p * sinA + q * cosA) / 2;
        }
        c.Num(cosA);
        c.Num(sinA);
        c.Num(-sinA);
        c.Num(cosA);
        c.Num(c.X(cx));
        c.Num(c.Y(cy));
        c.Line("cm");
    }

    if (t.Underlines && lh > 0) {
        const int n = int(box.Height / lh);
        for (int k = 1; k <= n; ++k) {
            const double y = c.Y(box.AbsTop + t.GapY + 1 + k * lh);
            c.StrokeColor(frame.Color);
            c.LineWidth(PdfPageContent::Len(frame.Width));
            StrokeSegment(c, e.Left, y, e.Right, y);
        }
    }

    const std::vector<LayoutLine>& lines = layout.Lines();
    if (!lines.empty()) {
        TvlxPDFFont& pdfFont = writer.FindFont(font);
        const bool simulated = IsSimulatedFace(font.Name());
        const bool simulateBold = simulated && font.Style().Contains(TFontStyle::fsBold);
        const bool simulateItalic = simulated && font.Style().Contains(TFontStyle::fsItalic);
        const TColor fontColor = font.Color() == clNone ? clBlack : font.Color();
        c.Line(pdfFont.Name() + " " + IntText(font.Size()) + " Tf");
        c.FillColor(fontColor);
        if (t.CharSpacing != 0) {
            c.Num(PdfPageContent::Len(t.CharSpacing));
            c.Line("Tc");
        }
        layout.SetGaps(0, t.CharSpacing, t.LineSpacing);

        const double m = double(lines.size());
        const double extra = t.HAlign == THAlign::haRight ? PdfPageContent::Len(t.CharSpacing) : 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            // The layout keeps an empty source line as one blank: nothing to draw, but the line
            // still counts for the position of the lines after it.
            if (lines[i].Text.empty() || lines[i].Text == u" ") continue;
            const double pg = i == 0 ? t.ParagraphGap : 0;
            const double lw = layout.LineWidth(i);
            const double line = double(i);
            double tx, ty;
            if (angle == 0) {
                const double a = textWidth - 2 * t.GapX - pg;
                const double x0 = box.AbsLeft + 1.5 * t.GapX + pg + 0.01 * size;
                double xpx = x0;
                if (t.HAlign == THAlign::haRight)
                    xpx = x0 + a - lw;
                else if (t.HAlign == THAlign::haCenter)
                    xpx = x0 + (a - lw) / 2;
                tx = c.X(xpx) + extra;
                const double h = textHeight - 2 * t.GapY;
                const double y0 = box.AbsTop + t.GapY - 0.1 * size;
                double ypx = y0 + (line + 1) * lh;
                if (t.VAlign == TVAlign::vaBottom)
                    ypx = y0 + h - (m - line - 1) * lh;
                else if (t.VAlign == TVAlign::vaCenter)
                    ypx = y0 + (h - m * lh) / 2 + (line + 1) * lh;
                ty = c.Y(ypx);
            } else {
                const double p = steep ? textHeight : textWidth;
                const double q = steep ? textWidth : textHeight;
                double x = -p / 2;
                if (t.HAlign == THAlign::haRight)
                    x = p / 2 - lw;
                else if (t.HAlign == THAlign::haCenter)
                    x = -lw / 2;
                tx = 0.75 * x + extra;
                double y = (line + 1) * lh - q / 2;
                if (t.VAlign == TVAlign::vaBottom)
                    y = q / 2 - (m - line - 1) * lh;
                else if (t.VAlign == TVAlign::vaCenter)
                    y = (line + 1) * lh - m * lh / 2;
                ty = -0.75 * y + 0.4 * size;
            }
            c.TextLine(tx,
                       ty,
                       pdfFont.RemapString(lines[i].Text, t.RTLReading),
                       simulateBold,
                       simulateItalic,
                       size,
                       fontColor);
            const double lengthPt = PdfPageContent::Len(lw);
            if (font.Style().Contains(TFontStyle::fsUnderline)) {
                c.Line("[] 0 d");
                c.StrokeColor(fontColor);
                c.LineWidth(size * 0.08);
                StrokeSegment(c, tx, ty - 0.12 * size, tx + lengthPt, ty - 0.12 * size);
            }
            if (font.Style().Contains(TFontStyle::fsStrikeOut)) {
                c.StrokeColor(fontColor);
                c.LineWidth(size * 0.08);
                StrokeSegment(c, tx, ty + 0.28 * size, tx + lengthPt, ty + 0.28 * size);
            }
        }
    }
    c.Line("Q");
}

void WriteLineObject(PdfPageContent& c, const PdfLineObject& line)
{
    const PdfEdges e = PdfEdges::Of(c, line.Box);
    c.Dash(line.Line.Style, line.Line.Width);
    c.StrokeColor(line.Line.Color);
    c.LineWidth(PdfPageContent::Len(line.Line.Width));
    StrokeSegment(c, e.Left, e.Top, e.Right, e.Bottom);
    if (line.ArrowStart) ArrowHead(c, line, e.Left, e.Top, e.Right, e.Bottom);
    if (line.ArrowEnd) ArrowHead(c, line, e.Right, e.Bottom, e.Left, e.Top);
}

void WriteShapeObject(PdfPageContent& c, const PdfShapeObject& s)
{
    const PdfBox& b = s.Box;
    const PdfEdges e = PdfEdges::Of(c, b);
    c.Dash(s.Outline.Style, s.Outline.Width);
    c.StrokeColor(s.Outline.Color);
    c.LineWidth(PdfPageContent::Len(s.Outline.Width));
    c.FillColor(s.Fill);
    const double left = b.AbsLeft;
    const double top = b.AbsTop;
    const double right = b.AbsLeft + b.Width;
    const double bottom = b.AbsTop + b.Height;
    const double cx = b.AbsLeft + b.Width / 2;
    const double cy = b.AbsTop + b.Height / 2;
    const auto op = [&](std::initializer_list<std::pair<double, double>> points, const char* name) {
        for (const auto& [x, y] : points)
            Point(c, x, y);
        c.Line(name);
    };
    const auto inlineOp = [&](double x, double y, const char* name) {
        Point(c, x, y);
        c.Raw(name);
    };
    switch (s.Shape) {
    case PdfShapeKind::skRectangle:
        c.Num(e.Left);
        c.Num(e.Bottom);
        c.Line("");
        c.Num(e.Width);
        c.Num(e.Height);
        c.Line("re");
        break;
    case PdfShapeKind::skRoundRectangle: {
        const double r = s.Curve == 0 ? 7.48 : s.Curve * 3.74;
        const double h = r / 2;
        op({{left + r, bottom}}, "m");
        op({{right - r, bottom}}, "l");
        op({{right - h, bottom}, {right, bottom - h}, {right, bottom - r}}, "c");
        op({{right, top + r}}, "l");
        op({{right, top + h}, {right - h, top}, {right - r, top}}, "c");
        op({{left + r, top}}, "l");
        op({{left + h, top}, {left, top + h}, {left, top + r}}, "c");
        op({{left, bottom - r}}, "l");
        op({{left, bottom - h}, {left + h, bottom}, {left + r, bottom}}, "c");
        break;
    }
    case PdfShapeKind::skEllipse: {
        constexpr double k1 = 1.5522847498;
        constexpr double k0 = 0.4477152502;
        const double rx = b.Width / 2;
        const double ry = b.Height / 2;
        op({{left + 2 * rx, top + ry}}, "m");
        op({{left + 2 * rx, top + k1 * ry},
            {left + k1 * rx, top + 2 * ry},
            {left + rx, top + 2 * ry}},
           "c");
        op({{left + k0 * rx, top + 2 * ry}, {left, top + k1 * ry}, {left, top + ry}}, "c");
        op({{left, top + k0 * ry}, {left + k0 * rx, top}, {left + rx, top}}, "c");
        op({{left + k1 * rx, top}, {left + 2 * rx, top + k0 * ry}, {left + 2 * rx, top + ry}}, "c");
        break;
    }
    case PdfShapeKind::skTriangle:
        inlineOp(cx, top, "m ");
        inlineOp(right, bottom, "l ");
        inlineOp(left, bottom, "l ");
        inlineOp(cx, top, "l");
        c.Line("");
        break;
    case PdfShapeKind::skDiamond:
        inlineOp(cx, top, "m ");
        inlineOp(right, cy, "l ");
        inlineOp(cx, bottom, "l ");
        inlineOp(left, cy, "l ");
        inlineOp(cx, top, "l");
        c.Line("");
        break;
    case PdfShapeKind::skDiagonal1:
        StrokeSegment(c, e.Left, e.Bottom, e.Right, e.Top);
        return;
    case PdfShapeKind::skDiagonal2:
        StrokeSegment(c, e.Left, e.Top, e.Right, e.Bottom);
        return;
    }
    c.Line(s.Fill == clNone ? "S" : "B");
}

void WriteCheckMark(PdfPageContent& c, const PdfCheckMark& mark)
{
    if (!mark.Checked) return;
    const PdfBox& b = mark.Box;
    c.Line("[] 0 d");
    c.StrokeColor(mark.Outline.Color);
    c.LineWidth(PdfPageContent::Len(mark.Outline.Width) * 2);
    c.FillColor(mark.Fill);
    Point(c, b.AbsLeft + b.Width / 8, b.AbsTop + b.Height / 2);
    c.Raw("m ");
    Point(c, b.AbsLeft + b.Width / 3, b.AbsTop + b.Height - b.Height / 4);
    c.Raw("l ");
    Point(c, b.AbsLeft + b.Width - b.Width / 4, b.AbsTop + b.Height / 7);
    c.Line("l");
    if (mark.FramedAllSides) {
        Point(c, b.AbsLeft, b.AbsTop);
        c.Raw("m ");
        Point(c, b.AbsLeft + b.Width, b.AbsTop);
        c.Raw("l ");
        Point(c, b.AbsLeft + b.Width, b.AbsTop + b.Height - 3);
        c.Raw("l ");
        Point(c, b.AbsLeft, b.AbsTop + b.Height - 3);
        c.Raw("l ");
        Point(c, b.AbsLeft, b.AbsTop);
        c.Line("l");
    }
    c.Line(mark.Fill == clNone ? "S" : "B");
}

void WriteImagePlacement(
    PdfPageContent& c, int index, double leftPx, double topPx, double widthPx, double heightPx)
{
    c.Image(index,
            c.X(leftPx),
            c.Y(topPx + heightPx),
            PdfPageContent::Len(widthPx),
            PdfPageContent::Len(heightPx));
}

} // namespace vl
