// Views: shared properties, data binding, the engine hooks and drawing of fill and frame.
#include "model/view.h"

#include "layout/text_layout.h"
#include "model/bracket_scan.h"
#include "model/diff_writer.h"
#include "platform/canvas/raster_surface.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

} // namespace

// ---- TvlxViewHost defaults

Variant TvlxViewHost::CalcExpression(StringView)
{
    return Variant::Null();
}

TvlxDrawText& TvlxViewHost::TextLayout()
{
    return SharedDrawText();
}

// ---- TvlxView

const ClassInfo& TvlxView::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxView, TvlxReportComponent>(u"TvlxView")
            .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
            .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
            .Prop<&TvlxComponent::Width, &TvlxComponent::SetWidth>(u"Width")
            .Prop<&TvlxComponent::Height, &TvlxComponent::SetHeight>(u"Height")
            .Prop<&TvlxView::Align, &TvlxView::SetAlign>(u"Align", TvlxAlign::baNone)
            .Prop<&TvlxView::ShiftMode, &TvlxView::SetShiftMode>(u"ShiftMode",
                                                                 TvlxShiftMode::smAlways)
            .Prop<&TvlxView::Printable, &TvlxView::SetPrintable>(u"Printable", true)
            .Prop<&TvlxComponent::Visible, &TvlxComponent::SetVisible>(u"Visible", true)
            .Prop<&TvlxComponent::GroupIndex, &TvlxComponent::SetGroupIndex>(u"GroupIndex", 0)
            .Prop<&TvlxComponent::Restrictions, &TvlxComponent::SetRestrictions>(u"Restrictions",
                                                                                 TvlxRestrictions{})
            .Prop<&TvlxView::FOnAfterData>(u"OnAfterData")
            .Prop<&TvlxView::FOnAfterPrint>(u"OnAfterPrint")
            .Prop<&TvlxView::FOnBeforePrint>(u"OnBeforePrint")
            .Prop<&TvlxView::FOnPreviewClick>(u"OnPreviewClick")
            .Prop<&TvlxView::FOnPreviewDblClick>(u"OnPreviewDblClick")
            .Prop<&TvlxView::Hint, &TvlxView::SetHint>(u"Hint")
            .Prop<&TvlxView::ShowHint, &TvlxView::SetShowHint>(u"ShowHint", false)
            .Build();
    return info;
}

TvlxView::TvlxView()
{
    TvlxComponentStyles style = vlComponentStyle();
    style.Include(TvlxComponentStyle::csDefaultDiff);
    SetComponentStyle(style);
}

TvlxDataSet* TvlxView::DataSet() const
{
    return FDataSet.Get();
}

void TvlxView::SetDataSet(TvlxDataSet* value)
{
    FDataSet = value;
}

void TvlxView::SetDataSetName(const String& value)
{
    FDataSetName = value;
    SetDataSet(FindDataSet(*this, value));
}

TvlxViewHost* TvlxView::Host() const
{
    return dynamic_cast<TvlxViewHost*>(Report());
}

// ---- Engine hooks

void TvlxView::BeforePrint()
{
    TvlxReportComponent::BeforePrint();
    FSavedTagStr = FTagStr;
    FSavedURL = FURL;
    if (TvlxViewHost* host = Host()) host->SetCurrentView(this);
}

void TvlxView::GetData()
{
    if (FTagStr.find(u'[') != String::npos) FTagStr = ExpandBrackets(FTagStr);
    if (FURL.find(u'[') != String::npos) FURL = ExpandBrackets(FURL);
}

void TvlxView::AfterPrint()
{
    TvlxReportComponent::AfterPrint();
    FTagStr = FSavedTagStr;
    FURL = FSavedURL;
}

String TvlxView::ExpandBrackets(const String& text)
{
    TvlxViewHost* host = Host();
    if (host == nullptr) return text;
    String out;
    size_t at = 0;
    BracketSpan span;
    while (FindBracketed(text, at, u"[", u"]", span)) {
        out.append(text, at, span.Start - at);
        out += host->CalcExpression(span.Expression).ToText();
        at = span.End;
    }
    out.append(text, at, String::npos);
    return out;
}

// ---- Drawing

void TvlxView::Draw(
    RasterSurface& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    CalcDrawRect(scaleX, scaleY, offsetX, offsetY);
    DrawBackground(canvas);
    DrawFrame(canvas);
}

void TvlxView::CalcDrawRect(double scaleX, double scaleY, double offsetX, double offsetY)
{
    FDrawScaleX = scaleX;
    FDrawScaleY = scaleY;
    double left = AbsLeft(), top = AbsTop();
    FDrawRect = {Round(left * scaleX + offsetX),
                 Round(top * scaleY + offsetY),
                 Round((left + Width()) * scaleX + offsetX),
                 Round((top + Height()) * scaleY + offsetY)};
    FDrawFrameWidth = Round(FFrame.Width() * scaleX);
    if (FFrame.DropShadow()) {
        FDrawRect.Right -= Round(FFrame.ShadowWidth() * scaleX);
        FDrawRect.Bottom -= Round(FFrame.ShadowWidth() * scaleY);
    }
}

