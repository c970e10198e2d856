// Numeric pictures, shared by report expressions and the display formats of text views:
// "#,##0.00", "0.###E+00", "0.00;(0.00);'zero'".
//
//  - Up to three sections separated by ";": positive (and every value when alone), negative
//    (written without a minus sign), zero; an empty section falls back to the first.
//  - "0" always writes a digit, "#" only a significant one; the first "." places the locale's
//    decimal separator (only when fraction digits follow); a "," among the integer placeholders
//    groups thousands with the locale's separator.
//  - "E+", "E-", "e+", "e-" followed by "0"s: scientific notation with at least that many exponent
//    digits; "+" always writes the exponent's sign, "-" only a minus.
//  - Quoted text and every other character are written unchanged.
//  - The value is rounded to the fraction placeholders, halves away from zero, on its 15-digit
//    decimal form (so 2.675 with "0.00" gives 2.68, as a reader of the number expects).
//  - An empty picture gives FloatToStr's general format.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

namespace vl {

String FormatFloat(StringView picture,
                   double value,
                   const FormatSettings& settings = DefaultFormatSettings());

} // namespace vl
