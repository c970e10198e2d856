// Text views: properties, measuring, splitting, drawing and differences.
#include "model/memo_view.h"

#include "model/diff_writer.h"
#include "model/styles.h"
#include "platform/canvas/raster_surface.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"
#include "template/prop_data.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

namespace vl {

namespace {

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// The area text is measured in when its width does not matter.
constexpr int UnboundedArea = 10000;

} // namespace

// ---- TvlxWideStrings

const ClassInfo& TvlxWideStrings::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxWideStrings, WideStringList>(u"TvlxWideStrings").Build();
    return info;
}

void TvlxWideStrings::SetText(StringView text)
{
    SplitLines(text, [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\u2028'; });
}

bool TvlxWideStrings::ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer&)
{
    bool utf8 = name == u"UTF8";
    if (name != u"Strings" && name != u"UTF8W" && !utf8) return false;
    if (reader.ReadType() != PropDataType::vaList) throw EReadError(u"A list was expected");
    std::vector<String> lines;
    while (!reader.EndOfList()) {
        String line = reader.ReadString();
        if (utf8) {
            // 8-bit strings whose bytes are UTF-8: each unit holds one byte.
            std::string bytes(line.begin(), line.end());
            line = FromUtf8(bytes);
        }
        lines.push_back(std::move(line));
    }
    SetLines(std::move(lines));
    return true;
}

void TvlxWideStrings::WriteCustomProps(PropDataWriter& writer) const
{
    if (Empty()) return;
    writer.WriteName(u"UTF8W");
    writer.WriteListBegin();
    for (const String& line : Lines())
        writer.WriteWideString(line);
    writer.WriteListEnd();
}

// ---- Class descriptions

const ClassInfo& TvlxCustomMemoView::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxCustomMemoView, TvlxStretcheable>(u"TvlxCustomMemoView").Build();
    return info;
}

namespace {

using M = TvlxCustomMemoView;

// Properties both published text views share, in their order.
template <class T>
ClassBuilder<T, M>& AddFillAndFont(ClassBuilder<T, M>& b)
{
    return b.template Prop<&M::BrushStyle, &M::SetBrushStyle>(u"BrushStyle", TBrushStyle::bsSolid)
        .template Prop<&M::Color, &M::SetColor>(u"Color", clNone)
        .template Prop<&M::Frame, &M::SetFrame>(u"Frame")
        .template Prop<&TvlxComponent::Font, &TvlxComponent::SetFont>(u"Font")
        .template Prop<&TvlxComponent::ParentFont, &TvlxComponent::SetParentFont>(u"ParentFont",
                                                                                  true);
}

} // namespace

const ClassInfo& TvlxMemoView::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxMemoView, M>(u"TvlxMemoView");
        b.Prop<&M::AllowExpressions, &M::SetAllowExpressions>(u"AllowExpressions", true)
            .Prop<&M::AllowHTMLTags, &M::SetAllowHTMLTags>(u"AllowHTMLTags", false)
            .Prop<&M::AutoWidth, &M::SetAutoWidth>(u"AutoWidth", false)
            .Prop<&M::CharSpacing, &M::SetCharSpacing>(u"CharSpacing")
            .Prop<&M::Clipped, &M::SetClipped>(u"Clipped", true)
            .Prop<&M::Cursor, &M::SetCursor>(u"Cursor", 0)
            .Prop<&M::DataField, &M::SetDataField>(u"DataField")
            .Prop<&M::DataSet, &M::SetDataSet>(u"DataSet")
            .Prop<&M::DataSetName, &M::SetDataSetName>(u"DataSetName")
            .Prop<&M::DisplayFormat, &M::SetDisplayFormat>(u"DisplayFormat")
            .Prop<&M::ExpressionDelimiters, &M::SetExpressionDelimiters>(u"ExpressionDelimiters")
            .Prop<&M::FirstParaBreak, &M::SetFirstParaBreak>(u"FirstParaBreak", false)
            .Prop<&M::FlowTo, &M::SetFlowTo>(u"FlowTo")
            .Prop<&M::GapX, &M::SetGapX>(u"GapX")
            .Prop<&M::GapY, &M::SetGapY>(u"GapY")
            .Prop<&M::HAlign, &M::SetHAlign>(u"HAlign", THAlign::haLeft)
            .Prop<&M::HideZeros, &M::SetHideZeros>(u"HideZeros", false)
            .Prop<&M::Highlight, &M::SetHighlight>(u"Highlight")
            .StoredIf<&M::IsHighlightStored>()
            .Prop<&M::LastParaBreak, &M::SetLastParaBreak>(u"LastParaBreak", false)
            .Prop<&M::LineSpacing, &M::SetLineSpacing>(u"LineSpacing")
            .Prop<&M::Memo, &M::SetMemo>(u"Memo")
            .Prop<&M::ParagraphGap, &M::SetParagraphGap>(u"ParagraphGap")
            .Prop<&M::Rotation, &M::SetRotation>(u"Rotation", 0)
            .Prop<&M::RTLReading, &M::SetRTLReading>(u"RTLReading", false)
            .Prop<&M::Style, &M::SetStyle>(u"Style")
            .Prop<&M::SuppressRepeated, &M::SetSuppressRepeated>(u"SuppressRepeated", false)
            .Prop<&M::TagStr, &M::SetTagStr>(u"TagStr")
            .Prop<&M::Underlines, &M::SetUnderlines>(u"Underlines", false)
            .Prop<&M::URL, &M::SetURL>(u"URL")
            .Prop<&M::UseDefaultCharset, &M::SetUseDefaultCharset>(u"UseDefaultCharset", false)
            .Prop<&M::VAlign, &M::SetVAlign>(u"VAlign", TVAlign::vaTop)
            .Prop<&M::WordBreak, &M::SetWordBreak>(u"WordBreak", false)
            .Prop<&M::WordWrap, &M::SetWordWrap>(u"WordWrap", true)
            .Prop<&M::Wysiwyg, &M::SetWysiwyg>(u"Wysiwyg", true);
        AddFillAndFont(b);
        return b.Build();
    }();
    return info;
}

