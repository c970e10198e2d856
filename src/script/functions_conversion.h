// Text to value with the library's messages, shared by the conversion functions and the
// Valid* checks.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

#include <cstdint>

namespace vl {

// Each throws EConvertError naming the text when it does not convert.
int32_t StrToIntValue(StringView text);
int64_t StrToInt64Value(StringView text);
double StrToFloatValue(StringView text, const FormatSettings& fs);
double StrToDateValue(StringView text, const FormatSettings& fs); // a Date's day number
bool StrToBoolValue(StringView text, const FormatSettings& fs);
bool TryStrToBoolValue(StringView text, bool& value, const FormatSettings& fs);

} // namespace vl
