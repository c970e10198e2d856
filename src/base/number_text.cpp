// General floating-point formatting.
#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace vl {

namespace {

constexpr int GeneralPrecision = 15;

} // namespace

String FloatToStr(double value, const FormatSettings& settings)
{
    return FloatToStrGeneral(value, GeneralPrecision, settings);
}

String FloatToStrGeneral(double value, int precision, const FormatSettings& settings)
{
    precision = precision < 1 ? 1 : precision > 17 ? 17 : precision;
    if (std::isnan(value)) return u"NAN";
    if (std::isinf(value)) return value < 0 ? u"-INF" : u"INF";
    if (value == 0) return u"0";

    // d.dddddddddddddde±x, correctly rounded to the significant digits asked for.
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
    const std::string_view sci(buf, res.ptr - buf);
    const size_t ePos = sci.find('e');
    const bool negative = sci[0] == '-';
    std::string digits;
    for (char c : sci.substr(0, ePos))
        if (c >= '0' && c <= '9') digits.push_back(c);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());

    String out;
    if (negative) out.push_back(u'-');
    const int intDigits = exponent + 1;
    if (intDigits > precision || intDigits < -3) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back(settings.DecimalSeparator);
            out.append(digits.begin() + 1, digits.end());
        }
        out.push_back(u'E');
        if (exponent < 0) out.push_back(u'-');
        const auto e = std::to_string(std::abs(exponent));
        out.append(e.begin(), e.end());
    } else if (intDigits <= 0) {
        out.push_back(u'0');
        out.push_back(settings.DecimalSeparator);
        out.append(static_cast<size_t>(-intDigits), u'0');
        out.append(digits.begin(), digits.end());
    } else {
        for (int i = 0; i < intDigits; ++i)
            out.push_back(i < static_cast<int>(digits.size()) ? digits[i] : u'0');
        if (static_cast<int>(digits.size()) > intDigits) {
            out.push_back(settings.DecimalSeparator);
            out.append(digits.begin() + intDigits, digits.end());
        }
    }
    return out;
}

namespace {

// Parses to a magnitude of at most `limit`; reports the sign and whether the digits were hex.
bool ParseInteger(StringView text, uint64_t limit, uint64_t& magnitude, bool& negative, bool& hex)
{
    size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    hex = false;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' &&
               (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size()) return false;
    magnitude = 0;
    const uint64_t base = hex ? 16 : 10;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        uint64_t digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        if (magnitude > (limit - digit) / base) return false;
        magnitude = magnitude * base + digit;
    }
    return true;
}

} // namespace

bool TryStrToInt(StringView text, int32_t& value)
{
    uint64_t magnitude;
    bool negative, hex;
    if (!ParseInteger(text, 0xFFFFFFFFull, magnitude, negative, hex)) return false;
    if (hex) {
        const auto bits = static_cast<uint32_t>(magnitude);
        value = static_cast<int32_t>(negative ? 0u - bits : bits);
        return true;
    }
    if (magnitude > (negative ? 2147483648ull : 2147483647ull)) return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude))
                     : static_cast<int32_t>(magnitude);
    return true;
}

bool TryStrToInt64(StringView text, int64_t& value)
{
    uint64_t magnitude;
    bool negative, hex;
    if (!ParseInteger(text, ~0ull, magnitude, negative, hex)) return false;
    if (hex) {
        value = static_cast<int64_t>(negative ? 0ull - magnitude : magnitude);
        return true;
    }
    if (magnitude > (negative ? 9223372036854775808ull : 9223372036854775807ull)) return false;
    value = negative ? static_cast<int64_t>(0ull - magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

} // namespace vl
