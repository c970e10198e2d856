// Document fonts: shaping text into glyph codes, recording the glyphs used, and writing each
// font's objects at the end of the document.
#include "pdf/pdf_fonts.h"

#include "pdf/ttf_subset.h"
#include "platform/compression/zlib_stream.h"
#include "platform/fonts/font_lookup.h"
#include "platform/fonts/text_shaper.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vl {

namespace {

constexpr std::array<StringView, 5> SimulatedFaces{
    u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF",       // MS Gothic
    u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", // MS PGothic
    u"\uFF2D\uFF33 \u660E\u671D",                   // MS Mincho
    u"\uFF2D\uFF33 \uFF30\u660E\u671D",             // MS PMincho
    u"MS UI Gothic",
};

constexpr char HexDigits[] = "0123456789ABCDEF";

void AppendHex4(std::string& out, uint32_t value)
{
    out += HexDigits[(value >> 12) & 0xF];
    out += HexDigits[(value >> 8) & 0xF];
    out += HexDigits[(value >> 4) & 0xF];
    out += HexDigits[value & 0xF];
}

uint8_t LookupStyle(const TvlxFont& font)
{
    if (IsSimulatedFace(font.Name())) return 0;
    uint8_t style = 0;
    if (font.Style().Contains(TFontStyle::fsBold)) style |= fsBold;
    if (font.Style().Contains(TFontStyle::fsItalic)) style |= fsItalic;
    return style;
}

} // namespace

bool IsSimulatedFace(StringView faceName)
{
    for (StringView face : SimulatedFaces)
        if (face == faceName) return true;
    return false;
}

std::string PdfFontName(StringView faceName, bool bold, bool italic)
{
    // The name is written as UTF-8 bytes; the escaping below makes every byte of 128 or more,
    // and every PDF delimiter, a "#XX" code.
    std::string text = ToUtf8(faceName);
    if (!IsSimulatedFace(faceName)) {
        if (bold && italic)
            text += ",BoldItalic";
        else if (bold)
            text += ",Bold";
        else if (italic)
            text += ",Italic";
    }
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        switch (c) {
        case ' ':
        case '(':
        case ')':
        case '%':
        case '<':
        case '>':
        case '[':
        case ']':
        case '{':
        case '}':
        case '/':
        case '#':
            break;
        default:
            if (c < 128 && c > 32) {
                out += char(c);
                continue;
            }
        }
        out += '#';
        out += HexDigits[c >> 4];
        out += HexDigits[c & 0xF];
    }
    return out;
}

TvlxPDFFont::TvlxPDFFont(const TvlxFont& font, size_t index)
    : FSourceFont(font)
    , FFace(FindFontFace(font.Name(), LookupStyle(font)))
    , FMetrics(FFace.Metrics(PdfFontEm))
    , FName("/F" + IntText(int64_t(index)))
    , FFontName(PdfFontName(font.Name(), Bold(), Italic()))
{
    FSourceFont.SetListener(nullptr);
}

bool TvlxPDFFont::Bold() const
{
    return FSourceFont.Style().Contains(TFontStyle::fsBold);
}

bool TvlxPDFFont::Italic() const
{
    return FSourceFont.Style().Contains(TFontStyle::fsItalic);
}

