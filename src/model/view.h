// Views: the printable objects inside bands. TvlxView carries what every view shares (placement,
// shifting, fill, frame, data binding, the tag and hyperlink texts) and the hooks the engine
// calls around each output; TvlxStretcheable adds the height and splitting operations of views
// that grow with their content.
//
// Contract:
// - Geometry is template pixels relative to the band; Draw works in device pixels at a scale.
// - BeforePrint / GetData / AfterPrint bracket each output: whatever GetData changes (bounds,
//   TagStr, URL, a text view's text) is put back by AfterPrint.
// - A view reaches its report only through TvlxViewHost (the report implements it): the current
//   object for scripts, Calc for bracketed expressions, the styles and the picture store. A view
//   without a host still works: brackets stay as they are and styles are not applied.
// - A view's dataset is a reference to an adapter that empties itself when the adapter goes.
#pragma once

#include "base/variant.h"
#include "model/component.h"
#include "model/frame.h"
#include "platform/canvas/int_rect.h"

#include <array>
#include <span>
#include <string>

namespace vl {

class RasterSurface;
class TvlxDrawText;
class TvlxStyles;
class TvlxView;
class TvlxPictureView;

// How a view moves when views above it grow.
enum class TvlxShiftMode
{
    smDontShift,
    smAlways,
    smWhenOverlapped
};
inline constexpr std::array<StringView, 3> ShiftModeNames{
    u"smDontShift", u"smAlways", u"smWhenOverlapped"};
constexpr std::span<const StringView> EnumNames(TvlxShiftMode)
{
    return ShiftModeNames;
}

// How a stretching view's height follows its content.
enum class TvlxStretchMode
{
    smDontStretch,
    smActualHeight,
    smMaxHeight
};
inline constexpr std::array<StringView, 3> StretchModeNames{
    u"smDontStretch", u"smActualHeight", u"smMaxHeight"};
constexpr std::span<const StringView> EnumNames(TvlxStretchMode)
{
    return StretchModeNames;
}

// Fill pattern; a hatch is drawn in the frame colour over the fill.
enum class TBrushStyle
{
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
inline constexpr std::array<StringView, 8> BrushStyleNames{u"bsSolid",
                                                           u"bsClear",
                                                           u"bsHorizontal",
                                                           u"bsVertical",
                                                           u"bsFDiagonal",
                                                           u"bsBDiagonal",
                                                           u"bsCross",
                                                           u"bsDiagCross"};
constexpr std::span<const StringView> EnumNames(TBrushStyle)
{
    return BrushStyleNames;
}

// What views ask of their report. The report implements it; every member has a harmless default
// so that a partial host (tests, tools) is easy to write.
class TvlxViewHost
{
public:
    // The view whose hooks run now (the script variable Self); nullptr after it.
    virtual void SetCurrentView(TvlxView* view) { (void)view; }
    // The script variable Value: a text view's value for this output.
    virtual void SetCurrentValue(const Variant& value) { (void)value; }
    // The report's Calc: evaluates an expression; errors propagate as the report raises them.
    virtual Variant CalcExpression(StringView expression);
    // The report's style collection, or nullptr.
    virtual TvlxStyles* Styles() { return nullptr; }
    // The layout object of the report (the process-wide one by default).
    virtual TvlxDrawText& TextLayout();
    // The bytes of the binary field a data-bound view shows (its DataSet and DataField); false
    // when there is no such field or it holds no bytes.
    virtual bool ReadBlobField(const TvlxView& view, std::string& bytes)
    {
        (void)view;
        (void)bytes;
        return false;
    }
    // Hands a picture view's image to the prepared-page image store; gives its index there.
    virtual int32_t StorePicture(TvlxPictureView& view)
    {
        (void)view;
        return -1;
    }

protected:
    ~TvlxViewHost() = default;
};

class TvlxView : public TvlxReportComponent
{
public:
    TvlxView();

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsView() const override { return true; }

    // ---- Placement
    TvlxAlign Align() const override { return FAlign; }
    void SetAlign(TvlxAlign value) { FAlign = value; }
    TvlxShiftMode ShiftMode() const { return FShiftMode; }
    void SetShiftMode(TvlxShiftMode value) { FShiftMode = value; }
    // False: kept on prepared pages but left out of printed output.
    bool Printable() const { return FPrintable; }
    void SetPrintable(bool value) { FPrintable = value; }

