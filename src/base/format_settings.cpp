// Reads the locale conventions from the C library's locale database.
#include "base/format_settings.h"

#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

namespace vl {

namespace {

constexpr std::array<const char16_t*, 12> EnglishShortMonths = {
    u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};
constexpr std::array<const char16_t*, 12> EnglishLongMonths = {u"January",
                                                               u"February",
                                                               u"March",
                                                               u"April",
                                                               u"May",
                                                               u"June",
                                                               u"July",
                                                               u"August",
                                                               u"September",
                                                               u"October",
                                                               u"November",
                                                               u"December"};
constexpr std::array<const char16_t*, 7> EnglishShortDays = {
    u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat"};
constexpr std::array<const char16_t*, 7> EnglishLongDays = {
    u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday"};

// A separator is one UTF-16 unit; a locale whose separator is a longer text (or none) gets the
// first unit, or 0 for none.
char16_t FirstUnit(const char* utf8)
{
    const String text = FromUtf8(utf8 ? utf8 : "");
    return text.empty() ? 0 : text[0];
}

class LocaleHandle
{
public:
    explicit LocaleHandle(const char* name)
        : FLocale(newlocale(LC_ALL_MASK, name, nullptr))
    {}
    ~LocaleHandle()
    {
        if (FLocale) freelocale(FLocale);
    }
    LocaleHandle(const LocaleHandle&) = delete;
    LocaleHandle& operator=(const LocaleHandle&) = delete;

    explicit operator bool() const { return FLocale != nullptr; }
    String Info(nl_item item) const { return FromUtf8(nl_langinfo_l(item, FLocale)); }
    const char* Raw(nl_item item) const { return nl_langinfo_l(item, FLocale); }

private:
    locale_t FLocale;
};

bool IsPlainCLocale(const char* codeset, const char* dateFormat)
{
    // C, POSIX and C.UTF-8 all use the US date picture and no grouping.
    (void)codeset;
    return std::strcmp(dateFormat, "%m/%d/%y") == 0;
}

String TimeWithoutSeconds(const String& longTime)
{
    const auto pos = longTime.find(u"ss");
    if (pos == String::npos || pos == 0) return longTime;
    String shortTime = longTime.substr(0, pos - 1);
    shortTime += longTime.substr(pos + 2);
    return shortTime;
}

} // namespace

String DatePictureFromStrftime(std::string_view picture)
{
    String out;
    for (size_t i = 0; i < picture.size(); ++i) {
        if (picture[i] != '%' || i + 1 >= picture.size()) {
            AppendUtf16(out, picture.substr(i, 1));
            continue;
        }
        char code = picture[++i];
        if ((code == 'E' || code == 'O' || code == '-') && i + 1 < picture.size())
            code = picture[++i];
        switch (code) {
        case 'd':
            out += u"dd";
            break;
        case 'e':
            out += u"d";
            break;
        case 'm':
            out += u"mm";
            break;
        case 'y':
        case 'Y':
            out += u"yyyy";
            break;
        case 'b':
        case 'h':
            out += u"mmm";
            break;
        case 'B':
            out += u"mmmm";
            break;
        case 'a':
            out += u"ddd";
            break;
        case 'A':
            out += u"dddd";
            break;
        case 'H':
        case 'I':
            out += u"hh";
            break;
        case 'k':
        case 'l':
            out += u"h";
            break;
        case 'M':
            out += u"nn";
            break;
        case 'S':
            out += u"ss";
            break;
        case 'p':
        case 'P':
            out += u"ampm";
            break;
        case 'T':
            out += u"hh:nn:ss";
            break;
        case 'R':
            out += u"hh:nn";
            break;
        case 'D':
            out += u"mm/dd/yyyy";
            break;
        case 'F':
            out += u"yyyy-mm-dd";
            break;
        case '%':
            out += u"%";
            break;
        default:
            break; // codes without a picture counterpart (time zone, week number) are dropped
        }
    }
    return out;
}

FormatSettings FormatSettings::English()
{
    FormatSettings s;
    for (size_t i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = EnglishShortMonths[i];
        s.LongMonthNames[i] = EnglishLongMonths[i];
    }
    for (size_t i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = EnglishShortDays[i];
        s.LongDayNames[i] = EnglishLongDays[i];
    }
    return s;
}

FormatSettings FormatSettings::FromLocale(const char* name)
{
    FormatSettings s = English();
    LocaleHandle locale(name);
    if (!locale || IsPlainCLocale(locale.Raw(CODESET), locale.Raw(D_FMT))) return s;

    s.DecimalSeparator = FirstUnit(locale.Raw(RADIXCHAR));
    if (s.DecimalSeparator == 0) s.DecimalSeparator = u'.';
    s.ThousandSeparator = FirstUnit(locale.Raw(THOUSEP));

    s.ShortDateFormat = DatePictureFromStrftime(locale.Raw(D_FMT));
    for (char16_t c : s.ShortDateFormat) {
        if (!(c >= u'a' && c <= u'z')) {
            s.DateSeparator = c;
            break;
        }
    }
    s.LongTimeFormat = DatePictureFromStrftime(locale.Raw(T_FMT));
    s.ShortTimeFormat = TimeWithoutSeconds(s.LongTimeFormat);
    for (char16_t c : s.LongTimeFormat) {
        if (!(c >= u'a' && c <= u'z')) {
            s.TimeSeparator = c;
            break;
        }
    }
    if (const String am = locale.Info(AM_STR); !am.empty()) s.TimeAMString = am;
    if (const String pm = locale.Info(PM_STR); !pm.empty()) s.TimePMString = pm;
    if (const String currency = FromUtf8(locale.Raw(CRNCYSTR)); currency.size() > 1)
        s.CurrencyString = currency.substr(1); // the first character says where the symbol goes

    for (int i = 0; i < 12; ++i) {
        s.ShortMonthNames[i] = locale.Info(static_cast<nl_item>(ABMON_1 + i));
        s.LongMonthNames[i] = locale.Info(static_cast<nl_item>(MON_1 + i));
    }
    for (int i = 0; i < 7; ++i) {
        s.ShortDayNames[i] = locale.Info(static_cast<nl_item>(ABDAY_1 + i));
        s.LongDayNames[i] = locale.Info(static_cast<nl_item>(DAY_1 + i));
    }
    return s;
}

const FormatSettings& DefaultFormatSettings()
{
    static const FormatSettings settings = FormatSettings::FromLocale("");
    return settings;
}

} // namespace vl
