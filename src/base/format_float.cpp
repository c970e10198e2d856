// The numeric picture language.
#include "base/format_float.h"

#include "base/number_text.h"

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace vl {

namespace {

// A non-negative decimal number: digits without leading zeros, the value being 0.d1d2... x 10^Exp.
struct Decimal
{
    std::string Digits; // empty for zero
    int Exp = 0;
};

Decimal ToDecimal(double magnitude)
{
    Decimal d;
    if (magnitude == 0 || !std::isfinite(magnitude)) return d;
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
    const std::string_view sci(buf, res.ptr - buf);
    const size_t ePos = sci.find('e');
    for (char c : sci.substr(0, ePos))
        if (c >= '0' && c <= '9') d.Digits.push_back(c);
    int exponent = 0;
    std::from_chars(
        sci.data() + ePos + 1 + (sci[ePos + 1] == '+'), sci.data() + sci.size(), exponent);
    d.Exp = exponent + 1;
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    return d;
}

// Rounds to `keep` digits after the decimal point, halves away from zero.
void RoundTo(Decimal& d, int fractionDigits)
{
    const int keep = d.Exp + fractionDigits; // digits of d.Digits that survive
    if (keep >= static_cast<int>(d.Digits.size())) return;
    if (keep < 0) {
        d.Digits.clear();
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9')
            d.Digits[i--] = '0';
        if (i >= 0) {
            ++d.Digits[i];
        } else {
            d.Digits.insert(d.Digits.begin(), '1');
            ++d.Exp;
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty()) d.Exp = 0;
}

enum class TokenKind
{
    Digit,
    Point,
    Exponent,
    Literal
};

struct Token
{
    TokenKind Kind;
    char16_t Char = 0; // '0' or '#' for digits; 'E'/'e' for the exponent
    char16_t Sign = 0; // '+' or '-' for the exponent
    int MinDigits = 0; // exponent digits
    String Text;       // literal text
};

struct Section
{
    std::vector<Token> Tokens;
    int IntPlaces = 0;
    int MinIntDigits = 0;
    int FracPlaces = 0;
    int MinFracDigits = 0;
    bool Grouping = false;
    bool Scientific = false;
};

Section ParseSection(StringView text)
{
    Section s;
    bool afterPoint = false;
    bool seenZeroInInt = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\'' || c == u'"') {
            const size_t end = text.find(c, i + 1);
            const size_t stop = end == StringView::npos ? text.size() : end;
            s.Tokens.push_back(
                {TokenKind::Literal, 0, 0, 0, String(text.substr(i + 1, stop - i - 1))});
            i = stop;
        } else if (c == u'0' || c == u'#') {
            s.Tokens.push_back({TokenKind::Digit, c, 0, 0, {}});
            if (afterPoint) {
                ++s.FracPlaces;
                if (c == u'0') s.MinFracDigits = s.FracPlaces;
            } else {
                ++s.IntPlaces;
                if (c == u'0') seenZeroInInt = true;
                if (seenZeroInInt) ++s.MinIntDigits;
            }
        } else if (c == u'.') {
            if (!afterPoint && !s.Scientific) {
                afterPoint = true;
                s.Tokens.push_back({TokenKind::Point, 0, 0, 0, {}});
            }
        } else if (c == u',') {
            if (!afterPoint) s.Grouping = true;
        } else if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
                   (text[i + 1] == u'+' || text[i + 1] == u'-') && !s.Scientific) {
            size_t j = i + 2;
            while (j < text.size() && text[j] == u'0')
                ++j;
            if (j == i + 2) {
                s.Tokens.push_back({TokenKind::Literal, 0, 0, 0, String(text.substr(i, 2))});
                ++i;
                continue;
            }
            s.Scientific = true;
            s.Tokens.push_back(
                {TokenKind::Exponent, c, text[i + 1], static_cast<int>(j - i - 2), {}});
            i = j - 1;
        } else {
            s.Tokens.push_back({TokenKind::Literal, 0, 0, 0, String(1, c)});
        }
    }
    return s;
}

