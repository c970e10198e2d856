// Edit-mask pictures: laying a value into a mask such as "(000) 000-0000;0;_".
//
// Mask characters: "0" "9" "#" digits, "L" "l" letters, "A" "a" letters or digits, "C" "c" any
// character (upper case: required, lower case: optional; here both take the next character of the
// value), ">" upper-cases and "<" lower-cases what follows ("<>" ends either), "!" is ignored,
// "\" writes the next mask character literally, ":" and "/" write the locale's time and date
// separators, anything else is a literal. After the mask, ";0" says the value holds only the
// entered characters (literals are inserted), ";1" (the default) that it holds the literals too;
// a third section gives the character for positions the value does not fill (default "_").
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

namespace vl {

String FormatMaskText(StringView editMask,
                      StringView value,
                      const FormatSettings& settings = DefaultFormatSettings());

} // namespace vl
