// The raster surface over a cairo image surface; text goes through cairo-ft with faces opened
// from the same font bytes the font service measured, so drawn and measured glyphs agree.
#include "platform/canvas/raster_surface.h"

#include "base/exception.h"
#include "platform/fonts/bidi.h"
#include "platform/fonts/text_shaper.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>

namespace vl {

namespace {

void SetColor(cairo_t* cr, uint32_t color)
{
    cairo_set_source_rgb(
        cr, (color & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0, ((color >> 16) & 0xFF) / 255.0);
}

// Cairo faces for font faces, created once per face. Cairo gets its own FreeType face over the
// face's bytes (its scaled fonts change the size of the FT_Face they use), released with the
// cairo face.
class CairoFaces
{
public:
    CairoFaces()
    {
        if (FT_Init_FreeType(&FLibrary) != 0)
            throw Exception("The font library cannot be initialised");
    }
    // The cairo faces keep their FreeType faces until the end of the process, so the library
    // stays too.

    cairo_font_face_t* Get(const FontFace& face)
    {
        auto it = FFaces.find(&face);
        if (it != FFaces.end()) return it->second;
        std::span<const uint8_t> bytes = face.FileBytes();
        FT_Face ftFace = nullptr;
        if (FT_New_Memory_Face(FLibrary,
                               bytes.data(),
                               static_cast<FT_Long>(bytes.size()),
                               face.FaceIndex(),
                               &ftFace) != 0)
            throw Exception("The font file " + face.Path() + " cannot be read");
        cairo_font_face_t* cairoFace =
            cairo_ft_font_face_create_for_ft_face(ftFace, FT_LOAD_NO_HINTING);
        static const cairo_user_data_key_t key{};
        cairo_font_face_set_user_data(
            cairoFace, &key, ftFace, [](void* p) { FT_Done_Face(static_cast<FT_Face>(p)); });
        FFaces.emplace(&face, cairoFace);
        return cairoFace;
    }

private:
    FT_Library FLibrary = nullptr;
    std::unordered_map<const FontFace*, cairo_font_face_t*> FFaces;
};

CairoFaces& Faces()
{
    static CairoFaces faces;
    return faces;
}

// Places shaped glyphs at the character cells given by `advances`, run by run in visual order.
// In a left-to-right run each cluster occupies the advances of the characters it stands for and
// its glyphs follow their own advances inside the cell. A right-to-left run is scaled as a whole
// to the width of its cells, so joined scripts stay joined. Returns the width of the text.
double PlaceInCells(std::span<const ShapedGlyph> glyphs,
                    std::span<const int> advances,
                    StringView text,
                    bool rightToLeft,
                    std::vector<double>& x)
{
    auto sum = [&](size_t from, size_t to) {
        double width = 0;
        for (size_t i = from; i < to && i < advances.size(); ++i)
            width += advances[i];
        return width;
    };
    double pen = 0;
    size_t g = 0;
    for (const BidiRun& run : VisualRuns(text, rightToLeft)) {
        size_t runStart = size_t(run.Start), runEnd = size_t(run.Start + run.Length);
        size_t first = g;
        while (g < glyphs.size() && glyphs[g].Cluster >= runStart && glyphs[g].Cluster < runEnd)
            ++g;
        std::span<const ShapedGlyph> runGlyphs = glyphs.subspan(first, g - first);
        double cells = sum(runStart, runEnd);
        if (run.RightToLeft) {
            double shaped = 0;
            for (const ShapedGlyph& glyph : runGlyphs)
                shaped += glyph.Advance;
            double scale = shaped > 0 ? cells / shaped : 1;
            double at = 0;
            for (const ShapedGlyph& glyph : runGlyphs) {
                x.push_back(pen + (at + glyph.XOffset) * scale);
                at += glyph.Advance;
            }
        } else {
            double cellStart = pen, inCell = 0;
            for (size_t k = 0; k < runGlyphs.size(); ++k) {
                const ShapedGlyph& glyph = runGlyphs[k];
                if (k > 0 && glyph.Cluster != runGlyphs[k - 1].Cluster) {
                    cellStart += sum(runGlyphs[k - 1].Cluster, glyph.Cluster);
                    inCell = 0;
                }
                x.push_back(cellStart + inCell + glyph.XOffset);
                inCell += glyph.Advance;
            }
        }
        pen += cells;
    }
    // Glyphs outside every run cannot occur; keep the arrays aligned regardless.
    while (x.size() < glyphs.size())
        x.push_back(pen);
    return pen;
}

} // namespace

struct RasterSurface::Handles
{
    cairo_surface_t* Surface = nullptr;
    cairo_t* Cairo = nullptr;
    ~Handles()
    {
        if (Cairo) cairo_destroy(Cairo);
        if (Surface) cairo_surface_destroy(Surface);
    }
};

RasterSurface::RasterSurface(int width, int height)
    : FWidth(std::max(1, width))
    , FHeight(std::max(1, height))
    , FHandles(std::make_unique<Handles>())
{
    FHandles->Surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, FWidth, FHeight);
    if (cairo_surface_status(FHandles->Surface) != CAIRO_STATUS_SUCCESS)
        throw EOutOfMemory("The drawing surface cannot be created");
    FHandles->Cairo = cairo_create(FHandles->Surface);
    cairo_set_source_rgb(FHandles->Cairo, 1, 1, 1);
    cairo_paint(FHandles->Cairo);
}

RasterSurface::~RasterSurface() = default;

uint32_t RasterSurface::PixelColor(int x, int y) const
{
    if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return 0;
    cairo_surface_flush(FHandles->Surface);
    const unsigned char* data = cairo_image_surface_get_data(FHandles->Surface);
    int stride = cairo_image_surface_get_stride(FHandles->Surface);
    uint32_t pixel = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
    uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r | (g << 8) | (b << 16);
}

void RasterSurface::FillRect(const IntRect& rect, uint32_t color)
{
    if (color == NoColor) return;
    cairo_t* cr = FHandles->Cairo;
    SetColor(cr, color);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_fill(cr);
}

namespace {

void ApplyPen(cairo_t* cr, const RasterPen& pen)
{
    SetColor(cr, pen.Color);
    double w = std::max(1.0, pen.Width);
    cairo_set_line_width(cr, w);
    double dash = w * 6, dot = w * 2;
    std::vector<double> pattern;
    switch (pen.Dash) {
    case 1:
        pattern = {dash, dot};
        break;
    case 2:
        pattern = {dot, dot};
        break;
    case 3:
        pattern = {dash, dot, dot, dot};
        break;
    case 4:
        pattern = {dash, dot, dot, dot, dot, dot};
        break;
    default:
        break;
    }
    cairo_set_dash(cr, pattern.data(), int(pattern.size()), 0);
}

// Fills the current path (kept) with `fill`, then strokes it with `pen`.
void FillAndStroke(cairo_t* cr, uint32_t fill, const RasterPen& pen)
{
    if (fill != NoColor) {
        SetColor(cr, fill);
        cairo_fill_preserve(cr);
    }
    if (pen.Color != NoColor && pen.Width > 0) {
        ApplyPen(cr, pen);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}

} // namespace

void RasterSurface::Line(double x1, double y1, double x2, double y2, const RasterPen& pen)
{
    if (pen.Color == NoColor || pen.Width <= 0) return;
    // An axis-aligned line of odd whole width covers whole pixels from its coordinate on, as
    // device pens draw them.
    double w = std::max(1.0, pen.Width);
    if (w == std::floor(w) && int(w) % 2 == 1) {
        if (y1 == y2) y1 = y2 = y1 + 0.5;
        if (x1 == x2) x1 = x2 = x1 + 0.5;
    }
    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    ApplyPen(cr, pen);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void RasterSurface::Polygon(std::span<const PointD> points,
                            uint32_t fill,
                            const RasterPen& pen,
                            bool closed)
{
    if (points.empty()) return;
    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    cairo_move_to(cr, points[0].X, points[0].Y);
    for (size_t i = 1; i < points.size(); ++i)
        cairo_line_to(cr, points[i].X, points[i].Y);
    if (closed) cairo_close_path(cr);
    FillAndStroke(cr, closed ? fill : NoColor, pen);
    cairo_restore(cr);
}

void RasterSurface::Ellipse(const IntRect& rect, uint32_t fill, const RasterPen& pen)
{
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    cairo_translate(cr, rect.Left + rect.Width() / 2.0, rect.Top + rect.Height() / 2.0);
    cairo_scale(cr, rect.Width() / 2.0, rect.Height() / 2.0);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    cairo_save(cr);
    FillAndStroke(cr, fill, pen);
    cairo_restore(cr);
}

void RasterSurface::RoundRect(const IntRect& rect,
                              double cornerWidth,
                              double cornerHeight,
                              uint32_t fill,
                              const RasterPen& pen)
{
    double rx = std::min(cornerWidth / 2, rect.Width() / 2.0);
    double ry = std::min(cornerHeight / 2, rect.Height() / 2.0);
    if (rx <= 0 || ry <= 0) {
        PointD corners[] = {{double(rect.Left), double(rect.Top)},
                            {double(rect.Right), double(rect.Top)},
                            {double(rect.Right), double(rect.Bottom)},
                            {double(rect.Left), double(rect.Bottom)}};
        Polygon(corners, fill, pen, true);
        return;
    }
    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    auto corner = [&](double cx, double cy, double from) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, from, from + std::numbers::pi / 2);
        cairo_restore(cr);
    };
    const double pi = std::numbers::pi;
    corner(rect.Right - rx, rect.Top + ry, -pi / 2);
    corner(rect.Right - rx, rect.Bottom - ry, 0);
    corner(rect.Left + rx, rect.Bottom - ry, pi / 2);
    corner(rect.Left + rx, rect.Top + ry, pi);
    cairo_close_path(cr);
    FillAndStroke(cr, fill, pen);
    cairo_restore(cr);
}

void RasterSurface::Hatch(const IntRect& rect, int kind, uint32_t color)
{
    if (color == NoColor || rect.Width() <= 0 || rect.Height() <= 0) return;
    constexpr int Step = 8;
    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_clip(cr);
    SetColor(cr, color);
    cairo_set_line_width(cr, 1);
    bool horizontal = kind == 0 || kind == 4, vertical = kind == 1 || kind == 4;
    bool forward = kind == 2 || kind == 5, backward = kind == 3 || kind == 5;
    if (horizontal)
        for (int y = rect.Top; y < rect.Bottom; y += Step) {
            cairo_move_to(cr, rect.Left, y + 0.5);
            cairo_line_to(cr, rect.Right, y + 0.5);
        }
    if (vertical)
        for (int x = rect.Left; x < rect.Right; x += Step) {
            cairo_move_to(cr, x + 0.5, rect.Top);
            cairo_line_to(cr, x + 0.5, rect.Bottom);
        }
    int span = rect.Width() + rect.Height();
    if (forward)
        for (int d = 0; d < span; d += Step) {
            cairo_move_to(cr, rect.Left + d, rect.Bottom);
            cairo_line_to(cr, rect.Left + d - rect.Height(), rect.Top);
        }
    if (backward)
        for (int d = 0; d < span; d += Step) {
            cairo_move_to(cr, rect.Left + d - rect.Height(), rect.Bottom);
            cairo_line_to(cr, rect.Left + d, rect.Top);
        }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void RasterSurface::DrawBitmap(const Bitmap& bitmap,
                               const IntRect& dest,
                               bool smooth,
                               const IntRect& clip)
{
    if (bitmap.Empty() || dest.Width() == 0 || dest.Height() == 0) return;
    // The bitmap's pixels are cairo's ARGB32 layout; cairo only reads them here.
    cairo_surface_t* image = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<uint32_t*>(bitmap.Data())),
        CAIRO_FORMAT_ARGB32,
        bitmap.Width(),
        bitmap.Height(),
        bitmap.Stride());
    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    cairo_rectangle(cr, clip.Left, clip.Top, clip.Width(), clip.Height());
    cairo_clip(cr);
    cairo_translate(cr, dest.Left, dest.Top);
    cairo_scale(cr, double(dest.Width()) / bitmap.Width(), double(dest.Height()) / bitmap.Height());
    cairo_set_source_surface(cr, image, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr),
                             smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(image);
}

