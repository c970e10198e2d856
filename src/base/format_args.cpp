// The argument picture language.
#include "base/format_args.h"

#include "base/format.h"
#include "base/format_float.h"
#include "base/number_text.h"

#include <charconv>
#include <cmath>

namespace vl {

namespace {

constexpr int DefaultFloatPrecision = 15;
constexpr int DefaultFixedDecimals = 2;
// Bounds a picture can ask for; beyond them the picture is refused rather than allocating.
constexpr int MaxWidth = 1 << 20;
constexpr int MaxPrecision = 1 << 10;

class ArgFormatter
{
public:
    ArgFormatter(StringView picture, std::span<const Variant> args, const FormatSettings& fs)
        : FPicture(picture)
        , FArgs(args)
        , FSettings(fs)
    {}

    String Run();

private:
    [[noreturn]] void Invalid() const
    {
        throw EConvertError(
            Format(u"Format '%s' invalid or incompatible with argument", {FPicture}));
    }
    const Variant& NextArg()
    {
        if (FNext >= FArgs.size())
            throw EConvertError(Format(u"No argument for format '%s'", {FPicture}));
        return FArgs[FNext++];
    }
    // Digits or "*" at FPos; -1 when neither is there.
    int ReadNumber();
    String Convert(char16_t type, int precision);
    String Integer(const Variant& arg, char16_t type, int precision);

