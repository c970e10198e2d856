#include "base/date_text.h"

#include "base/date_time.h"

#include <array>
#include <cstdint>
#include <span>

namespace vl {

namespace {

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

StringView TrimBlanks(StringView s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Reads up to 9 digits at `pos`; false when there is none.
bool ReadNumber(StringView s, size_t& pos, int& value, int& digits)
{
    value = 0;
    digits = 0;
    while (pos < s.size() && IsDigit(s[pos]) && digits < 9) {
        value = value * 10 + (s[pos] - u'0');
        ++pos;
        ++digits;
    }
    return digits > 0 && (pos >= s.size() || !IsDigit(s[pos]));
}

bool IsDateSeparator(char16_t c, const FormatSettings& fs)
{
    return c == fs.DateSeparator || c == u'/' || c == u'-' || c == u'.';
}

// The order of day, month and year in the short date picture: "DMY", "MDY" or "YMD".
std::array<char, 3> DateOrder(const FormatSettings& fs)
{
    std::array<char, 3> order{};
    size_t n = 0;
    for (char16_t c : fs.ShortDateFormat) {
        const char16_t l = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        const char part = l == u'd' ? 'D' : l == u'm' ? 'M' : l == u'y' ? 'Y' : 0;
        if (part == 0) continue;
        bool seen = false;
        for (size_t i = 0; i < n; ++i)
            seen = seen || order[i] == part;
        if (!seen && n < 3) order[n++] = part;
    }
    if (n != 3) return {'Y', 'M', 'D'};
    return order;
}

int WidenYear(int year, int currentYear)
{
    int widened = currentYear - currentYear % 100 + year;
    if (widened > currentYear + 50)
        widened -= 100;
    else if (widened <= currentYear - 50)
        widened += 100;
    return widened;
}

bool SameMarker(StringView text, StringView marker)
{
    if (text.size() != marker.size() || marker.empty()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t a = text[i], b = marker[i];
        if (a >= u'a' && a <= u'z') a = char16_t(a - 32);
        if (b >= u'a' && b <= u'z') b = char16_t(b - 32);
        if (a != b) return false;
    }
    return true;
}

// 0: no marker, 1: AM, 2: PM. Removes the marker (and the blanks next to it) from `s`.
int TakeMarker(StringView& s, const FormatSettings& fs)
{
    const StringView am[] = {fs.TimeAMString, u"AM", u"A"};
    const StringView pm[] = {fs.TimePMString, u"PM", u"P"};
    for (int kind = 1; kind <= 2; ++kind) {
        for (StringView marker :
             kind == 1 ? std::span<const StringView>(am) : std::span<const StringView>(pm)) {
            if (marker.empty() || marker.size() > s.size()) continue;
            if (SameMarker(s.substr(s.size() - marker.size()), marker)) {
                s = TrimBlanks(s.substr(0, s.size() - marker.size()));
                return kind;
            }
            if (SameMarker(s.substr(0, marker.size()), marker)) {
                s = TrimBlanks(s.substr(marker.size()));
                return kind;
            }
        }
    }
    return 0;
}

} // namespace

bool TryStrToDate(StringView text, double& days, const FormatSettings& fs, int currentYear)
{
    const StringView s = TrimBlanks(text);
    int values[3] = {};
    int digits[3] = {};
    size_t count = 0;
    size_t pos = 0;
    while (pos < s.size()) {
        if (count == 3 || !ReadNumber(s, pos, values[count], digits[count])) return false;
        ++count;
        if (pos == s.size()) break;
        // One separator, blanks around it allowed; a blank alone separates too.
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
        if (pos < s.size() && IsDateSeparator(s[pos], fs)) ++pos;
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
    }
    if (count < 2) return false;
    const std::array<char, 3> order = DateOrder(fs);
    int year = currentYear, month = 0, day = 0;
    size_t next = 0;
    for (char part : order) {
        if (part == 'Y' && count == 2) continue;
        if (part == 'D')
            day = values[next];
        else if (part == 'M')
            month = values[next];
        else
            year = digits[next] <= 2 ? WidenYear(values[next], currentYear) : values[next];
        ++next;
    }
    return TryEncodeDate(year, month, day, days);
}

bool TryStrToTime(StringView text, double& dayFraction, const FormatSettings& fs)
{
    StringView s = TrimBlanks(text);
    const int marker = TakeMarker(s, fs);
    int parts[3] = {0, 0, 0};
    int millisecond = 0;
    size_t count = 0;
    size_t pos = 0;
    while (count < 3) {
        int digits = 0;
        if (!ReadNumber(s, pos, parts[count], digits) || digits > 2) return false;
        ++count;
        if (pos < s.size() && (s[pos] == fs.TimeSeparator || s[pos] == u':')) {
            ++pos;
            continue;
        }
        break;
    }
    if (count >= 3 && pos < s.size() && (s[pos] == u'.' || s[pos] == fs.DecimalSeparator)) {
        ++pos;
        int digits = 0;
        if (!ReadNumber(s, pos, millisecond, digits) || digits > 3) return false;
        for (; digits < 3; ++digits)
            millisecond *= 10;
    }
    if (pos != s.size() || (count < 2 && marker == 0)) return false;
    int hour = parts[0];
    if (marker != 0) {
        if (hour < 1 || hour > 12) return false;
        hour = hour % 12 + (marker == 2 ? 12 : 0);
    }
    return TryEncodeTime(hour, parts[1], parts[2], millisecond, dayFraction);
}

bool TryStrToDateTime(StringView text, double& value, const FormatSettings& fs, int currentYear)
{
    const StringView s = TrimBlanks(text);
    if (TryStrToDate(s, value, fs, currentYear)) return true;
    if (TryStrToTime(s, value, fs)) return true;
    // A date, blanks, a time: the date may hold blanks itself ("7. 1. 2024."), so try each one.
    for (size_t i = 0; i < s.size(); ++i) {
        if (!IsBlank(s[i])) continue;
        double date = 0, time = 0;
        if (TryStrToDate(s.substr(0, i), date, fs, currentYear) &&
            TryStrToTime(s.substr(i + 1), time, fs)) {
            value = CombineDateTime(date, time);
            return true;
        }
    }
    return false;
}

} // namespace vl
