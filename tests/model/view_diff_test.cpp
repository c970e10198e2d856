#include "model/picture_view.h"
#include "model/shape_view.h"
#include "model/view_fixture.h"

namespace vl {
namespace {

using test::ViewTree;

TEST(ViewDiff, TextIsAlwaysWrittenAndOtherAttributesOnlyWhenTheyDiffer)
{
    struct Case
    {
        const char* What;
        void (*Change)(TvlxMemoView&);
        const char* Expected;
    };
    const Case cases[] = {
        {"no lines", [](TvlxMemoView&) {}, R"( u="")"},
        {"one line", [](TvlxMemoView& m) { m.SetText(u"abc"); }, R"( u="abc")"},
        {"lines joined without the last break",
         [](TvlxMemoView& m) { m.SetText(u"a\r\nb\"<\r\n"); },
         R"( u="a&#13;&#10;b&#34;&#60;")"},
        {"geometry and font",
         [](TvlxMemoView& m) {
             m.SetBounds(11.5, 20, 100, 40.00001);
             TvlxFont f = m.Font();
             f.SetStyle({TFontStyle::fsBold, TFontStyle::fsUnderline});
             m.SetFont(f);
         },
         R"( l="11.5" Font.Style="5" ParentFont="0" u="")"},
        {"fill, frame and texts",
         [](TvlxMemoView& m) {
             m.SetBrushStyle(TBrushStyle::bsCross);
             m.SetColor(clRed);
             m.MutableFrame().SetTyp({TvlxFrameType::ftLeft, TvlxFrameType::ftBottom});
             m.SetTagStr(u"tag");
             m.SetPrintable(false);
         },
         R"( BrushStyle="6" Color="255" Frame.Typ="9" Printable="0" TagStr="tag" u="")"},
        {"text view attributes",
         [](TvlxMemoView& m) {
             m.SetGapX(4);
             m.SetHAlign(THAlign::haBlock);
             m.MutableHighlight().SetActive(true);
             m.SetRotation(90);
             m.SetWordWrap(false);
             m.MutableDisplayFormat().SetKind(TvlxFormatKind::fkDateTime);
             m.MutableDisplayFormat().SetFormatStr(u"dd.mm.yyyy");
         },
         R"( GapX="4" HAlign="3" Highlight.Active="1" u="" Rotation="90" WordWrap="0")"
         R"( DisplayFormat.Kind="2" DisplayFormat.FormatStr="dd.mm.yyyy")"},
        {"auto width leaves the width out",
         [](TvlxMemoView& m) {
             m.SetAutoWidth(true);
             m.SetWidth(333);
         },
         R"( AutoWidth="1" u="")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ViewTree t;
        auto* source = t.Add<TvlxMemoView>(10, 20, 100, 40);
        auto* placed = t.Add<TvlxMemoView>(10, 20, 100, 40);
        c.Change(*placed);
        EXPECT_EQ(ToUtf8(placed->Diff(*source)), c.Expected);
    }
}

TEST(ViewDiff, FrameLinesCompareWithTheFrameWhenTheFrameChanged)
{
    ViewTree t;
    auto* source = t.Add<TvlxMemoView>(0, 0, 10, 10);
    auto* placed = t.Add<TvlxMemoView>(0, 0, 10, 10);
    // Frame colour changed: lines that kept the frame's colour need nothing of their own, a
    // line set apart is written.
    placed->MutableFrame().SetColor(clRed);
    placed->MutableFrame().MutableLine(TvlxFrameType::ftTop).SetColor(clWhite);
    EXPECT_EQ(ToUtf8(placed->Diff(*source)),
              R"( Frame.Color="255" Frame.TopLine.Color="16777215" u="")");

    // Frame unchanged: a line is compared with the other view's line.
    auto* other = t.Add<TvlxMemoView>(0, 0, 10, 10);
    other->MutableFrame().MutableLine(TvlxFrameType::ftBottom).SetWidth(3);
    EXPECT_EQ(ToUtf8(other->Diff(*source)), R"( Frame.BottomLine.Width="3" u="")");
}

TEST(ViewDiff, ParagraphBreakFlagsMoveOnToTheNextPart)
{
    ViewTree t;
    auto* source = t.Add<TvlxMemoView>(0, 0, 10, 10);
    auto* placed = t.Add<TvlxMemoView>(0, 0, 10, 10);
    placed->SetLastParaBreak(true);
    EXPECT_EQ(ToUtf8(placed->Diff(*source)), R"( u="" LastParaBreak="1")");
    EXPECT_TRUE(placed->FirstParaBreak());
    EXPECT_FALSE(placed->LastParaBreak());
    EXPECT_EQ(ToUtf8(placed->Diff(*source)), R"( u="" FirstParaBreak="1")");
    EXPECT_FALSE(placed->FirstParaBreak());
}

TEST(ViewDiff, BandsAlwaysWriteTheirTop)
{
    ViewTree t;
    auto* other = TvlxComponent::Create<test::TestBand>(t.Page);
    other->SetBounds(0, 100, 600, 200);
    EXPECT_EQ(ToUtf8(t.Band->Diff(*other)), R"( t="100")");
}

TEST(ViewDiff, ShapesAndPicturesAddTheirOwn)
{
    ViewTree t;
    auto* shape = t.Add<TvlxShapeView>(0, 0, 10, 10);
    auto* shape2 = t.Add<TvlxShapeView>(0, 0, 10, 10);
    shape2->SetShape(TvlxShapeKind::skEllipse);
    EXPECT_EQ(ToUtf8(shape2->Diff(*shape)), R"( Shape="2")");

    auto* picture = t.Add<TvlxPictureView>(0, 0, 10, 10);
    auto* picture2 = t.Add<TvlxPictureView>(0, 0, 10, 10);
    EXPECT_EQ(ToUtf8(picture2->Diff(*picture)), R"( ImageIndex="-1")");
    picture2->SetTransparent(true);
    picture2->SetTransparentColor(0);
    EXPECT_EQ(ToUtf8(picture2->Diff(*picture)),
              R"( Color="536870911" ImageIndex="-1" Transparent="1" TransparentColor="0")");
}

TEST(ViewDiff, DiffTextReadsBackThroughTheTemplateReader)
{
    ViewTree t;
    auto* source = t.Add<TvlxMemoView>(10, 20, 100, 40);
    auto* placed = t.Add<TvlxMemoView>(12.25, 20, 100, 55);
    placed->SetText(u"x \"y\"\r\nz");
    placed->MutableFrame().SetTyp({TvlxFrameType::ftTop});
    placed->MutableFrame().SetWidth(2.5);
    placed->SetVAlign(TVAlign::vaCenter);
    String diff = placed->Diff(*source);

    auto* rebuilt = t.Add<TvlxMemoView>(10, 20, 100, 40);
    TvlxXMLSerializer reader;
    reader.XMLToObj(diff, *rebuilt);
    EXPECT_TRUE(reader.Errors().empty());
    EXPECT_DOUBLE_EQ(rebuilt->Left(), 12.25);
    EXPECT_DOUBLE_EQ(rebuilt->Height(), 55);
    EXPECT_EQ(rebuilt->Text(), u"x \"y\"\r\nz\r\n");
    EXPECT_TRUE(rebuilt->Frame() == placed->Frame());
    EXPECT_EQ(rebuilt->VAlign(), TVAlign::vaCenter);
}

TEST(ViewDiff, AllDiffIsTheFullDescriptionPlusTheDifference)
{
    ViewTree t;
    auto* source = t.Add<TvlxShapeView>(0, 0, 10, 10);
    auto* placed = t.Add<TvlxShapeView>(0, 5, 10, 10);
    EXPECT_EQ(ToUtf8(placed->AllDiff(nullptr)), R"( Left="0" Top="5" Width="10" Height="10")");
    EXPECT_EQ(ToUtf8(placed->AllDiff(source)),
              R"( Left="0" Top="5" Width="10" Height="10"  t="5")");
}

} // namespace
} // namespace vl
