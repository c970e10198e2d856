// The engine's resource table: fixed message texts looked up by key.
#pragma once

#include "base/string.h"

namespace vl {

// The text of `key`; a key the table lacks yields the key itself, and a leading "!" of a found
// text is removed.
String ResourceText(StringView key);

} // namespace vl
