// Registering the request's tables and applying its links.
#include "request/request_binding.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "platform/unicode/text_case.h"
#include "request/request_reader.h"

#include <array>
#include <unordered_map>

namespace vl {

void RegisterTables(TReportGenerator& module, const std::vector<BuiltTable>& tables)
{
    for (const BuiltTable& table : tables)
        module.DodajTablicu(table.Table.get(), table.Name);
}

void ApplyLinks(TReportGenerator& module, const JsonObject& links)
{
    static constexpr std::array<std::string_view, 3> Members{
        "master_source", "master_field", "detail_field"};
    std::unordered_map<String, int32_t, TextHash, TextEqual> linksOfDetail;
    for (const JsonMember& member : links.Members()) {
        const String detail = member.Name.GetString();
        if (++linksOfDetail[detail] > limits::LinksMaxPerDetail)
            throw ELimitExceeded(Format(u"Table %s is linked to a master more than %d times",
                                        {detail, int64_t(limits::LinksMaxPerDetail)}));
        if (!member.Value.IsObject())
            throw Exception(Format(u"Veza za tablicu \"%s\" je %s, treba biti objekt",
                                   {detail, JsonKindName(member.Value.Kind())}));
        const JsonObject link = member.Value.GetObject();
        std::array<String, 3> texts;
        for (size_t i = 0; i < Members.size(); ++i) {
            const JsonValue* value = link.Find(Members[i]);
            if (value == nullptr)
                throw Exception(Format(u"Veza za tablicu \"%s\" nema vrijednost \"%s\"",
                                       {detail, FromUtf8(Members[i])}));
            texts[i] = JsonValueAsText(*value);
        }
        module.Mapiraj(texts[0], texts[1], texts[2], detail);
    }
}

} // namespace vl
