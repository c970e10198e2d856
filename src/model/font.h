// The font of a report object: face name, size in points, colour, style and character set.
// Sizes are points measured at 96 pixels per inch.
#pragma once

#include "model/units.h"
#include "platform/component/class_info.h"
#include "platform/component/enum_set.h"

#include <array>

namespace vl {

enum class TFontStyle
{
    fsBold,
    fsItalic,
    fsUnderline,
    fsStrikeOut
};
inline constexpr std::array<StringView, 4> FontStyleNames{
    u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};
constexpr std::span<const StringView> EnumNames(TFontStyle)
{
    return FontStyleNames;
}
using TFontStyles = EnumSet<TFontStyle>;

class TvlxFont;

// Told after every change of a font it listens to.
class FontChangeListener
{
public:
    virtual void FontChanged(TvlxFont& font) = 0;

protected:
    ~FontChangeListener() = default;
};

class TvlxFont : public Persistent
{
public:
    // The platform's default character set.
    static constexpr int32_t DefaultCharset = 1;

    TvlxFont() = default;
    TvlxFont(const TvlxFont& other);
    TvlxFont& operator=(const TvlxFont& other);

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    const String& Name() const { return FName; }
    void SetName(const String& name);
    int32_t Size() const { return FSize; } // points
    void SetSize(int32_t size);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    int32_t Charset() const { return FCharset; }
    void SetCharset(int32_t charset);

    // The published state only; the listener is not part of a font's value.
    bool operator==(const TvlxFont& other) const;

    // At most one listener (the object that owns the font); nullptr detaches.
    void SetListener(FontChangeListener* listener) { FListener = listener; }

private:
    void Changed();

    String FName = u"Arial";
    int32_t FSize = 10;
    TColor FColor = clBlack;
    TFontStyles FStyle;
    int32_t FCharset = DefaultCharset;
    FontChangeListener* FListener = nullptr;
};

} // namespace vl
