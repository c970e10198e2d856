// The date picture language.
#include "base/format_date_time.h"

#include "base/exception.h"

#include <cmath>

namespace vl {

namespace {

// Day 0 is 30 December 1899, which is day -25569 of the Unix calendar.
constexpr int64_t UnixDayOfDayZero = -25569;
constexpr int64_t MsPerDay = 86'400'000;
// The calendar covers years 1 to 9999; anything beyond is refused rather than printed wrongly.
constexpr double MinDateTime = -693593.0;
constexpr double MaxDateTime = 2958466.0;

struct Parts
{
    int Year, Month, Day, DayOfWeek; // DayOfWeek: 0 = Sunday
    int Hour, Minute, Second, Millisecond;
};

// Civil date from a day count relative to 1970-01-01 (proleptic Gregorian calendar).
void CivilFromDays(int64_t z, int& year, int& month, int& day)
{
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

Parts Decode(double dateTime)
{
    if (!(dateTime >= MinDateTime && dateTime < MaxDateTime))
        throw EConvertError(u"Invalid argument to date encode");
    // The time of day is the fraction's magnitude, also for days before day 0.
    int64_t days = static_cast<int64_t>(std::trunc(dateTime));
    int64_t ms = std::llround(std::fabs(dateTime - static_cast<double>(days)) * MsPerDay);
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        days += dateTime < 0 ? -1 : 1;
    }
    Parts p{};
    CivilFromDays(days + UnixDayOfDayZero, p.Year, p.Month, p.Day);
    p.DayOfWeek = static_cast<int>(((days + 6) % 7 + 7) % 7);
    p.Hour = static_cast<int>(ms / 3'600'000);
    p.Minute = static_cast<int>(ms / 60'000 % 60);
    p.Second = static_cast<int>(ms / 1000 % 60);
    p.Millisecond = static_cast<int>(ms % 1000);
    return p;
}

void AppendNumber(String& out, int value, int minDigits)
{
    const std::string digits = std::to_string(value);
    for (int i = static_cast<int>(digits.size()); i < minDigits; ++i)
        out.push_back(u'0');
    out.append(digits.begin(), digits.end());
}

char16_t Lower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? c + 32 : c;
}

bool StartsWithNoCase(StringView text, size_t pos, StringView prefix)
{
    if (text.size() - pos < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[pos + i]) != prefix[i]) return false;
    return true;
}

// Whether the picture holds a 12-hour marker outside quotes (nested pictures such as "t" count).
bool HasMarker(StringView picture, const FormatSettings& settings, int depth = 0)
{
    for (size_t i = 0; i < picture.size(); ++i) {
        const char16_t c = picture[i];
        if (c == u'\'' || c == u'"') {
            const size_t end = picture.find(c, i + 1);
            if (end == StringView::npos) return false;
            i = end;
        } else if (StartsWithNoCase(picture, i, u"am/pm") || StartsWithNoCase(picture, i, u"a/p") ||
                   StartsWithNoCase(picture, i, u"ampm")) {
            return true;
        } else if (depth == 0 && (Lower(c) == u't' || Lower(c) == u'c') &&
                   HasMarker(settings.LongTimeFormat, settings, 1)) {
            return true;
        }
    }
    return false;
}

class Formatter
{
public:
    Formatter(const Parts& parts, const FormatSettings& settings)
        : FParts(parts)
        , FSettings(settings)
    {}

