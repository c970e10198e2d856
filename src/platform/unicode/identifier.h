// Identifiers in the Unicode sense: the rule for component names (tables registered with the data
// module, report objects) and other names a template or request gives to things.
#pragma once

#include "base/string.h"

namespace vl {

// True for a letter or "_" followed by letters, decimal digits or "_"; letters and digits in the
// Unicode sense (general categories L* and Nd), code points joined from surrogate pairs. The
// empty text and an unpaired surrogate are no identifier.
bool IsValidIdent(StringView text);

} // namespace vl
