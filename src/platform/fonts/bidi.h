// Bidirectional itemizing and reordering of one line (ICU's bidi algorithm): the runs of a line in
// the order they appear from left to right, each with its direction.
#pragma once

#include "base/string.h"

#include <cstdint>
#include <vector>

namespace vl {

struct BidiRun
{
    int32_t Start = 0;  // UTF-16 offset into the line
    int32_t Length = 0; // UTF-16 units
    bool RightToLeft = false;
};

// The runs of `text` in visual order, for a paragraph whose base direction is right to left when
// `rightToLeftBase` is set. Empty text gives no runs. Text with no right-to-left characters and a
// left-to-right base is one run, without calling into ICU.
std::vector<BidiRun> VisualRuns(StringView text, bool rightToLeftBase);

} // namespace vl
