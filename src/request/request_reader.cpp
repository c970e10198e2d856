// Reading and checking the request.
#include "request/request_reader.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "base/number_text.h"

namespace vl {

std::unique_ptr<JsonDocument> ReadRequest(Stream& input)
{
    ByteBuffer bytes = input.ReadAll(limits::RequestMaxBytes);
    if (bytes.Empty()) throw Exception(u"Ulaz je prazan");
    auto document = JsonDocument::Parse(std::move(bytes));
    if (!document) throw Exception(u"Ulaz nije JSON");
    if (!document->Root().IsObject())
        throw Exception(Format(u"Poslani JSON je %s, treba biti objekt",
                               {JsonKindName(document->Root().Kind())}));
    return document;
}

std::optional<JsonObject> OptionalObjectMember(const JsonObject& request, std::string_view name)
{
    const JsonValue* value = request.Find(name);
    if (!value) return std::nullopt;
    if (!value->IsObject())
        throw Exception(
            Format(u"Vrijednost \"%s\" u poslanom JSON objektu je %s, treba biti objekt",
                   {FromUtf8(name), JsonKindName(value->Kind())}));
    return value->GetObject();
}

String TemplateText(const JsonObject& request)
{
    const JsonValue* report = request.Find("report");
    if (!report) throw Exception(u"Poslani JSON objekt nema vrijednost \"report\"");
    // A number is a kind of string in the request's value model.
    if (!report->IsString() && !report->IsNumber())
        throw Exception(
            Format(u"Vrijednost \"report\" u poslanom JSON objektu je %s, treba biti string",
                   {JsonKindName(report->Kind())}));
    return JsonValueAsText(*report);
}

String JsonValueAsText(const JsonValue& value)
{
    switch (value.Kind()) {
    case JsonKind::Text:
        return value.GetString();
    case JsonKind::Number:
        return FloatToStr(value.GetNumber());
    default:
        return String();
    }
}

String QuoteAsExpression(StringView text)
{
    if (text.empty()) return u"''";
    String out;
    out.reserve(text.size() + 2);
    size_t runStart = 0;
    auto flushRun = [&](size_t runEnd) {
        if (runEnd == runStart) return;
        out += u'\'';
        for (size_t i = runStart; i < runEnd; ++i) {
            if (text[i] == u'\'') out += u'\'';
            out += text[i];
        }
        out += u'\'';
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\t' || c == u'\n' || c == u'\r') {
            flushRun(i);
            out += u'#';
            out += IntToStr(c);
            runStart = i + 1;
        }
    }
    flushRun(text.size());
    return out;
}

} // namespace vl