const ClassInfo& TvlxSysMemoView::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxSysMemoView, M>(u"TvlxSysMemoView");
        b.Prop<&M::AutoWidth, &M::SetAutoWidth>(u"AutoWidth", false)
            .Prop<&M::CharSpacing, &M::SetCharSpacing>(u"CharSpacing")
            .Prop<&M::DisplayFormat, &M::SetDisplayFormat>(u"DisplayFormat")
            .Prop<&M::GapX, &M::SetGapX>(u"GapX")
            .Prop<&M::GapY, &M::SetGapY>(u"GapY")
            .Prop<&M::HAlign, &M::SetHAlign>(u"HAlign", THAlign::haLeft)
            .Prop<&M::HideZeros, &M::SetHideZeros>(u"HideZeros", false)
            .Prop<&M::Highlight, &M::SetHighlight>(u"Highlight")
            .StoredIf<&M::IsHighlightStored>()
            .Prop<&M::Memo, &M::SetMemo>(u"Memo")
            .Prop<&M::Rotation, &M::SetRotation>(u"Rotation", 0)
            .Prop<&M::RTLReading, &M::SetRTLReading>(u"RTLReading", false)
            .Prop<&M::Style, &M::SetStyle>(u"Style")
            .Prop<&M::SuppressRepeated, &M::SetSuppressRepeated>(u"SuppressRepeated", false)
            .Prop<&M::VAlign, &M::SetVAlign>(u"VAlign", TVAlign::vaTop)
            .Prop<&M::WordWrap, &M::SetWordWrap>(u"WordWrap", true);
        AddFillAndFont(b);
        return b.Build();
    }();
    return info;
}

TvlxCustomMemoView::TvlxCustomMemoView()
{
    TvlxComponentStyles style = vlComponentStyle();
    style.Exclude(TvlxComponentStyle::csDefaultDiff);
    SetComponentStyle(style);
    FLastValue = Variant::Null();
    Value = Variant::Null();
}

// ---- Styles

void TvlxCustomMemoView::SetStyle(const String& v)
{
    FStyle = v;
    TvlxViewHost* host = Host();
    TvlxStyles* styles = host != nullptr ? host->Styles() : nullptr;
    if (styles == nullptr) return;
    if (const TvlxStyleItem* item = styles->Find(v)) ApplyStyle(*item);
}

void TvlxCustomMemoView::ApplyStyle(const TvlxStyleItem& item)
{
    SetColor(item.Color());
    SetFont(item.Font());
    SetFrame(item.Frame());
}

// ---- Engine hooks

void TvlxCustomMemoView::BeforePrint()
{
    TvlxView::BeforePrint();
    if (!IsDataField()) FSavedText = Text();
}

void TvlxCustomMemoView::GetData()
{
    TvlxView::GetData();
    GetMemoData();
}

void TvlxCustomMemoView::AfterPrint()
{
    TvlxView::AfterPrint();
    if (!IsDataField()) SetText(FSavedText);
}

// ---- Measuring

const TvlxFont& TvlxCustomMemoView::DrawFont() const
{
    return FHighlight.Active() ? FHighlight.Font() : Font();
}

TColor TvlxCustomMemoView::FillColor() const
{
    return FHighlight.Active() ? FHighlight.Color() : Color();
}

