// The prepared-page store: source pages and aliases, stored differences and rebuilt pages, the
// file cache, passes, anchors, logical page numbers, filled height, cut and paste.
#include "base/string.h"
#include "layout/preview_pages.h"
#include "preview_fixture.h"

#include <gtest/gtest.h>
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

TEST(PreviewDictionary, UniqueNamesFillFromOneAndSkipTakenOnes)
{
    struct Case
    {
        std::vector<String> Taken;
        const char* Expected;
    } cases[] = {
        {{}, "m1"},
        {{u"m1"}, "m2"},
        {{u"m1", u"m2", u"m3"}, "m4"},
        {{u"m2"}, "m3"},         // the search halves down to a taken name and counts up from it
        {{u"M1", u"m2"}, "m3"},  // aliases compare without case
        {{u"m10000"}, "m10001"}, // the first probe already taken
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expected);
        TvlxDictionary d;
        for (const String& name : c.Taken)
            d.Add(name, u"Page0.X", nullptr);
        EXPECT_EQ(ToUtf8(d.CreateUniqueName(u"m")), c.Expected);
    }
}

TEST(PreviewPages, SourcePageGivesBandsAliasesAndSourceNames)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    ASSERT_EQ(f.Store->SourcePageCount(), 1u);
    EXPECT_EQ(ToUtf8(f.Header->FAliasName), "b1");
    EXPECT_EQ(ToUtf8(f.Data->FAliasName), "b2");
    EXPECT_EQ(ToUtf8(f.Footer->FAliasName), "b3");
    EXPECT_EQ(ToUtf8(f.Store->Dictionary().GetSourceName(u"b2")), "Page0.MasterData1");
    TvlxComponent* copy = f.Store->Dictionary().GetObject(u"B2");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->FOriginalComponent.Get(), f.Data);
    EXPECT_EQ(f.Data->FOriginalComponent.Get(), copy);
    EXPECT_EQ(ToUtf8(copy->Name()), "MasterData1");
    EXPECT_NE(copy, f.Data);
}

TEST(PreviewPages, TwoDesignPagesGiveTwoSourcePagesAndNamedPageElements)
{
    PreviewFixture f;
    auto* second = TvlxComponent::Create<TvlxReportPage>(f.Report.get());
    second->SetName(u"Page2");
    auto* band = TvlxComponent::Create<TvlxReportSummary>(second);
    band->SetName(u"ReportSummary1");
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddSourcePage(*second);
    f.Store->AddPage(*f.Page);
    f.Store->AddPage(*second);
    f.Store->AddPage(*f.Page);
    ASSERT_EQ(f.Store->Count(), 3);
    EXPECT_EQ(ToUtf8(f.Store->PagesItem()[0].Name()), "page0");
    EXPECT_EQ(ToUtf8(f.Store->PagesItem()[1].Name()), "page1");
    EXPECT_EQ(ToUtf8(f.Store->PagesItem()[2].Name()), "page0");
    // Aliases continue across pages.
    EXPECT_EQ(ToUtf8(band->FAliasName), "b4");
    EXPECT_EQ(ToUtf8(f.Store->Dictionary().GetSourceName(u"b4")), "Page1.ReportSummary1");
    EXPECT_EQ(ToUtf8(f.Store->Page(1)->Name()), "Page2");
}

TEST(PreviewPages, StoredRowsRebuildAtTheirPositions)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({40, 60, 80});

    TvlxComponent* page = f.Store->Page(0);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->ObjectCount(), 3u);
    EXPECT_EQ(Tops(*page), (std::vector<double>{40, 60, 80}));
    for (const auto& obj : page->Objects()) {
        EXPECT_EQ(ToUtf8(obj->Name()), "MasterData1");
        EXPECT_TRUE(obj->InheritsFrom(TvlxMasterData::StaticClass()));
        EXPECT_DOUBLE_EQ(obj->Height(), 20);
        EXPECT_DOUBLE_EQ(obj->Width(), 700);
    }
}

TEST(PreviewPages, ARowThatOnlyMovedDownStoresJustItsTop)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({140});
    const TvlxXMLItem& row = f.Store->PagesItem()[0][0];
    EXPECT_EQ(ToUtf8(row.Name()), "b2");
    EXPECT_EQ(ToUtf8(row.Attribute(u"t")), "140");
    for (StringView other : {u"l", u"w", u"h", u"Name", u"Visible"}) {
        SCOPED_TRACE(ToUtf8(other));
        EXPECT_FALSE(row.PropExists(other));
    }
}

