#include "model/line_view.h"
#include "model/picture_view.h"
#include "model/shape_view.h"
#include "model/view_fixture.h"
#include "platform/canvas/raster_surface.h"
#include "request/dataset_adapter.h"
#include "template/xml_document.h"

#include <fstream>
#include <iterator>

namespace vl {
namespace {

using test::ViewTree;

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string SampleJpeg()
{
    return ReadFile(std::string(VL_TEST_DATA_DIR) + "/images/gray.jpg");
}

TEST(ViewHooks, TagAndUrlExpandForOneOutputAndComeBack)
{
    ViewTree t;
    t.Report->Values[u"Name"] = u"Ann";
    auto* m = t.Add<TvlxMemoView>(1, 2, 3, 4);
    m->SetTagStr(u"id-[Name]");
    m->SetURL(u"http://x/[IIF(1 > 0, \"]\", \"[\")]/[Name]");
    m->SetText(u"template");
    m->BeforePrint();
    EXPECT_EQ(t.Report->Current, m);
    m->GetData();
    EXPECT_EQ(m->TagStr(), u"id-Ann");
    EXPECT_EQ(m->URL(), u"http://x/?IIF(1 > 0, \"]\", \"[\")/Ann");
    m->SetBounds(9, 9, 9, 9);
    m->SetText(u"expanded");
    m->AfterPrint();
    EXPECT_EQ(m->TagStr(), u"id-[Name]");
    EXPECT_EQ(m->Text(), u"template\r\n");
    EXPECT_DOUBLE_EQ(m->Left(), 1);
    EXPECT_DOUBLE_EQ(m->Height(), 4);
}

TEST(ViewDataBinding, DataSetNameFindsTheAdapterByUserName)
{
    ViewTree t;
    auto orders = std::make_unique<TvlxUserDataSet>();
    orders->SetUserName(u"Orders");
    auto errors = t.LoadViews(R"(<TvlxMemoView Name="Bound" DataSetName="orders"
        DataField="Amount"/><TvlxMemoView Name="Unbound" DataSetName="Nowhere"
        DataField="Amount"/><TvlxPictureView Name="Photo" DataSetName="Orders"/>)");
    EXPECT_TRUE(errors.empty());
    auto* bound = t.Find<TvlxMemoView>(u"Bound");
    EXPECT_EQ(bound->DataSet(), orders.get());
    EXPECT_TRUE(bound->IsDataField());
    EXPECT_FALSE(t.Find<TvlxMemoView>(u"Unbound")->IsDataField());
    auto* photo = t.Find<TvlxPictureView>(u"Photo");
    EXPECT_EQ(photo->DataSet(), orders.get());
    EXPECT_FALSE(photo->IsDataField()); // no field
    // The reference empties itself when the adapter goes.
    orders.reset();
    EXPECT_EQ(bound->DataSet(), nullptr);
    EXPECT_FALSE(bound->IsDataField());
}

TEST(ViewStyles, ItemsApplyByNameAndMissingNamesAreCleared)
{
    ViewTree t;
    TvlxStyleItem& heading = t.Report->StyleList.Add();
    heading.SetName(u"Heading");
    heading.SetColor(clRed);
    heading.MutableFont().SetSize(16);
    heading.MutableFrame().SetTyp({TvlxFrameType::ftBottom});
    EXPECT_EQ(t.Report->StyleList.CreateUniqueName(), u"Style1");
    try {
        t.Report->StyleList.Add().SetName(u"HEADING");
        ADD_FAILURE() << "a duplicate name was taken";
    } catch (const Exception& e) {
        EXPECT_EQ(ToUtf8(e.Message()), "clDupName");
    }

    auto* m = t.Add<TvlxMemoView>(0, 0, 10, 10);
    m->SetStyle(u"heading");
    EXPECT_EQ(m->Color(), clRed);
    EXPECT_EQ(m->Font().Size(), 16);
    EXPECT_FALSE(m->ParentFont());
    EXPECT_EQ(m->Frame().Typ(), TvlxFrameTypes{TvlxFrameType::ftBottom});

    auto* lost = t.Add<TvlxMemoView>(0, 0, 10, 10);
    lost->SetStyle(u"Nowhere");
    EXPECT_EQ(lost->Color(), clNone); // nothing copied
    heading.SetColor(0x00FF00);
    t.Report->StyleList.Apply(*t.Report);
    EXPECT_EQ(m->Color(), 0x00FF00);
    EXPECT_EQ(lost->Style(), u"");
}

TEST(ViewStyles, XMLFormRoundTrips)
{
    TvlxStyles styles;
    styles.SetName(u"House");
    TvlxStyleItem& a = styles.Add();
    a.SetName(u"Style1");
    a.SetColor(255);
    a.MutableFont().SetName(u"Courier New");
    TvlxStyleItem& b = styles.Add();
    b.SetName(u"Style2");
    b.MutableFrame().SetWidth(2);

    TvlxXMLItem item;
    styles.SaveToXMLItem(item);
    EXPECT_EQ(item.Name(), u"style");
    EXPECT_EQ(item.Attribute(u"Name"), u"House");
    ASSERT_EQ(item.Count(), 2);
    EXPECT_EQ(item[0].Name(), u"item");

    TvlxStyles loaded;
    loaded.LoadFromXMLItem(item);
    EXPECT_EQ(loaded.Name(), u"House");
    ASSERT_EQ(loaded.Count(), 2u);
    EXPECT_EQ(loaded[0].Color(), 255);
    EXPECT_EQ(loaded[0].Font().Name(), u"Courier New");
    EXPECT_DOUBLE_EQ(loaded.Find(u"style2")->Frame().Width(), 2);
}

TEST(PictureView, RecognisesImagesWithOrWithoutAContainerHeader)
{
    std::string jpeg = SampleJpeg();
    ASSERT_FALSE(jpeg.empty());
    std::string header(8, '\0');
    uint32_t length = uint32_t(jpeg.size());
    header[0] = 1;
    header[3] = 1; // second word 256
    for (int i = 0; i < 4; ++i)
        header[4 + i] = char((length >> (8 * i)) & 0xFF);
    std::string wrongLength = header;
    wrongLength[4] ^= 1;

    struct Case
    {
        const char* What;
        std::string Bytes;
        bool Loads;
    };
    const Case cases[] = {
        {"plain JPEG", jpeg, true},
        {"after a matching header", header + jpeg, true},
        {"header with a wrong length", wrongLength + jpeg, false},
        {"empty", "", false},
        {"garbage", "not an image at all", false},
        {"truncated JPEG", jpeg.substr(0, 40), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TvlxPictureView p;
        MemoryStream stream(c.Bytes);
        EXPECT_EQ(p.LoadPictureFromStream(stream, true), c.Loads);
        EXPECT_EQ(p.HasImage(), c.Loads);
        EXPECT_EQ(p.Image().Image.Empty(), !c.Loads);
        if (c.Loads) {
            EXPECT_EQ(p.ImageBytes(), jpeg);
        }
    }
}

TEST(PictureView, ReadsFromTheCurrentPositionUnlessReset)
{
    std::string bytes = "xxxx" + SampleJpeg();
    TvlxPictureView p;
    MemoryStream stream(bytes);
    stream.SetPosition(4);
    EXPECT_TRUE(p.LoadPictureFromStream(stream, false));
    stream.SetPosition(4);
    EXPECT_FALSE(p.LoadPictureFromStream(stream, true));
}

TEST(PictureView, FileLinkLoadsAtPrintTimeAndAMissingFileGivesNoPicture)
{
    ViewTree t;
    t.Report->Values[u"File"] = u"gray";
    auto* p = t.Add<TvlxPictureView>(0, 0, 50, 50);
    p->SetAutoSize(true);
    p->SetFileLink(String(FromUtf8(VL_TEST_DATA_DIR)) + u"/images/[File].jpg");
    p->BeforePrint();
    p->GetData();
    EXPECT_EQ(p->Image().Format, PictureFormat::Jpeg);
    EXPECT_FALSE(p->Image().Image.Empty());
    EXPECT_EQ(p->Width(), p->Image().Image.Width()); // AutoSize
    EXPECT_EQ(p->FileLink(), String(FromUtf8(VL_TEST_DATA_DIR)) + u"/images/[File].jpg");
    p->AfterPrint();

    p->SetFileLink(u"/nonexistent/picture.png");
    p->GetData();
    EXPECT_FALSE(p->HasImage());
}

TEST(PictureView, TemplatesCarryTheImageInPropertyData)
{
    ViewTree t;
    auto* p = t.Add<TvlxPictureView>(0, 0, 50, 50);
    ASSERT_TRUE(p->LoadPictureFromBytes(SampleJpeg()));
    p->SetName(u"Picture1");
    TvlxXMLSerializer writer;
    String attributes = writer.ObjToXML(*p);
    ASSERT_NE(attributes.find(u" PropData=\""), String::npos);

    auto* copy = t.Add<TvlxPictureView>(0, 0, 1, 1);
    TvlxXMLSerializer reader;
    reader.XMLToObj(attributes, *copy);
    EXPECT_EQ(copy->Image().Format, PictureFormat::Jpeg);
    EXPECT_EQ(copy->ImageBytes(), p->ImageBytes());
}

TEST(ViewDrawing, FillFrameAndShadowLandOnTheirPixels)
{
    ViewTree t;
    t.Band->SetTop(0);
    auto* view = t.Add<TvlxMemoView>(10, 10, 40, 20);
    view->SetColor(clRed);
    view->MutableFrame().SetTyp({TvlxFrameType::ftLeft, TvlxFrameType::ftTop});
    view->MutableFrame().SetColor(0xFF0000); // blue
    view->MutableFrame().SetWidth(2);
    view->MutableFrame().SetDropShadow(true);
    view->MutableFrame().SetShadowColor(0x00FF00);
    RasterSurface canvas(120, 80);
    view->Draw(canvas, 2, 2, 0, 0);
    // Scale 2: the view covers 20..100 x 20..60, less the 8-pixel shadow on the right and
    // bottom.
    EXPECT_EQ(canvas.PixelColor(50, 40), uint32_t(clRed));
    EXPECT_EQ(canvas.PixelColor(20, 40), 0xFF0000u); // left edge, 4 pixels wide
    EXPECT_EQ(canvas.PixelColor(50, 21), 0xFF0000u); // top edge
    EXPECT_EQ(canvas.PixelColor(96, 40), 0x00FF00u); // shadow on the right
    EXPECT_EQ(canvas.PixelColor(50, 56), 0x00FF00u); // shadow below
    EXPECT_EQ(canvas.PixelColor(110, 40), uint32_t(clWhite));
}

TEST(ViewDrawing, ShapesFillAndOutlineTheirGeometry)
{
    ViewTree t;
    t.Band->SetTop(0);
    auto* shape = t.Add<TvlxShapeView>(0, 0, 60, 40);
    shape->SetShape(TvlxShapeKind::skEllipse);
    shape->SetColor(clRed);
    RasterSurface canvas(60, 40);
    shape->Draw(canvas, 1, 1, 0, 0);
    EXPECT_EQ(canvas.PixelColor(30, 20), uint32_t(clRed)); // centre
    EXPECT_EQ(canvas.PixelColor(2, 2), uint32_t(clWhite)); // outside the ellipse
    // The black outline crosses the top edge (smoothed into the fill there).
    EXPECT_NE(canvas.PixelColor(30, 0), uint32_t(clWhite));
    EXPECT_NE(canvas.PixelColor(30, 0), uint32_t(clRed));
}

TEST(ViewDrawing, TextViewDrawsFillTextAndFrame)
{
    ViewTree t;
    t.Band->SetTop(0);
    auto* m = t.Add<TvlxMemoView>(0, 0, 100, 30);
    m->SetText(u"WWWW");
    m->SetColor(0xC0C0C0);
    m->MutableFrame().SetTyp({TvlxFrameType::ftLeft});
    RasterSurface canvas(100, 30);
    m->Draw(canvas, 1, 1, 0, 0);
    EXPECT_EQ(canvas.PixelColor(0, 15), 0u);         // left edge
    EXPECT_EQ(canvas.PixelColor(90, 25), 0xC0C0C0u); // fill
    bool inked = false;                              // some glyph pixel is dark
    for (int x = 3; x < 40 && !inked; ++x)
        for (int y = 2; y < 15 && !inked; ++y)
            inked = canvas.PixelColor(x, y) < 0x404040;
    EXPECT_TRUE(inked);
}

TEST(ViewDrawing, LinesWithoutColourOrWidthDrawNothing)
{
    ViewTree t;
    t.Band->SetTop(0);
    auto* line = t.Add<TvlxLineView>(0, 10, 50, 0);
    RasterSurface canvas(60, 20);
    line->MutableFrame().SetColor(clNone);
    line->Draw(canvas, 1, 1, 0, 0);
    EXPECT_EQ(canvas.PixelColor(25, 10), uint32_t(clWhite));
    line->MutableFrame().SetColor(clBlack);
    line->Draw(canvas, 1, 1, 0, 0);
    EXPECT_EQ(canvas.PixelColor(25, 10), 0u);
}

} // namespace
} // namespace vl
