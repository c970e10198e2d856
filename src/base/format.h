// Fills the fixed message texts: "%s" takes the next argument as text, "%d" as a decimal integer,
// "%%" is a percent sign. The full argument-picture language of report expressions lives in the
// script engine; this is the small formatter the system's own messages need.
#pragma once

#include "base/string.h"

#include <cstdint>
#include <initializer_list>
#include <variant>

namespace vl {

using FormatArg = std::variant<StringView, int64_t>;

String Format(StringView pattern, std::initializer_list<FormatArg> args);

} // namespace vl
