// The raster image type that the decoders fill and the picture views draw: one contiguous buffer
// of 32-bit pixels in cairo's layout, so the canvas wraps it without copying.
//
// Layout. Each pixel is a native-endian uint32_t 0xAARRGGBB with the colour premultiplied by
// alpha; rows run top to bottom without padding (stride = 4 x width bytes, which is cairo's
// stride for these formats at any width). That is exactly CAIRO_FORMAT_ARGB32, and, when every
// alpha is 0xFF (HasAlpha() false), CAIRO_FORMAT_RGB24 as well:
//     cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(bmp.Data()),
//         CAIRO_FORMAT_ARGB32, bmp.Width(), bmp.Height(), bmp.Stride());
// Premultiplied storage is what cairo composites with; opaque pixels are unchanged by it.
//
// Sizes are whole pixels; an empty bitmap is 0 x 0. Every non-empty bitmap has at most
// limits::ImageMaxPixels pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vl {

// Packs a straight (not premultiplied) colour into the bitmap's pixel form.
constexpr uint32_t PremultipliedArgb(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    if (a == 255) return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b;
    auto scale = [a](uint8_t c) { return uint32_t((c * a + 127) / 255); };
    return uint32_t(a) << 24 | scale(r) << 16 | scale(g) << 8 | scale(b);
}

// Throws ELimitExceeded when `width` x `height` passes limits::ImageMaxPixels and
// EInvalidGraphic when a side is not positive. `what` names the format in the message
// ("PNG", "bitmap", ...).
void CheckImageSize(int64_t width, int64_t height, std::string_view what);

class Bitmap
{
public:
    Bitmap() = default;
    // A transparent black bitmap; throws as CheckImageSize (with "bitmap").
    Bitmap(int width, int height);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FPixels.empty(); }
    int Stride() const { return FWidth * 4; } // bytes from one row to the next

    uint32_t* Data() { return FPixels.data(); }
    const uint32_t* Data() const { return FPixels.data(); }
    uint32_t* Row(int y) { return FPixels.data() + size_t(y) * size_t(FWidth); }
    const uint32_t* Row(int y) const { return FPixels.data() + size_t(y) * size_t(FWidth); }
    uint32_t Pixel(int x, int y) const { return Row(y)[x]; }
    void SetPixel(int x, int y, uint32_t argb) { Row(y)[x] = argb; }

    // True when some pixel is not fully opaque.
    bool HasAlpha() const;
    // The pixels composited over `background` (a report colour: red in the low byte) as packed RGB
    // rows, top row first, three bytes per pixel: the input of the JPEG encoder.
    std::vector<uint8_t> RgbRows(uint32_t background = 0xFFFFFF) const;

private:
    int FWidth = 0;
    int FHeight = 0;
    std::vector<uint32_t> FPixels;
};

} // namespace vl
