// Token rules of the script languages.
#include "script/lexer.h"

#include "base/number_text.h"
#include "base/variant.h"

#include <algorithm>

namespace vl {

namespace {

bool IsDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

bool IsHexDigit(char16_t c)
{
    return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

TsbParser::TsbParser(StringView text, const TsbParserSettings& settings)
    : FText(text)
    , FSettings(settings)
{
    FText.push_back(0);
    FLineStarts.push_back(0);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == u'\n') FLineStarts.push_back(i + 1);
}

bool TsbParser::IsIdentStart(char16_t c) const
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' || c >= 127;
}

bool TsbParser::IsIdentChar(char16_t c) const
{
    return IsIdentStart(c) || IsDigit(c);
}

bool TsbParser::StartsWith(StringView token) const
{
    return !token.empty() && StringView(FText).substr(FPos, token.size()) == token;
}

bool TsbParser::IsKeyword(StringView word) const
{
    const String key = FSettings.CaseSensitive ? String(word) : AsciiLowerCase(word);
    return std::binary_search(FSettings.Keywords.begin(), FSettings.Keywords.end(), key);
}

// One comment at the position; true when one was skipped.
bool TsbParser::SkipComment()
{
    for (const String* line : {&FSettings.CommentLine1, &FSettings.CommentLine2}) {
        if (StartsWith(*line)) {
            while (!AtEnd() && FText[FPos] != u'\n')
                ++FPos;
            return true;
        }
    }
    const std::pair<const String*, const String*> blocks[] = {
        {&FSettings.CommentBlock1Open, &FSettings.CommentBlock1Close},
        {&FSettings.CommentBlock2Open, &FSettings.CommentBlock2Close}};
    for (const auto& [open, close] : blocks) {
        if (!StartsWith(*open)) continue;
        const size_t end = StringView(FText).find(*close, FPos + open->size());
        if (end == StringView::npos || end >= FText.size() - 1) {
            FUnclosedComment = true;
            return false;
        }
        FPos = end + close->size();
        return true;
    }
    return false;
}

void TsbParser::SkipSpaces()
{
    for (;;) {
        while (!AtEnd()) {
            const char16_t c = FText[FPos];
            if (c == u'\n' && !FSettings.SkipEol) break;
            if (FSettings.JoinChar && c == FSettings.JoinChar) {
                size_t next = FPos + 1;
                while (next < FText.size() - 1 && FText[next] <= u' ' && FText[next] != u'\n')
                    ++next;
                if (FText[next] == u'\n') {
                    FPos = next + 1;
                    continue;
                }
                break;
            }
            if (c > u' ') break;
            ++FPos;
        }
        if (AtEnd() || !SkipComment()) return;
    }
}

bool TsbParser::ReadWord(String& name)
{
    SkipSpaces();
    if (!IsIdentStart(FText[FPos]) || AtEnd()) return false;
    const size_t start = FPos;
    while (!AtEnd() && IsIdentChar(FText[FPos]))
        ++FPos;
    name.assign(FText, start, FPos - start);
    return true;
}

bool TsbParser::ReadIdent(String& name)
{
    const size_t start = FPos;
    if (!ReadWord(name)) return false;
    if (IsKeyword(name)) {
        FPos = start;
        return false;
    }
    return true;
}

bool TsbParser::ReadKeyword(StringView word)
{
    const size_t start = FPos;
    String name;
    if (ReadWord(name)) {
        const bool same =
            FSettings.CaseSensitive ? name == word : AsciiLowerCase(name) == AsciiLowerCase(word);
        if (same) return true;
    }
    FPos = start;
    return false;
}

bool TsbParser::ReadNumber(String& text)
{
    SkipSpaces();
    const size_t start = FPos;
    text.clear();
    if (StartsWith(FSettings.HexSequence) &&
        IsHexDigit(FText[FPos + FSettings.HexSequence.size()])) {
        FPos += FSettings.HexSequence.size();
        text.push_back(u'$');
        while (IsHexDigit(FText[FPos]))
            text.push_back(FText[FPos++]);
        return true;
    }
    if (!IsDigit(FText[FPos])) return false;
    while (IsDigit(FText[FPos]))
        ++FPos;
    if (FText[FPos] == u'.' && IsDigit(FText[FPos + 1])) {
        ++FPos;
        while (IsDigit(FText[FPos]))
            ++FPos;
    }
    if (FText[FPos] == u'e' || FText[FPos] == u'E') {
        size_t p = FPos + 1;
        if (FText[p] == u'+' || FText[p] == u'-') ++p;
        if (IsDigit(FText[p])) {
            while (IsDigit(FText[p]))
                ++p;
            FPos = p;
        }
    }
    text.assign(FText, start, FPos - start);
    return true;
}

bool TsbParser::ReadQuotedPart(String& value)
{
    const char16_t quote = FSettings.StringQuote;
    ++FPos; // the opening quote
    for (;;) {
        const char16_t c = FText[FPos];
        if (AtEnd() || (c < u' ' && c != u'\t')) return false;
        if (c == quote) {
            if (FText[FPos + 1] == quote && !FSettings.BackslashEscapes) {
                value.push_back(quote);
                FPos += 2;
                continue;
            }
            ++FPos;
            return true;
        }
        if (c == u'\\' && FSettings.BackslashEscapes) {
            const char16_t e = FText[FPos + 1];
            if (AtEnd() || FPos + 1 >= FText.size() - 1) return false;
            FPos += 2;
            if (e == u'n') {
                value.push_back(u'\n');
            } else if (e == u'r') {
                value.push_back(u'\r');
            } else if (e == u'x' && IsHexDigit(FText[FPos])) {
                uint32_t code = 0;
                while (IsHexDigit(FText[FPos]) && code <= 0x10FFFF) {
                    const char16_t h = FText[FPos++];
                    code = code * 16 + (IsDigit(h) ? h - u'0' : (h | 0x20) - u'a' + 10);
                }
                AppendCodePoint(value, code <= 0x10FFFF ? code : 0xFFFD);
            } else {
                value.push_back(e);
            }
            continue;
        }
        value.push_back(c);
        ++FPos;
    }
}

bool TsbParser::ReadString(String& value)
{
    SkipSpaces();
    const size_t start = FPos;
    value.clear();
    bool any = false;
    for (;;) {
        const char16_t c = FText[FPos];
        if (c == FSettings.StringQuote && !AtEnd()) {
            if (!ReadQuotedPart(value)) {
                FPos = start;
                return false;
            }
        } else if (c == u'#' && FSettings.StringQuote == u'\'') {
            String number;
            const size_t hash = FPos++;
            if (!(IsDigit(FText[FPos]) || (FText[FPos] == u'$' && IsHexDigit(FText[FPos + 1]))) ||
                !ReadNumber(number)) {
                FPos = hash;
                break;
            }
            int32_t code;
            if (!TryStrToInt(number, code) || code < 0 || code > 0x10FFFF) {
                FPos = start;
                return false;
            }
            AppendCodePoint(value, static_cast<char32_t>(code));
        } else {
            break;
        }
        any = true;
    }
    if (!any) FPos = start;
    return any;
}

bool TsbParser::ReadChar(char16_t c, bool skipSpaces)
{
    if (skipSpaces) SkipSpaces();
    if (AtEnd() || FText[FPos] != c) return false;
    ++FPos;
    return true;
}

bool TsbParser::ReadEol()
{
    const size_t start = FPos;
    bool any = false;
    for (;;) {
        while (!AtEnd() && FText[FPos] <= u' ' && FText[FPos] != u'\n')
            ++FPos;
        if (!AtEnd() && FText[FPos] == u'\n') {
            ++FPos;
            any = true;
        } else if (AtEnd() || !SkipComment()) {
            break;
        }
    }
    if (!any) FPos = start;
    return any;
}

bool TsbParser::ReadVlString(String& text)
{
    const size_t start = FPos;
    int depth = 1;
    bool inDouble = false, inSingle = false;
    for (; !AtEnd(); ++FPos) {
        const char16_t c = FText[FPos];
        if (c == u'"' && !inSingle) {
            inDouble = !inDouble;
        } else if (c == u'\'' && !inDouble) {
            inSingle = !inSingle;
        } else if (!inDouble && !inSingle) {
            if (c == u'<' || c == u'[') {
                ++depth;
            } else if (c == u'>' || c == u']') {
                if (--depth == 0) {
                    text.assign(FText, start, FPos - start);
                    return true;
                }
            }
        }
    }
    FPos = start;
    return false;
}

void TsbParser::LineColumn(size_t pos, size_t& line, size_t& column) const
{
    const auto it = std::upper_bound(FLineStarts.begin(), FLineStarts.end(), pos);
    line = static_cast<size_t>(it - FLineStarts.begin());
    column = pos - *(it - 1) + 1;
}

String TsbParser::LinePos(size_t pos) const
{
    size_t line, column;
    LineColumn(pos, line, column);
    return IntToStr(static_cast<int64_t>(line)) + u":" + IntToStr(static_cast<int64_t>(column));
}

bool NumberTokenValue(StringView text, Variant& value)
{
    int64_t integer;
    if (TryStrToInt64(text, integer)) {
        value = integer >= 0 && integer <= 2147483647 ? Variant(static_cast<int32_t>(integer))
                                                      : Variant(integer);
        return true;
    }
    double d;
    static const FormatSettings dot = FormatSettings::English();
    if (!TryTextToFloat(text, d, dot)) return false;
    value = Variant(d);
    return true;
}

} // namespace vl