namespace {

// Room around the text on one axis: the gap on both sides, the part of each framed side's line
// that lies inside the view, and the drop shadow.
double FrameExtra(const TvlxFrame& f, double gap, TvlxFrameType first, TvlxFrameType second)
{
    double extra = 2 * gap;
    if (f.Has(first)) extra += (f.Width() - 1) / 2;
    if (f.Has(second)) extra += f.Width() / 2;
    if (f.DropShadow()) extra += f.ShadowWidth();
    return extra;
}

} // namespace

double TvlxCustomMemoView::VerticalExtra() const
{
    return FrameExtra(Frame(), FGapY, TvlxFrameType::ftTop, TvlxFrameType::ftBottom);
}

double TvlxCustomMemoView::HorizontalExtra() const
{
    return FrameExtra(Frame(), FGapX, TvlxFrameType::ftLeft, TvlxFrameType::ftRight);
}

IntRect TvlxCustomMemoView::TextRect(const IntRect& viewRect, double scaleX, double scaleY) const
{
    const TvlxFrame& f = Frame();
    IntRect r = viewRect;
    double w = f.Width();
    if (f.Has(TvlxFrameType::ftLeft)) r.Left += Round((scaleX * w - 1) / 2);
    if (f.Has(TvlxFrameType::ftTop)) r.Top += Round((scaleY * w - 1) / 2);
    if (f.Has(TvlxFrameType::ftRight)) r.Right -= Round(scaleX * w / 2);
    if (f.Has(TvlxFrameType::ftBottom)) r.Bottom -= Round(scaleY * w / 2);
    r.Left += Round(scaleX * FGapX);
    r.Right -= Round(scaleX * FGapX) - 1;
    r.Top += Round(scaleY * FGapY);
    r.Bottom -= Round(scaleY * FGapY) - 1;
    return r;
}

IntRect TvlxCustomMemoView::MeasureRect()
{
    CalcDrawRect(1, 1, 0, 0);
    return TextRect(FDrawRect, 1, 1);
}

void TvlxCustomMemoView::SetupLayout(TvlxDrawText& layout,
                                     StringView text,
                                     const IntRect& original,
                                     const IntRect& scaled,
                                     double scaleX,
                                     double scaleY)
{
    const TvlxFont& font = DrawFont();
    LayoutFont lf;
    lf.Name = font.Name();
    lf.Size = font.Size();
    lf.Style = uint8_t(font.Style().Mask());
    lf.Color = uint32_t(font.Color());
    lf.Charset = font.Charset();
    layout.SetFont(lf);
    layout.SetOptions(
        FWordWrap, FAllowHTMLTags, FRTLReading, FWordBreak, FClipped, FWysiwyg, FRotation);
    layout.SetGaps(FParagraphGap, FCharSpacing, FLineSpacing);
    layout.SetDimensions(scaleX, scaleY, 1, original, scaled);
    layout.SetText(text);
    layout.SetParaBreaks(FFirstParaBreak, FLastParaBreak);
}

double TvlxCustomMemoView::CalcHeight()
{
    IntRect area = FAutoWidth ? IntRect{0, 0, UnboundedArea, UnboundedArea} : MeasureRect();
    TvlxDrawText& layout = Host() != nullptr ? Host()->TextLayout() : SharedDrawText();
    std::lock_guard lock(LayoutLock());
    SetupLayout(layout, Text(), area, area, 1, 1);
    return Round(layout.CalcHeight() + VerticalExtra());
}

double TvlxCustomMemoView::CalcWidth()
{
    IntRect area{0, 0, UnboundedArea, UnboundedArea};
    TvlxDrawText& layout = Host() != nullptr ? Host()->TextLayout() : SharedDrawText();
    std::lock_guard lock(LayoutLock());
    SetupLayout(layout, Text(), area, area, 1, 1);
    return Round(layout.CalcWidth() + HorizontalExtra());
}

String TvlxCustomMemoView::WrapText(bool wrapWords)
{
    const IntRect area = MeasureRect();
    TvlxDrawText& layout = Host() != nullptr ? Host()->TextLayout() : SharedDrawText();
    std::lock_guard lock(LayoutLock());
    const bool wordWrap = std::exchange(FWordWrap, FWordWrap && wrapWords);
    SetupLayout(layout, Text(), area, area, 1, 1);
    FWordWrap = wordWrap;
    return layout.WrappedText();
}

void TvlxCustomMemoView::InitPart()
{
    FPartMemo = Text();
    FFirstParaBreak = false;
    FLastParaBreak = false;
}

