// The template and variables steps of a request.
#include "request/report_binding.h"

#include "base/exception.h"
#include "base/format.h"
#include "request/request_reader.h"

namespace vl {

void LoadTemplate(TvlxReport& report, const JsonObject& request)
{
    const String text = TemplateText(request);
    MemoryStream stream;
    stream.Write(ToUtf8(text));
    stream.SetPosition(0);
    try {
        report.LoadFromStream(stream);
    } catch (const Exception& e) {
        throw Exception(Format(u"Greška pri učitavanju Velluma: %s", {e.Message()}));
    }
}

void ApplyVariables(TvlxReport& report, const JsonObject& request)
{
    const auto variables = OptionalObjectMember(request, "variables");
    if (!variables) return;
    for (const JsonMember& member : variables->Members())
        report.Variables().SetValue(member.Name.GetString(),
                                    Variant(QuoteAsExpression(JsonValueAsText(member.Value))));
}

} // namespace vl
