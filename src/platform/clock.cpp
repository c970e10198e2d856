// The system clock: local time through localtime_r, GUIDs from the kernel's random source.
#include "platform/clock.h"

#include "base/date_time.h"
#include "base/exception.h"

#include <algorithm>
#include <ctime>
#include <random>

namespace vl {

double DateOf(const LocalDateTime& moment)
{
    return EncodeDate(moment.Year, moment.Month, moment.Day);
}

double TimeOf(const LocalDateTime& moment)
{
    return EncodeTime(moment.Hour, moment.Minute, moment.Second, 0);
}

double DateTimeOf(const LocalDateTime& moment)
{
    return CombineDateTime(DateOf(moment), TimeOf(moment));
}

namespace {

class RealClock : public Clock
{
public:
    LocalDateTime Now() override
    {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (localtime_r(&now, &local) == nullptr) throw Exception("Local time is not available");
        return {local.tm_year + 1900,
                local.tm_mon + 1,
                local.tm_mday,
                local.tm_hour,
                local.tm_min,
                std::min(local.tm_sec, 59)}; // a leap second shows as :59
    }

    Guid NewGuid() override
    {
        Guid guid;
        for (size_t i = 0; i < guid.size(); i += 4) {
            const uint32_t word = FRandom();
            for (size_t j = 0; j < 4; ++j)
                guid[i + j] = uint8_t(word >> (8 * j));
        }
        guid[6] = uint8_t((guid[6] & 0x0F) | 0x40); // version 4: random
        guid[8] = uint8_t((guid[8] & 0x3F) | 0x80); // RFC 4122 variant
        return guid;
    }

private:
    std::random_device FRandom;
};

} // namespace

std::string GuidRegistryText(const Guid& guid)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text = "{";
    for (size_t i = 0; i < guid.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += Digits[guid[i] >> 4];
        text += Digits[guid[i] & 15];
    }
    text += '}';
    return text;
}

Clock& SystemClock()
{
    static RealClock clock;
    return clock;
}

} // namespace vl
