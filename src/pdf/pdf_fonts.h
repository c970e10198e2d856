// The document fonts of the PDF writer. Every report font used by text becomes one composite
// font: a Type0 font with "/Encoding /Identity-H" over a CIDFontType2 font, whose character
// codes are the TrueType glyph indexes of the face. Text is shaped into glyph indexes when it is
// written; each glyph met is recorded with its advance and the character it stands for, and at
// the end the font's objects (font file, optionally a subset, descriptor, ToUnicode map, CID
// font with widths, Type0 font) are written.
//
// Units: a face is used at an em of 1000 device units, so metrics and widths are in thousandths
// of an em, which is what PDF font dictionaries expect.
#pragma once

#include "base/string.h"
#include "model/font.h"
#include "pdf/pdf_objects.h"
#include "pdf/security.h"
#include "platform/fonts/font_face.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace vl {

// The em size, in device units, at which the writer shapes and measures: 750 points at 96 pixels
// per inch.
inline constexpr int PdfFontEm = 1000;

// The faces for which one PDF font serves every style, with bold and italic simulated in the
// page content and no style suffix on the font name.
bool IsSimulatedFace(StringView faceName);

// "/BaseFont" form of a face name: delimiters and bytes of 128 or more written as "#XX", and
// ",Bold", ",Italic" or ",BoldItalic" appended (except for the simulated faces).
std::string PdfFontName(StringView faceName, bool bold, bool italic);

class TvlxPDFFont
{
public:
    // `index` is the position in the document's font list: the resource name is "/F{index}".
    TvlxPDFFont(const TvlxFont& font, size_t index);

    const TvlxFont& SourceFont() const { return FSourceFont; }
    const std::string& Name() const { return FName; }
    const OutlineMetrics& TextMetric() const { return FMetrics; }
    bool Bold() const;
    bool Italic() const;

    // The Type0 font's object number, reserved by the first page that lists the font.
    uint32_t Reference = 0;
    bool Saved = false;

    // Shapes one line and returns its glyph codes in visual order, four upper-case hexadecimal
    // digits each; glyphs met for the first time are recorded with the characters of their
    // cluster (all characters of a ligature; the default character for a second glyph of one
    // cluster).
    std::string RemapString(StringView text, bool rightToLeft);

    const std::string& GetFontName() const { return FFontName; }
    const std::vector<uint16_t>& UsedAlphabet() const { return FUsedAlphabet; }
    const std::vector<int>& Widths() const { return FWidths; }
    // The UTF-16 text each used glyph stands for, same order as UsedAlphabet.
    const std::vector<String>& UsedAlphabetUnicode() const { return FUsedAlphabetUnicode; }

    // The font file: the face's file bytes subset to the used glyphs, or the whole file when
    // subsetting fails.
    std::string GetFontFile() const;

    // Writes the font's objects; the Type0 dictionary goes under Reference. `security` may be
    // null.
    void WriteObjects(PdfObjectWriter& pdf,
                      bool embed,
                      bool compressed,
                      const PdfSecurity* security) const;

private:
    TvlxFont FSourceFont;
    const FontFace& FFace;
    OutlineMetrics FMetrics;
    std::string FName;
    std::string FFontName;
    std::vector<uint16_t> FUsedAlphabet;
    std::vector<int> FWidths;
    std::vector<String> FUsedAlphabetUnicode;
    std::unordered_map<uint32_t, size_t> FGlyphIndex; // glyph -> position in FUsedAlphabet
};

// The three kinds of stream the writer produces; they differ in the dictionary's form and in the
// line end after the data.
enum class PdfStreamKind
{
    Content,     // "<< /Filter /FlateDecode /Length {L} /Length1 {U} >>", line end after the data
    FontFile,    // "<< /Length {L}  /Filter /FlateDecode /Length1 {U} >>", empty line after
    TextMapping, // as FontFile, nothing after the data
};

// Writes stream object `number` whose dictionary is only its lengths and filter: the data is
// compressed (zlib, level 1) when `compress` is set, then encrypted with the object's key when
// `security` is given. "/Length" is the stored byte count, "/Length1" the uncompressed one.
void WritePdfStream(PdfObjectWriter& pdf,
                    uint32_t number,
                    std::string data,
                    PdfStreamKind kind,
                    bool compress,
                    const PdfSecurity* security);

} // namespace vl
