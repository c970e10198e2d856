// The page list of an export ("1,3-5", "7-"): which output pages a filter receives.
#pragma once

#include "base/string.h"

#include <cstdint>
#include <vector>

namespace vl {

// The page numbers (from 1) the text names, sorted and without repeats. Blanks are ignored; an
// empty text gives an empty list, meaning every page; a text ending in "-" runs to `pageCount`;
// "a-b" with b < a names nothing. Ranges are clipped to 1..pageCount, so a wild range costs no
// memory. Throws EConvertError ("'%s' is not a valid integer value") for an item that is no
// number.
std::vector<int32_t> ParsePageList(StringView text, int32_t pageCount);

} // namespace vl
