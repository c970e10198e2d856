// Shared plumbing of the function library: each family is a table of declaration strings and
// callbacks registered under one category; every callback finds the format settings in its
// call's context.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"
#include "base/variant.h"
#include "script/script.h"

#include <span>

namespace vl {

struct TsbFunctionEntry
{
    const char16_t* Declaration;
    TsbMethodProc Proc;
};

// Adds every entry under `category`; the callbacks receive &settings as their context.
void RegisterFunctionGroup(TsbScript& script,
                           std::span<const TsbFunctionEntry> entries,
                           StringView category,
                           const FormatSettings& settings);

inline const FormatSettings& CallSettings(const TsbMethodCall& call)
{
    return *static_cast<const FormatSettings*>(call.Context);
}

// Argument conversions with the call's settings (the Variant rules: Null is an error
// for numbers, the empty text for strings).
inline String ArgText(const TsbMethodCall& call, size_t i)
{
    return call.Args[i].ToText(CallSettings(call));
}
inline double ArgFloat(const TsbMethodCall& call, size_t i)
{
    return call.Args[i].ToDouble(CallSettings(call));
}
inline int64_t ArgInt(const TsbMethodCall& call, size_t i)
{
    return call.Args[i].ToInt64(CallSettings(call));
}
inline bool ArgBool(const TsbMethodCall& call, size_t i)
{
    return call.Args[i].ToBool(CallSettings(call));
}

// "Invalid floating point operation": an argument outside a function's domain (Sqrt of a
// negative number, Round of a value no integer holds).
class EInvalidOp : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EInvalidOp"; }
};

// The families, in the order the library registers them.
void RegisterConversionFunctions(TsbScript& script, const FormatSettings& settings);
void RegisterFormatFunctions(TsbScript& script, const FormatSettings& settings);
void RegisterDateFunctions(TsbScript& script, const FormatSettings& settings);
void RegisterStringFunctions(TsbScript& script, const FormatSettings& settings);
void RegisterMathFunctions(TsbScript& script, const FormatSettings& settings);
void RegisterOtherFunctions(TsbScript& script, const FormatSettings& settings);

} // namespace vl
