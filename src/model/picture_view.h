// Picture views: an image (bitmap, JPEG, PNG, metafile or icon) from the template, from a file
// named by FileLink, or from a binary data field, drawn scaled into the view. The view keeps the
// decoded image for drawing and its bytes for the prepared-page image store.
#pragma once

#include "base/stream.h"
#include "model/view.h"
#include "platform/images/picture.h"
#include "template/xml_serializer.h"

#include <string>
#include <string_view>

namespace vl {

class TvlxPictureView : public TvlxView, public CustomPropData
{
public:
    TvlxPictureView();

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // ---- The image
    const Picture& Image() const { return FPicture; }
    // The bytes the image was read from (from the format's signature on); empty without one.
    const std::string& ImageBytes() const { return FImageBytes; }
    bool HasImage() const { return FPicture.Format != PictureFormat::Unknown; }
    void ClearImage();
    // Recognises and decodes picture bytes (an 8-byte container header is skipped). False, with
    // the picture emptied, for data of no known format; a broken image of a known format also
    // empties the picture and gives false.
    bool LoadPictureFromBytes(std::string_view bytes);
    // The same from `stream`, from its start when `resetStreamPos`, else from its position.
    bool LoadPictureFromStream(Stream& stream, bool resetStreamPos);
    // Loads the file `fileName`, its format chosen by the extension; an absent or unreadable
    // file gives an empty picture.
    void LoadPictureFromFile(const std::string& fileName);

    // ---- Properties
    bool Stretched() const { return FStretched; }
    void SetStretched(bool v) { FStretched = v; }
    bool KeepAspectRatio() const { return FKeepAspectRatio; }
    void SetKeepAspectRatio(bool v) { FKeepAspectRatio = v; }
    bool Center() const { return FCenter; }
    void SetCenter(bool v) { FCenter = v; }
    // The view takes the image's size whenever the image changes.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    const String& FileLink() const { return FFileLink; }
    void SetFileLink(const String& v) { FFileLink = v; }
    bool Transparent() const { return FTransparent; }
    // True sets Color to clNone, False to white.
    void SetTransparent(bool v);
    TColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(TColor v) { FTransparentColor = v; }
    bool HightQuality() const { return FHightQuality; }
    void SetHightQuality(bool v) { FHightQuality = v; }
    int32_t ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int32_t v) { FImageIndex = v; }
    // True once the image changed since the prepared-page store last took it.
    bool FPictureChanged = false;

    // ---- Engine hooks
    // The view part, then the image: from FileLink (brackets expanded) when set, otherwise from
    // the bound binary field (through the host).
    void GetData() override;

    void Draw(RasterSurface& canvas,
              double scaleX,
              double scaleY,
              double offsetX,
              double offsetY) override;
    String Diff(TvlxComponent& other) override;

    // Property data: "Picture.Data", a class name (one length byte and the name) followed by
    // the image bytes.
    bool
    ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer& serializer) override;
    void WriteCustomProps(PropDataWriter& writer) const override;

private:
    void ImageChanged();

    Picture FPicture;
    std::string FImageBytes;
    bool FStretched = true;
    bool FKeepAspectRatio = true;
    bool FCenter = false;
    bool FAutoSize = false;
    String FFileLink;
    bool FTransparent = false;
    TColor FTransparentColor = clWhite;
    bool FHightQuality = false;
    int32_t FImageIndex = -1;
};

} // namespace vl
