// Identifier rules over ICU's character categories.
#include "platform/unicode/identifier.h"

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace vl {

bool IsValidIdent(StringView text)
{
    if (text.empty()) return false;
    const int32_t length = static_cast<int32_t>(text.size());
    int32_t i = 0;
    bool first = true;
    while (i < length) {
        UChar32 c;
        U16_NEXT(text.data(), i, length, c);
        if (U_IS_SURROGATE(c)) return false;
        const bool ok = c == u'_' || u_isalpha(c) || (!first && u_isdigit(c));
        if (!ok) return false;
        first = false;
    }
    return true;
}

} // namespace vl
