// Pictures of templates: recognising image bytes by their content and decoding them into a
// Bitmap. Picture views load their images through here (from a binary field's bytes or from a
// file), and draw the bitmap through the canvas.
//
// Contract. Every decoder reads only the bytes it is given, through bounds-checked readers, and
// answers any fault of the data (truncation, bad headers, checksums, garbage) with
// EInvalidGraphic; declared sizes past limits::ImageMaxPixels raise ELimitExceeded before any
// pixel memory is taken. Either error means "no picture" to a view; nothing else escapes but
// EOutOfMemory.
//
// Formats. BMP and icons are own code (bmp_decoder, ico_decoder); PNG goes through libpng and JPEG
// through libjpeg, each library wrapped in exactly one file whose error callbacks longjmp only
// into C-style step functions. Metafiles (placeable WMF, EMF) are recognised but not rendered:
// there is no metafile player here, so they load as an empty image of their format, which a view
// shows as an empty picture.
#pragma once

#include "platform/images/bitmap.h"

#include <cstddef>
#include <string_view>

namespace vl {

enum class PictureFormat
{
    Unknown,
    Bitmap,
    Jpeg,
    Png,
    Metafile,         // placeable Windows metafile
    EnhancedMetafile, // EMF
    Icon,
};

struct PictureKind
{
    PictureFormat Format = PictureFormat::Unknown;
    size_t Offset = 0; // where the image starts: 8 after a container header, else 0
};

// Recognises `bytes` (a stream's bytes from the reading position to its end). An 8-byte container
// header is skipped when its 16-bit words are 1 and 256 (little-endian) and its 32-bit length
// plus 8 is the size of `bytes`. The image that follows is, in this order of tests and given at
// least the stated bytes: "BM" (14) a bitmap; FF D8 (2) a JPEG; the PNG signature (8) a PNG;
// 9AC6CDD7 little-endian (22) a placeable metafile; " EMF" at offset 40 (100) an enhanced
// metafile; a second 16-bit word below 2 (6) an icon. Anything else, empty data included, is
// Unknown.
PictureKind RecognizePicture(std::string_view bytes);

// The format a file name's extension names, compared without case ("photo.JPG" is Jpeg);
// Unknown for other extensions.
PictureFormat PictureFormatFromFileName(std::string_view fileName);

struct Picture
{
    PictureFormat Format = PictureFormat::Unknown;
    vl::Bitmap Image; // empty for Unknown data and for metafiles (recognised, not rendered)

    bool IsMetafile() const
    {
        return Format == PictureFormat::Metafile || Format == PictureFormat::EnhancedMetafile;
    }
};

// Recognises and decodes picture bytes. Unrecognised data gives Format Unknown and an empty
// image (the caller's "invalid argument"); a metafile gives its format and an empty image.
// Throws EInvalidGraphic or ELimitExceeded for a broken image of a recognised format.
Picture LoadPicture(std::string_view bytes);

// Decodes `bytes` as `format` (a file whose extension chose it); Unknown recognises the content as
// LoadPicture does. Throws as LoadPicture, also when the content is not of `format`.
Picture DecodePicture(std::string_view bytes, PictureFormat format);

} // namespace vl
