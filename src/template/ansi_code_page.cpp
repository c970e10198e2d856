// Conversion between UTF-16 and the Windows-1252 code page.
#include "template/ansi_code_page.h"

#include <array>
#include <cstdint>

namespace vl {

namespace {

// Characters of bytes 0x80-0x9F.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
static_assert(HighControls.size() == 0xA0 - 0x80);

char16_t AnsiChar(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80] : static_cast<char16_t>(b);
}

char AnsiByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

void AppendAnsiText(String& out, std::string_view bytes)
{
    const size_t start = out.size();
    out.resize(start + bytes.size());
    char16_t* dest = out.data() + start;
    for (const char b : bytes)
        *dest++ = AnsiChar(static_cast<unsigned char>(b));
}

String AnsiToString(std::string_view bytes)
{
    String out;
    AppendAnsiText(out, bytes);
    return out;
}

void AppendAnsiBytes(std::string& out, StringView text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        out.push_back(AnsiByte(c));
        // A surrogate pair is one character and so one "?".
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF)
            ++i;
    }
}

} // namespace vl
