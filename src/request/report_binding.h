// Handing the request's template and variables to the report: "report" is loaded as the
// template, then "variables" are set as expression texts (a template load empties the report's
// variables, so this order is fixed).
#pragma once

#include "model/report.h"
#include "platform/json/json_reader.h"

namespace vl {

// Loads "report" into `report` (the checks of TemplateText first). A load failure is raised as
// Exception "Greška pri učitavanju Velluma: %s" with the load's message.
void LoadTemplate(TvlxReport& report, const JsonObject& request);

// Sets each member of "variables" in request order: the value read as text and quoted as an
// expression, replacing a variable of the same name (without case) or appended at the end.
void ApplyVariables(TvlxReport& report, const JsonObject& request);

} // namespace vl
