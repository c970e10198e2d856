// The request: one JSON object carrying the template ("report"), the tables ("datasets"), the
// master/detail links ("links") and the report variables ("variables"). This reads and checks it
// and hands each member to its consumer; every check raises the base Exception with the fixed
// message the caller of the generator knows.
#pragma once

#include "base/stream.h"
#include "platform/json/json_reader.h"

#include <memory>
#include <optional>

namespace vl {

// Reads the whole stream and parses it as a JSON object ("Ulaz je prazan", "Ulaz nije JSON",
// "Poslani JSON je %s, treba biti objekt").
std::unique_ptr<JsonDocument> ReadRequest(Stream& input);

// The optional member `name` when present, checked to be an object
// ("Vrijednost "%s" u poslanom JSON objektu je %s, treba biti objekt"); nothing when absent.
std::optional<JsonObject> OptionalObjectMember(const JsonObject& request, std::string_view name);

// The template text of "report" ("Poslani JSON objekt nema vrijednost "report"", "... treba
// biti string").
String TemplateText(const JsonObject& request);

// A value read as text: a string's characters, a number in general format with the locale's
// decimal separator, and the empty text for every other kind.
String JsonValueAsText(const JsonValue& value);

// Turns any text into an expression whose value is exactly that text: quoted runs with doubled
// apostrophes, and #9, #10, #13 for tabs and line breaks ("''" for the empty text).
String QuoteAsExpression(StringView text);

} // namespace vl
