// Shape views.
#include "model/shape_view.h"

#include "model/diff_writer.h"
#include "platform/canvas/raster_surface.h"
#include "platform/component/class_builder.h"

#include <algorithm>

namespace vl {

const ClassInfo& TvlxShapeView::StaticClass()
{
    using S = TvlxShapeView;
    static const ClassInfo info =
        DescribeClass<S, TvlxView>(u"TvlxShapeView")
            .Prop<&S::BrushStyle, &S::SetBrushStyle>(u"BrushStyle", TBrushStyle::bsSolid)
            .Prop<&S::Color, &S::SetColor>(u"Color", clNone)
            .Prop<&S::Cursor, &S::SetCursor>(u"Cursor", 0)
            .Prop<&S::Curve, &S::SetCurve>(u"Curve", 0)
            .Prop<&S::Frame, &S::SetFrame>(u"Frame")
            .Prop<&S::Shape, &S::SetShape>(u"Shape", TvlxShapeKind::skRectangle)
            .Prop<&S::TagStr, &S::SetTagStr>(u"TagStr")
            .Prop<&S::URL, &S::SetURL>(u"URL")
            .Build();
    return info;
}

void TvlxShapeView::Draw(
    RasterSurface& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    CalcDrawRect(scaleX, scaleY, offsetX, offsetY);
    const TvlxFrame& f = Frame();
    RasterPen pen{f.Color() == clNone ? NoColor : uint32_t(f.Color()),
                  double(FDrawFrameWidth),
                  int(f.Style())};
    if (FDrawFrameWidth <= 0) pen.Color = NoColor;
    uint32_t fill =
        BrushStyle() == TBrushStyle::bsClear || Color() == clNone ? NoColor : uint32_t(Color());
    const IntRect& r = FDrawRect;
    double l = r.Left, t = r.Top, rt = r.Right, b = r.Bottom;
    double cx = (l + rt) / 2, cy = (t + b) / 2;
    switch (FShape) {
    case TvlxShapeKind::skRectangle: {
        PointD p[] = {{l, t}, {rt, t}, {rt, b}, {l, b}};
        canvas.Polygon(p, fill, pen, true);
        break;
    }
    case TvlxShapeKind::skRoundRectangle: {
        double corner = FCurve != 0 ? FCurve * 10 * scaleX : std::min(r.Width(), r.Height()) / 4.0;
        canvas.RoundRect(r, corner, corner, fill, pen);
        break;
    }
    case TvlxShapeKind::skEllipse:
        canvas.Ellipse(r, fill, pen);
        break;
    case TvlxShapeKind::skTriangle: {
        PointD p[] = {{cx, t}, {rt, b}, {l, b}};
        canvas.Polygon(p, fill, pen, true);
        break;
    }
    case TvlxShapeKind::skDiamond: {
        PointD p[] = {{cx, t}, {rt, cy}, {cx, b}, {l, cy}};
        canvas.Polygon(p, fill, pen, true);
        break;
    }
    case TvlxShapeKind::skDiagonal1:
        canvas.Line(l, b, rt, t, pen);
        break;
    case TvlxShapeKind::skDiagonal2:
        canvas.Line(l, t, rt, b, pen);
        break;
    }
    if (BrushStyle() >= TBrushStyle::bsHorizontal && FShape == TvlxShapeKind::skRectangle)
        canvas.Hatch(r, int(BrushStyle()) - int(TBrushStyle::bsHorizontal), pen.Color);
}

String TvlxShapeView::Diff(TvlxComponent& other)
{
    String out = TvlxView::Diff(other);
    if (auto* o = dynamic_cast<TvlxShapeView*>(&other)) {
        DiffWriter d;
        d.Int(u"Shape", int64_t(FShape), int64_t(o->FShape));
        out += d.Out();
    }
    return out;
}

} // namespace vl