void TvlxView::DrawBackground(RasterSurface& canvas)
{
    if (FBrushStyle == TBrushStyle::bsClear) return;
    TColor fill = FillColor();
    if (fill != clNone) canvas.FillRect(FDrawRect, uint32_t(fill));
    if (FBrushStyle >= TBrushStyle::bsHorizontal && FFrame.Color() != clNone)
        canvas.Hatch(
            FDrawRect, int(FBrushStyle) - int(TBrushStyle::bsHorizontal), uint32_t(FFrame.Color()));
}

void TvlxView::DrawFrame(RasterSurface& canvas)
{
    const IntRect& r = FDrawRect;
    if (FFrame.DropShadow() && FFrame.ShadowColor() != clNone) {
        int sx = Round(FFrame.ShadowWidth() * FDrawScaleX);
        int sy = Round(FFrame.ShadowWidth() * FDrawScaleY);
        uint32_t shadow = uint32_t(FFrame.ShadowColor());
        canvas.FillRect({r.Right, r.Top + sy, r.Right + sx, r.Bottom + sy}, shadow);
        canvas.FillRect({r.Left + sx, r.Bottom, r.Right + sx, r.Bottom + sy}, shadow);
    }
    if (FFrame.Typ().Empty() || FFrame.Color() == clNone) return;
    // Edges are centred on the rectangle's sides, as the text rectangle assumes.
    auto edge = [&](TvlxFrameType type, double x1, double y1, double x2, double y2) {
        if (!FFrame.Has(type)) return;
        const TvlxFrameLine& line = FFrame.Line(type);
        if (line.Color() == clNone) return;
        double width = std::max(1, Round(line.Width() * FDrawScaleX));
        canvas.Line(x1, y1, x2, y2, {uint32_t(line.Color()), width, int(line.Style())});
    };
    edge(TvlxFrameType::ftTop, r.Left, r.Top, r.Right, r.Top);
    edge(TvlxFrameType::ftRight, r.Right, r.Top, r.Right, r.Bottom);
    edge(TvlxFrameType::ftBottom, r.Left, r.Bottom, r.Right, r.Bottom);
    edge(TvlxFrameType::ftLeft, r.Left, r.Top, r.Left, r.Bottom);
}

// ---- Differences

void TvlxView::WriteViewDiff(String& out, TvlxView& other)
{
    DiffWriter d;
    d.Int(u"BrushStyle", int64_t(FBrushStyle), int64_t(other.FBrushStyle));
    d.Int(u"Align", int64_t(FAlign), int64_t(other.FAlign));
    d.Int(u"Color", FColor, other.FColor);
    const TvlxFrame& f = FFrame;
    const TvlxFrame& o = other.FFrame;
    d.Int(u"Frame.Color", f.Color(), o.Color());
    d.Bool(u"Frame.DropShadow", f.DropShadow(), o.DropShadow());
    d.Int(u"Frame.ShadowColor", f.ShadowColor(), o.ShadowColor());
    d.Float(u"Frame.ShadowWidth", f.ShadowWidth(), o.ShadowWidth());
    d.Int(u"Frame.Style", int64_t(f.Style()), int64_t(o.Style()));
    d.Int(u"Frame.Typ", f.Typ().Mask(), o.Typ().Mask());
    d.Float(u"Frame.Width", f.Width(), o.Width());
    // A changed frame-level value is read first and resets all lines, so a line is then compared
    // with the frame; otherwise with the other view's line.
    bool colorChanged = f.Color() != o.Color();
    bool styleChanged = f.Style() != o.Style();
    bool widthChanged = std::fabs(f.Width() - o.Width()) > CoordinateTolerance;
    static constexpr std::array<std::pair<TvlxFrameType, StringView>, 4> Lines{{
        {TvlxFrameType::ftLeft, u"Frame.LeftLine"},
        {TvlxFrameType::ftTop, u"Frame.TopLine"},
        {TvlxFrameType::ftRight, u"Frame.RightLine"},
        {TvlxFrameType::ftBottom, u"Frame.BottomLine"},
    }};
    for (const auto& [type, name] : Lines) {
        const TvlxFrameLine& line = f.Line(type);
        const TvlxFrameLine& oline = o.Line(type);
        String prefix(name);
        d.Int(prefix + u".Color", line.Color(), colorChanged ? f.Color() : oline.Color());
        d.Int(prefix + u".Style",
              int64_t(line.Style()),
              int64_t(styleChanged ? f.Style() : oline.Style()));
        d.Float(prefix + u".Width", line.Width(), widthChanged ? f.Width() : oline.Width());
    }
    d.Int(u"Cursor", FCursor, other.FCursor);
    d.Bool(u"Printable", FPrintable, other.FPrintable);
    d.Text(u"TagStr", FTagStr, other.FTagStr);
    d.Text(u"URL", FURL, other.FURL);
    out += d.Out();
}

String TvlxView::Diff(TvlxComponent& other)
{
    String out = TvlxReportComponent::Diff(other);
    if (auto* view = dynamic_cast<TvlxView*>(&other)) WriteViewDiff(out, *view);
    return out;
}

// ---- TvlxStretcheable

const ClassInfo& TvlxStretcheable::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxStretcheable, TvlxView>(u"TvlxStretcheable")
            .Prop<&TvlxStretcheable::StretchMode, &TvlxStretcheable::SetStretchMode>(
                u"StretchMode", TvlxStretchMode::smDontStretch)
            .Build();
    return info;
}

} // namespace vl
