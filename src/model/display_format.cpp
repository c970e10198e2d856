// Display formats of text views: the format record and FormatData, which turns a value into the
// text a memo or a cross-tab cell prints.
#include "model/display_format.h"

#include "base/exception.h"
#include "base/format_args.h"
#include "base/format_date_time.h"
#include "base/format_float.h"
#include "platform/component/class_builder.h"

#include <span>

namespace vl {

const ClassInfo& TvlxFormat::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxFormat, Persistent>(u"TvlxFormat")
            .Prop<&TvlxFormat::DecimalSeparator, &TvlxFormat::SetDecimalSeparator>(
                u"DecimalSeparator")
            .Prop<&TvlxFormat::FormatStr, &TvlxFormat::SetFormatStr>(u"FormatStr")
            .Prop<&TvlxFormat::Kind, &TvlxFormat::SetKind>(u"Kind", TvlxFormatKind::fkText)
            .Prop<&TvlxFormat::ThousandSeparator, &TvlxFormat::SetThousandSeparator>(
                u"ThousandSeparator")
            .Build();
    return info;
}

void TvlxFormat::Assign(const Persistent& source)
{
    const auto* format = dynamic_cast<const TvlxFormat*>(&source);
    if (format == nullptr) return Persistent::Assign(source);
    FKind = format->FKind;
    FFormatStr = format->FFormatStr;
    FDecimalSeparator = format->FDecimalSeparator;
    FThousandSeparator = format->FThousandSeparator;
}

namespace {

// The number text with the format's own separators in place of the locale's: the last decimal
// separator and every thousands separator, swapped in one pass so that exchanged separators
// ("." and ",") do not overwrite each other.
String ApplySeparators(String text, const TvlxFormat& format, const FormatSettings& fs)
{
    const String& decimal = format.DecimalSeparator();
    const String& thousand = format.ThousandSeparator();
    size_t decimalAt = String::npos;
    if (decimal.size() == 1 && decimal[0] != fs.DecimalSeparator)
        decimalAt = text.rfind(fs.DecimalSeparator);
    bool swapThousands =
        thousand.size() == 1 && fs.ThousandSeparator != 0 && thousand[0] != fs.ThousandSeparator;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == decimalAt) {
            text[i] = decimal[0];
        } else if (swapThousands && text[i] == fs.ThousandSeparator) {
            text[i] = thousand[0];
        }
    }
    return text;
}

String FormatNumber(const Variant& value, const TvlxFormat& format, const FormatSettings& fs)
{
    const String& picture = format.FormatStr();
    String text;
    if (picture.find(u'#') != String::npos || (!picture.empty() && picture[0] == u'0')) {
        text = FormatFloat(picture, value.ToDouble(fs), fs);
    } else if (picture.find_first_of(u"du") != String::npos) {
        Variant arg(value.ToInt64(fs));
        text = FormatArgs(picture, std::span<const Variant>(&arg, 1), fs);
    } else {
        Variant arg(value.ToDouble(fs));
        text = FormatArgs(picture, std::span<const Variant>(&arg, 1), fs);
    }
    return ApplySeparators(std::move(text), format, fs);
}

// At most this many characters of a Boolean format's "true" text are used.
constexpr size_t BooleanTextMax = 255;

String FormatBoolean(const Variant& value, const TvlxFormat& format, const FormatSettings& fs)
{
    const String& picture = format.FormatStr();
    size_t comma = picture.find(u',');
    if (VarEquals(value, Variant(true), fs)) {
        size_t from = comma == String::npos ? 0 : comma + 1;
        return picture.substr(from, BooleanTextMax);
    }
    return comma == String::npos ? String() : picture.substr(0, comma);
}

} // namespace

String FormatData(const Variant& value, const TvlxFormat& format, const FormatSettings& fs)
{
    if (value.IsNull()) return String();
    try {
        switch (format.Kind()) {
        case TvlxFormatKind::fkText:
            break;
        case TvlxFormatKind::fkNumeric:
            return FormatNumber(value, format, fs);
        case TvlxFormatKind::fkDateTime:
            return FormatDateTime(format.FormatStr(), value.ToDouble(fs), fs);
        case TvlxFormatKind::fkBoolean:
            return FormatBoolean(value, format, fs);
        }
    } catch (const Exception&) {
        // A value the format cannot take (a text that is no number, a picture that does not
        // fit) prints in its plain text form instead.
    }
    return value.ToText(fs);
}

} // namespace vl
