// Arithmetic functions. Results that have no finite value raise instead of letting an infinity
// or NaN reach the report's text.
#include "script/functions_internal.h"

#include <cmath>
#include <numbers>

namespace vl {

namespace {

[[noreturn]] void InvalidOp()
{
    throw EInvalidOp("Invalid floating point operation");
}

double Checked(double result)
{
    if (!std::isfinite(result)) InvalidOp();
    return result;
}

// A whole floating value as the smallest fitting integer value.
Variant WholeToInt(double whole)
{
    // 2^63 is the first magnitude that an Int64 cannot hold.
    if (!(std::fabs(whole) < 9223372036854775808.0)) InvalidOp();
    return VarFromInt(static_cast<int64_t>(whole));
}

Variant RoundProc(TsbMethodCall& call)
{
    return WholeToInt(std::nearbyint(ArgFloat(call, 0))); // the default mode: halves to even
}

Variant TruncProc(TsbMethodCall& call)
{
    return WholeToInt(std::trunc(ArgFloat(call, 0)));
}

Variant IntProc(TsbMethodCall& call)
{
    return Variant(std::trunc(ArgFloat(call, 0)));
}

Variant FracProc(TsbMethodCall& call)
{
    const double x = ArgFloat(call, 0);
    return Variant(x - std::trunc(x));
}

Variant SqrtProc(TsbMethodCall& call)
{
    return Variant(Checked(std::sqrt(ArgFloat(call, 0))));
}

Variant AbsProc(TsbMethodCall& call)
{
    return Variant(std::fabs(ArgFloat(call, 0)));
}

Variant SinProc(TsbMethodCall& call)
{
    return Variant(Checked(std::sin(ArgFloat(call, 0))));
}

Variant CosProc(TsbMethodCall& call)
{
    return Variant(Checked(std::cos(ArgFloat(call, 0))));
}

Variant ArcTanProc(TsbMethodCall& call)
{
    return Variant(std::atan(ArgFloat(call, 0)));
}

Variant TanProc(TsbMethodCall& call)
{
    const double x = ArgFloat(call, 0);
    return Variant(Checked(std::sin(x) / std::cos(x)));
}

Variant ExpProc(TsbMethodCall& call)
{
    return Variant(Checked(std::exp(ArgFloat(call, 0))));
}

Variant LnProc(TsbMethodCall& call)
{
    return Variant(Checked(std::log(ArgFloat(call, 0))));
}

Variant PiProc(TsbMethodCall&)
{
    return Variant(std::numbers::pi);
}

constexpr TsbFunctionEntry Entries[] = {
    {u"function Round(e: Extended): Integer", RoundProc},
    {u"function Trunc(e: Extended): Integer", TruncProc},
    {u"function Int(e: Extended): Integer", IntProc},
    {u"function Frac(X: Extended): Extended", FracProc},
    {u"function Sqrt(e: Extended): Extended", SqrtProc},
    {u"function Abs(e: Extended): Extended", AbsProc},
    {u"function Sin(e: Extended): Extended", SinProc},
    {u"function Cos(e: Extended): Extended", CosProc},
    {u"function ArcTan(X: Extended): Extended", ArcTanProc},
    {u"function Tan(X: Extended): Extended", TanProc},
    {u"function Exp(X: Extended): Extended", ExpProc},
    {u"function Ln(X: Extended): Extended", LnProc},
    {u"function Pi: Extended", PiProc},
};

} // namespace

void RegisterMathFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, Entries, u"ctMath", settings);
}

} // namespace vl
