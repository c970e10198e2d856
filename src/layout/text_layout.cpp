// Measuring and wrapping of memo text at 600 dpi, heights and widths, and the cut at a page end.
#include "layout/text_layout.h"

#include "layout/word_break.h"
#include "platform/fonts/font_lookup.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

// Round to the nearest whole number, halves to the even neighbour.
int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

bool IsHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Splits source text into lines at CR LF, LF or CR; a final line break ends the last line
// without adding an empty one.
template <class Fn>
void ForEachSourceLine(StringView text, Fn fn)
{
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == StringView::npos) {
            fn(text.substr(start));
            return;
        }
        fn(text.substr(start, end - start));
        start = end + (text.compare(end, 2, u"\r\n") == 0 ? 2 : 1);
    }
}

} // namespace

std::mutex& LayoutLock()
{
    static std::mutex lock;
    return lock;
}

TvlxDrawText& SharedDrawText()
{
    static TvlxDrawText layout;
    return layout;
}

TvlxDrawText::TvlxDrawText()
{
    SetFont(LayoutFont{});
}

void TvlxDrawText::SetFont(const LayoutFont& font)
{
    if (font.Name != FFont.Name || !FFaces[0]) FFaces = {};
    FFont = font;
    FFontSize = font.Size;
    // The measuring font's height: the em at 600 dpi (83 for 10 pt, from 83.3).
    FH600 = std::abs(Round(font.Size * DefPPI / 72));
}

const FontFace& TvlxDrawText::Face(uint8_t style) const
{
    size_t slot = style & 3;
    if (!FFaces[slot]) FFaces[slot] = &FindFontFace(FFont.Name, uint8_t(slot));
    return *FFaces[slot];
}

void TvlxDrawText::SetOptions(bool wordWrap,
                              bool htmlTags,
                              bool rtlReading,
                              bool wordBreak,
                              bool clipped,
                              bool wysiwyg,
                              int rotation)
{
    FWordWrap = wordWrap;
    FHTMLTags = htmlTags;
    FRTLReading = rtlReading;
    FWordBreak = wordBreak;
    FClipped = clipped;
    FWysiwyg = wysiwyg;
    FRotation = ((rotation % 360) + 360) % 360;
}

void TvlxDrawText::SetGaps(double paragraphGap, double charSpacing, double lineSpacing)
{
    FParagraphGap = paragraphGap;
    FCharSpacing = charSpacing;
    FLineSpacing = lineSpacing;
}

void TvlxDrawText::SetDimensions(double scaleX,
                                 double scaleY,
                                 double printScale,
                                 const IntRect& originalRect,
                                 const IntRect& scaledRect)
{
    FScaleX = scaleX;
    FScaleY = scaleY;
    FPrintScale = printScale;
    FOriginalRect = originalRect;
    FScaledRect = scaledRect;
}

int TvlxDrawText::CharWidth600(const TvlxHTMLTag& tag, char16_t c, char16_t next) const
{
    const FontFace& face = Face(tag.Style);
    if (IsHighSurrogate(c) && IsLowSurrogate(next))
        return face.CharAdvance(0x10000 + ((char32_t(c) - 0xD800) << 10) + (next - 0xDC00), FH600);
    return face.Advances(FH600).Get(c);
}

// Widths of the characters of one line at 600 dpi, character spacing included; characters of a
// run in another size (sub- and superscript) count two thirds. The measuring font keeps its
// height for every run and only takes the run's style.
void TvlxDrawText::MeasureLine(const String& text,
                               const TvlxHTMLTags& tags,
                               std::vector<int>& widths) const
{
    int spacing = Round(FCharSpacing * K);
    widths.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && IsLowSurrogate(text[i]) && IsHighSurrogate(text[i - 1])) {
            widths[i] = spacing; // the pair's advance sits on its first unit
            continue;
        }
        const TvlxHTMLTag& tag = tags[i];
        int width = CharWidth600(tag, text[i], i + 1 < text.size() ? text[i + 1] : 0) + spacing;
        widths[i] = tag.Small ? Round(width / 1.5) : width;
    }
}

