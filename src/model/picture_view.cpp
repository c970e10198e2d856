// Picture views: loading, drawing, property data and differences.
#include "model/picture_view.h"

#include "base/exception.h"
#include "base/limits.h"
#include "model/bracket_scan.h"
#include "model/diff_writer.h"
#include "platform/canvas/raster_surface.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"
#include "template/prop_data.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

int Round(double v)
{
    return static_cast<int>(std::nearbyint(v));
}

// The class name a picture's property data carries for each format.
std::string_view GraphicClassName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bitmap:
        return "TBitmap";
    case PictureFormat::Jpeg:
        return "TJPEGImage";
    case PictureFormat::Png:
        return "TPngImage";
    case PictureFormat::Metafile:
    case PictureFormat::EnhancedMetafile:
        return "TMetafile";
    case PictureFormat::Icon:
        return "TIcon";
    case PictureFormat::Unknown:
        break;
    }
    return {};
}

} // namespace

const ClassInfo& TvlxPictureView::StaticClass()
{
    using P = TvlxPictureView;
    static const ClassInfo info =
        DescribeClass<P, TvlxView>(u"TvlxPictureView")
            .Prop<&P::AutoSize, &P::SetAutoSize>(u"AutoSize", false)
            .Prop<&P::Center, &P::SetCenter>(u"Center", false)
            .Prop<&P::Color, &P::SetColor>(u"Color", clWhite)
            .Prop<&P::Cursor, &P::SetCursor>(u"Cursor", 0)
            .Prop<&P::DataField, &P::SetDataField>(u"DataField")
            .Prop<&P::DataSet, &P::SetDataSet>(u"DataSet")
            .Prop<&P::DataSetName, &P::SetDataSetName>(u"DataSetName")
            .Prop<&P::FileLink, &P::SetFileLink>(u"FileLink")
            .Prop<&P::Frame, &P::SetFrame>(u"Frame")
            .Prop<&P::HightQuality, &P::SetHightQuality>(u"HightQuality", false)
            .Prop<&P::ImageIndex, &P::SetImageIndex>(u"ImageIndex")
            .NotStored()
            .Prop<&P::KeepAspectRatio, &P::SetKeepAspectRatio>(u"KeepAspectRatio", true)
            .Prop<&P::Stretched, &P::SetStretched>(u"Stretched", true)
            .Prop<&P::TagStr, &P::SetTagStr>(u"TagStr")
            .Prop<&P::Transparent, &P::SetTransparent>(u"Transparent", false)
            .Prop<&P::TransparentColor, &P::SetTransparentColor>(u"TransparentColor", clWhite)
            .Prop<&P::URL, &P::SetURL>(u"URL")
            .Build();
    return info;
}

TvlxPictureView::TvlxPictureView()
{
    TvlxComponentStyles style = vlComponentStyle();
    style.Exclude(TvlxComponentStyle::csDefaultDiff);
    SetComponentStyle(style);
    SetColor(clWhite);
}

void TvlxPictureView::SetTransparent(bool v)
{
    FTransparent = v;
    SetColor(v ? clNone : clWhite);
}

// ---- Loading

void TvlxPictureView::ClearImage()
{
    FPicture = Picture();
    FImageBytes.clear();
    ImageChanged();
}

void TvlxPictureView::ImageChanged()
{
    FPictureChanged = true;
    if (FAutoSize && !FPicture.Image.Empty()) {
        SetWidth(FPicture.Image.Width());
        SetHeight(FPicture.Image.Height());
    }
}

bool TvlxPictureView::LoadPictureFromBytes(std::string_view bytes)
{
    PictureKind kind = RecognizePicture(bytes);
    if (kind.Format == PictureFormat::Unknown) {
        ClearImage();
        return false;
    }
    std::string_view image = bytes.substr(kind.Offset);
    try {
        FPicture = DecodePicture(image, kind.Format);
    } catch (const Exception&) {
        // A broken image of a known format shows as no picture, like unrecognised data.
        ClearImage();
        return false;
    }
    FImageBytes.assign(image);
    ImageChanged();
    return true;
}

bool TvlxPictureView::LoadPictureFromStream(Stream& stream, bool resetStreamPos)
{
    if (resetStreamPos) stream.Seek(0, SeekOrigin::Begin);
    ByteBuffer bytes = stream.ReadAll(limits::PictureMaxBytes);
    return LoadPictureFromBytes(bytes.View());
}

