// Case operations over ICU's character properties.
#include "platform/unicode/text_case.h"

#include <cstdint>
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
        if (a[i] < 0x80 && b[j] < 0x80) {
            // ASCII, the common case of names and expressions: no code point assembly.
            const char32_t ca = Fold(a[i++]);
            const char32_t cb = Fold(b[j++]);
            if (ca != cb) return ca < cb ? -1 : 1;
            continue;
        }
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
    // CompareText stops at the first difference, which for unequal texts is nearly always early;
    // a length test would not be sound, since folding may change a text's UTF-16 length.
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
    // FNV-1a over the folded code points, with runs of folded ASCII packed eight to a word so
    // that long names and expression texts cost a few multiplications. What is packed depends
    // only on the folded sequence, so texts that compare equal hash equally.
    constexpr uint64_t Prime = 1099511628211ull;
    uint64_t h = 14695981039346656037ull;
    uint64_t pack = 0;
    int packed = 0;
    for (size_t i = 0; i < text.size();) {
        const char32_t c = text[i] < 0x80 ? Fold(text[i++]) : Fold(NextCodePoint(text, i));
        if (c < 0x80) {
            pack = pack << 8 | c;
            if (++packed < 8) continue;
        } else {
            if (packed > 0) h = (h ^ pack) * Prime;
            pack = c;
        }
        h = (h ^ pack) * Prime;
        pack = 0;
        packed = 0;
    }
    if (packed > 0) h = (h ^ pack) * Prime;
    return static_cast<size_t>(h ^ (h >> 32));
}

} // namespace vl
