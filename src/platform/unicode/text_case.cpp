// Case operations over ICU's character properties.
#include "platform/unicode/text_case.h"

#include <memory>
#include <unicode/uchar.h>
#include <unicode/ustring.h>

namespace vl {

namespace {

// Reads one code point at `i` (joining a surrogate pair) and advances `i`.
char32_t NextCodePoint(StringView s, size_t& i)
{
    char32_t c = s[i++];
    if (c >= 0xD800 && c <= 0xDBFF && i < s.size() && s[i] >= 0xDC00 && s[i] <= 0xDFFF)
        c = 0x10000 + ((c - 0xD800) << 10) + (s[i++] - 0xDC00);
    return c;
}

char32_t Fold(char32_t c)
{
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

template <class Map>
String MapCase(StringView text, Map map)
{
    String out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendCodePoint(out,
                        static_cast<char32_t>(map(static_cast<UChar32>(NextCodePoint(text, i)))));
    return out;
}

} // namespace

int CompareText(StringView a, StringView b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = Fold(NextCodePoint(a, i));
        const char32_t cb = Fold(NextCodePoint(b, j));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

bool SameText(StringView a, StringView b)
{
    if (a.size() != b.size()) {
        // Simple folding keeps lengths except for a few non-ASCII letters; ASCII-only text can
        // stop here.
        bool ascii = true;
        for (char16_t c : a)
            ascii = ascii && c < 0x80;
        for (char16_t c : b)
            ascii = ascii && c < 0x80;
        if (ascii) return false;
    }
    return CompareText(a, b) == 0;
}

String UpperCase(StringView text)
{
    return MapCase(text, u_toupper);
}
String LowerCase(StringView text)
{
    return MapCase(text, u_tolower);
}

size_t HashText(StringView text)
{
    size_t h = 14695981039346656037ull;
    for (size_t i = 0; i < text.size();) {
        h ^= Fold(NextCodePoint(text, i));
        h *= 1099511628211ull;
    }
    return h;
}

} // namespace vl
