// A layout set up the way a memo sets it up, with every input defaulted to a 10 pt Arial memo.
#pragma once

#include "layout/text_layout.h"
#include "platform/fonts/font_lookup.h"

#include <numeric>

namespace vl::test {

struct LayoutInput
{
    String Text;
    int Width = 200;  // text rectangle, template pixels
    int Height = 100; // text rectangle, template pixels
    LayoutFont Font{};
    bool WordWrap = true, Tags = false, Rtl = false, WordBreak = false, Clipped = true,
         Wysiwyg = true;
    int Rotation = 0;
    double ParagraphGap = 0, CharSpacing = 0, LineSpacing = 2;
    double Scale = 1;
};

inline void Apply(TvlxDrawText& layout, const LayoutInput& in)
{
    layout.SetFont(in.Font);
    layout.SetOptions(
        in.WordWrap, in.Tags, in.Rtl, in.WordBreak, in.Clipped, in.Wysiwyg, in.Rotation);
    layout.SetGaps(in.ParagraphGap, in.CharSpacing, in.LineSpacing);
    IntRect original{0, 0, in.Width, in.Height};
    IntRect scaled{
        0, 0, static_cast<int>(in.Width * in.Scale), static_cast<int>(in.Height * in.Scale)};
    layout.SetDimensions(in.Scale, in.Scale, 1, original, scaled);
    layout.SetText(in.Text);
}

// Width of a plain text at 600 dpi in a 10 pt face (83 units per em), without spacing.
inline int Width600(StringView text, StringView font = u"Arial", uint8_t style = 0, int em = 83)
{
    std::vector<int> advances(text.size());
    FindFontFace(font, style).CharAdvances(text, em, advances);
    return std::accumulate(advances.begin(), advances.end(), 0);
}

inline std::vector<std::string> LineTexts(const TvlxDrawText& layout)
{
    std::vector<std::string> lines;
    for (const LayoutLine& line : layout.Lines())
        lines.push_back(ToUtf8(line.Text));
    return lines;
}

} // namespace vl::test
