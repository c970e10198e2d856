// Case mapping and comparison without case for model text (names of tables, fields, variables,
// report objects and attributes all compare this way). Unicode simple case folding, so "Š" and
// "š" are the same letter; ASCII text takes a fast path.
#pragma once

#include "base/string.h"

#include <cstddef>

namespace vl {

bool SameText(StringView a, StringView b);
// <0, 0 or >0 like strcmp, comparing case-folded code points.
int CompareText(StringView a, StringView b);
String UpperCase(StringView text);
String LowerCase(StringView text);
// A hash consistent with SameText.
size_t HashText(StringView text);

struct TextHash
{
    using is_transparent = void;
    size_t operator()(StringView text) const { return HashText(text); }
};

struct TextEqual
{
    using is_transparent = void;
    bool operator()(StringView a, StringView b) const { return SameText(a, b); }
};

} // namespace vl
