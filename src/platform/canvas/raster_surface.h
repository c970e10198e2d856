// The raster drawing surface: a 24-bit RGB bitmap over cairo that starts white. The text layout
// draws memos onto it, and the PDF writer lets views that have no vector form draw onto one before
// it encodes the pixels as an image.
//
// Coordinates are device pixels with y growing downwards. Colours are report colours: 32-bit with
// red in the low byte (0x0000FF is red); NoColor (0x1FFFFFFF) draws nothing.
#pragma once

#include "base/string.h"
#include "platform/canvas/int_rect.h"
#include "platform/fonts/font_face.h"
#include "platform/images/bitmap.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace vl {

inline constexpr uint32_t NoColor = 0x1FFFFFFF;

// How lines are stroked: colour, width in device pixels and dash pattern (0 solid, 1 dash, 2 dot,
// 3 dash-dot, 4 dash-dot-dot; any other value is solid). Dashes scale with the width.
struct RasterPen
{
    uint32_t Color = 0;
    double Width = 1;
    int Dash = 0;
};

struct PointD
{
    double X = 0;
    double Y = 0;
};

// Output flags of TextOut, as the layout passes them on.
enum TextOutFlags : uint32_t
{
    toClipped = 4,       // clip to the given rectangle
    toRightToLeft = 128, // right-to-left base direction
};

// The font a text is drawn with: the styled face, its em height in device pixels, the underline
// and strike-out bits (bold and italic are in the face), the colour and the escapement.
struct DeviceFont
{
    const FontFace* Face = nullptr;
    int EmPx = 0;
    uint8_t Style = 0;        // FontStyleBits; only fsUnderline and fsStrikeOut matter here
    uint32_t Color = 0;       // report colour
    int EscapementTenths = 0; // baseline angle, tenths of a degree counter-clockwise
};

class RasterSurface
{
public:
    // A white surface of `width` x `height` pixels (each at least 1). Throws EOutOfMemory when
    // cairo cannot allocate it.
    RasterSurface(int width, int height);
    ~RasterSurface();
    RasterSurface(const RasterSurface&) = delete;
    RasterSurface& operator=(const RasterSurface&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Report colour of one pixel (0 outside the surface).
    uint32_t PixelColor(int x, int y) const;

    void FillRect(const IntRect& rect, uint32_t color);
    void Line(double x1, double y1, double x2, double y2, const RasterPen& pen);
    // Fills the closed polygon with `fill`, then strokes its outline with `pen` (when `closed`,
    // else the open path); NoColor skips either part.
    void Polygon(std::span<const PointD> points, uint32_t fill, const RasterPen& pen, bool closed);
    // An ellipse inside `rect`; a rectangle whose corners are quarter ellipses of the given size.
    void Ellipse(const IntRect& rect, uint32_t fill, const RasterPen& pen);
    void RoundRect(const IntRect& rect,
                   double cornerWidth,
                   double cornerHeight,
                   uint32_t fill,
                   const RasterPen& pen);
    // One-pixel hatch lines 8 pixels apart over `rect`: kind 0 horizontal, 1 vertical, 2 forward
    // diagonal, 3 backward diagonal, 4 cross, 5 diagonal cross.
    void Hatch(const IntRect& rect, int kind, uint32_t color);
    // Draws `bitmap` scaled into `dest` (smooth filtering or nearest pixels), clipped to `clip`.
    void DrawBitmap(const Bitmap& bitmap, const IntRect& dest, bool smooth, const IntRect& clip);

    // Draws `text` with its cell's top-left corner at (x, y), the baseline CellAscent below it
    // (rotated with the escapement). `advances` holds one advance per UTF-16 unit in device pixels
    // and places the characters exactly (an empty span uses the face's own advances); right-to-left
    // runs fill their cells from the right. With toClipped nothing falls outside `clip`.
    void TextOut(int x,
                 int y,
                 const DeviceFont& font,
                 StringView text,
                 std::span<const int> advances,
                 uint32_t flags,
                 const IntRect& clip);

    // Writes the surface as a PNG file; throws EFCreateError when it cannot.
    void WritePng(const std::string& path) const;
    // The pixels as packed RGB rows, top row first (three bytes per pixel), for image encoders.
    std::vector<uint8_t> RgbRows() const;

private:
    struct Handles;

    int FWidth;
    int FHeight;
    std::unique_ptr<Handles> FHandles;
};

} // namespace vl
