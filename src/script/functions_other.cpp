// The remaining system functions: Inc, Dec, RaiseException, ShowMessage, random numbers, the
// Valid* checks, ExtractFilePath, CreateOleObject, VarArrayCreate, VarType, and the internal
// index helpers.
#include "base/date_text.h"
#include "base/format.h"
#include "base/format_date_time.h"
#include "base/limits.h"
#include "base/number_text.h"
#include "platform/clock.h"
#include "script/functions_conversion.h"
#include "script/functions_internal.h"

#include <chrono>
#include <random>

namespace vl {

namespace {

Variant IncProc(TsbMethodCall& call)
{
    call.Args[0] = VarAdd(call.Args[0], call.Args[1], CallSettings(call));
    return Variant();
}

Variant DecProc(TsbMethodCall& call)
{
    call.Args[0] = VarSub(call.Args[0], call.Args[1], CallSettings(call));
    return Variant();
}

Variant RaiseExceptionProc(TsbMethodCall& call)
{
    throw Exception(ArgText(call, 0));
}

// Standard error carries only the failure line and there is no one to show a dialog to, so a
// message shown by a script goes nowhere.
Variant ShowMessageProc(TsbMethodCall&)
{
    return Variant();
}

std::mt19937_64& RandomEngine()
{
    static std::mt19937_64 engine(5489u);
    return engine;
}

Variant RandomizeProc(TsbMethodCall&)
{
    RandomEngine().seed(
        static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return Variant();
}

Variant RandomProc(TsbMethodCall&)
{
    return Variant(std::uniform_real_distribution<double>(0.0, 1.0)(RandomEngine()));
}

Variant ValidIntProc(TsbMethodCall& call)
{
    int32_t value = 0;
    return Variant(TryStrToInt(ArgText(call, 0), value));
}

Variant ValidFloatProc(TsbMethodCall& call)
{
    double value = 0;
    return Variant(TryTextToFloat(ArgText(call, 0), value, CallSettings(call)));
}

Variant ValidDateProc(TsbMethodCall& call)
{
    const FormatSettings& fs = CallSettings(call);
    const Variant& v = call.Args[0];
    const String text =
        v.IsDate() ? FormatDateTime(u"ddddd", v.FloatValue(), fs) : ArgText(call, 0);
    double value = 0;
    return Variant(TryStrToDate(text, value, fs, SystemClock().Now().Year));
}

Variant ExtractFilePathProc(TsbMethodCall& call)
{
    const String name = ArgText(call, 0);
    const size_t at = name.find_last_of(u"/\\:");
    return Variant(at == String::npos ? String() : name.substr(0, at + 1));
}

Variant CreateOleObjectProc(TsbMethodCall& call)
{
    throw Exception(Format(u"Cannot create the automation object '%s': this program has no "
                           u"automation host",
                           {ArgText(call, 0)}));
}

// Bounds lists low and high per dimension; Variant arrays have one dimension.
Variant VarArrayCreateProc(TsbMethodCall& call)
{
    const Variant& bounds = call.Args[0];
    if (!bounds.IsArray() || bounds.ArrayValue().Items.size() != 2)
        throw EVariantError("VarArrayCreate needs one low and one high bound");
    const FormatSettings& fs = CallSettings(call);
    const int64_t low = bounds.ArrayValue().Items[0].ToInt64(fs);
    const int64_t high = bounds.ArrayValue().Items[1].ToInt64(fs);
    const int64_t type = ArgInt(call, 1) & varTypeMask;
    // The distance in unsigned arithmetic, which cannot overflow for high >= low.
    if (high >= low && static_cast<uint64_t>(high) - static_cast<uint64_t>(low) >=
                           static_cast<uint64_t>(limits::ScriptMaxSizedLength))
        throw ELimitExceeded(Format(u"VarArrayCreate: an array of %d..%d is larger than the %d "
                                    u"elements allowed",
                                    {low, high, limits::ScriptMaxSizedLength}));
    return Variant::Array(low, high, static_cast<TVarType>(type));
}

Variant VarTypeProc(TsbMethodCall& call)
{
    return Variant(int32_t(VarTypeForScript(call.Args[0])));
}

// S[Index]: one character, 1-based.
Variant StringHelperProc(TsbMethodCall& call)
{
    const String s = ArgText(call, 0);
    const int64_t index = ArgInt(call, 1);
    if (index < 1 || index > static_cast<int64_t>(s.size()))
        throw EVariantError(Format(u"String index %d is out of bounds", {index}));
    return Variant(String(1, s[static_cast<size_t>(index - 1)]));
}

// A[Index] within the array's bounds.
Variant ArrayHelperProc(TsbMethodCall& call)
{
    const Variant& a = call.Args[0];
    if (!a.IsArray()) throw EVariantError("Array type required");
    const VarArrayData& data = a.ArrayValue();
    const int64_t index = ArgInt(call, 1);
    if (index < data.LowBound || index - data.LowBound >= static_cast<int64_t>(data.Items.size()))
        throw EVariantError("Variant or safe array index out of bounds");
    return data.Items[static_cast<size_t>(index - data.LowBound)];
}

constexpr TsbFunctionEntry Entries[] = {
    {u"procedure Inc(var i: Integer; incr: Integer = 1)", IncProc},
    {u"procedure Dec(var i: Integer; decr: Integer = 1)", DecProc},
    {u"procedure RaiseException(Param: String)", RaiseExceptionProc},
    {u"procedure ShowMessage(Msg: Variant)", ShowMessageProc},
    {u"procedure Randomize", RandomizeProc},
    {u"function Random: Extended", RandomProc},
    {u"function ValidInt(cInt: String): Boolean", ValidIntProc},
    {u"function ValidFloat(cFlt: String): Boolean", ValidFloatProc},
    {u"function ValidDate(cDate: String): Boolean", ValidDateProc},
    {u"function ExtractFilePath(const FileName: string): string;", ExtractFilePathProc},
    {u"function CreateOleObject(ClassName: String): Variant", CreateOleObjectProc},
    {u"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", VarArrayCreateProc},
    {u"function VarType(V: Variant): Integer", VarTypeProc},
};

constexpr TsbFunctionEntry Helpers[] = {
    {u"function __StringHelper(S: String; Index: Integer): Char", StringHelperProc},
    {u"function __ArrayHelper(A: Variant; Index: Integer): Variant", ArrayHelperProc},
};

} // namespace

void RegisterOtherFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, Entries, u"ctOther", settings);
    RegisterFunctionGroup(script, Helpers, u"", settings);
}

} // namespace vl