TEST(PreviewPages, ObjectsWithoutSourceCopyAndInvisibleObjects)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    // Made while running: stored complete, under its class name.
    TvlxChild made;
    made.SetBounds(0, 300, 700, 25);
    f.Store->AddObject(made);
    f.Data->SetVisible(false);
    f.Store->AddObject(*f.Data);
    ASSERT_EQ(f.Store->PagesItem()[0].Count(), 1);
    EXPECT_EQ(ToUtf8(f.Store->PagesItem()[0][0].Name()), "TvlxChild");
    TvlxComponent* page = f.Store->Page(0);
    ASSERT_EQ(page->ObjectCount(), 1u);
    EXPECT_DOUBLE_EQ(page->Object(0)->Top(), 300);
    EXPECT_DOUBLE_EQ(page->Object(0)->Height(), 25);
}

TEST(PreviewPages, AddToSourcePageRegistersObjectsMadeWhileRunning)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    auto* made = TvlxComponent::Create<TvlxChild>(f.Page);
    made->SetBounds(0, 500, 700, 12);
    f.Store->AddToSourcePage(*made);
    ASSERT_FALSE(made->FAliasName.empty());
    EXPECT_EQ(ToUtf8(f.Store->Dictionary().GetSourceName(made->FAliasName)), "Page0.Child1");
    f.Store->AddToSourcePage(*made); // once only
    EXPECT_EQ(f.Store->Dictionary().Names().size(), 4u);

    f.Store->AddPage(*f.Page);
    f.Store->AddObject(*made);
    EXPECT_EQ(f.Store->PagesItem()[0][0].Name(), made->FAliasName);
    EXPECT_DOUBLE_EQ(f.Store->Page(0)->Object(0)->Top(), 500);
}

TEST(PreviewPages, WriteOverMovesToAnExistingPage)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({40});
    f.Store->AddPage(*f.Page);
    f.StoreRows({40});
    // The engine goes back to the first page and writes over it.
    f.Store->SetCurPage(-1);
    f.Store->SetAddPageAction(TvlxAddPageAction::apWriteOver);
    f.Store->AddPage(*f.Page);
    f.StoreRows({60});
    EXPECT_EQ(f.Store->Count(), 2);
    EXPECT_EQ(f.Store->CurPage(), 0);
    EXPECT_EQ(Tops(*f.Store->Page(0)), (std::vector<double>{40, 60}));
    // apAdd appends even where a page exists.
    f.Store->SetCurPage(-1);
    f.Store->SetAddPageAction(TvlxAddPageAction::apAdd);
    f.Store->AddPage(*f.Page);
    EXPECT_EQ(f.Store->Count(), 3);
    EXPECT_EQ(f.Store->CurPage(), 2);
}

TEST(PreviewPages, FileCacheMovesOldPagesOutAndReadsThemBack)
{
    struct Case
    {
        bool UseFileCache;
        int32_t MaxMemSize;
        bool Unloaded; // pages before the last two leave memory
    } cases[] = {
        {true, 0, true},   // past the bound at every new page
        {true, 1, false},  // a few rows stay far below one megabyte
        {false, 0, false}, // no file cache
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.MaxMemSize + 10 * c.UseFileCache);
        PreviewFixture f;
        f.Store->Options.UseFileCache = c.UseFileCache;
        f.Store->Options.MaxMemSize = c.MaxMemSize;
        f.Store->AddSourcePage(*f.Page);
        for (int page = 0; page < 6; ++page) {
            f.Store->AddPage(*f.Page);
            f.StoreRows({40, 60 + page * 1.5});
        }
        // The first two pages are never unloadable; the last is the one being filled.
        EXPECT_EQ(!f.Store->PagesItem()[3].Loaded(), c.Unloaded);
        EXPECT_TRUE(f.Store->PagesItem()[1].Loaded());
        EXPECT_TRUE(f.Store->PagesItem()[5].Loaded());
        for (int page = 0; page < 6; ++page) {
            SCOPED_TRACE(page);
            EXPECT_EQ(Tops(*f.Store->Page(page)), (std::vector<double>{40, 60 + page * 1.5}));
        }
    }
}

