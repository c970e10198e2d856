// The local date and time and fresh GUIDs, the two platform services the PDF writer needs for
// its dates and document identifier. Both come from a Clock so that tests can fix them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vl {

// A local calendar date and wall-clock time, without time zone.
struct LocalDateTime
{
    int Year = 0;   // four digits
    int Month = 0;  // 1..12
    int Day = 0;    // 1..31
    int Hour = 0;   // 0..23
    int Minute = 0; // 0..59
    int Second = 0; // 0..59
};

// The same moment as the days since 1899-12-30 that dates and times are counted in: the whole
// day, the fraction of the day, and both together.
double DateOf(const LocalDateTime& moment);
double TimeOf(const LocalDateTime& moment);
double DateTimeOf(const LocalDateTime& moment);

// A 128-bit globally unique identifier, held as its 16 bytes in registry-text order.
using Guid = std::array<uint8_t, 16>;

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}": 38 characters, upper-case hexadecimal.
std::string GuidRegistryText(const Guid& guid);

class Clock
{
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
    virtual Guid NewGuid() = 0;
};

// The real services: the process's local time zone, and random (version 4) GUIDs.
Clock& SystemClock();

// A clock for tests: always the same time and the same GUID.
class FixedClock : public Clock
{
public:
    FixedClock(LocalDateTime now, Guid guid)
        : FNow(now)
        , FGuid(guid)
    {}
    LocalDateTime Now() override { return FNow; }
    Guid NewGuid() override { return FGuid; }

private:
    LocalDateTime FNow;
    Guid FGuid;
};

} // namespace vl
