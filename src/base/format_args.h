// Argument pictures: the Format function of report expressions ("%-10s|%8.2f|%.3d").
//
// Each item is "%" [index ":"] ["-"] [width] ["." precision] type; "*" as index, width or
// precision takes the value from the next argument; "%%" writes "%". Types:
//   d, u   integer (precision: minimum digits)      x   hexadecimal (precision: minimum digits)
//   e      scientific, precision significant digits (default 15), exponent "E+ddd"
//   f      fixed, precision decimals (default 2)     n   as f, with thousands separators
//   g      general, precision significant digits (default 15)
//   m      money: the locale's currency symbol before the number, precision decimals (default 2)
//   p      pointer: eight hexadecimal digits         s   text (precision: maximum characters)
// Width pads with blanks on the left, or on the right after "-". Arguments keep their kinds:
// integers for d, u, x; floating values (and Currency, Date) for e, f, g, n, m; strings for s;
// a Boolean fits no type. A mismatch raises EConvertError "Format '%s' invalid or incompatible
// with argument", a missing argument "No argument for format '%s'".
#pragma once

#include "base/format_settings.h"
#include "base/string.h"
#include "base/variant.h"

#include <span>

namespace vl {

String FormatArgs(StringView picture,
                  std::span<const Variant> args,
                  const FormatSettings& settings = DefaultFormatSettings());

} // namespace vl
