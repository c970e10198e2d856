// Calendar functions: EncodeDate ... DaysInMonth. Dates are Date values (days since 1899-12-30).
#include "base/date_time.h"
#include "platform/clock.h"
#include "script/functions_internal.h"

#include <array>
#include <cmath>

namespace vl {

namespace {

// A Word or Integer part that must fit an int (larger values cannot name a date anyway).
int ArgPart(const TsbMethodCall& call, size_t i)
{
    const int64_t v = ArgInt(call, i);
    return v < -1000000 || v > 1000000 ? -1 : static_cast<int>(v);
}

Variant EncodeDateProc(TsbMethodCall& call)
{
    double days = 0;
    if (!TryEncodeDate(ArgPart(call, 0), ArgPart(call, 1), ArgPart(call, 2), days))
        throw EConvertError("Invalid argument to date encode");
    return Variant::FromDate(days);
}

Variant DecodeDateProc(TsbMethodCall& call)
{
    const DateParts d = DecodeDate(ArgFloat(call, 0));
    call.Args[1] = Variant(int32_t(d.Year));
    call.Args[2] = Variant(int32_t(d.Month));
    call.Args[3] = Variant(int32_t(d.Day));
    return Variant();
}

Variant EncodeTimeProc(TsbMethodCall& call)
{
    double fraction = 0;
    if (!TryEncodeTime(
            ArgPart(call, 0), ArgPart(call, 1), ArgPart(call, 2), ArgPart(call, 3), fraction))
        throw EConvertError("Invalid argument to time encode");
    return Variant::FromDate(fraction);
}

Variant DecodeTimeProc(TsbMethodCall& call)
{
    const TimeParts t = DecodeTime(ArgFloat(call, 0));
    call.Args[1] = Variant(int32_t(t.Hour));
    call.Args[2] = Variant(int32_t(t.Minute));
    call.Args[3] = Variant(int32_t(t.Second));
    call.Args[4] = Variant(int32_t(t.Millisecond));
    return Variant();
}

double Today(const LocalDateTime& now)
{
    return EncodeDate(now.Year, now.Month, now.Day);
}

double TimeOfDay(const LocalDateTime& now)
{
    return EncodeTime(now.Hour, now.Minute, now.Second, 0);
}

Variant DateProc(TsbMethodCall&)
{
    return Variant::FromDate(Today(SystemClock().Now()));
}

Variant TimeProc(TsbMethodCall&)
{
    return Variant::FromDate(TimeOfDay(SystemClock().Now()));
}

Variant NowProc(TsbMethodCall&)
{
    const LocalDateTime now = SystemClock().Now();
    return Variant::FromDate(CombineDateTime(Today(now), TimeOfDay(now)));
}

Variant DayOfWeekProc(TsbMethodCall& call)
{
    // Day 0 (1899-12-30) was a Saturday; the whole part names the day, as DecodeDate reads it.
    const double whole = std::trunc(ArgFloat(call, 0));
    if (!std::isfinite(whole) || std::fabs(whole) > 1e9)
        throw EInvalidOp("Invalid floating point operation");
    const int64_t day = static_cast<int64_t>(whole);
    return Variant(int32_t(((day - 1) % 7 + 7) % 7 + 1));
}

Variant IsLeapYearProc(TsbMethodCall& call)
{
    return Variant(IsLeapYear(ArgPart(call, 0)));
}

Variant DaysInMonthProc(TsbMethodCall& call)
{
    return Variant(int32_t(DaysInMonth(ArgPart(call, 0), ArgPart(call, 1))));
}

constexpr TsbFunctionEntry Entries[] = {
    {u"function EncodeDate(Year, Month, Day: Word): TDateTime", EncodeDateProc},
    {u"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", DecodeDateProc},
    {u"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", EncodeTimeProc},
    {u"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", DecodeTimeProc},
    {u"function Date: TDateTime", DateProc},
    {u"function Time: TDateTime", TimeProc},
    {u"function Now: TDateTime", NowProc},
    {u"function DayOfWeek(aDate: TDateTime): Integer", DayOfWeekProc},
    {u"function IsLeapYear(Year: Word): Boolean", IsLeapYearProc},
    {u"function DaysInMonth(nYear, nMonth: Integer): Integer", DaysInMonthProc},
};

} // namespace

void RegisterDateFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, Entries, u"ctDate", settings);
}

} // namespace vl