TEST(PreviewPages, PageCacheKeepsTheMostRecentPages)
{
    PreviewFixture f;
    f.Store->Options.PagesInCache = 2;
    f.Store->AddSourcePage(*f.Page);
    for (int page = 0; page < 3; ++page) {
        f.Store->AddPage(*f.Page);
        f.StoreRows({40.0 + page});
    }
    TvlxComponent* first = f.Store->Page(0);
    EXPECT_EQ(f.Store->Page(0), first); // cached
    f.Store->Page(1);
    f.Store->Page(2); // drops page 0, the least recently used
    TvlxComponent* again = f.Store->Page(0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(Tops(*again), (std::vector<double>{40}));
    // Adding to the current page drops its cached copy.
    TvlxComponent* last = f.Store->Page(2);
    EXPECT_EQ(last->ObjectCount(), 1u);
    f.StoreRows({90});
    EXPECT_EQ(f.Store->Page(2)->ObjectCount(), 2u);
    EXPECT_EQ(f.Store->Page(-1), nullptr);
    EXPECT_EQ(f.Store->Page(3), nullptr);
}

TEST(PreviewPages, PageSizeIsThePaperInPixels)
{
    PreviewFixture f;
    f.Page->SetPaperSize(CustomPaperSize);
    f.Page->SetPaperWidth(100);
    f.Page->SetPaperHeight(50);
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    TvlxPageSize size = f.Store->PageSize(0);
    EXPECT_EQ(size.Width, 378);  // 100 mm at 3.77953 pixels each
    EXPECT_EQ(size.Height, 189); // 188.98 rounded
    size = f.Store->PageSize(1);
    EXPECT_EQ(size.Width, 0);
    EXPECT_EQ(size.Height, 0);
}

TEST(PreviewPages, LastYTakesBandsOfTheColumnAndHeadersAlways)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    EXPECT_EQ(f.Store->GetLastY(), 0);
    f.Store->AddObject(*f.Header); // 0 + 30, stored without "h": from the source band
    f.Data->SetBounds(0, 40, 300, 20);
    f.Store->AddObject(*f.Data); // column at 0: bottom 60
    f.Data->SetBounds(350, 40, 300, 50);
    f.Store->AddObject(*f.Data);   // column at 350: bottom 90
    f.Store->AddObject(*f.Footer); // page footers never count

    struct Case
    {
        double Column;
        double Expected;
    } cases[] = {{0, 90}, {350, 90}, {350.0005, 90}, {100, 30}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Column);
        EXPECT_DOUBLE_EQ(f.Store->GetLastY(c.Column), c.Expected);
    }
    f.Data->SetBounds(0, 40, 300, 80);
    f.Store->AddObject(*f.Data);
    EXPECT_DOUBLE_EQ(f.Store->GetLastY(0), 120);
    EXPECT_DOUBLE_EQ(f.Store->GetLastY(350), 90);

    // An empty page answers the height carried over from an appended report.
    f.Store->AddPage(*f.Page);
    f.Store->SetLastY(77);
    EXPECT_DOUBLE_EQ(f.Store->GetLastY(), 77);
}

TEST(PreviewPages, BandExistsForItsOwnCopyAndForAnyPageFooter)
{
    PreviewFixture f;
    auto* columnFooter = f.AddBand<TvlxColumnFooter>(u"ColumnFooter1", 900, 10);
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    EXPECT_FALSE(f.Store->BandExists(*f.Data));
    f.Store->AddObject(*f.Data);
    EXPECT_TRUE(f.Store->BandExists(*f.Data));
    EXPECT_FALSE(f.Store->BandExists(*f.Footer));
    EXPECT_FALSE(f.Store->BandExists(*columnFooter));

    f.Store->AddObject(*f.Footer);
    f.Store->AddObject(*columnFooter);
    TvlxPageFooter otherFooter;
    TvlxColumnFooter otherColumnFooter;
    EXPECT_TRUE(f.Store->BandExists(otherFooter));
    EXPECT_TRUE(f.Store->BandExists(otherColumnFooter));
    f.Store->AddPage(*f.Page);
    EXPECT_FALSE(f.Store->BandExists(*f.Data));
}

