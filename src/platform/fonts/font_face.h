// Font and shaping services: one installed font face with its metrics, glyph advances and file
// bytes. Text measuring (layout) and the PDF writer's font embedding both read faces from here.
//
// Units. A face is always used at an em size in whole device units ("emPx": the em height of the
// selected font in the pixels of whatever device measures, 83 for 10 pt at 600 dpi, 1000 for the
// PDF writer's 750 pt at 96 dpi). Every metric and advance is the design value scaled to that em
// and rounded half to even, as an integer device unit, so sums of advances are exact integers.
//
// Ownership and threads. Faces are created by the font lookup (font_lookup.h), live until the end
// of the process and are never copied. Caches inside a face fill lazily and are not guarded:
// callers serialise their use (the layout lock, the PDF writer's lock), as every caller of the
// platform's font service does.
#pragma once

#include "base/string.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace vl {

// Style bits of a font, as the report stores them (TFontStyles).
enum FontStyleBits : uint8_t
{
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

// Outline metrics of a face at one em size, device units. Windows ("cell") values place the
// baseline; typographic values describe the design for font descriptors.
struct OutlineMetrics
{
    int EmHeight = 0;        // the em the metrics are scaled to
    int CellHeight = 0;      // CellAscent + CellDescent: the height of one text line
    int CellAscent = 0;      // baseline distance from the top of the cell
    int CellDescent = 0;     // positive, below the baseline
    int InternalLeading = 0; // CellHeight - EmHeight
    int AverageWidth = 0;
    int MaximumWidth = 0;
    int Weight = 400;          // 100..900
    char16_t DefaultChar = 32; // stands for glyphs that map to no single character
    int ItalicAngle = 0;       // tenths of a degree, negative when the face leans right
    int Ascent = 0;            // typographic ascender
    int Descent = 0;           // typographic descender, negative below the baseline
    int BBoxLeft = 0, BBoxBottom = 0, BBoxRight = 0, BBoxTop = 0; // font bounding box
    int UnderlinePosition = 0;                                    // below the baseline is negative
    int UnderlineThickness = 1;                                   // at least 1
    int StrikeoutPosition = 0;                                    // above the baseline is positive
    int StrikeoutThickness = 1;                                   // at least 1
};

// Advances of the characters of the Basic Multilingual Plane at one em size, filled page by page
// as characters are met: measuring a memo costs one table read per character.
class AdvanceTable
{
public:
    AdvanceTable(const class FontFace& face, int emPx);
    int Get(char16_t c)
    {
        const auto& page = FPages[c >> 8];
        return page ? (*page)[c & 0xFF] : FillPage(c);
    }
    int EmPx() const { return FEmPx; }

private:
    int FillPage(char16_t c);

    const FontFace& FFace;
    int FEmPx;
    std::array<std::unique_ptr<std::array<int32_t, 256>>, 256> FPages;
};

class FontFace
{
public:
    // Takes the whole font file; `faceIndex` selects the face inside a collection. Throws
    // Exception when FreeType or HarfBuzz refuse the data.
    FontFace(std::string fileBytes, int faceIndex, std::string path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    // True when the face has TrueType outlines ("glyf"), the only kind the PDF writer embeds
    // and measures; the lookup treats other faces as having no outline data.
    bool HasOutlines() const { return FHasOutlines; }
    String FamilyName() const;
    String StyleName() const;
    String PostScriptName() const;
    bool IsBold() const;   // the face itself is bold (not simulated)
    bool IsItalic() const; // the face itself is italic or oblique
    int UnitsPerEm() const { return FUnitsPerEm; }
    const std::string& Path() const { return FPath; }
    int FaceIndex() const { return FFaceIndex; }

    // Raw font file bytes, exactly as installed. `IsCollection` says whether they hold a
    // TrueType collection ("ttcf"); FaceIndex() then names this face inside it.
    std::span<const uint8_t> FileBytes() const;
    bool IsCollection() const;

    OutlineMetrics Metrics(int emPx) const;

    // Glyph index of a code point in this face, 0 (.notdef) when the face lacks it.
    uint32_t GlyphIndex(char32_t cp) const;
    // Advance of a glyph in design units (UnitsPerEm per em).
    int GlyphAdvanceUnits(uint32_t glyph) const;
    // Advance of one code point at `emPx`, rounded half to even.
    int CharAdvance(char32_t cp, int emPx) const;
    // The cached advance table for `emPx` (the layout measures through it).
    AdvanceTable& Advances(int emPx) const;
    // Advance of every UTF-16 unit of `text` at `emPx` into `out` (same length as text). A
    // surrogate pair's advance goes to its first unit and 0 to the second, so positions stay
    // UTF-16 offsets.
    void CharAdvances(StringView text, int emPx, std::span<int> out) const;

    // Scales a design value to `emPx` with halves to even.
    int Scale(int units, int emPx) const;

    // Opaque handle of the HarfBuzz font at design-unit scale, for the shaper (text_shaper.cpp).
    void* ShapingFont() const;

private:
    struct Handles;

    std::string FBytes;
    int FFaceIndex;
    std::string FPath;
    std::unique_ptr<Handles> FHandles;
    int FUnitsPerEm = 1000;
    bool FHasOutlines = false;
    mutable std::unordered_map<int, std::unique_ptr<AdvanceTable>> FAdvanceTables;
    mutable AdvanceTable* FLastTable = nullptr;
};

} // namespace vl
