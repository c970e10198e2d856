// Variant values as attribute text of the template XML dialect.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"
#include "base/variant.h"

namespace vl {

// The attribute text of a value, by its type:
// - integers: decimal;
// - single, double and currency: general float text (FloatToStr, the locale's decimal separator);
// - date-time: the locale's short date (the time of day is not written);
// - strings: escaped (XMLEscape);
// - boolean: "1" or "0";
// - anything else (empty, null, arrays, objects): the empty text.
String ValueToXML(const Variant& value, const FormatSettings& fs = DefaultFormatSettings());

} // namespace vl
