// Display formats of text views: how a value becomes text (the formatting itself belongs to the
// memo expansion).
#pragma once

#include "platform/component/class_info.h"

#include <array>
#include <span>

namespace vl {

enum class TvlxFormatKind
{
    fkText,
    fkNumeric,
    fkDateTime,
    fkBoolean
};
inline constexpr std::array<StringView, 4> FormatKindNames{
    u"fkText", u"fkNumeric", u"fkDateTime", u"fkBoolean"};
constexpr std::span<const StringView> EnumNames(TvlxFormatKind)
{
    return FormatKindNames;
}

class TvlxFormat : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    TvlxFormatKind Kind() const { return FKind; }
    void SetKind(TvlxFormatKind value) { FKind = value; }
    const String& FormatStr() const { return FFormatStr; }
    void SetFormatStr(const String& value) { FFormatStr = value; }
    // Separators that replace the locale's in formatted numbers; only one character counts.
    const String& DecimalSeparator() const { return FDecimalSeparator; }
    void SetDecimalSeparator(const String& value) { FDecimalSeparator = value; }
    const String& ThousandSeparator() const { return FThousandSeparator; }
    void SetThousandSeparator(const String& value) { FThousandSeparator = value; }

private:
    TvlxFormatKind FKind = TvlxFormatKind::fkText;
    String FFormatStr;
    String FDecimalSeparator;
    String FThousandSeparator;
};

} // namespace vl
