// Bands with text views stored as differences and rebuilt, and the page background of an export.
#include "base/string.h"
#include "layout/preview_pages.h"
#include "model/picture_view.h"
#include "pdf/export_filter.h"
#include "preview_fixture.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(PreviewViews, RowsOfMemosRebuildWithTheirTextsAndPositions)
{
    PreviewFixture f;
    TvlxMemoView* name = f.AddMemo(u"MemoName", 0, 200);
    TvlxMemoView* amount = f.AddMemo(u"MemoAmount", 300, 100);
    f.Store->AddSourcePage(*f.Page);
    EXPECT_EQ(ToUtf8(name->FAliasName), "m1");
    EXPECT_EQ(ToUtf8(amount->FAliasName), "m2");
    f.Store->AddPage(*f.Page);

    struct Row
    {
        double Top;
        const char16_t* Name;
        const char16_t* Amount;
        double Height;
    } rows[] = {
        {40, u"Ana", u"1.50", 20}, {60, u"Ivo <&\"> x", u"", 20}, {80, u"Eva\r\nLine", u"7", 35}};
    for (const Row& r : rows) {
        name->SetText(r.Name);
        amount->SetText(r.Amount);
        name->SetHeight(r.Height);
        f.Data->SetTop(r.Top);
        f.Store->AddObject(*f.Data);
    }
    // The same alias twice, with different texts.
    const TvlxXMLItem& page0 = f.Store->PagesItem()[0];
    EXPECT_EQ(ToUtf8(page0[0][0].Name()), "m1");
    EXPECT_EQ(ToUtf8(page0[1][0].Name()), "m1");
    EXPECT_NE(page0[0][0].Text(), page0[1][0].Text());

    TvlxComponent* page = f.Store->Page(0);
    ASSERT_EQ(page->ObjectCount(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        TvlxComponent& band = *page->Object(i);
        EXPECT_DOUBLE_EQ(band.Top(), rows[i].Top);
        ASSERT_EQ(band.ObjectCount(), 2u);
        auto* n = dynamic_cast<TvlxMemoView*>(band.Object(0));
        auto* a = dynamic_cast<TvlxMemoView*>(band.Object(1));
        ASSERT_TRUE(n != nullptr && a != nullptr);
        EXPECT_EQ(ToUtf8(n->Name()), "MemoName");
        EXPECT_EQ(ToUtf8(n->Text()), ToUtf8(String(rows[i].Name) + u"\r\n"));
        EXPECT_EQ(ToUtf8(a->Text()),
                  ToUtf8(rows[i].Amount[0] ? String(rows[i].Amount) + u"\r\n" : String()));
        EXPECT_DOUBLE_EQ(n->Height(), rows[i].Height);
        EXPECT_DOUBLE_EQ(a->Left(), 300);
        EXPECT_DOUBLE_EQ(a->Width(), 100);
    }
}

TEST(PreviewViews, SourceCopiesOfTextViewsKeepNoDataBinding)
{
    PreviewFixture f;
    TvlxMemoView* memo = f.AddMemo(u"Memo1", 0, 100);
    memo->SetDataField(u"name");
    f.Store->AddSourcePage(*f.Page);
    auto* copy = dynamic_cast<TvlxMemoView*>(f.Store->Dictionary().GetObject(u"m1"));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->DataField().empty());
    EXPECT_EQ(ToUtf8(memo->DataField()), "name");
}

class BackgroundFilter : public TvlxCustomExportFilter
{
public:
    BackgroundFilter()
        : TvlxCustomExportFilter(NoRegister{})
    {
        SetShowDialog(false);
    }
    void ExportObject(TvlxComponent* obj) override
    {
        if (First.empty()) {
            First = obj->Name();
            Bounds = obj->Bounds();
            Color = dynamic_cast<TvlxView*>(obj) ? dynamic_cast<TvlxView*>(obj)->Color() : 0;
        }
    }
    void StartPage(TvlxComponent* page, int) override { PageLeft = page->Left(); }

    String First;
    TvlxBounds Bounds;
    TColor Color = 0;
    double PageLeft = 0;
};

TEST(PreviewViews, EveryPageBeginsWithItsBackgroundInsideTheMargins)
{
    PreviewFixture f;
    f.Page->SetLeftMargin(10);
    f.Page->SetRightMargin(20);
    f.Page->SetTopMargin(5);
    f.Page->SetBottomMargin(5);
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page); // no objects, no colour
    BackgroundFilter filter;
    EXPECT_TRUE(f.Store->Export(filter));
    EXPECT_EQ(ToUtf8(filter.First), "_pagebackground");
    EXPECT_NEAR(filter.Bounds.Left, 37.7953, 1e-9);
    EXPECT_NEAR(filter.Bounds.Top, 18.89765, 1e-9);
    EXPECT_NEAR(filter.Bounds.Width, f.Page->Width() - 30 * 3.77953, 1e-9);
    EXPECT_NEAR(filter.Bounds.Height, f.Page->Height() - 10 * 3.77953, 1e-9);
    EXPECT_EQ(filter.Color, clNone);
}

TEST(PreviewViews, PicturesComeBackFromThePictureCache)
{
    PreviewFixture f;
    auto* picture = TvlxComponent::Create<TvlxPictureView>(f.Data);
    picture->SetName(u"Picture1");
    // A 1 x 1 BMP.
    const std::string bmp("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0"
                          "\0\0\0\0\x04\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xff\0\0\0",
                          58);
    ASSERT_TRUE(picture->LoadPictureFromBytes(bmp));
    f.Store->AddSourcePage(*f.Page);
    auto* copy = dynamic_cast<TvlxPictureView*>(f.Store->Dictionary().GetObject(u"p1"));
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->HasImage());
    f.Store->AddPage(*f.Page);
    EXPECT_EQ(f.Store->AddPicture(*picture), 0);
    f.Store->AddObject(*f.Data);
    auto* rebuilt = dynamic_cast<TvlxPictureView*>(f.Store->Page(0)->Object(0)->Object(0));
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_TRUE(rebuilt->HasImage());
}

} // namespace
} // namespace vl