void RasterSurface::TextOut(int x,
                            int y,
                            const DeviceFont& font,
                            StringView text,
                            std::span<const int> advances,
                            uint32_t flags,
                            const IntRect& clip)
{
    if (text.empty() || !font.Face || font.EmPx <= 0 || font.Color == NoColor) return;
    std::vector<ShapedGlyph> shaped =
        ShapeLine(*font.Face, font.EmPx, text, (flags & toRightToLeft) != 0);
    std::vector<double> glyphX;
    glyphX.reserve(shaped.size());
    double width = 0;
    if (advances.size() >= text.size()) {
        width = PlaceInCells(shaped, advances, text, (flags & toRightToLeft) != 0, glyphX);
    } else {
        for (const ShapedGlyph& g : shaped) {
            glyphX.push_back(width + g.XOffset);
            width += g.Advance;
        }
    }
    OutlineMetrics metrics = font.Face->Metrics(font.EmPx);
    std::vector<cairo_glyph_t> glyphs(shaped.size());
    for (size_t i = 0; i < shaped.size(); ++i)
        glyphs[i] = {shaped[i].Glyph, glyphX[i], double(metrics.CellAscent - shaped[i].YOffset)};

    cairo_t* cr = FHandles->Cairo;
    cairo_save(cr);
    if (flags & toClipped) {
        cairo_rectangle(cr, clip.Left, clip.Top, clip.Width(), clip.Height());
        cairo_clip(cr);
    }
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -font.EscapementTenths / 10.0 * std::numbers::pi / 180);
    SetColor(cr, font.Color);
    cairo_set_font_face(cr, Faces().Get(*font.Face));
    cairo_set_font_size(cr, font.EmPx);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
    cairo_show_glyphs(cr, glyphs.data(), static_cast<int>(glyphs.size()));
    if (font.Style & fsUnderline) {
        cairo_rectangle(cr,
                        0,
                        metrics.CellAscent - metrics.UnderlinePosition,
                        width,
                        metrics.UnderlineThickness);
        cairo_fill(cr);
    }
    if (font.Style & fsStrikeOut) {
        cairo_rectangle(cr,
                        0,
                        metrics.CellAscent - metrics.StrikeoutPosition,
                        width,
                        metrics.StrikeoutThickness);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void RasterSurface::WritePng(const std::string& path) const
{
    cairo_surface_flush(FHandles->Surface);
    if (cairo_surface_write_to_png(FHandles->Surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw EFCreateError("Cannot create file \"" + path + "\"");
}

std::vector<uint8_t> RasterSurface::RgbRows() const
{
    cairo_surface_flush(FHandles->Surface);
    const unsigned char* data = cairo_image_surface_get_data(FHandles->Surface);
    int stride = cairo_image_surface_get_stride(FHandles->Surface);
    std::vector<uint8_t> rows;
    rows.reserve(size_t(FWidth) * FHeight * 3);
    for (int y = 0; y < FHeight; ++y) {
        auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < FWidth; ++x) {
            rows.push_back(uint8_t(row[x] >> 16));
            rows.push_back(uint8_t(row[x] >> 8));
            rows.push_back(uint8_t(row[x]));
        }
    }
    return rows;
}

} // namespace vl