std::string TvlxPDFFont::RemapString(StringView text, bool rightToLeft)
{
    const std::vector<ShapedGlyph> glyphs = ShapeLine(FFace, PdfFontEm, text, rightToLeft);
    // A glyph stands for the characters of its cluster: from its cluster offset to the next
    // cluster offset of the line. Ligatures thus map to all their characters and a surrogate
    // pair to its code point; further glyphs of one cluster (marks shaped apart) take the
    // face's default character, so the text is not repeated.
    std::vector<uint32_t> starts;
    starts.reserve(glyphs.size());
    for (const ShapedGlyph& g : glyphs)
        starts.push_back(g.Cluster);
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

    std::string out;
    out.reserve(glyphs.size() * 4);
    uint32_t previousCluster = UINT32_MAX;
    for (const ShapedGlyph& g : glyphs) {
        // Codes are two bytes (Identity-H); TrueType faces have at most 65535 glyphs.
        const uint16_t glyph = uint16_t(g.Glyph);
        const bool firstOfCluster = g.Cluster != previousCluster;
        previousCluster = g.Cluster;
        if (FGlyphIndex.try_emplace(glyph, FUsedAlphabet.size()).second) {
            FUsedAlphabet.push_back(glyph);
            FWidths.push_back(g.Advance);
            const auto next = std::upper_bound(starts.begin(), starts.end(), g.Cluster);
            const size_t end = next == starts.end() ? text.size() : *next;
            if (firstOfCluster && g.Cluster < end && end <= text.size())
                FUsedAlphabetUnicode.emplace_back(text.substr(g.Cluster, end - g.Cluster));
            else
                FUsedAlphabetUnicode.emplace_back(1, FMetrics.DefaultChar);
        }
        AppendHex4(out, glyph);
    }
    return out;
}

std::string TvlxPDFFont::GetFontFile() const
{
    const std::span<const uint8_t> bytes = FFace.FileBytes();
    const std::string_view file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (file.empty()) return {};
    return SubsetOrWholeFont(file,
                             WantedFaceName(FSourceFont.Name(), Bold(), Italic()),
                             uint32_t(FFace.FaceIndex()),
                             FUsedAlphabet);
}

void TvlxPDFFont::WriteObjects(PdfObjectWriter& pdf,
                               bool embed,
                               bool compressed,
                               const PdfSecurity* security) const
{
    uint32_t fileNumber = 0;
    if (embed) {
        fileNumber = pdf.ReserveObject();
        WritePdfStream(
            pdf, fileNumber, GetFontFile(), PdfStreamKind::FontFile, compressed, security);
    }

    const OutlineMetrics& m = FMetrics;
    const uint32_t descriptor = pdf.BeginNewObject();
    pdf.EmitLine("<<");
    pdf.EmitLine("/Type /FontDescriptor");
    pdf.EmitLine("/FontName /" + FFontName);
    pdf.EmitLine("/FontFamily /" + FFontName);
    pdf.EmitLine("/Flags 32");
    pdf.EmitLine("/FontBBox [" + IntText(m.BBoxLeft) + " " + IntText(m.BBoxBottom) + " " +
                 IntText(m.BBoxRight) + " " + IntText(m.BBoxTop) + " ]");
    pdf.EmitLine("/ItalicAngle " + IntText(m.ItalicAngle / 10));
    pdf.EmitLine("/Ascent " + IntText(m.Ascent));
    pdf.EmitLine("/Descent " + IntText(m.Descent));
    pdf.EmitLine("/Leading " + IntText(m.InternalLeading));
    pdf.EmitLine("/CapHeight " + IntText(m.CellHeight));
    const double stem = double(m.Weight) / 65;
    pdf.EmitLine("/StemV " + IntText(int64_t(std::nearbyint(stem * stem)) + 50));
    pdf.EmitLine("/AvgWidth " + IntText(m.AverageWidth));
    pdf.EmitLine("/MxWidth " + IntText(m.MaximumWidth));
    pdf.EmitLine("/MissingWidth " + IntText(m.AverageWidth));
    if (embed) pdf.EmitLine("/FontFile2 " + ObjectRef(fileNumber));
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    std::string cmapName = FFontName;
    for (char& c : cmapName)
        if (c == ',') c = '+';
    std::string cmap = "/CIDInit /ProcSet findresource begin\r\n"
                       "12 dict begin\r\n"
                       "begincmap\r\n"
                       "/CIDSystemInfo\r\n"
                       "<< /Registry (Adobe)\r\n"
                       "/Ordering (UCS)\r\n"
                       "/Ordering (Identity)\r\n"
                       "/Supplement 0\r\n"
                       ">> def\r\n"
                       "/CMapName /" +
                       cmapName +
                       " def\r\n"
                       "/CMapType 2 def\r\n"
                       "1 begincodespacerange\r\n"
                       "<0000> <FFFF>\r\n"
                       "endcodespacerange\r\n" +
                       IntText(int64_t(FUsedAlphabet.size())) + " beginbfchar\r\n";
    for (size_t i = 0; i < FUsedAlphabet.size(); ++i) {
        cmap += '<';
        AppendHex4(cmap, FUsedAlphabet[i]);
        cmap += "> <";
        for (char16_t unit : FUsedAlphabetUnicode[i])
            AppendHex4(cmap, unit);
        cmap += ">\r\n";
    }
    cmap += "endbfchar\r\n"
            "endcmap\r\n"
            "CMapName currentdict /CMap defineresource pop\r\n"
            "end\r\n"
            "end\r\n";
    const uint32_t toUnicode = pdf.ReserveObject();
    WritePdfStream(
        pdf, toUnicode, std::move(cmap), PdfStreamKind::TextMapping, compressed, security);

    const uint32_t systemInfo = pdf.BeginNewObject();
    pdf.EmitLine("<<");
    pdf.EmitLine("/Registry (Adobe) /Ordering (Identity) /Supplement 0");
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    const uint32_t cidFont = pdf.BeginNewObject();
    pdf.EmitLine("<<");
    pdf.EmitLine("/Type /Font");
    pdf.EmitLine("/Subtype /CIDFontType2");
    pdf.EmitLine("/BaseFont /" + FFontName);
    pdf.EmitLine("/CIDSystemInfo " + ObjectRef(systemInfo));
    pdf.EmitLine("/FontDescriptor " + ObjectRef(descriptor));
    std::string widths = "/W [ ";
    for (size_t i = 0; i < FUsedAlphabet.size(); ++i) {
        AppendInt(widths, FUsedAlphabet[i]);
        widths += " [";
        AppendInt(widths, FWidths[i]);
        widths += "] ";
    }
    widths += "]";
    pdf.EmitLine(widths);
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");

    pdf.BeginObject(Reference);
    pdf.EmitLine("<<");
    pdf.EmitLine("/Type /Font");
    pdf.EmitLine("/Subtype /Type0");
    pdf.EmitLine("/BaseFont /" + FFontName);
    pdf.EmitLine("/Encoding /Identity-H");
    pdf.EmitLine("/DescendantFonts [" + ObjectRef(cidFont) + "]");
    pdf.EmitLine("/ToUnicode " + ObjectRef(toUnicode));
    pdf.EmitLine(">>");
    pdf.EmitLine("endobj");
}

