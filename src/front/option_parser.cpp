// Option matching, parsing and the help listing.
#include "front/option_parser.h"

#include "base/number_text.h"

namespace vl {

namespace {

constexpr size_t ConsoleWidth = 80;

bool IsBreakChar(char16_t c)
{
    return c == u' ' || c == u'-' || c == u'\t';
}

String RightTrimmed(StringView line)
{
    size_t end = line.size();
    while (end > 0 && (line[end - 1] == u' ' || line[end - 1] == u'\t'))
        --end;
    return String(line.substr(0, end));
}

} // namespace

TOption::TOption(char16_t shortForm,
                 String longForm,
                 bool shortCaseSensitive,
                 bool longCaseSensitive)
    : FShort(shortForm)
    , FLong(std::move(longForm))
    , FShortSens(shortCaseSensitive)
    , FLongSens(longCaseSensitive)
{}

bool TOption::MatchesSwitch(const String& word) const
{
    if (FShort != 0) {
        const String form = String(1, FParser->ShortOptionStart()) + FShort;
        if (word == form || (!FShortSens && AsciiLowerCase(word) == AsciiLowerCase(form)))
            return true;
    }
    if (!FLong.empty()) {
        const String form = FParser->LongOptionStart() + FLong;
        return word == form || (!FLongSens && AsciiLowerCase(word) == AsciiLowerCase(form));
    }
    return false;
}

bool TBoolOption::TryMatch(StringList& words)
{
    if (words.empty() || !MatchesSwitch(words.front())) return false;
    words.erase(words.begin());
    FWasSpecified = true;
    return true;
}

bool TValueOption::TryMatch(StringList& words)
{
    if (words.empty()) return false;
    const String word = words.front();
    bool result = false;

    if (FShort != 0) {
        const String form = String(1, FParser->ShortOptionStart()) + FShort;
        const String head = word.substr(0, 2);
        if (head == form || (!FShortSens && AsciiLowerCase(head) == AsciiLowerCase(form))) {
            const String attached = word.substr(2);
            if (!attached.empty() || words.size() == 1) {
                result = AcceptValue(attached);
                if (result) words.erase(words.begin());
            } else if (AcceptValue(words[1])) {
                result = true;
                words.erase(words.begin(), words.begin() + 2);
            } else {
                result = AcceptValue(u"");
                if (result) words.erase(words.begin());
            }
        }
    }

    if (!result && !FLong.empty()) {
        const String form = FParser->LongOptionStart() + FLong;
        const String head = word.substr(0, form.size());
        if (head == form || (!FLongSens && AsciiLowerCase(head) == AsciiLowerCase(form))) {
            if (word.size() == form.size()) {
                result = AcceptValue(words.size() >= 2 ? words[1] : String());
                if (result) {
                    words.erase(words.begin());
                    if (!words.empty()) words.erase(words.begin());
                }
            } else if (word[form.size()] == u'=') {
                result = AcceptValue(word.substr(form.size() + 1));
                if (result) words.erase(words.begin());
            }
        }
    }

    if (result) FWasSpecified = true;
    return result;
}

bool TIntegerOption::AcceptValue(const String& value)
{
    return TryStrToInt(value, FValue);
}

void TIntegerOption::SetValue(const OptionValue& value)
{
    if (const auto* i = std::get_if<int32_t>(&value))
        FValue = *i;
    else if (const auto* b = std::get_if<bool>(&value))
        FValue = *b ? -1 : 0;
    else if (!TryStrToInt(std::get<String>(value), FValue))
        FValue = 0;
}

bool TStringOption::AcceptValue(const String& value)
{
    FValue = value;
    return true;
}

void TStringOption::SetValue(const OptionValue& value)
{
    if (const auto* s = std::get_if<String>(&value))
        FValue = *s;
    else if (const auto* i = std::get_if<int32_t>(&value))
        FValue = IntToStr(*i);
    else
        FValue = std::get<bool>(value) ? u"True" : u"False";
}

int TOption::GetOptionWidth() const
{
    int width = FShort != 0 ? 4 : 0;
    if (!FLong.empty())
        width += static_cast<int>(FParser->LongOptionStart().size() + FLong.size());
    else
        width -= 2;
    return width;
}

void TOption::WriteExplanation(int optWidth, std::string& out) const
{
    String text = u"  ";
    if (FShort != 0) {
        text += FParser->ShortOptionStart();
        text += FShort;
        if (!FLong.empty()) text += u", ";
    }
    if (!FLong.empty()) text += FParser->LongOptionStart() + FLong;
    text += u' ';
    int column = static_cast<int>(text.size());

    const int width = static_cast<int>(ConsoleWidth) - 3 - optWidth;
    bool first = true;
    for (const String& raw : WrapText(FExplanation, width > 1 ? width : 1)) {
        const String line = RightTrimmed(raw);
        if (line.empty()) continue;
        const int indent = first ? optWidth + 4 - column : optWidth + 4;
        if (indent > 0) text.append(static_cast<size_t>(indent), u' ');
        first = false;
        text += line;
        // A line that ends exactly at the console's last column wraps by itself.
        if (static_cast<int>(line.size()) + optWidth + 1 != static_cast<int>(ConsoleWidth) - 3)
            text += u"\n";
        AppendUtf8(out, text);
        text.clear();
        column = 0;
    }
    AppendUtf8(out, text);
}

TOptionParser::TOptionParser(StringList params)
    : FParams(std::move(params))
{}

TOptionParser::~TOptionParser()
{
    // Options go from the last registered to the first.
    while (!FOptions.empty())
        FOptions.pop_back();
}

void TOptionParser::ParseOptions()
{
    StringList words = FParams;
    FLeftList.clear();
    while (!words.empty()) {
        bool taken = false;
        for (auto& option : FOptions) {
            if (option->TryMatch(words)) {
                taken = true;
                break;
            }
        }
        if (!taken) {
            FLeftList.push_back(std::move(words.front()));
            words.erase(words.begin());
        }
    }
}

std::string TOptionParser::Explanations() const
{
    int width = 0;
    for (const auto& option : FOptions)
        width = std::max(width, option->GetOptionWidth());
    std::string out;
    for (const auto& option : FOptions)
        option->WriteExplanation(width, out);
    return out;
}

StringList WrapText(StringView text, size_t maxCol)
{
    StringList lines;
    size_t lineStart = 0;
    size_t breakAfter = 0; // end of the last breakable position seen in this line; 0 = none
    char16_t quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\'' || c == u'"') {
            if (quote == 0)
                quote = c;
            else if (quote == c)
                quote = 0;
        } else if (quote == 0 && IsBreakChar(c)) {
            breakAfter = i + 1;
        }
        if (quote == 0 && i + 1 - lineStart > maxCol && breakAfter > lineStart) {
            lines.emplace_back(text.substr(lineStart, breakAfter - lineStart));
            lineStart = breakAfter;
            while (lineStart < text.size() && (text[lineStart] == u' ' || text[lineStart] == u'\t'))
                ++lineStart;
            i = lineStart - 1;
            breakAfter = lineStart;
        }
    }
    if (lineStart < text.size()) lines.emplace_back(text.substr(lineStart));
    return lines;
}

} // namespace vl