TEST(PreviewPages, CutObjectsMoveToAnotherPageAtAnotherPlace)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.Store->AddObject(*f.Header);
    const int32_t position = f.Store->GetCurPosition();
    EXPECT_EQ(position, 1);
    f.StoreRows({900, 920});
    f.Store->CutObjects(position);
    EXPECT_EQ(f.Store->GetCurPosition(), 1);

    f.Store->AddPage(*f.Page);
    f.Store->PasteObjects(5, 40);
    EXPECT_EQ(f.Store->XMLDoc().Root().Find(u"cutted"), -1);
    EXPECT_EQ(Tops(*f.Store->Page(0)), (std::vector<double>{0}));
    TvlxComponent* second = f.Store->Page(1);
    EXPECT_EQ(Tops(*second), (std::vector<double>{40, 60}));
    ASSERT_EQ(second->ObjectCount(), 2u);
    EXPECT_DOUBLE_EQ(second->Object(0)->Left(), 5);
    EXPECT_DOUBLE_EQ(second->Object(1)->Left(), 5);
    f.Store->PasteObjects(0, 0); // nothing cut: nothing happens
    EXPECT_EQ(f.Store->GetCurPosition(), 2);
}

TEST(PreviewPages, AnchorPagesAreFoundByTextFromTheLast)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.Host.Y = 12.5; // halves go to the even neighbour
    f.Store->AddAnchor(u"Intro");
    f.Store->AddPage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.Host.Y = 99.6;
    f.Store->AddAnchor(u"Total <\"&>");
    f.Store->AddAnchor(u"intro");

    struct Case
    {
        StringView Text;
        int32_t Page;
    } cases[] = {{u"Nowhere", 1}, {u"INTRO", 3}, {u"Total <\"&>", 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        EXPECT_EQ(f.Store->GetAnchorPage(c.Text), c.Page);
    }
    EXPECT_EQ(f.Store->GetAnchorCurPosition(), 2);
    TvlxXMLItem& anchors = f.Store->XMLDoc().Root()[f.Store->XMLDoc().Root().Find(u"anchors")];
    EXPECT_EQ(ToUtf8(anchors[0].Attribute(u"top")), "12");
    EXPECT_EQ(ToUtf8(anchors[1].Attribute(u"top")), "100");

    // The anchors after position 0 moved to the next page, the first of them to top 7.
    f.Store->ShiftAnchors(0, 7);
    EXPECT_EQ(ToUtf8(anchors[0].Attribute(u"page")), "0");
    EXPECT_EQ(ToUtf8(anchors[1].Attribute(u"page")), "3");
    EXPECT_EQ(ToUtf8(anchors[1].Attribute(u"top")), "7");
    EXPECT_EQ(ToUtf8(anchors[2].Attribute(u"top")), "7");
}

TEST(PreviewPages, LogicalPageNumbersCountPerRunAndTotalAtReset)
{
    PreviewFixture f;
    f.Host.Total = 9;
    f.Store->AddSourcePage(*f.Page);
    EXPECT_EQ(f.Store->GetLogicalPageNo(), 0); // no page: from the page index
    EXPECT_EQ(f.Store->GetLogicalTotalPages(), 9);
    f.Store->BeginPass();
    f.Store->AddPage(*f.Page);
    f.Store->AddPage(*f.Page);
    EXPECT_EQ(f.Store->GetLogicalPageNo(), 2);
    EXPECT_EQ(f.Store->GetLogicalTotalPages(), 0); // not yet known
    f.Store->ResetLogicalPageNumber();             // a page run with ResetPageNumbers ends
    f.Store->AddPage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.Store->ResetLogicalPageNumber();

    TvlxXMLItem& numbers =
        f.Store->XMLDoc().Root()[f.Store->XMLDoc().Root().Find(u"logicalpagenumbers")];
    const char* expected[][2] = {{"1", "2"}, {"2", "2"}, {"1", "3"}, {"2", "3"}, {"3", "3"}};
    ASSERT_EQ(numbers.Count(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ToUtf8(numbers[i].Attribute(u"n")), expected[i][0]);
        EXPECT_EQ(ToUtf8(numbers[i].Attribute(u"t")), expected[i][1]);
    }
    f.Store->SetCurPage(1);
    EXPECT_EQ(f.Store->GetLogicalPageNo(), 2);
    EXPECT_EQ(f.Store->GetLogicalTotalPages(), 2);
}

