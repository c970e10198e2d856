// Hyphenation of a word that overflows its line (the memo's WordBreak option).
#pragma once

#include "base/string.h"

#include <cstddef>

namespace vl {

// Where to break the word that starts at `wordStart` of `line` (0-based) when the character at
// `overflow` no longer fits: the length of the first part, or 0 when the word has no break
// position before the overflow. The word ends at the first of " .,-;" at or after `overflow`.
size_t HyphenateWord(StringView line, size_t wordStart, size_t overflow);

} // namespace vl
