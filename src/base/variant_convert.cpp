// Conversions of Variant values to text, number and Boolean, through the locale's settings.
#include "base/format.h"
#include "base/number_text.h"
#include "base/variant.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vl {

namespace {

[[noreturn]] void CastError(TVarType from, StringView to)
{
    throw EVariantTypeCastError(
        Format(u"Could not convert variant of type (%s) into type (%s)", {VarTypeName(from), to}));
}

bool IsBlank(char16_t c)
{
    return c <= u' ';
}

// Integer text without the sign rules of the locale: what TryStrToInt64 accepts.
bool TryTextToInt64(StringView text, int64_t& value)
{
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return TryStrToInt64(text, value);
}

// Civil date of a day number counted from 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(int64_t z, int& year, unsigned& month, unsigned& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

struct DateParts
{
    int Year = 1899;
    unsigned Month = 12, Day = 30;
    unsigned Hour = 0, Minute = 0, Second = 0, Milli = 0;
};

// A Date value's parts. Negative values count days backwards while the time of day is the
// absolute fraction, as in the system's date representation.
DateParts SplitDate(double days)
{
    DateParts p;
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6) return p;
    double whole = std::trunc(days);
    auto ms = static_cast<int64_t>(std::llround(std::fabs(days - whole) * 86400000.0));
    if (ms >= 86400000) {
        ms -= 86400000;
        whole += days < 0 ? -1 : 1;
    }
    CivilFromDays(
        static_cast<int64_t>(whole) - static_cast<int64_t>(UnixDateDelta), p.Year, p.Month, p.Day);
    p.Hour = static_cast<unsigned>(ms / 3600000);
    p.Minute = static_cast<unsigned>(ms / 60000 % 60);
    p.Second = static_cast<unsigned>(ms / 1000 % 60);
    p.Milli = static_cast<unsigned>(ms % 1000);
    return p;
}

void AppendNumber(String& out, int64_t value, size_t minDigits)
{
    const std::string digits = std::to_string(value < 0 ? -value : value);
    if (value < 0) out.push_back(u'-');
    if (digits.size() < minDigits) out.append(minDigits - digits.size(), u'0');
    out.append(digits.begin(), digits.end());
}

String CurrencyToText(int64_t scaled, const FormatSettings& fs)
{
    const bool negative = scaled < 0;
    const uint64_t magnitude = negative ? 0ull - static_cast<uint64_t>(scaled) : scaled;
    String out;
    if (negative) out.push_back(u'-');
    const std::string whole = std::to_string(magnitude / CurrencyScale);
    out.append(whole.begin(), whole.end());
    std::string frac = std::to_string(magnitude % CurrencyScale + CurrencyScale).substr(1);
    while (!frac.empty() && frac.back() == '0')
        frac.pop_back();
    if (!frac.empty()) {
        out.push_back(fs.DecimalSeparator);
        out.append(frac.begin(), frac.end());
    }
    return out;
}

} // namespace

bool TryTextToFloat(StringView text, double& value, const FormatSettings& fs)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 400) return false;
    std::string ascii;
    ascii.reserve(text.size());
    size_t i = 0;
    if (text[0] == u'+' || text[0] == u'-') ascii.push_back(static_cast<char>(text[i++]));
    bool digits = false, point = false, exponent = false;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= u'0' && c <= u'9') {
            ascii.push_back(static_cast<char>(c));
            digits = true;
        } else if ((c == fs.DecimalSeparator || c == u'.') && !point && !exponent) {
            ascii.push_back('.');
            point = true;
        } else if ((c == u'e' || c == u'E') && digits && !exponent) {
            ascii.push_back('e');
            exponent = true;
            digits = false;
            if (i + 1 < text.size() && (text[i + 1] == u'+' || text[i + 1] == u'-'))
                ascii.push_back(static_cast<char>(text[++i]));
        } else {
            return false;
        }
    }
    if (!digits) return false;
    const char* begin = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    const auto res = std::from_chars(begin, ascii.data() + ascii.size(), value);
    return res.ec == std::errc() && res.ptr == ascii.data() + ascii.size() && std::isfinite(value);
}