TEST(PreviewPages, SecondPassReplacesPagesAndKeepsFirstPassNumbers)
{
    PreviewFixture f;
    f.Host.Double = true;
    f.Host.Final = false;
    f.Store->AddSourcePage(*f.Page);
    f.Store->BeginPass();
    for (int page = 0; page < 3; ++page) {
        f.Store->AddPage(*f.Page);
        f.StoreRows({40});
        f.Store->AddAnchor(u"A" + IntToStr(page));
        f.Store->Outline().AddItem(u"Entry", 0);
        f.Store->Outline().LevelRoot();
    }
    f.Store->ResetLogicalPageNumber();

    f.Host.Final = true;
    f.Store->ClearFirstPassPages();
    EXPECT_EQ(f.Store->Count(), 0);
    EXPECT_EQ(f.Store->CurPage(), -1);
    EXPECT_EQ(f.Store->Outline().Count(), 0);
    EXPECT_EQ(f.Store->GetAnchorPage(u"A2"), 3); // anchors of the first pass stand
    f.Store->BeginPass();
    f.Store->AddPage(*f.Page);
    f.StoreRows({44, 64});
    EXPECT_EQ(f.Store->Count(), 1);
    EXPECT_EQ(f.Store->GetLogicalPageNo(), 1);
    EXPECT_EQ(f.Store->GetLogicalTotalPages(), 3); // the first pass's total
    EXPECT_EQ(Tops(*f.Store->Page(0)), (std::vector<double>{44, 64}));
}

TEST(PreviewPages, ClearFirstPassPagesKeepsWhatCameBeforeThePass)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({40});
    f.Store->Outline().AddItem(u"Before", 0);
    f.Store->Outline().LevelRoot();
    f.Store->BeginPass(); // a second report appended on the same page
    f.StoreRows({60});
    f.Store->AddPage(*f.Page);
    f.StoreRows({40});
    f.Store->Outline().AddItem(u"During", 0);
    f.Store->ClearFirstPassPages();
    EXPECT_EQ(f.Store->Count(), 1);
    EXPECT_EQ(f.Store->CurPage(), 0);
    EXPECT_EQ(Tops(*f.Store->Page(0)), (std::vector<double>{40}));
    f.Store->Outline().LevelRoot();
    ASSERT_EQ(f.Store->Outline().Count(), 1);
    EXPECT_EQ(ToUtf8(f.Store->Outline().GetItem(0).Text), "Before");
}

TEST(PreviewOutline, EntriesNestAndShift)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    TvlxCustomOutline& outline = f.Store->Outline();
    outline.AddItem(u"Chapter", 10);
    outline.AddItem(u"Section", 20);
    outline.LevelUp();
    outline.LevelUp();
    outline.LevelUp(); // never above the root
    f.Store->AddPage(*f.Page);
    outline.AddItem(u"Appendix", 30);
    outline.LevelRoot();
    ASSERT_EQ(outline.Count(), 2);
    EXPECT_EQ(ToUtf8(outline.GetItem(1).Text), "Appendix");
    EXPECT_EQ(outline.GetItem(1).Page, 1);
    EXPECT_EQ(outline.GetCurPosition(), 2);
    outline.LevelDown(0);
    ASSERT_EQ(outline.Count(), 1);
    EXPECT_EQ(ToUtf8(outline.GetItem(0).Text), "Section");
    EXPECT_EQ(outline.GetItem(0).Top, 20);
    outline.LevelDown(5); // out of range: stays
    EXPECT_EQ(outline.Count(), 1);

    // Anchors leave the outline alone; entries after position 0 (Section, Appendix) move a
    // page on, Section to top 3.
    f.Store->ShiftAnchors(0, 3);
    outline.LevelRoot();
    EXPECT_EQ(outline.GetItem(1).Page, 1);
    outline.ShiftItems(0, 3);
    EXPECT_EQ(outline.GetItem(0).Page, 0);
    EXPECT_EQ(outline.GetItem(1).Page, 2);
    EXPECT_EQ(outline.GetItem(1).Top, 13);
    outline.LevelDown(0);
    EXPECT_EQ(outline.GetItem(0).Page, 1);
    EXPECT_EQ(outline.GetItem(0).Top, 3);
}

TEST(PreviewPages, ClearEmptiesEverything)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({40});
    f.Store->AddAnchor(u"A");
    f.Store->Clear();
    EXPECT_EQ(f.Store->Count(), 0);
    EXPECT_EQ(f.Store->CurPage(), -1);
    EXPECT_EQ(f.Store->SourcePageCount(), 0u);
    EXPECT_EQ(f.Store->Dictionary().GetObject(u"b2"), nullptr);
    EXPECT_EQ(f.Store->GetAnchorCurPosition(), -1);
    EXPECT_EQ(f.Data->FOriginalComponent.Get(), nullptr); // the copies are gone
}

} // namespace
} // namespace vl
