// Numbers as user-visible text, through the locale's settings.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

#include <cstdint>

namespace vl {

// General format: the shortest of fixed or scientific notation with at most 15 significant
// digits, trailing zeros dropped. Scientific notation is used when the number needs more than 15
// digits before the decimal separator or is smaller than 0.0001 ("1E20", "1.5E-7").
// Infinities and NaN give "INF", "-INF" and "NAN".
String FloatToStr(double value, const FormatSettings& settings = DefaultFormatSettings());
// The same general format with `precision` significant digits (1 to 17).
String FloatToStrGeneral(double value, int precision, const FormatSettings& settings);

// Integer text: leading spaces, an optional sign, then decimal digits, or hexadecimal digits after
// "$", "x", "X", "0x" or "0X"; the whole text must convert and fit in 32 bits (hexadecimal up to
// $FFFFFFFF, read as two's complement). The empty text fails.
bool TryStrToInt(StringView text, int32_t& value);
// The same rules for 64 bits.
bool TryStrToInt64(StringView text, int64_t& value);

} // namespace vl