void WritePdfStream(PdfObjectWriter& pdf,
                    uint32_t number,
                    std::string data,
                    PdfStreamKind kind,
                    bool compress,
                    const PdfSecurity* security)
{
    const std::string plainLength = IntText(int64_t(data.size()));
    if (compress) data = DeflateZlib(data, 1);
    if (security) security->Crypt(number, data);
    const std::string length = IntText(int64_t(data.size()));

    pdf.BeginObject(number);
    if (kind == PdfStreamKind::Content) {
        pdf.EmitRaw("<< ");
        if (compress)
            pdf.EmitLine("/Filter /FlateDecode /Length " + length + " /Length1 " + plainLength +
                         " >>");
        else
            pdf.EmitLine("/Length " + length + " >>");
    } else if (compress) {
        pdf.EmitLine("<< /Length " + length + "  /Filter /FlateDecode /Length1 " + plainLength +
                     " >>");
    } else {
        pdf.EmitLine("<< /Length " + length + " /Length1 " + plainLength + " >>");
    }
    pdf.EmitLine("stream");
    pdf.EmitRaw(data);
    switch (kind) {
    case PdfStreamKind::Content:
        // Uncompressed content already ends with its last operator's line end.
        if (compress) pdf.EmitLine("");
        break;
    case PdfStreamKind::FontFile:
        pdf.EmitLine("");
        break;
    case PdfStreamKind::TextMapping:
        break;
    }
    pdf.EmitLine("endstream");
    pdf.EmitLine("endobj");
}

} // namespace vl
