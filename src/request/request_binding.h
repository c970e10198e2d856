// Binding the request's data to the data module: each built table registered under its name,
// then each member of "links" applied as a master/detail link, in request order.
#pragma once

#include "platform/json/json_reader.h"
#include "request/report_module.h"
#include "request/table_builder.h"

#include <vector>

namespace vl {

// Registers every table with DodajTablicu under its request name; the first refused name ends
// the registration with the module's error.
void RegisterTables(TReportGenerator& module, const std::vector<BuiltTable>& tables);

// Applies "links": each member names a detail table and holds "master_source", "master_field"
// and "detail_field", read as text. A member that is no object fails with
// "Veza za tablicu "%s" je %s, treba biti objekt", one that lacks a member with
// "Veza za tablicu "%s" nema vrijednost "%s""; then Mapiraj's own errors. More than
// limits::LinksMaxPerDetail links naming one detail fail with ELimitExceeded. The first failing
// link ends the run.
void ApplyLinks(TReportGenerator& module, const JsonObject& links);

} // namespace vl
