// UTF-8 / UTF-16 conversion at the edges of the system.
#include "base/string.h"

namespace vl {

namespace {

constexpr char32_t Replacement = 0xFFFD;

void PutUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns the code point or nothing for a malformed sequence,
// and advances `pos` past what was consumed (at least one byte).
bool DecodeUtf8(std::string_view s, size_t& pos, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        cp = b0;
        ++pos;
        return true;
    }
    int extra;
    char32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3, min = 0x10000, cp = b0 & 0x07;
    } else {
        ++pos;
        return false;
    }
    size_t i = pos + 1;
    for (int k = 0; k < extra; ++k, ++i) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            pos = i;
            return false;
        }
        cp = (cp << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    }
    pos = i;
    return cp >= min && cp <= 0x10FFFF && !(cp >= 0xD800 && cp <= 0xDFFF);
}

} // namespace

void AppendUtf8(std::string& out, StringView text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = Replacement;
        }
        PutUtf8(out, c);
    }
}

std::string ToUtf8(StringView text)
{
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

void AppendCodePoint(String& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

void AppendUtf16(String& out, std::string_view utf8)
{
    size_t pos = 0;
    while (pos < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[pos]);
        if (b < 0x80) {
            out.push_back(b);
            ++pos;
            continue;
        }
        char32_t cp;
        AppendCodePoint(out, DecodeUtf8(utf8, pos, cp) ? cp : Replacement);
    }
}

String FromUtf8(std::string_view bytes)
{
    String out;
    out.reserve(bytes.size());
    AppendUtf16(out, bytes);
    return out;
}

bool IsValidUtf8(std::string_view bytes)
{
    size_t pos = 0;
    char32_t cp;
    while (pos < bytes.size()) {
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
        } else if (!DecodeUtf8(bytes, pos, cp)) {
            return false;
        }
    }
    return true;
}

char16_t AsciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c;
}

String AsciiLowerCase(StringView text)
{
    String out(text);
    for (auto& c : out)
        c = AsciiLower(c);
    return out;
}

String IntToStr(int64_t value)
{
    const auto text = std::to_string(value);
    return String(text.begin(), text.end());
}

} // namespace vl
