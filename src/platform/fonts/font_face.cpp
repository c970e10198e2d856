// One font face over FreeType (metrics, names) and HarfBuzz (character map, advances). Both read
// the same in-memory copy of the font file, which the PDF writer later embeds.
#include "platform/fonts/font_face.h"

#include "base/exception.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MODULE_H
#include FT_TRUETYPE_TABLES_H
#include <cmath>
#include <hb.h>

namespace vl {

namespace {

struct FreeTypeLibrary
{
    FT_Library Library = nullptr;
    FreeTypeLibrary()
    {
        if (FT_Init_FreeType(&Library) != 0)
            throw Exception("The font library cannot be initialised");
    }
    ~FreeTypeLibrary() { FT_Done_FreeType(Library); }
};

FT_Library Library()
{
    static FreeTypeLibrary library;
    return library.Library;
}

String FromAscii(const char* text)
{
    return text ? FromUtf8(text) : String();
}

} // namespace

// Each face holds a reference on the library, so faces that outlive the static holder (the
// font registry is destroyed later at exit) still close cleanly.
struct FontFace::Handles
{
    FT_Library Library = nullptr;
    FT_Face Face = nullptr;
    hb_blob_t* Blob = nullptr;
    hb_face_t* HbFace = nullptr;
    hb_font_t* HbFont = nullptr;

