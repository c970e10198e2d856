// Fonts of report objects.
#include "model/font.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxFont::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxFont, Persistent>(u"TFont")
            .Prop<&TvlxFont::Charset, &TvlxFont::SetCharset>(u"Charset", DefaultCharset)
            .Prop<&TvlxFont::Color, &TvlxFont::SetColor>(u"Color", clBlack)
            .Prop<&TvlxFont::Name, &TvlxFont::SetName>(u"Name")
            .Prop<&TvlxFont::Size, &TvlxFont::SetSize>(u"Size", 10)
            .Prop<&TvlxFont::Style, &TvlxFont::SetStyle>(u"Style", TFontStyles{})
            .Build();
    return info;
}

TvlxFont::TvlxFont(const TvlxFont& other)
    : Persistent(other)
    , FName(other.FName)
    , FSize(other.FSize)
    , FColor(other.FColor)
    , FStyle(other.FStyle)
    , FCharset(other.FCharset)
{}

TvlxFont& TvlxFont::operator=(const TvlxFont& other)
{
    Assign(other);
    return *this;
}

void TvlxFont::Assign(const Persistent& source)
{
    const auto* font = dynamic_cast<const TvlxFont*>(&source);
    if (font == nullptr) return Persistent::Assign(source);
    FName = font->FName;
    FSize = font->FSize;
    FColor = font->FColor;
    FStyle = font->FStyle;
    FCharset = font->FCharset;
    Changed();
}

bool TvlxFont::operator==(const TvlxFont& other) const
{
    return FName == other.FName && FSize == other.FSize && FColor == other.FColor &&
           FStyle == other.FStyle && FCharset == other.FCharset;
}

void TvlxFont::SetName(const String& name)
{
    if (FName == name) return;
    FName = name;
    Changed();
}

void TvlxFont::SetSize(int32_t size)
{
    if (FSize == size) return;
    FSize = size;
    Changed();
}

void TvlxFont::SetColor(TColor color)
{
    if (FColor == color) return;
    FColor = color;
    Changed();
}

void TvlxFont::SetStyle(TFontStyles style)
{
    if (FStyle == style) return;
    FStyle = style;
    Changed();
}

void TvlxFont::SetCharset(int32_t charset)
{
    if (FCharset == charset) return;
    FCharset = charset;
    Changed();
}

void TvlxFont::Changed()
{
    if (FListener != nullptr) FListener->FontChanged(*this);
}

} // namespace vl
