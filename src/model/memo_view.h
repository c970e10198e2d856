// Text views (memos): text with bracketed expressions, laid out by the shared text layout. This
// file holds their properties, measuring (CalcHeight, CalcWidth, the text rectangle), splitting
// across pages (InitPart, DrawPart), raster drawing and the difference text of prepared pages.
// Filling the text for an output (expansion of brackets, data fields, highlight, suppression,
// flow into another view) and the placeholders resolved at output are memo_expansion.cpp.
//
// Units: template pixels; measuring happens at 600 dpi inside the layout and comes back as
// pixels. Measuring holds the process-wide layout lock for its duration.
#pragma once

#include "base/variant.h"
#include "layout/text_layout.h"
#include "model/display_format.h"
#include "model/highlight.h"
#include "model/view.h"
#include "platform/component/string_list.h"
#include "template/xml_serializer.h"

#include <array>
#include <span>

namespace vl {

inline constexpr std::array<StringView, 4> HAlignNames{
    u"haLeft", u"haRight", u"haCenter", u"haBlock"};
constexpr std::span<const StringView> EnumNames(THAlign)
{
    return HAlignNames;
}
inline constexpr std::array<StringView, 3> VAlignNames{u"vaTop", u"vaBottom", u"vaCenter"};
constexpr std::span<const StringView> EnumNames(TVAlign)
{
    return VAlignNames;
}

class TvlxStyleItem;

// The line list of a text view. Its text splits at CR LF, CR, LF and U+2028 (line separator);
// in property data blocks it reads the lists "Strings", "UTF8" and "UTF8W" and writes "UTF8W".
class TvlxWideStrings : public WideStringList, public CustomPropData
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    void SetText(StringView text) override;
    bool
    ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer& serializer) override;
    void WriteCustomProps(PropDataWriter& writer) const override;
};

class TvlxCustomMemoView : public TvlxStretcheable, public XMLTextObject
{
public:
    TvlxCustomMemoView();

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsAutoWidth() const override { return FAutoWidth; }

    // ---- Text
    const TvlxWideStrings& Memo() const { return FMemo; }
    TvlxWideStrings& MutableMemo() { return FMemo; }
    void SetMemo(const TvlxWideStrings& value) { FMemo.Assign(value); }
    // The lines joined with CR LF after every line.
    String Text() const { return FMemo.Text(); }
    void SetText(StringView text) { FMemo.SetText(text); }
    String XMLText() const override { return Text(); }
    void SetXMLText(StringView text) override { SetText(text); }

