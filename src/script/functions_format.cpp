// The picture functions: Format, FormatFloat, FormatDateTime, FormatMaskText.
#include "base/format_args.h"
#include "base/format_date_time.h"
#include "base/format_float.h"
#include "base/format_mask_text.h"
#include "script/functions_internal.h"

#include <array>

namespace vl {

namespace {

Variant FormatProc(TsbMethodCall& call)
{
    const Variant& args = call.Args[1];
    const String picture = ArgText(call, 0);
    // A single value stands for an array of one; Null or Empty for no arguments.
    if (args.IsArray())
        return Variant(FormatArgs(picture, args.ArrayValue().Items, CallSettings(call)));
    if (args.IsNull() || args.IsEmpty())
        return Variant(FormatArgs(picture, {}, CallSettings(call)));
    return Variant(FormatArgs(picture, std::span<const Variant>(&args, 1), CallSettings(call)));
}

Variant FormatFloatProc(TsbMethodCall& call)
{
    return Variant(FormatFloat(ArgText(call, 0), ArgFloat(call, 1), CallSettings(call)));
}

Variant FormatDateTimeProc(TsbMethodCall& call)
{
    return Variant(FormatDateTime(ArgText(call, 0), ArgFloat(call, 1), CallSettings(call)));
}

Variant FormatMaskTextProc(TsbMethodCall& call)
{
    return Variant(FormatMaskText(ArgText(call, 0), ArgText(call, 1), CallSettings(call)));
}

constexpr TsbFunctionEntry Entries[] = {
    {u"function Format(Fmt: String; Args: array): String", FormatProc},
    {u"function FormatFloat(Fmt: String; Value: Extended): String", FormatFloatProc},
    {u"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", FormatDateTimeProc},
    {u"function FormatMaskText(EditMask: string; Value: string): string", FormatMaskTextProc},
};

} // namespace

void RegisterFormatFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, Entries, u"ctFormat", settings);
}

} // namespace vl
