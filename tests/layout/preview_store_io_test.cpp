// Saving and loading the prepared-page store, and stored XML that does not fit the store.
#include "base/stream.h"
#include "base/string.h"
#include "layout/preview_pages.h"
#include "preview_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

std::vector<double> Tops(TvlxComponent& page)
{
    std::vector<double> tops;
    for (const auto& obj : page.Objects())
        tops.push_back(obj->Top());
    return tops;
}

std::string Header()
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";
}

TEST(PreviewStoreIO, SavedStoreLoadsIntoAnotherReportAndRebuildsTheSamePages)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.Store->AddObject(*f.Header);
    f.StoreRows({40, 60});
    f.Store->AddAnchor(u"Here");
    f.Store->AddPage(*f.Page);
    f.StoreRows({40});
    MemoryStream saved;
    f.Store->SaveToStream(saved);
    // Saving leaves the store as it was.
    EXPECT_EQ(f.Store->XMLDoc().Root().Find(u"sourcepages"), -1);
    EXPECT_EQ(f.Store->XMLDoc().Root().Find(u"dictionary"), -1);

    TvlxReport other;
    TvlxPreviewPages loaded(&other);
    saved.SetPosition(0);
    loaded.LoadFromStream(saved);
    EXPECT_TRUE(other.Errors().Empty()) << ToUtf8(other.Errors().Text());
    ASSERT_EQ(loaded.Count(), 2);
    ASSERT_EQ(loaded.SourcePageCount(), 1u);
    EXPECT_EQ(ToUtf8(loaded.Dictionary().GetSourceName(u"b2")), "Page0.MasterData1");
    EXPECT_EQ(Tops(*loaded.Page(0)), (std::vector<double>{0, 40, 60}));
    EXPECT_EQ(Tops(*loaded.Page(1)), (std::vector<double>{40}));
    EXPECT_EQ(ToUtf8(loaded.Page(0)->Object(1)->Name()), "MasterData1");
    EXPECT_EQ(loaded.GetAnchorPage(u"here"), 1);
    EXPECT_EQ(loaded.XMLDoc().Root().Find(u"sourcepages"), -1);
}

TEST(PreviewStoreIO, StoredXMLThatFitsNothingCostsOnlyItself)
{
    // Each page element below is damaged in one way; the rest of the store still rebuilds.
    struct Case
    {
        const char* Name;
        const char* PageElement;
        std::vector<double> Tops; // of page 0 after the rebuild
        bool Error;
    } cases[] = {
        {"known alias", R"(<page0><b2 t="50"/></page0>)", {50}, false},
        {"unknown class", R"(<page0><TvlxNoSuchBand t="5"/><b2 t="50"/></page0>)", {50}, true},
        {"class of no report object", R"(<page0><TvlxFont/><b2 t="50"/></page0>)", {50}, true},
        {"unknown alias", R"(<page0><zz9 t="5"/><b2 t="7"/></page0>)", {7}, true},
        {"bad number", R"(<page0><b2 t="fifty"/></page0>)", {0}, true},
        {"source page out of range", R"(<page99><b2 t="5"/></page99>)", {}, true},
        {"page of no source", R"(<pagex><b2 t="5"/></pagex>)", {}, true},
        {"complete page",
         R"(<TvlxReportPage Name="P"><TvlxChild t="9"/></TvlxReportPage>)",
         {9},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        PreviewFixture f;
        std::string xml = Header() + "<preparedreport><previewpages>" + c.PageElement +
                          "</previewpages><sourcepages><TvlxReportPage Name=\"Page1\">"
                          "<TvlxMasterData Name=\"MasterData1\" Height=\"20\"/>"
                          "</TvlxReportPage></sourcepages><dictionary>"
                          "<b2 name=\"Page0.MasterData1\"/><b7 name=\"Page0.Gone\"/>"
                          "<b8 name=\"Page12.MasterData1\"/><b9 name=\"nonsense\"/>"
                          "</dictionary></preparedreport>";
        MemoryStream stream{xml};
        f.Store->LoadFromStream(stream);
        ASSERT_EQ(f.Store->Count(), 1);
        TvlxComponent* page = f.Store->Page(0);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(Tops(*page), c.Tops);
        EXPECT_EQ(!f.Report->Errors().Empty(), c.Error) << ToUtf8(f.Report->Errors().Text());
    }
}

TEST(PreviewStoreIO, BrokenOrTooDeepDocumentIsRefused)
{
    std::string deep = Header() + "<preparedreport><previewpages><page0>";
    for (int i = 0; i < 600; ++i)
        deep += "<b2>";
    const std::string cases[] = {
        Header() + "<preparedreport><previewpages><page0 t=\"1",
        Header() + "<preparedreport><previewpages></page0></preparedreport>",
        "no xml at all",
        deep,
    };
    for (const std::string& xml : cases) {
        SCOPED_TRACE(xml.substr(0, 80));
        PreviewFixture f;
        MemoryStream stream{xml};
        EXPECT_THROW(f.Store->LoadFromStream(stream), TvlxInvalidXMLException);
        f.Store->Clear();
        EXPECT_EQ(f.Store->Count(), 0);
    }
}

TEST(PreviewStoreIO, MissingFileIsAnAnswerUnlessAskedOtherwise)
{
    PreviewFixture f;
    EXPECT_FALSE(f.Store->LoadFromFile("/nonexistent/dir/store.xml"));
    EXPECT_THROW(f.Store->LoadFromFile("/nonexistent/dir/store.xml", true), EFOpenError);
}

TEST(PreviewStoreIO, EditedPagesKeepTheirPlace)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    for (double top : {10.0, 20.0, 30.0}) {
        f.Store->AddPage(*f.Page);
        f.StoreRows({top});
    }
    f.Store->AddEmptyPage(1);
    ASSERT_EQ(f.Store->Count(), 4);
    EXPECT_EQ(f.Store->Page(1)->ObjectCount(), 0u);
    EXPECT_EQ(Tops(*f.Store->Page(2)), (std::vector<double>{20}));

    TvlxReportPage replacement;
    auto* band = TvlxComponent::Create<TvlxMasterData>(&replacement);
    band->SetBounds(0, 77, 100, 10);
    f.Store->ModifyPage(1, replacement);
    EXPECT_EQ(ToUtf8(f.Store->PagesItem()[1].Name()), "TvlxReportPage");
    EXPECT_EQ(Tops(*f.Store->Page(1)), (std::vector<double>{77}));

    f.Store->DeletePage(0);
    EXPECT_EQ(f.Store->Count(), 3);
    EXPECT_EQ(Tops(*f.Store->Page(0)), (std::vector<double>{77}));
    f.Store->DeletePage(0);
    f.Store->DeletePage(0);
    f.Store->DeletePage(0); // the last page stays
    EXPECT_EQ(f.Store->Count(), 1);
}

