// Exact decimal numbers with precision 18 and scale 6: the kind of the request's "number"
// columns. A value is a count of millionths in 64 bits, so sums and comparisons are exact and a
// value costs eight bytes; the range is plus or minus 999 999 999 999.999999.
#pragma once

#include "base/format_settings.h"
#include "base/string.h"

#include <compare>
#include <cstdint>
#include <optional>

namespace vl {

class Decimal
{
public:
    static constexpr int Precision = 18;
    static constexpr int Scale = 6;
    static constexpr int64_t UnitsPerOne = 1000000;
    static constexpr int64_t MaxUnits = 999999999999999999; // Precision nines

    constexpr Decimal() = default;

    // `units` millionths; |units| <= MaxUnits.
    static Decimal FromUnits(int64_t units);
    static std::optional<Decimal> TryFromInteger(int64_t value);

    // Text in the locale's number format: blanks around, an optional sign, digits with the
    // locale's decimal separator (a full stop is accepted as well) and an optional exponent
    // ("1.5E-7"). Digits past the sixth decimal are rounded, halves away from zero. Nothing when
    // the text is no number or the value is out of range.
    static std::optional<Decimal>
    TryParse(StringView text, const FormatSettings& settings = DefaultFormatSettings());
    // The same; throws EConvertError naming the text.
    static Decimal Parse(StringView text, const FormatSettings& settings = DefaultFormatSettings());

    // What the general text form of `value` (15 significant digits) converts back to; nothing for
    // infinities, NaN and values out of range.
    static std::optional<Decimal> TryFromDouble(double value);

    int64_t Units() const { return FUnits; }
    double ToDouble() const;
    // Ten-thousandths (the scale of currency values), halves rounded away from zero.
    int64_t ToCurrencyUnits() const;
    // Shortest text: "-12.5", "0", "3" (no grouping, no trailing zeros).
    String ToText(const FormatSettings& settings = DefaultFormatSettings()) const;

    friend auto operator<=>(const Decimal&, const Decimal&) = default;

private:
    constexpr explicit Decimal(int64_t units)
        : FUnits(units)
    {}
    int64_t FUnits = 0;
};

} // namespace vl
