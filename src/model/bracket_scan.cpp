// Finding bracketed expressions in view texts.
#include "model/bracket_scan.h"

namespace vl {

bool FindBracketed(
    StringView text, size_t from, StringView open, StringView close, BracketSpan& found)
{
    if (open.empty() || close.empty()) return false;
    size_t start = text.find(open, from);
    if (start == StringView::npos) return false;
    size_t depth = 0;
    bool inDouble = false, inSingle = false;
    size_t i = start;
    while (i < text.size()) {
        char16_t c = text[i];
        if (c == u'"' && !inSingle) {
            inDouble = !inDouble;
        } else if (c == u'\'' && !inDouble) {
            inSingle = !inSingle;
        } else if (!inDouble && !inSingle) {
            if (text.compare(i, open.size(), open) == 0) {
                ++depth;
                i += open.size();
                continue;
            }
            if (depth > 0 && text.compare(i, close.size(), close) == 0) {
                --depth;
                i += close.size();
                if (depth == 0) {
                    found.Start = start;
                    found.End = i;
                    found.Expression =
                        text.substr(start + open.size(), i - close.size() - start - open.size());
                    return true;
                }
                continue;
            }
        }
        ++i;
    }
    // Unclosed: the rest less its last character.
    size_t exprStart = start + open.size();
    found.Start = start;
    found.End = text.size();
    found.Expression = exprStart + 1 < text.size()
                           ? text.substr(exprStart, text.size() - 1 - exprStart)
                           : StringView();
    return true;
}

} // namespace vl
