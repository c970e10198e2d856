// Frames of views: which edges are drawn, with what colour, style and width, and the drop shadow.
// Each edge has its own line that follows the frame's colour, style and width until set apart.
#pragma once

#include "model/units.h"
#include "platform/component/class_info.h"
#include "platform/component/enum_set.h"

#include <array>
#include <span>

namespace vl {

enum class TvlxFrameStyle
{
    fsSolid,
    fsDash,
    fsDot,
    fsDashDot,
    fsDashDotDot,
    fsDouble,
    fsAltDot,
    fsSquare
};
inline constexpr std::array<StringView, 8> FrameStyleNames{u"fsSolid",
                                                           u"fsDash",
                                                           u"fsDot",
                                                           u"fsDashDot",
                                                           u"fsDashDotDot",
                                                           u"fsDouble",
                                                           u"fsAltDot",
                                                           u"fsSquare"};
constexpr std::span<const StringView> EnumNames(TvlxFrameStyle)
{
    return FrameStyleNames;
}

// Frame edges; as a set mask left 1, right 2, top 4, bottom 8.
enum class TvlxFrameType
{
    ftLeft,
    ftRight,
    ftTop,
    ftBottom
};
inline constexpr std::array<StringView, 4> FrameTypeNames{
    u"ftLeft", u"ftRight", u"ftTop", u"ftBottom"};
constexpr std::span<const StringView> EnumNames(TvlxFrameType)
{
    return FrameTypeNames;
}
using TvlxFrameTypes = EnumSet<TvlxFrameType>;

class TvlxFrame;

// One edge of a frame. A line is stored in templates only where it differs from its frame.
class TvlxFrameLine : public Persistent
{
public:
    TvlxFrameLine() = default;
    explicit TvlxFrameLine(const TvlxFrame* frame)
        : FFrame(frame)
    {}
    // Copies the published values; the owning frame stays.
    TvlxFrameLine(const TvlxFrameLine& other) = delete;
    TvlxFrameLine& operator=(const TvlxFrameLine& other);

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    TColor Color() const { return FColor; }
    void SetColor(TColor value) { FColor = value; }
    TvlxFrameStyle Style() const { return FStyle; }
    void SetStyle(TvlxFrameStyle value) { FStyle = value; }
    double Width() const { return FWidth; } // pixels
    void SetWidth(double value) { FWidth = value; }

    bool operator==(const TvlxFrameLine& other) const;

private:
    bool IsColorStored() const;
    bool IsStyleStored() const;
    bool IsWidthStored() const;

    const TvlxFrame* FFrame = nullptr; // the frame this line belongs to; none for a free line
    TColor FColor = clBlack;
    TvlxFrameStyle FStyle = TvlxFrameStyle::fsSolid;
    double FWidth = 1;
};

class TvlxFrame : public Persistent
{
public:
    TvlxFrame();
    TvlxFrame(const TvlxFrame& other);
    TvlxFrame& operator=(const TvlxFrame& other);

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    TvlxFrameTypes Typ() const { return FTyp; }
    void SetTyp(TvlxFrameTypes value) { FTyp = value; }
    bool Has(TvlxFrameType edge) const { return FTyp.Contains(edge); }
    // Colour, style and width of the frame; assigning one assigns it to all four lines.
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TvlxFrameStyle Style() const { return FStyle; }
    void SetStyle(TvlxFrameStyle value);
    double Width() const { return FWidth; } // pixels
    void SetWidth(double value);
    bool DropShadow() const { return FDropShadow; }
    void SetDropShadow(bool value) { FDropShadow = value; }
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value) { FShadowColor = value; }
    double ShadowWidth() const { return FShadowWidth; } // pixels
    void SetShadowWidth(double value) { FShadowWidth = value; }

    const TvlxFrameLine& LeftLine() const { return FLeftLine; }
    const TvlxFrameLine& TopLine() const { return FTopLine; }
    const TvlxFrameLine& RightLine() const { return FRightLine; }
    const TvlxFrameLine& BottomLine() const { return FBottomLine; }
    TvlxFrameLine& MutableLine(TvlxFrameType edge);
    // The line of `edge`.
    const TvlxFrameLine& Line(TvlxFrameType edge) const;

    bool operator==(const TvlxFrame& other) const;

private:
    void SetLeftLine(const TvlxFrameLine& v) { FLeftLine = v; }
    void SetTopLine(const TvlxFrameLine& v) { FTopLine = v; }
    void SetRightLine(const TvlxFrameLine& v) { FRightLine = v; }
    void SetBottomLine(const TvlxFrameLine& v) { FBottomLine = v; }
    bool IsWidthStored() const;
    bool IsShadowWidthStored() const;

    TvlxFrameTypes FTyp;
    TColor FColor = clBlack;
    TvlxFrameStyle FStyle = TvlxFrameStyle::fsSolid;
    double FWidth = 1;
    bool FDropShadow = false;
    TColor FShadowColor = clBlack;
    double FShadowWidth = 4;
    TvlxFrameLine FLeftLine{this};
    TvlxFrameLine FTopLine{this};
    TvlxFrameLine FRightLine{this};
    TvlxFrameLine FBottomLine{this};
};

} // namespace vl
