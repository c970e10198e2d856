// Conversions between values and text: IntToStr, FloatToStr, DateToStr ... StrToBool.
#include "script/functions_conversion.h"

#include "base/date_text.h"
#include "base/format.h"
#include "base/format_date_time.h"
#include "base/number_text.h"
#include "platform/clock.h"
#include "platform/unicode/text_case.h"
#include "script/functions_internal.h"

#include <array>

namespace vl {

namespace {

int CurrentYear()
{
    return SystemClock().Now().Year;
}

[[noreturn]] void ConvertFailure(const char16_t* pattern, StringView text)
{
    throw EConvertError(Format(pattern, {text}));
}

Variant IntToStrProc(TsbMethodCall& call)
{
    return Variant(IntToStr(ArgInt(call, 0)));
}

Variant FloatToStrProc(TsbMethodCall& call)
{
    return Variant(FloatToStr(ArgFloat(call, 0), CallSettings(call)));
}

Variant DateToStrProc(TsbMethodCall& call)
{
    return Variant(FormatDateTime(u"ddddd", ArgFloat(call, 0), CallSettings(call)));
}

Variant TimeToStrProc(TsbMethodCall& call)
{
    return Variant(FormatDateTime(u"tt", ArgFloat(call, 0), CallSettings(call)));
}

Variant DateTimeToStrProc(TsbMethodCall& call)
{
    return Variant(FormatDateTime(u"c", ArgFloat(call, 0), CallSettings(call)));
}

Variant BoolToStrProc(TsbMethodCall& call)
{
    return Variant(ArgBool(call, 0) ? u"-1" : u"0");
}

Variant VarToStrProc(TsbMethodCall& call)
{
    return call.Args[0].IsNull() ? Variant(u"") : Variant(ArgText(call, 0));
}

Variant StrToIntProc(TsbMethodCall& call)
{
    return Variant(StrToIntValue(ArgText(call, 0)));
}

Variant StrToInt64Proc(TsbMethodCall& call)
{
    return Variant(StrToInt64Value(ArgText(call, 0)));
}

Variant StrToFloatProc(TsbMethodCall& call)
{
    return Variant(StrToFloatValue(ArgText(call, 0), CallSettings(call)));
}

Variant StrToDateProc(TsbMethodCall& call)
{
    return Variant::FromDate(StrToDateValue(ArgText(call, 0), CallSettings(call)));
}

Variant StrToTimeProc(TsbMethodCall& call)
{
    const String text = ArgText(call, 0);
    double value = 0;
    if (!TryStrToTime(text, value, CallSettings(call)))
        ConvertFailure(u"''%s'' is not a valid time", text);
    return Variant::FromDate(value);
}

Variant StrToDateTimeProc(TsbMethodCall& call)
{
    const String text = ArgText(call, 0);
    double value = 0;
    if (!TryStrToDateTime(text, value, CallSettings(call), CurrentYear()))
        ConvertFailure(u"''%s'' is not a valid date and time", text);
    return Variant::FromDate(value);
}

Variant StrToBoolProc(TsbMethodCall& call)
{
    return Variant(StrToBoolValue(ArgText(call, 0), CallSettings(call)));
}

constexpr TsbFunctionEntry Entries[] = {
    {u"function IntToStr(i: Integer): String", IntToStrProc},
    {u"function FloatToStr(e: Extended): String", FloatToStrProc},
    {u"function DateToStr(e: Extended): String", DateToStrProc},
    {u"function TimeToStr(e: Extended): String", TimeToStrProc},
    {u"function DateTimeToStr(e: Extended): String", DateTimeToStrProc},
    {u"function BoolToStr(B: Boolean): string;", BoolToStrProc},
    {u"function VarToStr(v: Variant): String", VarToStrProc},
    {u"function StrToInt(s: String): Integer", StrToIntProc},
    {u"function StrToInt64(s: String): Int64", StrToInt64Proc},
    {u"function StrToFloat(s: String): Extended", StrToFloatProc},
    {u"function StrToDate(s: String): Extended", StrToDateProc},
    {u"function StrToTime(s: String): Extended", StrToTimeProc},
    {u"function StrToDateTime(s: String): Extended", StrToDateTimeProc},
    {u"function StrToBool(const S: string): Boolean;", StrToBoolProc},
};

} // namespace

int32_t StrToIntValue(StringView text)
{
    int32_t value = 0;
    if (!TryStrToInt(text, value)) ConvertFailure(u"''%s'' is not a valid integer value", text);
    return value;
}

int64_t StrToInt64Value(StringView text)
{
    int64_t value = 0;
    if (!TryStrToInt64(text, value)) ConvertFailure(u"''%s'' is not a valid integer value", text);
    return value;
}

double StrToFloatValue(StringView text, const FormatSettings& fs)
{
    double value = 0;
    if (!TryTextToFloat(text, value, fs))
        ConvertFailure(u"'%s' is not a valid floating point value", text);
    return value;
}

double StrToDateValue(StringView text, const FormatSettings& fs)
{
    double value = 0;
    if (!TryStrToDate(text, value, fs, CurrentYear()))
        ConvertFailure(u"''%s'' is not a valid date", text);
    return value;
}

bool TryStrToBoolValue(StringView text, bool& value, const FormatSettings& fs)
{
    if (SameText(text, u"True"))
        value = true;
    else if (SameText(text, u"False"))
        value = false;
    else {
        double number = 0;
        if (!TryTextToFloat(text, number, fs)) return false;
        value = number != 0;
    }
    return true;
}

bool StrToBoolValue(StringView text, const FormatSettings& fs)
{
    bool value = false;
    if (!TryStrToBoolValue(text, value, fs))
        ConvertFailure(u"''%s'' is not a valid boolean value", text);
    return value;
}

void RegisterConversionFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, Entries, u"ctConv", settings);
}

} // namespace vl
