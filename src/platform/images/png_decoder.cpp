// The libpng wrapper. libpng reports errors through a callback that must not return; ours
// longjmps back into small C-style step functions that hold no C++ objects, and the C++ code
// around them turns a failed step into an exception.
#include "platform/images/png_decoder.h"

#include "base/format.h"
#include "base/limits.h"
#include "platform/images/image_error.h"

#include <cstring>
#include <png.h>
#include <vector>

namespace vl {
namespace {

// What the callbacks share: the input bytes and the last error text.
struct PngSource
{
    const unsigned char* Data;
    size_t Size;
    size_t Position;
    char Message[200];
};

void ReadPngBytes(png_structp png, png_bytep out, size_t count)
{
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (count > source->Size - source->Position) png_error(png, "the data ends early");
    std::memcpy(out, source->Data + source->Position, count);
    source->Position += count;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::strncpy(source->Message, message, sizeof source->Message - 1);
    source->Message[sizeof source->Message - 1] = '\0';
    png_longjmp(png, 1);
}

// Warnings are not printed: standard error carries only the failure line.
void OnPngWarning(png_structp, png_const_charp) {}

// --- C-style steps: each arms libpng's jump buffer and then calls only libpng, so the longjmp of
// --- an error never crosses a frame with destructors.

bool TryReadInfo(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    return true;
}

// Asks for 8-bit RGBA rows whatever the file holds.
bool TrySetRgbaOutput(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return true;
}

bool TryReadImage(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

struct PngGuard
{
    png_structp Png;
    png_infop Info;
    ~PngGuard() { png_destroy_read_struct(&Png, Info ? &Info : nullptr, nullptr); }
};

[[noreturn]] void ThrowPngError(const PngSource& source)
{
    throw EInvalidGraphic(Format(u"Invalid PNG image: %s", {FromUtf8(source.Message)}));
}

} // namespace

Bitmap DecodePng(std::string_view bytes)
{
    if (bytes.substr(0, PngSignature.size()) != PngSignature)
        throw EInvalidGraphic("Invalid PNG image: the signature is missing");
    PngSource source{reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0, {}};
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnPngError, OnPngWarning);
    if (!png) throw EOutOfMemory("Out of memory while reading a PNG image");
    PngGuard guard{png, nullptr};
    guard.Info = png_create_info_struct(png);
    if (!guard.Info) throw EOutOfMemory("Out of memory while reading a PNG image");
    png_set_read_fn(png, &source, ReadPngBytes);
    // The size check below is the one that counts; libpng's own side limit (a million) would
    // refuse long, thin images that fit the pixel bound.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_chunk_malloc_max(png, limits::PngMaxChunkBytes);

    if (!TryReadInfo(png, guard.Info)) ThrowPngError(source);
    CheckImageSize(
        png_get_image_width(png, guard.Info), png_get_image_height(png, guard.Info), "PNG");
    if (!TrySetRgbaOutput(png, guard.Info)) ThrowPngError(source);
    const int width = int(png_get_image_width(png, guard.Info));
    const int height = int(png_get_image_height(png, guard.Info));
    if (png_get_rowbytes(png, guard.Info) != size_t(width) * 4)
        throw EInvalidGraphic("Invalid PNG image: unsupported pixel format");

    // libpng writes RGBA bytes straight into the pixel buffer (4 bytes per pixel either way);
    // each pixel is then repacked in place.
    Bitmap bitmap(width, height);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = reinterpret_cast<png_bytep>(bitmap.Row(y));
    if (!TryReadImage(png, rows.data())) ThrowPngError(source);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = bitmap.Row(y);
        const png_bytep bytesOfRow = rows[size_t(y)];
        for (int x = 0; x < width; ++x) {
            const png_bytep p = bytesOfRow + size_t(x) * 4;
            row[x] = PremultipliedArgb(p[0], p[1], p[2], p[3]);
        }
    }
    return bitmap;
}

} // namespace vl
