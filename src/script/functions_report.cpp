// The report's functions: DayOf, MonthOf, YearOf, and the declarations of IIF and the
// aggregates, which only list them (the working macro versions are in report_evaluator.h).
#include "base/format_date_time.h"
#include "script/functions.h"
#include "script/functions_conversion.h"
#include "script/functions_internal.h"

namespace vl {

namespace {

// A part of a date, written with a one-code picture and read back as an integer.
Variant DatePart(TsbMethodCall& call, const char16_t* picture)
{
    return Variant(StrToIntValue(FormatDateTime(picture, ArgFloat(call, 0), CallSettings(call))));
}

Variant DayOfProc(TsbMethodCall& call)
{
    return DatePart(call, u"d");
}

Variant MonthOfProc(TsbMethodCall& call)
{
    return DatePart(call, u"m");
}

Variant YearOfProc(TsbMethodCall& call)
{
    return DatePart(call, u"yyyy");
}

// The listed-only declarations answer Null; each report's own macros take their names.
Variant ListedOnlyProc(TsbMethodCall&)
{
    return Variant::Null();
}

constexpr TsbFunctionEntry DateEntries[] = {
    {u"function DayOf(Date: TDateTime): Integer", DayOfProc},
    {u"function MonthOf(Date: TDateTime): Integer", MonthOfProc},
    {u"function YearOf(Date: TDateTime): Integer", YearOfProc},
};

constexpr TsbFunctionEntry OtherEntries[] = {
    {u"function IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", ListedOnlyProc},
};

constexpr TsbFunctionEntry AggregateEntries[] = {
    {u"function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
     ListedOnlyProc},
    {u"function AVG(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
     ListedOnlyProc},
    {u"function MIN(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
     ListedOnlyProc},
    {u"function MAX(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
     ListedOnlyProc},
    {u"function COUNT(Band: Variant = 0; Flags: Integer = 0): Variant", ListedOnlyProc},
};

} // namespace

void RegisterReportFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, DateEntries, u"ctDate", settings);
    RegisterFunctionGroup(script, OtherEntries, u"ctOther", settings);
    RegisterFunctionGroup(script, AggregateEntries, u"ctAggregate", settings);
}

void RegisterReportFunctions(TsbScript& script)
{
    RegisterReportFunctions(script, DefaultFormatSettings());
}

} // namespace vl
