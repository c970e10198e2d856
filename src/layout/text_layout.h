// Text layout: the one object that measures, wraps and draws memo text. Views ask it how tall
// their text is and what is left over at a page end; the PDF writer takes its wrapped lines and
// line height; raster output draws through DrawText.
//
// Measuring happens at a fixed 600 dpi whatever the output device: a line breaks where it would
// break on a 600 dpi printer, and drawing on another device stretches or squeezes every line
// character by character to its 600 dpi width ("Wysiwyg"). K = 600 / 96 = 6.25 converts template
// pixels into measuring units. Text is UTF-16; positions and lengths count UTF-16 units.
//
// Calling order for one layout, all under the layout lock (LayoutLock, one process-wide lock,
// because a layout object and its caches are shared):
//   SetFont(font)                          name, size in points, style, colour, charset
//   SetOptions(wordWrap, htmlTags, rtlReading, wordBreak, clipped, wysiwyg, rotation)
//   SetGaps(paragraphGap, charSpacing, lineSpacing)            template pixels
//   SetDimensions(scaleX, scaleY, printScale, originalRect, scaledRect)
//   SetText(text)                          source lines separated by CR LF, LF or CR
//   SetParaBreaks(first, last)             optional
// then any query: CalcHeight, CalcWidth, LineHeight, TextHeight, UnusedSpace, WrappedText,
// Lines, LineWidth, GetOutBoundsText (once) then GetInBoundsText, DrawText.
//
// Unknown font names measure with the face fontconfig substitutes; malformed tags are text;
// source lines of any length are measured in one pass (no fixed extent buffer). Nothing here
// throws on bad input.
#pragma once

#include "base/string.h"
#include "layout/html_tags.h"
#include "platform/canvas/int_rect.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <vector>

namespace vl {

class FontFace;
class RasterSurface;

// Horizontal and vertical alignment of text in its rectangle (the memo's HAlign and VAlign).
enum class THAlign : uint8_t
{
    haLeft = 0,
    haRight = 1,
    haCenter = 2,
    haBlock = 3,
};

enum class TVAlign : uint8_t
{
    vaTop = 0,
    vaBottom = 1,
    vaCenter = 2,
};

// The memo font as the layout needs it.
struct LayoutFont
{
    String Name = u"Arial";
    int32_t Size = 10;   // points
    uint8_t Style = 0;   // FontStyleBits
    uint32_t Color = 0;  // report colour
    int32_t Charset = 1; // measured as Unicode whatever the charset
};

// Line flags: a paragraph's first and last wrapped line.
enum LineFlags : uint8_t
{
    lfFirst = 1,
    lfLast = 2,
};

struct LayoutLine
{
    String Text;       // the visible text of the line (tags removed; a hyphen added by WordBreak)
    uint8_t Flags = 0; // LineFlags
    TvlxHTMLTags Tags; // one record per unit of Text
};

class TvlxDrawText
{
public:
    static constexpr double DefPPI = 600; // measuring resolution
    static constexpr double ScrPPI = 96;  // template pixels per inch
    static constexpr double K = DefPPI / ScrPPI;

    TvlxDrawText();

    void SetFont(const LayoutFont& font);
    // `rotation` in degrees, kept modulo 360.
    void SetOptions(bool wordWrap,
                    bool htmlTags,
                    bool rtlReading,
                    bool wordBreak,
                    bool clipped,
                    bool wysiwyg,
                    int rotation);
    void SetGaps(double paragraphGap, double charSpacing, double lineSpacing);
    // `originalRect`: the text rectangle in template pixels (wrapping and fitting);
    // `scaledRect`: the same rectangle on the drawing device (placement and clipping); scaleX and
    // scaleY: device pixels per template pixel.
    void SetDimensions(double scaleX,
                       double scaleY,
                       double printScale,
                       const IntRect& originalRect,
                       const IntRect& scaledRect);
    // Replaces all lines, records and the source text, and wraps.
    void SetText(StringView text);
    void SetParaBreaks(bool firstParaBreak, bool lastParaBreak);

    // Template pixels.
    double CalcHeight() const;
    double CalcWidth() const;
    double LineHeight() const;
    double TextHeight() const;
    double UnusedSpace() const;
    // Width of one wrapped line alone, as CalcWidth measures it (template pixels).
    double LineWidth(size_t index) const;

    const std::vector<LayoutLine>& Lines() const { return FLines; }
    // The wrapped lines, each followed by CR LF.
    String WrappedText() const;

    // Cuts the layout after the lines that fit into the original rectangle and returns the source
    // text (tags included) of the rest; `paraBreak` tells whether the cut lies inside a
    // paragraph. Call once per layout, before GetInBoundsText.
    String GetOutBoundsText(bool& paraBreak);
    // The source text of the lines that fit (the whole source before GetOutBoundsText).
    const String& GetInBoundsText() const { return FPlainText; }

    // Draws the wrapped lines onto `canvas` inside the scaled rectangle.
    void DrawText(RasterSurface& canvas, THAlign hAlign, TVAlign vAlign);

    int MeasuringHeight() const { return FH600; } // em height at 600 dpi (83 for 10 pt)

private:
    const FontFace& Face(uint8_t style) const;
    int CharWidth600(const TvlxHTMLTag& tag, char16_t c, char16_t next) const;
    void MeasureLine(const String& text, const TvlxHTMLTags& tags, std::vector<int>& widths) const;
    int PlainWidth600(const LayoutLine& line) const;
    int LineWidth600(const LayoutLine& line) const;
    void WrapSourceLine(String& plain, TvlxHTMLTags& tags);
    void
    AddLine(const String& plain, const TvlxHTMLTags& tags, size_t from, size_t to, bool hyphen);
    int WrapWidth() const;
    void DrawLine(RasterSurface& canvas, size_t index, THAlign align, int x, int y, int width);

    // Font
    LayoutFont FFont;
    int FFontSize = 10;
    int FH600 = 83;
    mutable std::array<const FontFace*, 4> FFaces{}; // by bold and italic bits
    // Options
    bool FWordWrap = true;
    bool FHTMLTags = false;
    bool FRTLReading = false;
    bool FWordBreak = false;
    bool FClipped = true;
    bool FWysiwyg = true;
    int FRotation = 0;
    // Gaps, template pixels
    double FParagraphGap = 0;
    double FCharSpacing = 0;
    double FLineSpacing = 0;
    // Dimensions
    double FScaleX = 1;
    double FScaleY = 1;
    double FPrintScale = 1;
    IntRect FOriginalRect;
    IntRect FScaledRect;
    // Layout
    std::vector<LayoutLine> FLines;
    String FPlainText;
    TvlxHTMLTagsList FParser;
    mutable std::vector<int> FWidths; // scratch: widths of one source line, reused
    std::vector<int> FRunning;        // scratch: running totals, reused
};

// The process-wide lock around every layout: hold it from SetFont to the last query.
std::mutex& LayoutLock();

// The layout object for views that belong to no report.
TvlxDrawText& SharedDrawText();

} // namespace vl
