// Memo text expansion: what a text view prints for one output. GetMemoData (the memo's part of
// GetData) takes a data field's text or replaces each bracketed expression of the template text
// by its formatted value, then decides the highlight, suppresses a repeated text and hands what
// does not fit to the FlowTo view. The page-count and copy-name placeholders stay in the text
// until the prepared pages are output (ExtractMacros).
//
// Expressions are evaluated by the report (TvlxViewHost::CalcExpression), whose errors carry the
// view's name and end the run; display-format errors are dropped (see FormatData).
#pragma once

#include "base/string.h"
#include "model/display_format.h"

namespace vl {

// Splits the text of one bracketed expression at an inline format: the first " #" with no ")"
// after it. The part before is the expression; after "#" the first character gives the kind
// ("n" numeric, "d" or "t" date-time, "b" Boolean, any other text; either case) and the rest the
// picture. In a numeric picture every ",", "-" and "." becomes "." and the last of them is the
// decimal separator, so "%2,2f" prints two decimals after a comma. False (and nothing written)
// when the text has no inline format.
bool SplitInlineFormat(StringView text, StringView& expression, TvlxFormat& format);

// Replaces every occurrence of `placeholder` (ASCII letters compared without case) by
// `replacement`; true when one was found.
bool ReplacePlaceholder(String& text, StringView placeholder, StringView replacement);

} // namespace vl