double TvlxCustomMemoView::DrawPart()
{
    IntRect area = MeasureRect();
    TvlxDrawText& layout = Host() != nullptr ? Host()->TextLayout() : SharedDrawText();
    String fits, rest;
    bool paraBreak = false;
    double unused = 0;
    {
        std::lock_guard lock(LayoutLock());
        FLastParaBreak = false;
        SetupLayout(layout, FPartMemo, area, area, 1, 1);
        rest = layout.GetOutBoundsText(paraBreak);
        fits = layout.GetInBoundsText();
        unused = layout.UnusedSpace();
    }
    SetText(fits);
    FPartMemo = std::move(rest);
    FLastParaBreak = paraBreak;
    return unused == 0 ? Height() : unused;
}

// ---- Drawing

void TvlxCustomMemoView::FitWidthToText()
{
    double oldWidth = Width();
    double newWidth = CalcWidth();
    if (FHAlign == THAlign::haRight)
        SetLeft(Left() + oldWidth - newWidth);
    else if (FHAlign == THAlign::haCenter)
        SetLeft(Left() + (oldWidth - newWidth) / 2);
    SetWidth(newWidth);
    if (Parent() != nullptr) Parent()->AlignChildren();
}

void TvlxCustomMemoView::Draw(
    RasterSurface& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    if (FAutoWidth && !IsDesigning) FitWidthToText();
    IntRect original = MeasureRect();
    CalcDrawRect(scaleX, scaleY, offsetX, offsetY);
    DrawBackground(canvas);
    FTextRect = TextRect(FDrawRect, scaleX, scaleY);
    TvlxDrawText& layout = Host() != nullptr ? Host()->TextLayout() : SharedDrawText();
    {
        std::lock_guard lock(LayoutLock());
        SetupLayout(layout, Text(), original, FTextRect, scaleX, scaleY);
        if (FUnderlines && Frame().Color() != clNone) {
            double step = layout.LineHeight() * scaleY;
            RasterPen pen{uint32_t(Frame().Color()), std::max(1.0, Frame().Width() * scaleX), 0};
            for (double y = FTextRect.Top + step; step > 0 && y <= FDrawRect.Bottom; y += step)
                canvas.Line(FDrawRect.Left, y, FDrawRect.Right, y, pen);
        }
        layout.DrawText(canvas, FHAlign, FVAlign);
    }
    DrawFrame(canvas);
}

// ---- Differences

String TvlxCustomMemoView::Diff(TvlxComponent& other)
{
    String out = TvlxView::Diff(other);
    auto* o = dynamic_cast<TvlxCustomMemoView*>(&other);
    if (o == nullptr) return out;
    DiffWriter d;
    d.Bool(u"AutoWidth", FAutoWidth, o->FAutoWidth);
    d.Float(u"CharSpacing", FCharSpacing, o->FCharSpacing);
    d.Float(u"GapX", FGapX, o->FGapX);
    d.Float(u"GapY", FGapY, o->FGapY);
    d.Int(u"HAlign", int64_t(FHAlign), int64_t(o->FHAlign));
    d.Bool(u"Highlight.Active", FHighlight.Active(), o->FHighlight.Active());
    d.Float(u"LineSpacing", FLineSpacing, o->FLineSpacing);
    d.Bool(u"UseDefaultCharset", FUseDefaultCharset, o->FUseDefaultCharset);
    String text = Text();
    if (text.ends_with(u"\r\n")) text.resize(text.size() - 2);
    d.WriteText(u"u", text);
    d.Float(u"ParagraphGap", FParagraphGap, o->FParagraphGap);
    d.Int(u"Rotation", FRotation, o->FRotation);
    d.Bool(u"RTLReading", FRTLReading, o->FRTLReading);
    d.Bool(u"Underlines", FUnderlines, o->FUnderlines);
    d.Int(u"VAlign", int64_t(FVAlign), int64_t(o->FVAlign));
    d.Bool(u"WordWrap", FWordWrap, o->FWordWrap);
    const TvlxFormat& f = FDisplayFormat;
    const TvlxFormat& of = o->FDisplayFormat;
    d.Int(u"DisplayFormat.Kind", int64_t(f.Kind()), int64_t(of.Kind()));
    d.Text(u"DisplayFormat.DecimalSeparator", f.DecimalSeparator(), of.DecimalSeparator());
    d.Text(u"DisplayFormat.ThousandSeparator", f.ThousandSeparator(), of.ThousandSeparator());
    d.Text(u"DisplayFormat.FormatStr", f.FormatStr(), of.FormatStr());
    if (FFirstParaBreak) d.WriteInt(u"FirstParaBreak", 1);
    if (FLastParaBreak) d.WriteInt(u"LastParaBreak", 1);
    // The next part of a split text starts where this one ended.
    FFirstParaBreak = FLastParaBreak;
    FLastParaBreak = false;
    out += d.Out();
    return out;
}

} // namespace vl