    // ---- Properties
    bool AllowExpressions() const { return FAllowExpressions; }
    void SetAllowExpressions(bool v) { FAllowExpressions = v; }
    const String& ExpressionDelimiters() const { return FExpressionDelimiters; }
    void SetExpressionDelimiters(const String& v) { FExpressionDelimiters = v; }
    bool AllowHTMLTags() const { return FAllowHTMLTags; }
    void SetAllowHTMLTags(bool v) { FAllowHTMLTags = v; }
    bool AutoWidth() const { return FAutoWidth; }
    void SetAutoWidth(bool v) { FAutoWidth = v; }
    double CharSpacing() const { return FCharSpacing; }
    void SetCharSpacing(double v) { FCharSpacing = v; }
    bool Clipped() const { return FClipped; }
    void SetClipped(bool v) { FClipped = v; }
    const TvlxFormat& DisplayFormat() const { return FDisplayFormat; }
    TvlxFormat& MutableDisplayFormat() { return FDisplayFormat; }
    void SetDisplayFormat(const TvlxFormat& v) { FDisplayFormat.Assign(v); }
    TvlxCustomMemoView* FlowTo() const { return FFlowTo.Get(); }
    void SetFlowTo(TvlxCustomMemoView* v) { FFlowTo = v != this ? v : nullptr; }
    double GapX() const { return FGapX; }
    void SetGapX(double v) { FGapX = v; }
    double GapY() const { return FGapY; }
    void SetGapY(double v) { FGapY = v; }
    THAlign HAlign() const { return FHAlign; }
    void SetHAlign(THAlign v) { FHAlign = v; }
    TVAlign VAlign() const { return FVAlign; }
    void SetVAlign(TVAlign v) { FVAlign = v; }
    bool HideZeros() const { return FHideZeros; }
    void SetHideZeros(bool v) { FHideZeros = v; }
    const TvlxHighlight& Highlight() const { return FHighlight; }
    TvlxHighlight& MutableHighlight() { return FHighlight; }
    void SetHighlight(const TvlxHighlight& v) { FHighlight.Assign(v); }
    // Stored condition of Highlight: a condition that is not blank.
    bool IsHighlightStored() const { return FHighlight.IsStored(); }
    double LineSpacing() const { return FLineSpacing; }
    void SetLineSpacing(double v) { FLineSpacing = v; }
    double ParagraphGap() const { return FParagraphGap; }
    void SetParagraphGap(double v) { FParagraphGap = v; }
    int32_t Rotation() const { return FRotation; } // degrees
    // Keeps the value modulo 360 (450 becomes 90).
    void SetRotation(int32_t v) { FRotation = v % 360; }
    bool RTLReading() const { return FRTLReading; }
    void SetRTLReading(bool v) { FRTLReading = v; }
    const String& Style() const { return FStyle; }
    // Stores the name and applies the report's style item of that name, if any.
    void SetStyle(const String& v);
    // Copies the item's colour, font (no longer following the parent) and frame.
    void ApplyStyle(const TvlxStyleItem& item);
    bool SuppressRepeated() const { return FSuppressRepeated; }
    void SetSuppressRepeated(bool v) { FSuppressRepeated = v; }
    bool Underlines() const { return FUnderlines; }
    void SetUnderlines(bool v) { FUnderlines = v; }
    bool UseDefaultCharset() const { return FUseDefaultCharset; }
    void SetUseDefaultCharset(bool v) { FUseDefaultCharset = v; }
    bool WordBreak() const { return FWordBreak; }
    void SetWordBreak(bool v) { FWordBreak = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    bool Wysiwyg() const { return FWysiwyg; }
    void SetWysiwyg(bool v) { FWysiwyg = v; }
    bool FirstParaBreak() const { return FFirstParaBreak; }
    void SetFirstParaBreak(bool v) { FFirstParaBreak = v; }
    bool LastParaBreak() const { return FLastParaBreak; }
    void SetLastParaBreak(bool v) { FLastParaBreak = v; }

    // ---- Engine hooks
    // A view that is not data-bound also saves its text.
    void BeforePrint() override;
    // The view part (TagStr, URL), then GetMemoData.
    void GetData() override;
    // Puts back what BeforePrint saved.
    void AfterPrint() override;
    // Fills the text for this output: the memo expansion's part (brackets, data fields,
    // highlight, suppression, flow into FlowTo).
    virtual void GetMemoData();
    // Suppression of repeated texts starts again: the next text prints whatever it is.
    void ResetSuppress();
    // Called when a prepared page is output, after FTotalPages and FCopyNo are set: with
    // AllowExpressions, every "[TotalPages#]" (without case) becomes FTotalPages and every
    // "[CopyName#]" the text of the global variable "CopyName<FCopyNo>" ("" when there is none).
    void ExtractMacros();

    // ---- Measuring (template pixels)
    // 2 x GapY plus the framed top and bottom halves and the drop shadow; the same with GapX,
    // left and right.
    double VerticalExtra() const;
    double HorizontalExtra() const;
    // `viewRect` (device pixels at `scale`) shrunk by the framed edges and the gaps, with one
    // pixel added back on the right and bottom.
    IntRect TextRect(const IntRect& viewRect, double scaleX, double scaleY) const;
    // The text height plus the vertical extra, rounded; laid out in the text rectangle (with
    // AutoWidth in a 10000 x 10000 area).
    double CalcHeight() override;
    // The widest line in a 10000 x 10000 area plus the horizontal extra, rounded.
    double CalcWidth();
    // The text as exports take it: the lines as laid out in the text rectangle when
    // `wrapWords`, otherwise one line per paragraph; tags removed, each line ending in CR LF.
    String WrapText(bool wrapWords);
    // The whole text is left to place; both paragraph-break flags are cleared.
    void InitPart() override;
    // Keeps the lines of the remaining text that fit in the current height as the text, leaves
    // the rest for the next part and gives the unused height below them (the full height when
    // not one line fits).
    double DrawPart() override;
    // The font measuring and drawing use: the highlight's while it is active.
    const TvlxFont& DrawFont() const;
    // Configures `layout` for this view's text in `original` (template pixels) drawn into
    // `scaled` (device pixels). The caller holds LayoutLock().
    void SetupLayout(TvlxDrawText& layout,
                     StringView text,
                     const IntRect& original,
                     const IntRect& scaled,
                     double scaleX,
                     double scaleY);

    // ---- Drawing
    void Draw(RasterSurface& canvas,
              double scaleX,
              double scaleY,
              double offsetX,
              double offsetY) override;

    String Diff(TvlxComponent& other) override;

    // Run-time state of an output.
    Variant Value;           // value of the last evaluated expression or data field
    Variant FLastValue;      // last printed text for SuppressRepeated (Null at the start)
    String FPartMemo;        // text left to place while the view is split
    int32_t FTotalPages = 0; // for "[TOTALPAGES#]"
    int32_t FCopyNo = 0;     // for "[COPYNAME#]"
    IntRect FTextRect;       // text rectangle of the last drawing, device pixels

protected:
    TColor FillColor() const override;

private:
    // Width follows the text (AutoWidth outside the designer), keeping the edge HAlign names.
    void FitWidthToText();
    // The text rectangle at scale 1 for measuring, template pixels.
    IntRect MeasureRect();
    // The text of a data-bound view: a blob field's content, or the field's value formatted
    // (sets Value).
    String DataFieldText();
    // `text` with each bracketed expression replaced by its formatted value (sets Value).
    String ExpandExpressions(const String& text);
    String ExpandExpression(StringView text);
    String CopyNameText() const;

    TvlxWideStrings FMemo;
    bool FAllowExpressions = true;
    String FExpressionDelimiters = u"[,]";
    bool FAllowHTMLTags = false;
    bool FAutoWidth = false;
    double FCharSpacing = 0;
    bool FClipped = true;
    TvlxFormat FDisplayFormat;
    ComponentLink<TvlxCustomMemoView> FFlowTo;
    double FGapX = 2;
    double FGapY = 1;
    THAlign FHAlign = THAlign::haLeft;
    TVAlign FVAlign = TVAlign::vaTop;
    bool FHideZeros = false;
    TvlxHighlight FHighlight;
    double FLineSpacing = 2;
    double FParagraphGap = 0;
    int32_t FRotation = 0;
    bool FRTLReading = false;
    String FStyle;
    bool FSuppressRepeated = false;
    bool FUnderlines = false;
    bool FUseDefaultCharset = false;
    bool FWordBreak = false;
    bool FWordWrap = true;
    bool FWysiwyg = true;
    bool FFirstParaBreak = false;
    bool FLastParaBreak = false;
    String FSavedText;
};

// The text view of templates, publishing every property.
class TvlxMemoView : public TvlxCustomMemoView
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

// The same view with a shorter published list (for system texts).
class TvlxSysMemoView : public TvlxCustomMemoView
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

} // namespace vl