String FormatDatePicture(StringView picture, double days, const FormatSettings& fs)
{
    const DateParts p = SplitDate(days);
    String out;
    bool afterHour = false;
    for (size_t i = 0; i < picture.size();) {
        const char16_t c = picture[i];
        const char16_t lower = AsciiLower(c);
        size_t run = 1;
        while (i + run < picture.size() && AsciiLower(picture[i + run]) == lower)
            ++run;
        switch (lower) {
        case u'd':
            AppendNumber(out, p.Day, run >= 2 ? 2 : 1);
            break;
        case u'm':
            if (afterHour)
                AppendNumber(out, p.Minute, run >= 2 ? 2 : 1);
            else
                AppendNumber(out, p.Month, run >= 2 ? 2 : 1);
            break;
        case u'y':
            if (run <= 2)
                AppendNumber(out, p.Year % 100, 2);
            else
                AppendNumber(out, p.Year, 4);
            break;
        case u'h':
            AppendNumber(out, p.Hour, run >= 2 ? 2 : 1);
            break;
        case u'n':
            AppendNumber(out, p.Minute, run >= 2 ? 2 : 1);
            break;
        case u's':
            AppendNumber(out, p.Second, run >= 2 ? 2 : 1);
            break;
        case u'z':
            AppendNumber(out, p.Milli, run >= 3 ? 3 : 1);
            break;
        case u'/':
            out.append(run, fs.DateSeparator);
            break;
        case u':':
            out.append(run, fs.TimeSeparator);
            break;
        case u'\'':
        case u'"': {
            const size_t close = picture.find(c, i + 1);
            const size_t end = close == StringView::npos ? picture.size() : close;
            out.append(picture.substr(i + 1, end - i - 1));
            run = std::min(end + 1, picture.size()) - i;
            break;
        }
        default:
            out.append(run, c);
            break;
        }
        // "m" right after an hour code (separators between) means minutes.
        if (lower == u'h')
            afterHour = true;
        else if (lower != u':' && lower != u' ')
            afterHour = false;
        i += run;
    }
    return out;
}

String DateToText(double days, const FormatSettings& fs)
{
    String out = FormatDatePicture(fs.ShortDateFormat, days, fs);
    if (days != std::trunc(days)) {
        out.push_back(u' ');
        out += FormatDatePicture(fs.LongTimeFormat, days, fs);
    }
    return out;
}

String Variant::ToText(const FormatSettings& fs) const
{
    switch (FType) {
    case varEmpty:
    case varNull:
        return String();
    case varBoolean:
        return FBool ? u"True" : u"False";
    case varSingle:
    case varDouble:
        return FloatToStr(FFloat, fs);
    case varDate:
        return DateToText(FFloat, fs);
    case varCurrency:
        return CurrencyToText(FInt, fs);
    case varObject:
        CastError(FType, u"String");
    default:
        if (IsString()) return StringValue();
        if (IsInteger()) return IntToStr(FInt);
        CastError(FType, u"String");
    }
}

double Variant::ToDouble(const FormatSettings& fs) const
{
    switch (FType) {
    case varEmpty:
        return 0;
    case varBoolean:
        return FBool ? -1 : 0;
    case varSingle:
    case varDouble:
    case varDate:
        return FFloat;
    case varCurrency:
        return static_cast<double>(FInt) / CurrencyScale;
    default:
        if (IsInteger()) return static_cast<double>(FInt);
        if (IsString()) {
            double value;
            if (TryTextToFloat(StringValue(), value, fs)) return value;
            int64_t integer;
            if (TryTextToInt64(StringValue(), integer)) return static_cast<double>(integer);
        }
        CastError(FType, u"Double");
    }
}

int64_t Variant::ToInt64(const FormatSettings& fs) const
{
    if (IsInteger()) return FInt;
    switch (FType) {
    case varEmpty:
        return 0;
    case varBoolean:
        return FBool ? -1 : 0;
    case varCurrency: {
        // Half to even at the unit.
        int64_t q = FInt / CurrencyScale;
        const int64_t r = FInt % CurrencyScale;
        if (r > CurrencyScale / 2 || (r == CurrencyScale / 2 && (q & 1)))
            ++q;
        else if (r < -CurrencyScale / 2 || (r == -CurrencyScale / 2 && (q & 1)))
            --q;
        return q;
    }
    default:
        break;
    }
    double d;
    if (IsString()) {
        int64_t integer;
        if (TryTextToInt64(StringValue(), integer)) return integer;
        if (!TryTextToFloat(StringValue(), d, fs)) CastError(FType, u"Int64");
    } else if (IsFloat() || FType == varDate) {
        d = FFloat;
    } else {
        CastError(FType, u"Int64");
    }
    const double rounded = std::nearbyint(d);
    if (!(rounded >= -9223372036854775808.0 && rounded < 9223372036854775808.0))
        CastError(FType, u"Int64");
    return static_cast<int64_t>(rounded);
}

int32_t Variant::ToInt32(const FormatSettings& fs) const
{
    const int64_t value = ToInt64(fs);
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        CastError(FType, u"Integer");
    return static_cast<int32_t>(value);
}

bool Variant::ToBool(const FormatSettings& fs) const
{
    switch (FType) {
    case varEmpty:
        return false;
    case varBoolean:
        return FBool;
    case varSingle:
    case varDouble:
    case varDate:
        return FFloat != 0;
    default:
        break;
    }
    if (IsInteger() || FType == varCurrency) return FInt != 0;
    if (IsString()) {
        const String& text = StringValue();
        if (AsciiLowerCase(text) == u"true") return true;
        if (AsciiLowerCase(text) == u"false") return false;
        double d;
        if (TryTextToFloat(text, d, fs)) return d != 0;
        int64_t i;
        if (TryTextToInt64(text, i)) return i != 0;
    }
    CastError(FType, u"Boolean");
}

} // namespace vl
