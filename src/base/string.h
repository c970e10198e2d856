// Text types of the whole system: model text is UTF-16 (lengths and positions count UTF-16 code
// units, as the report's rules do everywhere); UTF-8 appears only at the edges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

using String = std::u16string;
using StringView = std::u16string_view;

// UTF-16 -> UTF-8. Unpaired surrogates become U+FFFD.
std::string ToUtf8(StringView text);
void AppendUtf8(std::string& out, StringView text);

// UTF-8 -> UTF-16, lenient: every malformed sequence becomes one U+FFFD.
String FromUtf8(std::string_view bytes);
void AppendUtf16(String& out, std::string_view utf8);

// Strict check used where malformed input must be refused rather than repaired.
bool IsValidUtf8(std::string_view bytes);

// Appends one code point (BMP as one unit, others as a surrogate pair).
void AppendCodePoint(String& out, char32_t cp);

// ASCII-only helpers for fixed vocabulary (option names, keywords); model text compares through
// the Unicode-aware functions of platform/unicode.
char16_t AsciiLower(char16_t c);
String AsciiLowerCase(StringView text);

// Decimal text of an integer, without locale (identifiers, generated names).
String IntToStr(int64_t value);

// Literal helper for tests and fixed texts written in source as UTF-8.
inline String U(std::string_view utf8)
{
    return FromUtf8(utf8);
}

} // namespace vl