int TvlxDrawText::PlainWidth600(const LayoutLine& line) const
{
    int width = 0;
    for (size_t i = 0; i < line.Text.size(); ++i) {
        if (i > 0 && IsLowSurrogate(line.Text[i]) && IsHighSurrogate(line.Text[i - 1])) continue;
        char16_t next = i + 1 < line.Text.size() ? line.Text[i + 1] : 0;
        width += CharWidth600(line.Tags[i], line.Text[i], next);
    }
    return width;
}

int TvlxDrawText::LineWidth600(const LayoutLine& line) const
{
    int width = PlainWidth600(line) + Round(double(line.Text.size()) * FCharSpacing * K);
    if (line.Flags & lfFirst) width += Round(FParagraphGap * K);
    return width;
}

int TvlxDrawText::WrapWidth() const
{
    bool sideways = (FRotation >= 90 && FRotation <= 179) || (FRotation >= 270 && FRotation <= 359);
    return sideways ? FOriginalRect.Height() : FOriginalRect.Width();
}

void TvlxDrawText::SetText(StringView text)
{
    FLines.clear();
    FPlainText.clear();
    FPlainText.reserve(text.size() + 8);
    FParser.Reset(FFontSize, FFont.Style, FFont.Color);
    String line;
    TvlxHTMLTags tags;
    ForEachSourceLine(text, [&](StringView source) {
        line.assign(source.empty() ? StringView(u" ") : source);
        FPlainText += line;
        FPlainText += u"\r\n";
        tags.clear();
        FParser.ExpandHTMLTags(line, tags, FHTMLTags);
        FParser.SkipPositions(2);
        WrapSourceLine(line, tags);
    });
}

void TvlxDrawText::AddLine(
    const String& plain, const TvlxHTMLTags& tags, size_t from, size_t to, bool hyphen)
{
    LayoutLine& line = FLines.emplace_back();
    line.Text.assign(plain, from, to - from);
    line.Tags.assign(tags.begin() + std::ptrdiff_t(from), tags.begin() + std::ptrdiff_t(to));
    if (hyphen) {
        line.Text.push_back(u'-');
        line.Tags.push_back(line.Tags.back());
    }
}

// Breaks one source line into wrapped lines. Indexes are 0-based here: R[i] is the running width
// up to and including character i, `s` the line start, `b` the last break position.
void TvlxDrawText::WrapSourceLine(String& plain, TvlxHTMLTags& tags)
{
    size_t firstLine = FLines.size();
    size_t n = plain.size();
    int w = WrapWidth();
    int limitFirst = Round((w - FParagraphGap) * K);
    int limit = Round(w * K);
    bool whole = n <= 1 || !FWordWrap;
    if (!whole) {
        MeasureLine(plain, tags, FWidths);
        FRunning.resize(n);
        int total = 0;
        for (size_t i = 0; i < n; ++i)
            FRunning[i] = total += FWidths[i];
        whole = FRunning[n - 1] < limitFirst;
    }
    if (whole) {
        AddLine(plain, tags, 0, n, false);
    } else {
        const std::vector<int>& r = FRunning;
        size_t s = 0, b = 0;
        int offset = 0, current = limitFirst;
        for (size_t i = 0; i < n;) {
            if (plain[i] == ' ' && !(FHTMLTags && tags[i].DontWRAP)) b = i;
            if (r[i] - offset <= current) {
                ++i;
                continue;
            }
            if (b == s) {
                size_t k = 0;
                if (i == s) {
                    AddLine(plain, tags, s, s + 1, false); // one character wider than the line
                } else if (FWordBreak && (k = HyphenateWord(plain, s, i)) > 0) {
                    AddLine(plain, tags, s, s + k, true);
                    b = s + k - 1;
                } else {
                    AddLine(plain, tags, s, i, false);
                    b = i - 1;
                }
            } else {
                size_t k = FWordBreak ? HyphenateWord(plain, b + 1, i) : 0;
                if (k > 0) {
                    AddLine(plain, tags, s, b + 1 + k, true); // the blank stays inside
                    b += k;
                } else {
                    AddLine(plain, tags, s, b, false); // the blank belongs to neither line
                }
            }
            offset = r[b];
            s = b + 1;
            i = s;
            b = s;
            current = limit;
        }
        if (s < n) AddLine(plain, tags, s, n, false);
    }
    FLines[firstLine].Flags |= lfFirst;
    FLines.back().Flags |= lfLast;
}

