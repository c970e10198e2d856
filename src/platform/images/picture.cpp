// Recognition of picture bytes by content and the choice of decoder.
#include "platform/images/picture.h"

#include "base/byte_io.h"
#include "platform/images/bmp_decoder.h"
#include "platform/images/ico_decoder.h"
#include "platform/images/jpeg_codec.h"
#include "platform/images/little_endian_internal.h"
#include "platform/images/png_decoder.h"

#include <array>

namespace vl {
namespace {

constexpr size_t ContainerHeaderBytes = 8;
constexpr uint32_t PlaceableMetafileKey = 0x9AC6CDD7;

PictureFormat RecognizeImage(std::string_view image)
{
    const ByteReader r(image);
    const size_t n = image.size();
    if (n >= 14 && image.starts_with("BM")) return PictureFormat::Bitmap;
    if (n >= 2 && image.starts_with("\xFF\xD8")) return PictureFormat::Jpeg;
    if (n >= 8 && image.starts_with(PngSignature)) return PictureFormat::Png;
    if (n >= 22 && le::U32At(r, 0) == PlaceableMetafileKey) return PictureFormat::Metafile;
    if (n >= 100 && image.substr(40, 4) == " EMF") return PictureFormat::EnhancedMetafile;
    if (n >= 6 && le::U16At(r, 2) < 2) return PictureFormat::Icon;
    return PictureFormat::Unknown;
}

struct ExtensionFormat
{
    std::string_view Extension; // lower case, without the dot
    PictureFormat Format;
};

constexpr std::array<ExtensionFormat, 10> ExtensionFormats{{
    {"bmp", PictureFormat::Bitmap},
    {"dib", PictureFormat::Bitmap},
    {"jpg", PictureFormat::Jpeg},
    {"jpeg", PictureFormat::Jpeg},
    {"jpe", PictureFormat::Jpeg},
    {"jfif", PictureFormat::Jpeg},
    {"png", PictureFormat::Png},
    {"wmf", PictureFormat::Metafile},
    {"emf", PictureFormat::EnhancedMetafile},
    {"ico", PictureFormat::Icon},
}};

bool SameAsciiText(std::string_view a, std::string_view lower)
{
    if (a.size() != lower.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

} // namespace

PictureKind RecognizePicture(std::string_view bytes)
{
    size_t offset = 0;
    if (bytes.size() >= ContainerHeaderBytes) {
        const ByteReader r(bytes);
        if (le::U16At(r, 0) == 1 && le::U16At(r, 2) == 256 &&
            uint64_t(le::U32At(r, 4)) + ContainerHeaderBytes == bytes.size()) {
            offset = ContainerHeaderBytes;
        }
    }
    return {RecognizeImage(bytes.substr(offset)), offset};
}

PictureFormat PictureFormatFromFileName(std::string_view fileName)
{
    const size_t dot = fileName.find_last_of("./");
    if (dot == std::string_view::npos || fileName[dot] != '.') return PictureFormat::Unknown;
    const std::string_view extension = fileName.substr(dot + 1);
    for (const ExtensionFormat& e : ExtensionFormats)
        if (SameAsciiText(extension, e.Extension)) return e.Format;
    return PictureFormat::Unknown;
}

Picture LoadPicture(std::string_view bytes)
{
    const PictureKind kind = RecognizePicture(bytes);
    if (kind.Format == PictureFormat::Unknown) return {};
    return DecodePicture(bytes.substr(kind.Offset), kind.Format);
}

Picture DecodePicture(std::string_view bytes, PictureFormat format)
{
    switch (format) {
    case PictureFormat::Unknown:
        return LoadPicture(bytes);
    case PictureFormat::Bitmap:
        return {format, DecodeBmp(bytes)};
    case PictureFormat::Jpeg:
        return {format, DecodeJpeg(bytes)};
    case PictureFormat::Png:
        return {format, DecodePng(bytes)};
    case PictureFormat::Metafile:
    case PictureFormat::EnhancedMetafile:
        return {format, {}};
    case PictureFormat::Icon:
        return {format, DecodeIco(bytes)};
    }
    return {};
}

} // namespace vl