    ~Handles()
    {
        if (HbFont) hb_font_destroy(HbFont);
        if (HbFace) hb_face_destroy(HbFace);
        if (Blob) hb_blob_destroy(Blob);
        if (Face) FT_Done_Face(Face);
        if (Library) FT_Done_Library(Library);
    }
};

FontFace::FontFace(std::string fileBytes, int faceIndex, std::string path)
    : FBytes(std::move(fileBytes))
    , FFaceIndex(faceIndex)
    , FPath(std::move(path))
    , FHandles(std::make_unique<Handles>())
{
    auto* data = reinterpret_cast<const FT_Byte*>(FBytes.data());
    FHandles->Library = Library();
    FT_Reference_Library(FHandles->Library);
    if (FT_New_Memory_Face(FHandles->Library,
                           data,
                           static_cast<FT_Long>(FBytes.size()),
                           faceIndex,
                           &FHandles->Face) != 0)
        throw Exception("The font file " + FPath + " cannot be read");
    FHandles->Blob = hb_blob_create(FBytes.data(),
                                    static_cast<unsigned>(FBytes.size()),
                                    HB_MEMORY_MODE_READONLY,
                                    nullptr,
                                    nullptr);
    FHandles->HbFace = hb_face_create(FHandles->Blob, static_cast<unsigned>(faceIndex));
    FHandles->HbFont = hb_font_create(FHandles->HbFace);
    FUnitsPerEm = static_cast<int>(hb_face_get_upem(FHandles->HbFace));
    if (FUnitsPerEm <= 0) FUnitsPerEm = 1000;
    hb_font_set_scale(FHandles->HbFont, FUnitsPerEm, FUnitsPerEm);

    hb_blob_t* glyf = hb_face_reference_table(FHandles->HbFace, HB_TAG('g', 'l', 'y', 'f'));
    FHasOutlines = FT_IS_SCALABLE(FHandles->Face) && hb_blob_get_length(glyf) > 0;
    hb_blob_destroy(glyf);
}

FontFace::~FontFace() = default;

String FontFace::FamilyName() const
{
    return FromAscii(FHandles->Face->family_name);
}
String FontFace::StyleName() const
{
    return FromAscii(FHandles->Face->style_name);
}
String FontFace::PostScriptName() const
{
    return FromAscii(FT_Get_Postscript_Name(FHandles->Face));
}
bool FontFace::IsBold() const
{
    return (FHandles->Face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
}
bool FontFace::IsItalic() const
{
    return (FHandles->Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
}

std::span<const uint8_t> FontFace::FileBytes() const
{
    return {reinterpret_cast<const uint8_t*>(FBytes.data()), FBytes.size()};
}

bool FontFace::IsCollection() const
{
    return FBytes.size() >= 4 && FBytes.compare(0, 4, "ttcf") == 0;
}

int FontFace::Scale(int units, int emPx) const
{
    return static_cast<int>(std::nearbyint(double(units) * emPx / FUnitsPerEm));
}

OutlineMetrics FontFace::Metrics(int emPx) const
{
    FT_Face face = FHandles->Face;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    auto* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    auto s = [&](long units) { return Scale(static_cast<int>(units), emPx); };

    OutlineMetrics m;
    m.EmHeight = emPx;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        m.CellAscent = s(os2->usWinAscent);
        m.CellDescent = s(os2->usWinDescent);
    } else {
        m.CellAscent = s(face->ascender);
        m.CellDescent = s(-face->descender);
    }
    m.CellHeight = m.CellAscent + m.CellDescent;
    m.InternalLeading = m.CellHeight - emPx;
    m.MaximumWidth = s(hhea ? hhea->advance_Width_Max : face->max_advance_width);
    m.Ascent = s(face->ascender);
    m.Descent = s(face->descender);
    if (os2 && os2->version != 0xFFFF) {
        m.AverageWidth = s(os2->xAvgCharWidth);
        m.Weight = os2->usWeightClass;
        if (os2->version >= 2 && os2->usDefaultChar != 0) m.DefaultChar = os2->usDefaultChar;
        m.Ascent = s(os2->sTypoAscender);
        m.Descent = s(os2->sTypoDescender);
        m.StrikeoutPosition = s(os2->yStrikeoutPosition);
        m.StrikeoutThickness = std::max(1, s(os2->yStrikeoutSize));
    } else {
        m.AverageWidth = m.MaximumWidth / 2;
        m.StrikeoutPosition = s(face->ascender) / 3;
    }
    if (post) {
        m.ItalicAngle = static_cast<int>(std::nearbyint(post->italicAngle / 65536.0 * 10));
        m.UnderlinePosition = s(post->underlinePosition);
        m.UnderlineThickness = std::max(1, s(post->underlineThickness));
    }
    m.BBoxLeft = s(face->bbox.xMin);
    m.BBoxBottom = s(face->bbox.yMin);
    m.BBoxRight = s(face->bbox.xMax);
    m.BBoxTop = s(face->bbox.yMax);
    return m;
}

uint32_t FontFace::GlyphIndex(char32_t cp) const
{
    hb_codepoint_t glyph = 0;
    if (!hb_font_get_nominal_glyph(FHandles->HbFont, cp, &glyph)) return 0;
    return glyph;
}

int FontFace::GlyphAdvanceUnits(uint32_t glyph) const
{
    return static_cast<int>(hb_font_get_glyph_h_advance(FHandles->HbFont, glyph));
}

int FontFace::CharAdvance(char32_t cp, int emPx) const
{
    return Scale(GlyphAdvanceUnits(GlyphIndex(cp)), emPx);
}

AdvanceTable& FontFace::Advances(int emPx) const
{
    if (FLastTable && FLastTable->EmPx() == emPx) return *FLastTable;
    auto& slot = FAdvanceTables[emPx];
    if (!slot) slot = std::make_unique<AdvanceTable>(*this, emPx);
    FLastTable = slot.get();
    return *slot;
}

void FontFace::CharAdvances(StringView text, int emPx, std::span<int> out) const
{
    Expects(out.size() >= text.size(), "advance buffer as long as the text");
    AdvanceTable& table = Advances(emPx);
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                    text[i + 1] <= 0xDFFF;
        if (!pair) {
            out[i] = table.Get(c);
            continue;
        }
        char32_t cp = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        out[i] = CharAdvance(cp, emPx);
        out[++i] = 0;
    }
}

void* FontFace::ShapingFont() const
{
    return FHandles->HbFont;
}

AdvanceTable::AdvanceTable(const FontFace& face, int emPx)
    : FFace(face)
    , FEmPx(emPx)
{}

int AdvanceTable::FillPage(char16_t c)
{
    auto page = std::make_unique<std::array<int32_t, 256>>();
    char32_t base = char32_t(c) & 0xFF00;
    for (char32_t i = 0; i < 256; ++i) {
        char32_t cp = base + i;
        // A lone surrogate has no glyph of its own: it measures as the missing glyph.
        (*page)[i] = FFace.CharAdvance(cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFF : cp, FEmPx);
    }
    int result = (*page)[c & 0xFF];
    FPages[c >> 8] = std::move(page);
    return result;
}

} // namespace vl
