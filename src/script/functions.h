// The built-in function library every script and every report expression can call.
//
// `RegisterSysFunctions` is the engine's own registration module (`TsbSysFunctions`): the
// conversion, format, date, string, math and other functions, each under its declaration string
// and category, plus the internal index helpers `__StringHelper` and `__ArrayHelper`. The types,
// constants and the Exception* variables come from the engine's built-in table (script.h).
//
// `RegisterReportFunctions` is the report's share of the vocabulary: DayOf, MonthOf, YearOf and
// the declarations of IIF and the aggregates, which only list them; each report registers the
// working macro versions into its own script when it prepares (see report_evaluator.h).
//
// Both are registration modules (script.h): every script that calls AddRTTI gets them, in this
// order, before any module registered later. Values are converted and formatted with the
// process's settings; tests and callers that need another locale pass their own, which must
// outlive the script.
#pragma once

#include "base/format_settings.h"

namespace vl {

class TsbScript;

void RegisterSysFunctions(TsbScript& script);
void RegisterSysFunctions(TsbScript& script, const FormatSettings& settings);

void RegisterReportFunctions(TsbScript& script);
void RegisterReportFunctions(TsbScript& script, const FormatSettings& settings);

} // namespace vl
