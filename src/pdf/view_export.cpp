// Rendering report views on the current page: the dispatch between vector output (text objects,
// lines, shapes, check boxes) and the raster fallback that every other view goes through, and
// the mapping of the view classes onto the records of view_render.h.
#include "base/exception.h"
#include "model/highlight.h"
#include "model/line_view.h"
#include "model/memo_view.h"
#include "model/shape_view.h"
#include "model/view.h"
#include "pdf/pdf_export.h"
#include "pdf/view_render.h"
#include "platform/canvas/raster_surface.h"
#include "platform/images/jpeg_codec.h"

#include <cmath>

namespace vl {

namespace {

// Object names and class names the writer treats specially.
constexpr StringView PageBackgroundName = u"_pagebackground";
constexpr StringView BarCodeClassName = u"TvlxBarCodeView";
constexpr StringView CheckBoxClassName = u"TvlxCheckBoxView";

PdfLineStyle LineStyleOf(const TvlxFrameLine& line)
{
    return {line.Color(), int(line.Style()), line.Width()};
}

PdfFrameSpec FrameSpecOf(const TvlxFrame& frame)
{
    PdfFrameSpec spec;
    if (frame.Has(TvlxFrameType::ftLeft)) spec.Typ |= pfLeft;
    if (frame.Has(TvlxFrameType::ftRight)) spec.Typ |= pfRight;
    if (frame.Has(TvlxFrameType::ftTop)) spec.Typ |= pfTop;
    if (frame.Has(TvlxFrameType::ftBottom)) spec.Typ |= pfBottom;
    spec.Color = frame.Color();
    spec.Style = int(frame.Style());
    spec.Width = frame.Width();
    spec.DropShadow = frame.DropShadow();
    spec.ShadowWidth = frame.ShadowWidth();
    spec.ShadowColor = frame.ShadowColor();
    spec.Left = LineStyleOf(frame.LeftLine());
    spec.Top = LineStyleOf(frame.TopLine());
    spec.Right = LineStyleOf(frame.RightLine());
    spec.Bottom = LineStyleOf(frame.BottomLine());
    return spec;
}

PdfBox BoxOf(const TvlxView& view)
{
    return {view.AbsLeft(), view.AbsTop(), view.Width(), view.Height()};
}

PdfTextObject TextObjectOf(const TvlxCustomMemoView& memo)
{
    PdfTextObject t;
    t.Box = BoxOf(memo);
    t.Frame = FrameSpecOf(memo.Frame());
    const bool highlighted = memo.Highlight().Active();
    t.Fill = highlighted ? memo.Highlight().Color() : memo.Color();
    t.Font = highlighted ? memo.Highlight().Font() : memo.Font();
    t.Text = memo.Text();
    t.HAlign = memo.HAlign();
    t.VAlign = memo.VAlign();
    t.GapX = memo.GapX();
    t.GapY = memo.GapY();
    t.CharSpacing = memo.CharSpacing();
    t.LineSpacing = memo.LineSpacing();
    t.ParagraphGap = memo.ParagraphGap();
    t.Rotation = memo.Rotation();
    t.RTLReading = memo.RTLReading();
    t.WordWrap = memo.WordWrap();
    t.WordBreak = memo.WordBreak();
    t.Clipped = memo.Clipped();
    t.Wysiwyg = memo.Wysiwyg();
    t.Underlines = memo.Underlines();
    return t;
}

bool PropFlag(const TvlxComponent& obj, StringView name)
{
    const PropInfo* prop = obj.ClassType().FindProp(name);
    if (prop == nullptr) return false;
    const PropValue value = prop->Get(obj);
    const int64_t* ordinal = std::get_if<int64_t>(&value);
    return ordinal != nullptr && *ordinal != 0;
}

// Restores a view's frame width when the raster step ends, also on errors.
class FrameWidthGuard
{
public:
    explicit FrameWidthGuard(TvlxView& view)
        : FView(view)
        , FWidth(view.Frame().Width())
    {
        if (FWidth > 0) FView.MutableFrame().SetWidth(0);
    }
    ~FrameWidthGuard()
    {
        if (FWidth > 0) FView.MutableFrame().SetWidth(FWidth);
    }
    FrameWidthGuard(const FrameWidthGuard&) = delete;
    FrameWidthGuard& operator=(const FrameWidthGuard&) = delete;

private:
    TvlxView& FView;
    double FWidth;
};

// The shift that places the view's real bounds on the page: 0 when they match the view or start
// with it, the whole difference when they end with it, half otherwise.
double BoundsShift(double boundsStart, double boundsSize, double start, double size)
{
    if (boundsSize == size || boundsStart == start) return 0;
    if (boundsStart + boundsSize == start + size) return boundsSize - size;
    return (boundsSize - size) / 2;
}

} // namespace

void TvlxPDFExport::RenderView(TvlxComponent& obj)
{
    auto& view = static_cast<TvlxView&>(obj);
    const PdfEdges edges = PdfEdges::Of(FContent, BoxOf(view));
    if (!view.URL().empty()) AddLink(edges.AnnotRect(), view.URL());

    if (const auto* memo = dynamic_cast<const TvlxCustomMemoView*>(&view)) {
        const bool solidOrClear = memo->BrushStyle() == TBrushStyle::bsSolid ||
                                  memo->BrushStyle() == TBrushStyle::bsClear;
        const bool tagged =
            memo->AllowHTMLTags() && FHTMLTags && memo->Text().find(u'<') != String::npos;
        if (solidOrClear && !tagged) {
            WriteTextObject(*this, TextObjectOf(*memo));
            return;
        }
    }
    if (const auto* line = dynamic_cast<const TvlxCustomLineView*>(&view)) {
        PdfLineObject l;
        l.Box = BoxOf(*line);
        l.Line = {line->Frame().Color(), int(line->Frame().Style()), line->Frame().Width()};
        l.ArrowStart = line->ArrowStart();
        l.ArrowEnd = line->ArrowEnd();
        l.ArrowLength = line->ArrowLength();
        l.ArrowWidth = line->ArrowWidth();
        l.ArrowSolid = line->ArrowSolid();
        WriteLineObject(FContent, l);
        return;
    }
    if (const auto* shape = dynamic_cast<const TvlxShapeView*>(&view)) {
        PdfShapeObject s;
        s.Box = BoxOf(*shape);
        s.Outline = {shape->Frame().Color(), int(shape->Frame().Style()), shape->Frame().Width()};
        s.Fill = shape->Color();
        s.Shape = PdfShapeKind(int(shape->Shape()));
        s.Curve = shape->Curve();
        WriteShapeObject(FContent, s);
        return;
    }
    if (FCheckboxAsShape && view.ClassType().Name() == CheckBoxClassName) {
        PdfCheckMark mark;
        mark.Box = BoxOf(view);
        mark.Outline = {view.Frame().Color(), int(view.Frame().Style()), view.Frame().Width()};
        mark.Fill = view.Color();
        mark.FramedAllSides = view.Frame().Typ().Mask() == 0x0F;
        mark.Checked = PropFlag(view, u"Checked");
        WriteCheckMark(FContent, mark);
        return;
    }
    if (view.Width() <= 0 || view.Height() <= 0) return;
    if (view.Name() == PageBackgroundName && !FBackground) return;
    RenderRaster(view);
}

void TvlxPDFExport::RenderRaster(TvlxView& view)
{
    const double left = view.AbsLeft();
    const double top = view.AbsTop();
    double bw = 0, bh = 0, dx = 0, dy = 0;
    std::string jpeg;
    int jpegWidth = 0, jpegHeight = 0;
    {
        FrameWidthGuard noFrame(view);
        const TvlxRect bounds = view.GetRealBounds();
        bw = bounds.Right - bounds.Left;
        bh = bounds.Bottom - bounds.Top;
        dx = BoundsShift(bounds.Left, bw, left, view.Width());
        dy = BoundsShift(bounds.Top, bh, top, view.Height());

        const bool isBarCode = view.ClassType().Name() == BarCodeClassName;
        const bool isText = dynamic_cast<const TvlxCustomMemoView*>(&view) != nullptr;
        const bool solidOrClear =
            view.BrushStyle() == TBrushStyle::bsSolid || view.BrushStyle() == TBrushStyle::bsClear;
        double scale = 1;
        if (FPrintOptimized || isText) scale = solidOrClear ? 3 : 1;
        double extra = 0;
        if (isBarCode && !FPrintOptimized) {
            scale = 2;
            extra = 2;
        }
        jpegWidth = int(scale + std::nearbyint(scale * bw));
        jpegHeight = int(scale + std::nearbyint(scale * bh));
        if (jpegWidth <= 0 || jpegHeight <= 0) return;
        // A view far larger than any page would ask for an unbounded bitmap.
        CheckImageSize(jpegWidth, jpegHeight, "bitmap");
        RasterSurface canvas(jpegWidth, jpegHeight);
        const double offsetX = extra - std::nearbyint((left - dx) * scale);
        const double offsetY = -std::nearbyint((top - dy) * scale);
        try {
            view.Draw(canvas, scale, scale, offsetX, offsetY);
        } catch (const Exception&) {
            // A view that fails to draw itself is embedded as far as it got.
        }
        const bool vectorLike = isBarCode || dynamic_cast<const TvlxCustomLineView*>(&view) ||
                                dynamic_cast<const TvlxShapeView*>(&view);
        const std::vector<uint8_t> rgb = canvas.RgbRows();
        jpeg = EncodeJpeg(rgb, jpegWidth, jpegHeight, vectorLike ? 95 : 90);
    }
    const int index = AddImage(std::move(jpeg), jpegWidth, jpegHeight);
    WriteImagePlacement(FContent, index, left - dx, top - dy, bw, bh);
    WriteFrameLines(FContent, PdfEdges::Of(FContent, BoxOf(view)), FrameSpecOf(view.Frame()));
}

} // namespace vl