    // ---- Fill and frame
    TColor Color() const { return FColor; } // clNone: no fill
    virtual void SetColor(TColor value) { FColor = value; }
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle value) { FBrushStyle = value; }
    const TvlxFrame& Frame() const { return FFrame; }
    TvlxFrame& MutableFrame() { return FFrame; }
    void SetFrame(const TvlxFrame& value) { FFrame.Assign(value); }

    // ---- Data binding
    TvlxDataSet* DataSet() const;
    void SetDataSet(TvlxDataSet* value);
    const String& DataSetName() const { return FDataSetName; }
    // Stores the name and binds the dataset of that user name (FindDataSet).
    void SetDataSetName(const String& value);
    const String& DataField() const { return FDataField; }
    void SetDataField(const String& value) { FDataField = value; }
    // A dataset and a field name.
    bool IsDataField() const { return FDataSet && !FDataField.empty(); }

    // ---- Free texts; both may hold bracketed expressions, expanded by GetData
    const String& TagStr() const { return FTagStr; }
    void SetTagStr(const String& value) { FTagStr = value; }
    const String& URL() const { return FURL; }
    void SetURL(const String& value) { FURL = value; }
    const String& Hint() const { return FHint; }
    void SetHint(const String& value) { FHint = value; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value) { FShowHint = value; }
    int32_t Cursor() const { return FCursor; }
    void SetCursor(int32_t value) { FCursor = value; }

    // The report as a view host, or nullptr.
    TvlxViewHost* Host() const;

    // ---- Engine hooks
    // Saves bounds, TagStr and URL and makes this the report's current view.
    void BeforePrint() override;
    // Expands the bracketed expressions of TagStr and URL through the host's Calc.
    void GetData() override;
    // Puts back bounds, TagStr and URL.
    void AfterPrint() override;

    // ---- Drawing (device pixels)
    // Paints the view: corners are absolute corners x scale + offset, each rounded; the frame
    // width is Frame.Width x scaleX, rounded.
    virtual void
    Draw(RasterSurface& canvas, double scaleX, double scaleY, double offsetX, double offsetY);
    // The pixel rectangle (FDrawRect) and scaled frame width (FDrawFrameWidth) for a scale and
    // offset; with a drop shadow the rectangle leaves the shadow width free on the right and
    // bottom.
    virtual void CalcDrawRect(double scaleX, double scaleY, double offsetX, double offsetY);
    virtual void DrawBackground(RasterSurface& canvas);
    virtual void DrawFrame(RasterSurface& canvas);

    String Diff(TvlxComponent& other) override;

protected:
    // The fill colour used while drawing (the highlight's colour while one is active).
    virtual TColor FillColor() const { return FColor; }
    // The four frame and fill attributes of Diff, shared by the subclasses that write them.
    void WriteViewDiff(String& out, TvlxView& other);

    IntRect FDrawRect;       // device pixels, set by CalcDrawRect
    int FDrawFrameWidth = 0; // device pixels
    double FDrawScaleX = 1;  // scale of the last CalcDrawRect
    double FDrawScaleY = 1;

private:
    // `text` with each "[expression]" replaced by the text of its value.
    String ExpandBrackets(const String& text);

    TvlxAlign FAlign = TvlxAlign::baNone;
    TvlxShiftMode FShiftMode = TvlxShiftMode::smAlways;
    bool FPrintable = true;
    TColor FColor = clNone;
    TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
    TvlxFrame FFrame;
    int32_t FCursor = 0;
    ComponentLink<TvlxDataSet> FDataSet;
    String FDataSetName;
    String FDataField;
    String FTagStr;
    String FURL;
    String FHint;
    bool FShowHint = false;
    String FSavedTagStr;
    String FSavedURL;
};

// Views whose height can follow their content, and whose content can be split across pages.
class TvlxStretcheable : public TvlxView
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    TvlxStretchMode StretchMode() const { return FStretchMode; }
    void SetStretchMode(TvlxStretchMode value) { FStretchMode = value; }

    // The height the content needs, whole pixels; here the current height.
    virtual double CalcHeight() { return Height(); }
    // Lays out the next part of the content in the current height; gives the height left unused
    // below it (0: nothing fitted). Here 0.
    virtual double DrawPart() { return 0; }
    // Starts splitting: the whole content is left to place.
    virtual void InitPart() {}
    virtual bool HasNextDataPart() { return false; }

    // Height and top kept while a band is split.
    double FSaveHeight = 0;
    double FSavedTop = 0;

private:
    TvlxStretchMode FStretchMode = TvlxStretchMode::smDontStretch;
};

} // namespace vl
