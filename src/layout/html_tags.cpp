// Tag parsing of memo lines: recognised tags leave the text and change the formatting state;
// every other character gets a record of that state.
#include "layout/html_tags.h"

#include "platform/unicode/text_case.h"

#include <array>
#include <cmath>

namespace vl {

namespace {

struct NamedColor
{
    const char16_t* Name; // with the "cl" prefix
    uint32_t Rgb;         // written as RRGGBB
};

// The named colours, then the system colours in the default scheme of a desktop (a server has no
// colour scheme of its own to ask).
constexpr NamedColor NamedColors[] = {
    {u"clBlack", 0x000000},
    {u"clMaroon", 0x800000},
    {u"clGreen", 0x008000},
    {u"clOlive", 0x808000},
    {u"clNavy", 0x000080},
    {u"clPurple", 0x800080},
    {u"clTeal", 0x008080},
    {u"clGray", 0x808080},
    {u"clSilver", 0xC0C0C0},
    {u"clRed", 0xFF0000},
    {u"clLime", 0x00FF00},
    {u"clYellow", 0xFFFF00},
    {u"clBlue", 0x0000FF},
    {u"clFuchsia", 0xFF00FF},
    {u"clAqua", 0x00FFFF},
    {u"clWhite", 0xFFFFFF},
    {u"clMoneyGreen", 0xC0DCC0},
    {u"clSkyBlue", 0xA6CAF0},
    {u"clCream", 0xFFFBF0},
    {u"clMedGray", 0xA0A0A4},
    {u"clScrollBar", 0xC8C8C8},
    {u"clBackground", 0x000000},
    {u"clActiveCaption", 0x99B4D1},
    {u"clInactiveCaption", 0xBFCDDB},
    {u"clMenu", 0xF0F0F0},
    {u"clWindow", 0xFFFFFF},
    {u"clWindowFrame", 0x646464},
    {u"clMenuText", 0x000000},
    {u"clWindowText", 0x000000},
    {u"clCaptionText", 0x000000},
    {u"clActiveBorder", 0xB4B4B4},
    {u"clInactiveBorder", 0xF4F7FC},
    {u"clAppWorkSpace", 0xABABAB},
    {u"clHighlight", 0x0078D7},
    {u"clHighlightText", 0xFFFFFF},
    {u"clBtnFace", 0xF0F0F0},
    {u"clBtnShadow", 0xA0A0A0},
    {u"clGrayText", 0x6D6D6D},
    {u"clBtnText", 0x000000},
    {u"clInactiveCaptionText", 0x000000},
    {u"clBtnHighlight", 0xFFFFFF},
    {u"cl3DDkShadow", 0x696969},
    {u"cl3DLight", 0xE3E3E3},
    {u"clInfoText", 0x000000},
    {u"clInfoBk", 0xFFFFE1},
    {u"clHotLight", 0x0066CC},
    {u"clGradientActiveCaption", 0xB9D1EA},
    {u"clGradientInactiveCaption", 0xD7E4F2},
    {u"clMenuHighlight", 0x0078D7},
    {u"clMenuBar", 0xF0F0F0},
};

// RRGGBB as written -> report colour (red in the low byte).
constexpr uint32_t FromRgb(uint32_t rgb)
{
    return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

// Tag names whose first occurrence in the line must start right after the "<" (an identical
// text kept earlier in the line defeats the tag).
constexpr std::array<StringView, 8> CheckedNames = {
    u"SUB>", u"SUP>", u"STRIKE>", u"NOWRAP>", u"/STRIKE>", u"/NOWRAP>", u"/FONT>", u"FONT COLOR"};
constexpr size_t LongestCheckedName = 10;
enum CheckedName : size_t
{
    nSub,
    nSup,
    nStrike,
    nNoWrap,
    nStrikeEnd,
    nNoWrapEnd,
    nFontEnd,
    nFont,
};

char16_t AsciiUpper(char16_t c)
{
    return c >= 'a' && c <= 'z' ? char16_t(c - 32) : c;
}

bool StartsWithNoCase(StringView text, StringView upperPrefix)
{
    if (text.size() < upperPrefix.size()) return false;
    for (size_t i = 0; i < upperPrefix.size(); ++i)
        if (AsciiUpper(text[i]) != upperPrefix[i]) return false;
    return true;
}

int HexDigit(char16_t c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<uint32_t> FontTagColor(StringView value)
{
    if (value.size() > 3 && value[0] == '"' && value[1] == '#' && value.back() == '"') {
        StringView hex = value.substr(2, value.size() - 3);
        if (hex.size() != 6) return std::nullopt;
        uint32_t rgb = 0;
        for (char16_t c : hex) {
            int d = HexDigit(c);
            if (d < 0) return std::nullopt;
            rgb = rgb * 16 + uint32_t(d);
        }
        return FromRgb(rgb);
    }
    String name = u"cl" + String(value);
    for (const NamedColor& c : NamedColors)
        if (SameText(name, c.Name)) return FromRgb(c.Rgb);
    return std::nullopt;
}

void TvlxHTMLTagsList::Reset(int32_t size, uint8_t style, uint32_t color)
{
    FDefaultSize = FSize = size;
    FDefaultStyle = FStyle = style;
    FDefaultColor = FColor = color;
    FAddY = 0;
    FSubType = TvlxSubType::stNormal;
    FNoWrap = false;
    FPosition = 1;
    FPrevious.reset();
}

TvlxHTMLTag TvlxHTMLTagsList::Current() const
{
    TvlxHTMLTag tag;
    tag.Position = FPosition;
    tag.Size = FSize;
    tag.Style = FStyle;
    tag.Color = FColor;
    tag.AddY = FAddY;
    tag.SubType = FSubType;
    tag.DontWRAP = FNoWrap;
    tag.Small = FSize != FDefaultSize;
    TvlxHTMLTag reference;
    if (FPrevious) {
        reference = *FPrevious;
    } else {
        reference.Size = FDefaultSize;
        reference.Style = FDefaultStyle;
        reference.Color = FDefaultColor;
    }
    tag.Default = tag.SameFormat(reference);
    return tag;
}

void TvlxHTMLTagsList::NoteKept(char16_t c)
{
    FKeptTail.push_back(AsciiUpper(c));
    if (FKeptTail.size() > LongestCheckedName)
        FKeptTail.erase(0, FKeptTail.size() - LongestCheckedName);
    StringView tail = FKeptTail;
    for (size_t i = 0; i < CheckedNames.size(); ++i)
        if (tail.ends_with(CheckedNames[i])) FSeenNames |= 1u << i;
}

bool TvlxHTMLTagsList::NameIsFirst(size_t nameIndex, StringView rest) const
{
    return (FSeenNames & (1u << nameIndex)) == 0 &&
           StartsWithNoCase(rest.substr(1), CheckedNames[nameIndex]);
}

bool TvlxHTMLTagsList::TryTag(StringView rest, size_t& length)
{
    struct Simple
    {
        StringView Text;
        uint8_t StyleOn, StyleOff;
    };
    static constexpr Simple Styles[] = {{u"<B>", 1, 0},
                                        {u"<I>", 2, 0},
                                        {u"<U>", 4, 0},
                                        {u"</B>", 0, 1},
                                        {u"</I>", 0, 2},
                                        {u"</U>", 0, 4}};
    for (const Simple& s : Styles)
        if (StartsWithNoCase(rest, s.Text)) {
            FStyle = uint8_t((FStyle | s.StyleOn) & ~s.StyleOff);
            length = s.Text.size();
            return true;
        }
    auto small = [&](int8_t addY, TvlxSubType type) {
        FSize = int32_t(std::nearbyint(FDefaultSize / 1.5));
        FAddY = addY;
        FSubType = type;
    };
    if (StartsWithNoCase(rest, u"</SUB>") || StartsWithNoCase(rest, u"</SUP>")) {
        FSize = FDefaultSize;
        FAddY = 0;
        FSubType = TvlxSubType::stNormal;
        length = 6;
        return true;
    }
    if (NameIsFirst(nSub, rest)) {
        small(1, TvlxSubType::stSubscript);
        length = 5;
        return true;
    }
    if (NameIsFirst(nSup, rest)) {
        small(0, TvlxSubType::stSuperscript);
        length = 5;
        return true;
    }
    if (NameIsFirst(nStrike, rest) || NameIsFirst(nStrikeEnd, rest)) {
        bool on = rest[1] != '/';
        FStyle = on ? uint8_t(FStyle | 8) : uint8_t(FStyle & ~8);
        length = on ? 8 : 9;
        return true;
    }
    if (NameIsFirst(nNoWrap, rest) || NameIsFirst(nNoWrapEnd, rest)) {
        FNoWrap = rest[1] != '/';
        length = FNoWrap ? 8 : 9;
        return true;
    }
    if (NameIsFirst(nFontEnd, rest)) {
        FColor = FDefaultColor;
        length = 7;
        return true;
    }
    if (NameIsFirst(nFont, rest)) {
        size_t equals = rest.find(u'=', 11);
        if (equals == StringView::npos) return false;
        size_t start = equals + 1;
        while (start < rest.size() && rest[start] == ' ')
            ++start;
        size_t end = rest.find(u'>', start);
        if (end == StringView::npos) return false;
        auto color = FontTagColor(rest.substr(start, end - start));
        if (!color) return false;
        FColor = *color;
        length = end + 1;
        return true;
    }
    return false;
}

bool TvlxHTMLTagsList::ExpandHTMLTags(String& line, TvlxHTMLTags& tags, bool allowTags)
{
    FKeptTail.clear();
    FSeenNames = 0;
    size_t out = 0;
    for (size_t i = 0; i < line.size();) {
        size_t length = 0;
        if (allowTags && line[i] == '<' && TryTag(StringView(line).substr(i), length)) {
            FPosition += int32_t(length);
            i += length;
            continue;
        }
        TvlxHTMLTag tag = allowTags ? Current() : TvlxHTMLTag{};
        if (!allowTags) {
            tag.Position = FPosition;
            tag.Size = FDefaultSize;
            tag.Style = FDefaultStyle;
            tag.Color = FDefaultColor;
        }
        tags.push_back(tag);
        FPrevious = tag;
        NoteKept(line[i]);
        line[out++] = line[i++];
        ++FPosition;
    }
    line.resize(out);
    if (line.empty()) {
        line = u" ";
        TvlxHTMLTag tag = allowTags ? Current() : TvlxHTMLTag{};
        if (!allowTags) {
            tag.Position = FPosition;
            tag.Size = FDefaultSize;
            tag.Style = FDefaultStyle;
            tag.Color = FDefaultColor;
        }
        tags.push_back(tag);
        FPrevious = tag;
        return true;
    }
    return false;
}

String DeleteTags(StringView text)
{
    TvlxHTMLTagsList parser;
    parser.Reset(10, 0, 0);
    String result;
    TvlxHTMLTags scratch;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        String line(text.substr(start, end == StringView::npos ? StringView::npos : end - start));
        if (parser.ExpandHTMLTags(line, scratch, true))
            line.clear(); // nothing is left of the line; the layout's stand-in blank is not text
        scratch.clear();
        result += line;
        if (end == StringView::npos) break;
        size_t breakLength = text.compare(end, 2, u"\r\n") == 0 ? 2 : 1;
        result.append(text.substr(end, breakLength));
        start = end + breakLength;
    }
    return result;
}

} // namespace vl