    StringView FPicture;
    std::span<const Variant> FArgs;
    const FormatSettings& FSettings;
    size_t FPos = 0;
    size_t FNext = 0;
};

int ArgFormatter::ReadNumber()
{
    if (FPos < FPicture.size() && FPicture[FPos] == u'*') {
        ++FPos;
        const Variant& arg = NextArg();
        if (!arg.IsInteger()) Invalid();
        const int64_t value = arg.IntValue();
        return value < 0 ? 0 : value > MaxWidth ? MaxWidth : static_cast<int>(value);
    }
    if (FPos >= FPicture.size() || FPicture[FPos] < u'0' || FPicture[FPos] > u'9') return -1;
    int64_t value = 0;
    while (FPos < FPicture.size() && FPicture[FPos] >= u'0' && FPicture[FPos] <= u'9') {
        value = value * 10 + (FPicture[FPos++] - u'0');
        if (value > MaxWidth) Invalid();
    }
    return static_cast<int>(value);
}

String ArgFormatter::Integer(const Variant& arg, char16_t type, int precision)
{
    if (!arg.IsInteger()) Invalid();
    const int64_t value = arg.IntValue();
    std::string digits;
    bool negative = false;
    if (type == u'x') {
        // Hexadecimal shows the bits of the argument's own width.
        const bool wide = arg.Type() == varInt64;
        const uint64_t bits = wide ? static_cast<uint64_t>(value)
                                   : static_cast<uint32_t>(static_cast<int32_t>(value));
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, bits, 16);
        for (char* c = buf; c < res.ptr; ++c)
            digits.push_back(static_cast<char>(*c >= 'a' ? *c - 32 : *c));
    } else if (type == u'u') {
        const uint64_t bits =
            arg.Type() == varInt64 ? static_cast<uint64_t>(value) : static_cast<uint32_t>(value);
        digits = std::to_string(bits);
    } else {
        negative = value < 0;
        digits = std::to_string(value);
        if (negative) digits.erase(0, 1);
    }
    String out;
    if (negative) out.push_back(u'-');
    for (int i = static_cast<int>(digits.size()); i < precision; ++i)
        out.push_back(u'0');
    out.append(digits.begin(), digits.end());
    return out;
}

String Scientific(double value, int precision, const FormatSettings& fs)
{
    precision = precision < 1 ? 1 : precision > 17 ? 17 : precision;
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
    String out;
    for (const char* c = buf; c < res.ptr; ++c) {
        if (*c == '.') {
            out.push_back(fs.DecimalSeparator);
        } else if (*c == 'e') {
            // At least three exponent digits, sign always written.
            int exponent = 0;
            std::from_chars(c + 1 + (c[1] == '+'), res.ptr, exponent);
            out += exponent < 0 ? u"E-" : u"E+";
            const std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
            for (size_t i = e.size(); i < 3; ++i)
                out.push_back(u'0');
            out.append(e.begin(), e.end());
            break;
        } else {
            out.push_back(static_cast<char16_t>(*c));
        }
    }
    return out;
}

String Fixed(double value, int decimals, bool grouped, const FormatSettings& fs)
{
    String picture = grouped ? u"#,##0" : u"0";
    if (decimals > 0) {
        picture += u'.';
        picture.append(static_cast<size_t>(decimals), u'0');
    }
    return FormatFloat(picture, value, fs);
}

String ArgFormatter::Convert(char16_t type, int precision)
{
    const Variant& arg = NextArg();
    switch (type) {
    case u'd':
    case u'u':
    case u'x':
        return Integer(arg, type, precision);
    case u'e':
    case u'f':
    case u'g':
    case u'n':
    case u'm': {
        if (!arg.IsFloat() && !arg.IsCurrency() && !arg.IsDate()) Invalid();
        const double value = arg.IsCurrency()
                                 ? static_cast<double>(arg.CurrencyScaled()) / CurrencyScale
                                 : arg.FloatValue();
        if (!std::isfinite(value)) return FloatToStr(value, FSettings);
        if (type == u'e')
            return Scientific(value, precision < 0 ? DefaultFloatPrecision : precision, FSettings);
        if (type == u'g')
            return FloatToStrGeneral(
                value, precision < 0 ? DefaultFloatPrecision : precision, FSettings);
        const int decimals = precision < 0 ? DefaultFixedDecimals : precision;
        if (type == u'm') {
            const String number = Fixed(std::fabs(value), decimals, true, FSettings);
            return (value < 0 && number.find_first_not_of(u"0.,") != String::npos ? u"-" : u"") +
                   FSettings.CurrencyString + number;
        }
        return Fixed(value, decimals, type == u'n', FSettings);
    }
    case u'p': {
        if (!arg.IsObject() && !arg.IsInteger()) Invalid();
        const auto bits = arg.IsObject() ? reinterpret_cast<uintptr_t>(arg.ObjectValue())
                                         : static_cast<uintptr_t>(arg.IntValue());
        char buf[32];
        const auto res = std::to_chars(buf, buf + sizeof buf, static_cast<uint64_t>(bits), 16);
        String out;
        for (int i = static_cast<int>(res.ptr - buf); i < 8; ++i)
            out.push_back(u'0');
        for (char* c = buf; c < res.ptr; ++c)
            out.push_back(static_cast<char16_t>(*c >= 'a' ? *c - 32 : *c));
        return out;
    }
    case u's': {
        if (!arg.IsString()) Invalid();
        const String& text = arg.StringValue();
        return precision >= 0 && static_cast<size_t>(precision) < text.size()
                   ? text.substr(0, static_cast<size_t>(precision))
                   : text;
    }
    default:
        Invalid();
    }
}

String ArgFormatter::Run()
{
    String out;
    while (FPos < FPicture.size()) {
        const char16_t c = FPicture[FPos++];
        if (c != u'%') {
            out.push_back(c);
            continue;
        }
        if (FPos < FPicture.size() && FPicture[FPos] == u'%') {
            out.push_back(u'%');
            ++FPos;
            continue;
        }
        // An index is a number (or "*") followed by ":"; otherwise the number was the width.
        const size_t start = FPos;
        int number = ReadNumber();
        if (FPos < FPicture.size() && FPicture[FPos] == u':') {
            if (number < 0) Invalid();
            FNext = static_cast<size_t>(number);
            ++FPos;
            number = -1;
        } else if (FPos > start && FPicture[start] == u'*') {
            // "*" read an argument as the width; keep it.
        }
        bool left = false;
        if (number < 0 && FPos < FPicture.size() && FPicture[FPos] == u'-') {
            left = true;
            ++FPos;
        }
        const int width = number >= 0 ? number : ReadNumber();
        int precision = -1;
        if (FPos < FPicture.size() && FPicture[FPos] == u'.') {
            ++FPos;
            precision = ReadNumber();
            if (precision < 0) precision = 0;
            if (precision > MaxPrecision) Invalid();
        }
        if (FPos >= FPicture.size()) Invalid();
        char16_t type = FPicture[FPos++];
        if (type >= u'A' && type <= u'Z') type += 32;
        const String item = Convert(type, precision);
        if (width > 0 && item.size() < static_cast<size_t>(width)) {
            const size_t pad = static_cast<size_t>(width) - item.size();
            if (left) {
                out += item;
                out.append(pad, u' ');
            } else {
                out.append(pad, u' ');
                out += item;
            }
        } else {
            out += item;
        }
    }
    return out;
}

} // namespace

String FormatArgs(StringView picture, std::span<const Variant> args, const FormatSettings& settings)
{
    return ArgFormatter(picture, args, settings).Run();
}

} // namespace vl