std::vector<StringView> SplitSections(StringView picture)
{
    std::vector<StringView> sections;
    size_t start = 0;
    char16_t quote = 0;
    for (size_t i = 0; i < picture.size(); ++i) {
        const char16_t c = picture[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';' && sections.size() < 2) {
            sections.push_back(picture.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(picture.substr(start));
    return sections;
}

String Render(const Section& s, double magnitude, const FormatSettings& settings)
{
    Decimal d = ToDecimal(magnitude);
    int exponent = 0;
    if (s.Scientific && !d.Digits.empty()) {
        // The mantissa keeps as many integer digits as there are integer placeholders.
        const int intDigits = s.IntPlaces > 0 ? s.IntPlaces : 1;
        exponent = d.Exp - intDigits;
        d.Exp = intDigits;
        RoundTo(d, s.FracPlaces);
        if (d.Exp > intDigits) { // rounding carried into a new digit
            ++exponent;
            d.Exp = intDigits;
        }
    } else {
        RoundTo(d, s.FracPlaces);
    }

    // Integer digits without leading zeros, widened to the required minimum.
    std::string intDigits;
    for (int i = 0; i < d.Exp; ++i)
        intDigits.push_back(i < static_cast<int>(d.Digits.size()) ? d.Digits[i] : '0');
    if (static_cast<int>(intDigits.size()) < s.MinIntDigits)
        intDigits.insert(0, s.MinIntDigits - intDigits.size(), '0');
    std::string fracDigits;
    for (int i = 0; i < s.FracPlaces; ++i) {
        const int index = d.Exp + i;
        fracDigits.push_back(
            index >= 0 && index < static_cast<int>(d.Digits.size()) ? d.Digits[index] : '0');
    }
    while (static_cast<int>(fracDigits.size()) > s.MinFracDigits && fracDigits.back() == '0')
        fracDigits.pop_back();

    String out;
    const int length = static_cast<int>(intDigits.size());
    auto putIntDigit = [&](int j) {
        out.push_back(static_cast<char16_t>(intDigits[j]));
        const int left = length - 1 - j;
        if (s.Grouping && left > 0 && left % 3 == 0 && settings.ThousandSeparator != 0)
            out.push_back(settings.ThousandSeparator);
    };
    int intPlace = 0;
    int fracPlace = 0;
    bool afterPoint = false;
    for (const Token& t : s.Tokens) {
        switch (t.Kind) {
        case TokenKind::Digit:
            if (!afterPoint) {
                // The first placeholder takes every digit the picture has no place for.
                const int offset = length - s.IntPlaces;
                if (intPlace == 0)
                    for (int j = 0; j < offset; ++j)
                        putIntDigit(j);
                const int j = intPlace + offset;
                if (j >= 0) putIntDigit(j);
                ++intPlace;
            } else {
                if (fracPlace < static_cast<int>(fracDigits.size()))
                    out.push_back(static_cast<char16_t>(fracDigits[fracPlace]));
                ++fracPlace;
            }
            break;
        case TokenKind::Point:
            afterPoint = true;
            if (!fracDigits.empty()) out.push_back(settings.DecimalSeparator);
            break;
        case TokenKind::Exponent: {
            out.push_back(t.Char);
            if (exponent < 0)
                out.push_back(u'-');
            else if (t.Sign == u'+')
                out.push_back(u'+');
            std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
            if (static_cast<int>(digits.size()) < t.MinDigits)
                digits.insert(0, t.MinDigits - digits.size(), '0');
            out.append(digits.begin(), digits.end());
            break;
        }
        case TokenKind::Literal:
            out += t.Text;
            break;
        }
    }
    // A picture without integer placeholders still shows an integer part that is not zero.
    if (s.IntPlaces == 0 && length > 0 && intDigits != std::string(length, '0')) {
        String prefix;
        for (int j = 0; j < length; ++j)
            prefix.push_back(static_cast<char16_t>(intDigits[j]));
        out.insert(0, prefix);
    }
    return out;
}

bool RoundsToZero(const Section& s, double magnitude)
{
    Decimal d = ToDecimal(magnitude);
    if (s.Scientific) return d.Digits.empty();
    RoundTo(d, s.FracPlaces);
    return d.Digits.empty();
}

} // namespace

String FormatFloat(StringView picture, double value, const FormatSettings& settings)
{
    if (picture.empty() || !std::isfinite(value)) return FloatToStr(value, settings);
    const auto sections = SplitSections(picture);
    const Section positive = ParseSection(sections[0]);
    const double magnitude = std::fabs(value);

    if (RoundsToZero(positive, magnitude)) {
        if (sections.size() == 3 && !sections[2].empty())
            return Render(ParseSection(sections[2]), 0, settings);
        return Render(positive, 0, settings);
    }
    if (value < 0) {
        if (sections.size() >= 2 && !sections[1].empty())
            return Render(ParseSection(sections[1]), magnitude, settings);
        return u"-" + Render(positive, magnitude, settings);
    }
    return Render(positive, magnitude, settings);
}

} // namespace vl
