// Finding bracketed expressions in view texts ("Total: [SUM(<Orders."Amount">)]"). Delimiters
// may be several characters; delimiters inside quoted strings of the expression do not count,
// and nested pairs belong to the outer one.
#pragma once

#include "base/string.h"

#include <cstddef>

namespace vl {

struct BracketSpan
{
    size_t Start = 0;      // position of the opening delimiter
    size_t End = 0;        // position after the closing delimiter
    StringView Expression; // the text between the delimiters
};

// The first bracketed stretch that starts at or after `from`; false when the opening delimiter
// does not occur there or nothing is opened. An opening delimiter without its closing one takes
// the rest of the text, less its last character, as the expression.
bool FindBracketed(
    StringView text, size_t from, StringView open, StringView close, BracketSpan& found);

} // namespace vl
