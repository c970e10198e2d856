// Finding aggregate calls in expression texts: a word scan with quotes, brackets and variables.
#include "engine/aggregate_scan_internal.h"
#include "platform/unicode/text_case.h"

#include <algorithm>

namespace vl {

namespace {

constexpr size_t None = StringView::npos;

bool IsControlOrSpace(char16_t c)
{
    return c >= 1 && c <= 32;
}

// Characters passed over between words: operators, separators and digits.
bool IsSkipped(char16_t c)
{
    if (IsControlOrSpace(c) || (c >= u'0' && c <= u'9')) return true;
    switch (c) {
    case u'!':
    case u'#':
    case u'$':
    case u'%':
    case u'&':
    case u'*':
    case u'+':
    case u',':
    case u'-':
    case u'.':
    case u'/':
    case u'=':
    case u'[':
    case u']':
    case u'^':
    case u'|':
        return true;
    default:
        return false;
    }
}

// Characters that end a word (digits do not: "Total2" is one word).
bool IsWordEnd(char16_t c)
{
    return c == u'(' || (IsSkipped(c) && !(c >= u'0' && c <= u'9'));
}

bool IsAggregateName(StringView word)
{
    if (word.size() < 3 || word.size() > 5) return false;
    for (StringView name : {u"SUM", u"AVG", u"MIN", u"MAX", u"COUNT"})
        if (SameText(word, name)) return true;
    return false;
}

bool IsQuote(char16_t c)
{
    return c == u'"' || c == u'\'';
}

// For every "(" and "<" the position of its matching closer (None when unmatched); quoted texts
// are passed over. One pass, so nested brackets cost nothing extra.
std::vector<size_t> MatchBrackets(StringView text)
{
    std::vector<size_t> match(text.size(), None);
    std::vector<size_t> rounds;
    std::vector<size_t> angles;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (IsQuote(c)) {
            const size_t quote = text.find(c, i + 1);
            if (quote == None) break;
            i = quote;
        } else if (c == u'(') {
            rounds.push_back(i);
        } else if (c == u')' && !rounds.empty()) {
            match[rounds.back()] = i;
            rounds.pop_back();
        } else if (c == u'<') {
            angles.push_back(i);
        } else if (c == u'>' && !angles.empty()) {
            match[angles.back()] = i;
            angles.pop_back();
        }
    }
    return match;
}

} // namespace

StringView TrimmedText(StringView text)
{
    while (!text.empty() && text.front() <= u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ')
        text.remove_suffix(1);
    return text;
}

void ScanAggregateText(StringView text,
                       const std::function<bool(StringView word)>& isVariable,
                       AggregateScanResult& result)
{
    const std::vector<size_t> match = MatchBrackets(text);
    // A stretch of the text still to scan: the whole text, or the inside of a bracket.
    struct Stretch
    {
        size_t Pos;
        size_t End;
    };
    std::vector<Stretch> stack{{0, text.size()}};
    while (!stack.empty()) {
        Stretch& s = stack.back();
        if (s.Pos >= s.End) {
            stack.pop_back();
            continue;
        }
        const char16_t c = text[s.Pos];
        if (IsSkipped(c)) {
            ++s.Pos;
        } else if (IsQuote(c)) {
            const size_t quote = text.find(c, s.Pos + 1);
            s.Pos = quote == None || quote >= s.End ? s.End : quote + 1;
        } else if (c == u'(' || c == u'<') {
            // The inside is read on its own; an unclosed bracket runs to the end of the stretch.
            const size_t close = std::min(match[s.Pos], s.End);
            const Stretch inside{s.Pos + 1, close};
            s.Pos = close == s.End ? s.End : close + 1;
            stack.push_back(inside);
        } else {
            size_t end = s.Pos;
            while (end < s.End && !IsWordEnd(text[end]))
                ++end;
            const StringView word = text.substr(s.Pos, end - s.Pos);
            if (IsAggregateName(word)) {
                if (end < s.End && text[end] == u'(' && match[end] < s.End) {
                    result.Calls.emplace_back(text.substr(s.Pos, match[end] + 1 - s.Pos));
                    end = match[end] + 1;
                }
            } else if (isVariable(word)) {
                result.Variables.emplace_back(word);
            }
            s.Pos = end;
        }
    }
}

AggregateCallParts SplitAggregateCall(StringView call)
{
    AggregateCallParts parts;
    const size_t open = call.find(u'(');
    parts.Name = UpperCase(TrimmedText(call.substr(0, open)));
    if (open == None) return parts;
    size_t depth = 1;
    size_t start = open + 1;
    for (size_t i = open + 1; i < call.size() && depth > 0; ++i) {
        const char16_t c = call[i];
        if (IsQuote(c)) {
            const size_t quote = call.find(c, i + 1);
            i = quote == None ? call.size() - 1 : quote;
        } else if (c == u'(') {
            ++depth;
        } else if (c == u')' && --depth == 0) {
            parts.Arguments.emplace_back(TrimmedText(call.substr(start, i - start)));
        } else if (c == u',' && depth == 1) {
            parts.Arguments.emplace_back(TrimmedText(call.substr(start, i - start)));
            start = i + 1;
        }
    }
    if (depth > 0) parts.Arguments.emplace_back(TrimmedText(call.substr(start)));
    if (parts.Arguments.size() > 3) parts.Arguments.resize(3);
    return parts;
}

} // namespace vl
