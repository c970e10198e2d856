// The order of the request's steps; each step relies on the ones before it.
#include "request/request_pipeline.h"

#include "base/exception.h"
#include "base/format.h"
#include "request/report_binding.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/request_reader.h"
#include "request/table_builder.h"

namespace vl {

std::string RunRequestPipeline(Stream& input, int32_t stringFieldSize)
{
    // The tables are the pipeline's; the data module's adapters and links only read them.
    std::vector<BuiltTable> tables;
    TReportGenerator module;
    const auto document = ReadRequest(input);
    const JsonObject request = document->Root().GetObject();

    if (const auto datasets = OptionalObjectMember(request, "datasets")) {
        tables = BuildTables(*datasets, stringFieldSize);
        RegisterTables(module, tables);
    }
    if (const auto links = OptionalObjectMember(request, "links")) ApplyLinks(module, *links);
    LoadTemplate(module.vlxReport1(), request);
    ApplyVariables(module.vlxReport1(), request);
    MemoryStream output;
    module.Export2PDF(output);
    return output.TakeBytes();
}

} // namespace vl