    void Append(StringView picture, String& out, int depth);

private:
    const Parts& FParts;
    const FormatSettings& FSettings;
    bool FTwelveHour = false;
};

void Formatter::Append(StringView picture, String& out, int depth)
{
    // Pictures may name other pictures (ddddd, t, c); a locale picture naming itself must not
    // recurse without end.
    if (depth > 2) return;
    if (depth == 0) FTwelveHour = HasMarker(picture, FSettings);
    char16_t lastCode = 0;
    size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        const char16_t lc = Lower(c);
        size_t run = 1;
        while (i + run < picture.size() && Lower(picture[i + run]) == lc)
            ++run;
        switch (lc) {
        case u'\'':
        case u'"': {
            const size_t end = picture.find(c, i + 1);
            const size_t stop = end == StringView::npos ? picture.size() : end;
            out += picture.substr(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        case u'd':
            if (run <= 2)
                AppendNumber(out, FParts.Day, static_cast<int>(run));
            else if (run == 3)
                out += FSettings.ShortDayNames[FParts.DayOfWeek];
            else if (run == 4)
                out += FSettings.LongDayNames[FParts.DayOfWeek];
            else if (run == 5)
                Append(FSettings.ShortDateFormat, out, depth + 1);
            else
                Append(FSettings.LongDateFormat, out, depth + 1);
            break;
        case u'm':
            if (lastCode == u'h' && run <= 2)
                AppendNumber(out, FParts.Minute, static_cast<int>(run));
            else if (run <= 2)
                AppendNumber(out, FParts.Month, static_cast<int>(run));
            else if (run == 3)
                out += FSettings.ShortMonthNames[FParts.Month - 1];
            else
                out += FSettings.LongMonthNames[FParts.Month - 1];
            break;
        case u'y':
            if (run <= 2)
                AppendNumber(out, FParts.Year % 100, 2);
            else
                AppendNumber(out, FParts.Year, 4);
            break;
        case u'h': {
            int hour = FParts.Hour;
            if (FTwelveHour) {
                hour %= 12;
                if (hour == 0) hour = 12;
            }
            AppendNumber(out, hour, run >= 2 ? 2 : 1);
            break;
        }
        case u'n':
            AppendNumber(out, FParts.Minute, run >= 2 ? 2 : 1);
            break;
        case u's':
            AppendNumber(out, FParts.Second, run >= 2 ? 2 : 1);
            break;
        case u'z':
            AppendNumber(out, FParts.Millisecond, run >= 3 ? 3 : 1);
            break;
        case u't':
            Append(run >= 2 ? FSettings.LongTimeFormat : FSettings.ShortTimeFormat, out, depth + 1);
            break;
        case u'c': {
            const bool midnight = FParts.Hour == 0 && FParts.Minute == 0 && FParts.Second == 0 &&
                                  FParts.Millisecond == 0;
            Append(FSettings.ShortDateFormat, out, depth + 1);
            if (!midnight) {
                out += u' ';
                Append(FSettings.LongTimeFormat, out, depth + 1);
            }
            run = 1;
            break;
        }
        case u'a': {
            const bool pm = FParts.Hour >= 12;
            if (StartsWithNoCase(picture, i, u"am/pm")) {
                const StringView marker = picture.substr(i + (pm ? 3 : 0), 2);
                out += marker;
                run = 5;
            } else if (StartsWithNoCase(picture, i, u"a/p")) {
                out += picture[i + (pm ? 2 : 0)];
                run = 3;
            } else if (StartsWithNoCase(picture, i, u"ampm")) {
                out += pm ? FSettings.TimePMString : FSettings.TimeAMString;
                run = 4;
            } else {
                out.append(run, c);
            }
            break;
        }
        case u'/':
            out.append(run, FSettings.DateSeparator);
            break;
        case u':':
            out.append(run, FSettings.TimeSeparator);
            break;
        default:
            out += picture.substr(i, run);
            break;
        }
        if (lc == u'd' || lc == u'm' || lc == u'y' || lc == u'h' || lc == u'n' || lc == u's' ||
            lc == u'z' || lc == u't' || lc == u'c')
            lastCode = lc;
        else if (lc == u'a' && run > 1)
            lastCode = lc;
        i += run;
    }
}

} // namespace

String FormatDateTime(StringView picture, double dateTime, const FormatSettings& settings)
{
    const Parts parts = Decode(dateTime);
    String out;
    Formatter(parts, settings).Append(picture.empty() ? StringView(u"c") : picture, out, 0);
    return out;
}

} // namespace vl