TEST(PreviewStoreIO, PageDimensionsReachEveryPageButReplacedOnes)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    for (double top : {10.0, 20.0}) {
        f.Store->AddPage(*f.Page);
        f.StoreRows({top});
    }
    // A page of the store's own cache replaces itself, with paper of its own.
    auto* first = dynamic_cast<TvlxReportPage*>(f.Store->Page(0));
    ASSERT_NE(first, nullptr);
    first->SetSizeAndDimensions(CustomPaperSize, 100, 50);
    f.Store->ModifyPage(0, *first);

    // 378 x 189 px are 100 x 50 mm, margins included.
    f.Store->UpdatePageDimensions(*f.Page, 377.953, 188.9765);
    auto& source = static_cast<TvlxReportPage&>(f.Store->SourcePage(0));
    EXPECT_EQ(source.PaperSize(), CustomPaperSize);
    EXPECT_DOUBLE_EQ(source.PaperWidth(), 100);
    EXPECT_DOUBLE_EQ(source.PaperHeight(), 50);
    EXPECT_EQ(f.Store->PageSize(1).Width, 378);
    EXPECT_EQ(f.Store->PageSize(1).Height, 189);
    EXPECT_EQ(Tops(*f.Store->Page(1)), (std::vector<double>{20}));

    f.Store->UpdatePageDimensions(*f.Page, 755.906, 755.906);
    EXPECT_EQ(f.Store->PageSize(0).Height, 189); // replaced: keeps its own
    EXPECT_EQ(f.Store->PageSize(1).Height, 756);

    // A page the store has no source copy of changes nothing.
    TvlxReportPage other;
    f.Store->UpdatePageDimensions(other, 10, 10);
    EXPECT_EQ(f.Store->PageSize(1).Height, 756);
}

TEST(PreviewStoreIO, AddFromAppendsPagesAnchorsAndOutline)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({10});

    PreviewFixture g;
    g.Store->AddSourcePage(*g.Page);
    g.Store->AddPage(*g.Page);
    g.StoreRows({40});
    g.Store->AddPage(*g.Page);
    g.StoreRows({50});
    g.Store->AddAnchor(u"Second");
    g.Store->Outline().AddItem(u"Part", 5);

    f.Store->AddFrom(*g.Store);
    ASSERT_EQ(f.Store->Count(), 3);
    EXPECT_EQ(Tops(*f.Store->Page(2)), (std::vector<double>{50}));
    EXPECT_EQ(f.Store->GetAnchorPage(u"Second"), 3);
    f.Store->Outline().LevelRoot();
    ASSERT_EQ(f.Store->Outline().Count(), 1);
    EXPECT_EQ(f.Store->Outline().GetItem(0).Page, 2);
    EXPECT_DOUBLE_EQ(f.Store->LastY(), 70);
}

} // namespace
} // namespace vl
