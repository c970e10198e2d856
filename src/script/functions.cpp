#include "script/functions.h"

#include "script/functions_internal.h"

namespace vl {

void RegisterFunctionGroup(TsbScript& script,
                           std::span<const TsbFunctionEntry> entries,
                           StringView category,
                           const FormatSettings& settings)
{
    // The settings are only read; the context slot is untyped.
    void* context = const_cast<FormatSettings*>(&settings);
    for (const TsbFunctionEntry& e : entries)
        script.AddMethod(e.Declaration, e.Proc, context, category);
}

void RegisterSysFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterConversionFunctions(script, settings);
    RegisterFormatFunctions(script, settings);
    RegisterDateFunctions(script, settings);
    RegisterStringFunctions(script, settings);
    RegisterMathFunctions(script, settings);
    RegisterOtherFunctions(script, settings);
}

void RegisterSysFunctions(TsbScript& script)
{
    RegisterSysFunctions(script, DefaultFormatSettings());
}

} // namespace vl
