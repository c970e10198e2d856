// Frames of views and their edge lines.
#include "model/frame.h"

#include "platform/component/class_builder.h"

#include <cmath>

namespace vl {

namespace {

bool SameFloat(double a, double b)
{
    return std::fabs(a - b) <= CoordinateTolerance;
}

} // namespace

// ---- TvlxFrameLine

const ClassInfo& TvlxFrameLine::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxFrameLine, Persistent>(u"TvlxFrameLine")
            .Prop<&TvlxFrameLine::Color, &TvlxFrameLine::SetColor>(u"Color")
            .StoredIf<&TvlxFrameLine::IsColorStored>()
            .Prop<&TvlxFrameLine::Style, &TvlxFrameLine::SetStyle>(u"Style")
            .StoredIf<&TvlxFrameLine::IsStyleStored>()
            .Prop<&TvlxFrameLine::Width, &TvlxFrameLine::SetWidth>(u"Width")
            .StoredIf<&TvlxFrameLine::IsWidthStored>()
            .Build();
    return info;
}

TvlxFrameLine& TvlxFrameLine::operator=(const TvlxFrameLine& other)
{
    FColor = other.FColor;
    FStyle = other.FStyle;
    FWidth = other.FWidth;
    return *this;
}

void TvlxFrameLine::Assign(const Persistent& source)
{
    const auto* line = dynamic_cast<const TvlxFrameLine*>(&source);
    if (line == nullptr) return Persistent::Assign(source);
    *this = *line;
}

bool TvlxFrameLine::operator==(const TvlxFrameLine& other) const
{
    return FColor == other.FColor && FStyle == other.FStyle && SameFloat(FWidth, other.FWidth);
}

bool TvlxFrameLine::IsColorStored() const
{
    return FFrame == nullptr || FColor != FFrame->Color();
}

bool TvlxFrameLine::IsStyleStored() const
{
    return FFrame == nullptr || FStyle != FFrame->Style();
}

bool TvlxFrameLine::IsWidthStored() const
{
    return FFrame == nullptr || !SameFloat(FWidth, FFrame->Width());
}

// ---- TvlxFrame

const ClassInfo& TvlxFrame::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxFrame, Persistent>(u"TvlxFrame")
            .Prop<&TvlxFrame::Color, &TvlxFrame::SetColor>(u"Color", clBlack)
            .Prop<&TvlxFrame::DropShadow, &TvlxFrame::SetDropShadow>(u"DropShadow", false)
            .Prop<&TvlxFrame::ShadowColor, &TvlxFrame::SetShadowColor>(u"ShadowColor", clBlack)
            .Prop<&TvlxFrame::ShadowWidth, &TvlxFrame::SetShadowWidth>(u"ShadowWidth")
            .StoredIf<&TvlxFrame::IsShadowWidthStored>()
            .Prop<&TvlxFrame::Style, &TvlxFrame::SetStyle>(u"Style", TvlxFrameStyle::fsSolid)
            .Prop<&TvlxFrame::Typ, &TvlxFrame::SetTyp>(u"Typ", TvlxFrameTypes{})
            .Prop<&TvlxFrame::Width, &TvlxFrame::SetWidth>(u"Width")
            .StoredIf<&TvlxFrame::IsWidthStored>()
            .Prop<&TvlxFrame::FLeftLine>(u"LeftLine")
            .Prop<&TvlxFrame::FTopLine>(u"TopLine")
            .Prop<&TvlxFrame::FRightLine>(u"RightLine")
            .Prop<&TvlxFrame::FBottomLine>(u"BottomLine")
            .Build();
    return info;
}

TvlxFrame::TvlxFrame() = default;

TvlxFrame::TvlxFrame(const TvlxFrame& other)
    : Persistent(other)
{
    Assign(other);
}

TvlxFrame& TvlxFrame::operator=(const TvlxFrame& other)
{
    Assign(other);
    return *this;
}

void TvlxFrame::Assign(const Persistent& source)
{
    const auto* frame = dynamic_cast<const TvlxFrame*>(&source);
    if (frame == nullptr) return Persistent::Assign(source);
    FTyp = frame->FTyp;
    FColor = frame->FColor;
    FStyle = frame->FStyle;
    FWidth = frame->FWidth;
    FDropShadow = frame->FDropShadow;
    FShadowColor = frame->FShadowColor;
    FShadowWidth = frame->FShadowWidth;
    FLeftLine = frame->FLeftLine;
    FTopLine = frame->FTopLine;
    FRightLine = frame->FRightLine;
    FBottomLine = frame->FBottomLine;
}

void TvlxFrame::SetColor(TColor value)
{
    FColor = value;
    for (TvlxFrameLine* line : {&FLeftLine, &FTopLine, &FRightLine, &FBottomLine})
        line->SetColor(value);
}

void TvlxFrame::SetStyle(TvlxFrameStyle value)
{
    FStyle = value;
    for (TvlxFrameLine* line : {&FLeftLine, &FTopLine, &FRightLine, &FBottomLine})
        line->SetStyle(value);
}

void TvlxFrame::SetWidth(double value)
{
    FWidth = value;
    for (TvlxFrameLine* line : {&FLeftLine, &FTopLine, &FRightLine, &FBottomLine})
        line->SetWidth(value);
}

const TvlxFrameLine& TvlxFrame::Line(TvlxFrameType edge) const
{
    switch (edge) {
    case TvlxFrameType::ftLeft:
        return FLeftLine;
    case TvlxFrameType::ftRight:
        return FRightLine;
    case TvlxFrameType::ftTop:
        return FTopLine;
    case TvlxFrameType::ftBottom:
        break;
    }
    return FBottomLine;
}

TvlxFrameLine& TvlxFrame::MutableLine(TvlxFrameType edge)
{
    return const_cast<TvlxFrameLine&>(Line(edge));
}

bool TvlxFrame::operator==(const TvlxFrame& other) const
{
    return FTyp == other.FTyp && FColor == other.FColor && FStyle == other.FStyle &&
           SameFloat(FWidth, other.FWidth) && FDropShadow == other.FDropShadow &&
           FShadowColor == other.FShadowColor && SameFloat(FShadowWidth, other.FShadowWidth) &&
           FLeftLine == other.FLeftLine && FTopLine == other.FTopLine &&
           FRightLine == other.FRightLine && FBottomLine == other.FBottomLine;
}

bool TvlxFrame::IsWidthStored() const
{
    return FWidth != 1;
}

bool TvlxFrame::IsShadowWidthStored() const
{
    return FShadowWidth != 4;
}

} // namespace vl