void TvlxDrawText::SetParaBreaks(bool firstParaBreak, bool lastParaBreak)
{
    if (FLines.empty()) return;
    if (firstParaBreak) FLines.front().Flags &= uint8_t(~lfFirst);
    if (lastParaBreak) FLines.back().Flags &= uint8_t(~lfLast);
}

double TvlxDrawText::TextHeight() const
{
    return FH600 / K;
}

double TvlxDrawText::LineHeight() const
{
    return FH600 / K + FLineSpacing;
}

double TvlxDrawText::CalcHeight() const
{
    if (FLines.empty()) return 0;
    double height = LineHeight() * double(FLines.size());
    return FLineSpacing < 0 ? height - FLineSpacing : height;
}

double TvlxDrawText::CalcWidth() const
{
    int widest = 0;
    for (const LayoutLine& line : FLines)
        widest = std::max(widest, LineWidth600(line));
    return widest / K;
}

double TvlxDrawText::LineWidth(size_t index) const
{
    return index < FLines.size() ? LineWidth600(FLines[index]) / K : 0;
}

double TvlxDrawText::UnusedSpace() const
{
    double fitting = FOriginalRect.Height() + 1;
    double lines = std::trunc(fitting / LineHeight());
    if (lines <= 0) return 0;
    double unused = fitting - lines * LineHeight();
    // A full rectangle must differ from one in which nothing fits.
    return unused == 0 ? 0.0001 : unused;
}

String TvlxDrawText::WrappedText() const
{
    String text;
    for (const LayoutLine& line : FLines) {
        text += line.Text;
        text += u"\r\n";
    }
    return text;
}

String TvlxDrawText::GetOutBoundsText(bool& paraBreak)
{
    paraBreak = false;
    double fitting = FOriginalRect.Height() + 1;
    double fit = LineHeight() > 0 ? std::trunc(fitting / LineHeight()) : double(FLines.size());
    size_t n = fit <= 0 ? 0 : std::min(FLines.size(), size_t(fit));
    if (n >= FLines.size()) return {};
    const TvlxHTMLTag first = FLines[n].Tags.front();
    bool endsWithHyphen = n > 0 && FWordBreak && FLines[n - 1].Text.ends_with(u'-');
    paraBreak = n > 0 && !(FLines[n - 1].Flags & lfLast);
    FLines.resize(n);

    size_t cut = std::min(FPlainText.size(), size_t(std::max(1, first.Position) - 1));
    String out = FPlainText.substr(cut);
    if (paraBreak && !out.empty() && out.front() == ' ') out.erase(0, 1);
    FPlainText.resize(cut);
    if (endsWithHyphen) FPlainText += u'-';
    if (!FHTMLTags) return out;
    // The continuation starts with the formatting of its first character.
    static constexpr char16_t Hex[] = u"0123456789ABCDEF";
    String prefix = u"<font color=\"#";
    for (int shift : {0, 8, 16}) {
        uint32_t v = (first.Color >> shift) & 0xFF;
        prefix += Hex[v >> 4];
        prefix += Hex[v & 15];
    }
    prefix += u"\">";
    if (first.Style & 4) prefix += u"<u>";
    if (first.Style & 2) prefix += u"<i>";
    if (first.Style & 1) prefix += u"<b>";
    return prefix + out;
}

} // namespace vl
