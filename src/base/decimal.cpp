// Decimal text conversion with exact rounding.
#include "base/decimal.h"

#include "base/exception.h"
#include "base/format.h"

#include <charconv>
#include <cmath>
#include <string>

namespace vl {

namespace {

constexpr int64_t Pow10[] = {1,
                             10,
                             100,
                             1000,
                             10000,
                             100000,
                             1000000,
                             10000000,
                             100000000,
                             1000000000,
                             10000000000,
                             100000000000,
                             1000000000000,
                             10000000000000,
                             100000000000000,
                             1000000000000000,
                             10000000000000000,
                             100000000000000000,
                             1000000000000000000};
static_assert(std::size(Pow10) == Decimal::Precision + 1);

// The value digits × 10^-fractionDigits (digits as ASCII without sign) in millionths, rounded
// half away from zero; nothing when it passes MaxUnits.
std::optional<int64_t> UnitsFromDigits(std::string_view digits, int64_t fractionDigits)
{
    while (!digits.empty() && digits.front() == '0')
        digits.remove_prefix(1);
    if (digits.empty()) return 0;
    const auto length = static_cast<int64_t>(digits.size());
    int64_t shift = Decimal::Scale - fractionDigits; // > 0: append zeros; < 0: drop digits
    bool roundUp = false;
    if (shift < 0) {
        const int64_t keep = length + shift;
        if (keep < 0) return 0;
        roundUp = digits[static_cast<size_t>(keep)] >= '5';
        digits = digits.substr(0, static_cast<size_t>(keep));
        shift = 0;
    }
    if (static_cast<int64_t>(digits.size()) + shift > Decimal::Precision) return std::nullopt;
    int64_t units = 0;
    for (char c : digits)
        units = units * 10 + (c - '0');
    units = units * Pow10[shift] + (roundUp ? 1 : 0);
    if (units > Decimal::MaxUnits) return std::nullopt;
    return units;
}

bool IsAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

Decimal Decimal::FromUnits(int64_t units)
{
    Expects(units >= -MaxUnits && units <= MaxUnits, "decimal units out of range");
    return Decimal(units);
}

std::optional<Decimal> Decimal::TryFromInteger(int64_t value)
{
    const int64_t limit = MaxUnits / UnitsPerOne;
    if (value < -limit || value > limit) return std::nullopt;
    return Decimal(value * UnitsPerOne);
}

std::optional<Decimal> Decimal::TryParse(StringView text, const FormatSettings& settings)
{
    size_t i = 0;
    size_t end = text.size();
    while (i < end && text[i] == u' ')
        ++i;
    while (end > i && text[end - 1] == u' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';

    // Significant digits only: leading zeros are counted for the scale but not kept, and past 40
    // digits the value is either out of range or the rest lies far below the rounding digit.
    std::string digits;
    int64_t fractionDigits = 0;
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < end; ++i) {
        const char16_t c = text[i];
        if (IsAsciiDigit(c)) {
            seenDigit = true;
            if (digits.size() >= 40) {
                if (!seenPoint) return std::nullopt;
                continue;
            }
            if (c != u'0' || !digits.empty()) digits.push_back(static_cast<char>(c));
            fractionDigits += seenPoint ? 1 : 0;
        } else if (!seenPoint && (c == settings.DecimalSeparator || c == u'.')) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!seenDigit) return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) negativeExponent = text[i++] == u'-';
        if (i >= end) return std::nullopt;
        int64_t exponent = 0;
        for (; i < end && IsAsciiDigit(text[i]); ++i)
            exponent = std::min<int64_t>(exponent * 10 + (text[i] - u'0'), 100000);
        fractionDigits += negativeExponent ? exponent : -exponent;
    }
    if (i != end) return std::nullopt;
    const auto units = UnitsFromDigits(digits, fractionDigits);
    if (!units) return std::nullopt;
    return Decimal(negative ? -*units : *units);
}

Decimal Decimal::Parse(StringView text, const FormatSettings& settings)
{
    if (auto value = TryParse(text, settings)) return *value;
    throw EConvertError(Format(
        u"'%s' is not a decimal number of at most 12 integer and 6 fraction digits", {text}));
}

std::optional<Decimal> Decimal::TryFromDouble(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    // d.dddddddddddddde±x: the 15 significant digits the general text form shows.
    char buf[40];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
    const size_t ePos = sci.find('e');
    char digits[Precision];
    size_t count = 0;
    for (char c : sci.substr(0, ePos))
        if (c != '.') digits[count++] = c;
    int exponent = 0;
    std::from_chars(
        sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
    const auto units = UnitsFromDigits(std::string_view(digits, count),
                                       static_cast<int64_t>(count) - 1 - exponent);
    if (!units) return std::nullopt;
    return Decimal(value < 0 ? -*units : *units);
}

double Decimal::ToDouble() const
{
    return static_cast<double>(FUnits) / static_cast<double>(UnitsPerOne);
}

int64_t Decimal::ToCurrencyUnits() const
{
    constexpr int64_t Step = UnitsPerOne / 10000;
    const int64_t magnitude = (std::abs(FUnits) + Step / 2) / Step;
    return FUnits < 0 ? -magnitude : magnitude;
}

String Decimal::ToText(const FormatSettings& settings) const
{
    const uint64_t magnitude = FUnits < 0 ? 0 - static_cast<uint64_t>(FUnits) : FUnits;
    String out;
    if (FUnits < 0) out.push_back(u'-');
    out += IntToStr(static_cast<int64_t>(magnitude / UnitsPerOne));
    uint64_t fraction = magnitude % UnitsPerOne;
    if (fraction != 0) {
        out.push_back(settings.DecimalSeparator);
        int digits = Scale;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        const String text = IntToStr(static_cast<int64_t>(fraction));
        out.append(static_cast<size_t>(digits) - text.size(), u'0');
        out += text;
    }
    return out;
}

} // namespace vl
