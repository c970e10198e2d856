// Display formats of text views: how a value becomes text.
#pragma once

#include "base/format_settings.h"
#include "base/variant.h"
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

// The text of `value` under `format`. Null gives "". fkText: the value's text form. fkNumeric with
// picture S: S holding "#" or starting with "0" is a FormatFloat picture, else S holding "d" or
// "u" formats the value as one integer argument (FormatArgs), else as one floating argument;
// then a one-character DecimalSeparator replaces the locale's last decimal separator and a
// one-character ThousandSeparator every thousands separator. fkDateTime: FormatDateTime with S.
// fkBoolean: the text after the first "," of S (at most 255 characters) for a value equal to
// True, the text before it otherwise. A value the format cannot take gives its text form.
String FormatData(const Variant& value,
                  const TvlxFormat& format,
                  const FormatSettings& fs = DefaultFormatSettings());

} // namespace vl