void TvlxPictureView::LoadPictureFromFile(const std::string& fileName)
{
    ByteBuffer bytes;
    try {
        FileStream file(fileName, FileStream::Mode::OpenRead);
        bytes = file.ReadAll(limits::PictureMaxBytes);
    } catch (const EStreamError&) {
        // An absent or unreadable file gives an empty picture, without error.
        ClearImage();
        return;
    }
    PictureFormat format = PictureFormatFromFileName(fileName);
    try {
        FPicture = DecodePicture(bytes.View(), format);
        PictureKind kind = RecognizePicture(bytes.View());
        FImageBytes.assign(bytes.View().substr(kind.Offset));
    } catch (const Exception&) {
        ClearImage();
        return;
    }
    ImageChanged();
}

// ---- Engine hooks

void TvlxPictureView::GetData()
{
    TvlxView::GetData();
    if (FFileLink.empty()) {
        TvlxViewHost* host = Host();
        std::string bytes;
        if (!IsDataField() || host == nullptr) return;
        // Each record shows its own image; an empty field shows none.
        if (host->ReadBlobField(*this, bytes))
            LoadPictureFromBytes(bytes);
        else
            ClearImage();
        return;
    }
    String name = FFileLink;
    if (TvlxViewHost* host = Host(); host != nullptr && name.find(u'[') != String::npos) {
        String expanded;
        size_t at = 0;
        BracketSpan span;
        while (FindBracketed(name, at, u"[", u"]", span)) {
            expanded.append(name, at, span.Start - at);
            expanded += host->CalcExpression(span.Expression).ToText();
            at = span.End;
        }
        expanded.append(name, at, String::npos);
        name = std::move(expanded);
    }
    LoadPictureFromFile(ToUtf8(name));
}

// ---- Drawing

void TvlxPictureView::Draw(
    RasterSurface& canvas, double scaleX, double scaleY, double offsetX, double offsetY)
{
    CalcDrawRect(scaleX, scaleY, offsetX, offsetY);
    DrawBackground(canvas);
    const Bitmap& image = FPicture.Image;
    if (!image.Empty()) {
        const IntRect& r = FDrawRect;
        double w = image.Width() * scaleX, h = image.Height() * scaleY;
        if (FStretched) {
            w = r.Width();
            h = r.Height();
            if (FKeepAspectRatio) {
                double k = std::min(w / image.Width(), h / image.Height());
                w = image.Width() * k;
                h = image.Height() * k;
            }
        }
        double x = r.Left, y = r.Top;
        if (FCenter) {
            x += (r.Width() - w) / 2;
            y += (r.Height() - h) / 2;
        }
        IntRect dest{Round(x), Round(y), Round(x + w), Round(y + h)};
        canvas.DrawBitmap(image, dest, FHightQuality, r);
    }
    DrawFrame(canvas);
}

// ---- Differences

String TvlxPictureView::Diff(TvlxComponent& other)
{
    if (FPictureChanged) {
        if (TvlxViewHost* host = Host()) FImageIndex = host->StorePicture(*this);
        FPictureChanged = false;
    }
    String out = TvlxView::Diff(other);
    DiffWriter d;
    d.WriteInt(u"ImageIndex", FImageIndex);
    if (FTransparent) d.WriteInt(u"Transparent", 1);
    if (FTransparentColor != clWhite) d.WriteInt(u"TransparentColor", FTransparentColor);
    out += d.Out();
    return out;
}

// ---- Property data

bool TvlxPictureView::ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer&)
{
    if (name != u"Picture.Data") return false;
    std::string data = reader.ReadBinary();
    std::string_view bytes = data;
    // A short class name leads the data; the image is recognised by its own signature.
    if (!bytes.empty() && size_t(uint8_t(bytes[0])) < bytes.size())
        bytes.remove_prefix(1 + size_t(uint8_t(bytes[0])));
    // Bitmaps carry their size in front of the file bytes.
    if (bytes.size() >= 4) {
        uint32_t size = uint32_t(uint8_t(bytes[0])) | uint32_t(uint8_t(bytes[1])) << 8 |
                        uint32_t(uint8_t(bytes[2])) << 16 | uint32_t(uint8_t(bytes[3])) << 24;
        if (size == bytes.size() - 4) bytes.remove_prefix(4);
    }
    LoadPictureFromBytes(bytes);
    return true;
}

void TvlxPictureView::WriteCustomProps(PropDataWriter& writer) const
{
    if (!HasImage() || FImageBytes.empty()) return;
    std::string_view className = GraphicClassName(FPicture.Format);
    std::string data;
    data += char(className.size());
    data += className;
    if (FPicture.Format == PictureFormat::Bitmap) {
        uint32_t size = uint32_t(FImageBytes.size());
        for (int shift = 0; shift < 32; shift += 8)
            data += char((size >> shift) & 0xFF);
    }
    data += FImageBytes;
    writer.WriteName(u"Picture.Data");
    writer.WriteBinary(data);
}

} // namespace vl
