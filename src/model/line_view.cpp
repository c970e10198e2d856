// Line views.
#include "model/line_view.h"

#include "platform/canvas/raster_surface.h"
#include "platform/component/class_builder.h"

#include <cmath>

namespace vl {

namespace {

// The triangle of an arrow head whose tip is `tip` on the line coming from `from`: its base is
// centred on the line `length` away from the tip, `width` to either side.
std::array<PointD, 3> ArrowHead(PointD from, PointD tip, double length, double width)
{
    double dx = tip.X - from.X, dy = tip.Y - from.Y;
    double d = std::hypot(dx, dy);
    if (d == 0) return {tip, tip, tip};
    double ux = dx / d, uy = dy / d;
    PointD base{tip.X - ux * length, tip.Y - uy * length};
    return {PointD{base.X - uy * width, base.Y + ux * width},
            tip,
            PointD{base.X + uy * width, base.Y - ux * width}};
}

} // namespace

const ClassInfo& TvlxCustomLineView::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxCustomLineView, TvlxStretcheable>(u"TvlxCustomLineView").Build();
    return info;
}

const ClassInfo& TvlxLineView::StaticClass()
{
    using L = TvlxCustomLineView;
    static const ClassInfo info = DescribeClass<TvlxLineView, L>(u"TvlxLineView")
                                      .Prop<&L::ArrowEnd, &L::SetArrowEnd>(u"ArrowEnd", false)
                                      .Prop<&L::ArrowLength, &L::SetArrowLength>(u"ArrowLength", 20)
                                      .Prop<&L::ArrowSolid, &L::SetArrowSolid>(u"ArrowSolid", false)
                                      .Prop<&L::ArrowStart, &L::SetArrowStart>(u"ArrowStart", false)
                                      .Prop<&L::ArrowWidth, &L::SetArrowWidth>(u"ArrowWidth", 5)
                                      .Prop<&L::Diagonal, &L::SetDiagonal>(u"Diagonal", false)
                                      .Prop<&L::Frame, &L::SetFrame>(u"Frame")
                                      .Prop<&L::TagStr, &L::SetTagStr>(u"TagStr")
                                      .Build();
    return info;
}

TvlxCustomLineView::TvlxCustomLineView()
{
    TvlxComponentStyles style = vlComponentStyle();
    style.Exclude(TvlxComponentStyle::csDefaultDiff);
    SetComponentStyle(style);
}

void TvlxCustomLineView::ApplyDesignFlags(int32_t flags)
{
    FDiagonal = flags != 0;
    FArrowEnd = flags == 2 || flags == 4;
    FArrowStart = flags == 3 || flags == 4;
}

void TvlxCustomLineView::Normalize()
{
    if (FDiagonal) return;
    if (Width() <= Height()) {
        SetWidth(0);
        MutableFrame().SetTyp({TvlxFrameType::ftLeft});
    } else {
        SetHeight(0);
        MutableFrame().SetTyp({TvlxFrameType::ftTop});
    }
}

void TvlxCustomLineView::Draw(
    RasterSurface& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    Normalize();
    CalcDrawRect(scaleX, scaleY, offsetX, offsetY);
    const TvlxFrame& f = Frame();
    if (f.Color() == clNone || f.Width() == 0) return;
    RasterPen pen{uint32_t(f.Color()), double(std::max(1, FDrawFrameWidth)), int(f.Style())};
    // The rectangle's corners as computed, so negative sizes reverse a diagonal's direction.
    PointD from{double(FDrawRect.Left), double(FDrawRect.Top)};
    PointD to{double(FDrawRect.Right), double(FDrawRect.Bottom)};
    canvas.Line(from.X, from.Y, to.X, to.Y, pen);
    RasterPen arrowPen = pen;
    arrowPen.Dash = 0;
    uint32_t fill = FArrowSolid ? pen.Color : NoColor;
    if (FArrowStart) {
        auto head = ArrowHead(to, from, FArrowLength * scaleX, FArrowWidth * scaleX);
        canvas.Polygon(head, fill, arrowPen, FArrowSolid);
    }
    if (FArrowEnd) {
        auto head = ArrowHead(from, to, FArrowLength * scaleX, FArrowWidth * scaleX);
        canvas.Polygon(head, fill, arrowPen, FArrowSolid);
    }
}

} // namespace vl
