// Walking the prepared pages for an export filter: the page list, header and footer suppression,
// and how a walk ends when it is terminated or fails.
#include "base/string.h"
#include "layout/page_list.h"
#include "layout/preview_pages.h"
#include "pdf/export_filter.h"
#include "preview_fixture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

// Writes every call as a line: "start", "page 0", "object PageHeader1", "end 0", "finish".
class RecordingFilter : public TvlxCustomExportFilter
{
public:
    RecordingFilter()
        : TvlxCustomExportFilter(NoRegister{})
    {
        SetShowDialog(false);
    }

    bool Start() override
    {
        Calls.push_back("start");
        return StartResult;
    }
    void StartPage(TvlxComponent* page, int index) override
    {
        (void)page;
        Calls.push_back("page " + std::to_string(index));
    }
    void ExportObject(TvlxComponent* obj) override
    {
        if (obj->Name() == u"_pagebackground") return; // checked where the views exist
        Calls.push_back("object " + ToUtf8(obj->Name()));
        if (obj->Name() == FailOn) throw Exception(u"Disk full");
        if (obj->Name() == StopOn && Host != nullptr) Host->SetTerminated(true);
    }
    void FinishPage(TvlxComponent* page, int index) override
    {
        (void)page;
        Calls.push_back("end " + std::to_string(index));
    }
    void Finish() override { Calls.push_back("finish"); }

    // The pages that were started, from 1.
    std::vector<int> Pages() const
    {
        std::vector<int> pages;
        for (const std::string& call : Calls)
            if (call.starts_with("page ")) pages.push_back(std::stoi(call.substr(5)) + 1);
        return pages;
    }

    std::vector<std::string> Calls;
    bool StartResult = true;
    String FailOn;
    String StopOn;
    TvlxPreviewPagesHost* Host = nullptr;
};

// Five pages, each with a page header, one row and a page footer.
struct ExportFixture : PreviewFixture
{
    ExportFixture()
    {
        Store->AddSourcePage(*Page);
        for (int page = 0; page < 5; ++page) {
            Store->AddPage(*Page);
            Store->AddObject(*Header);
            StoreRows({40});
            Store->AddObject(*Footer);
        }
    }
};

TEST(PageList, NamesPagesFromOne)
{
    struct Case
    {
        StringView Text;
        std::vector<int32_t> Pages;
    } cases[] = {
        {u"", {}},
        {u"   ", {}},
        {u"2,4-5", {2, 4, 5}},
        {u" 2 , 4 - 5 ", {2, 4, 5}},
        {u"3-", {3, 4, 5}},
        {u"5-3", {}},
        {u"4,1,4", {1, 4}},
        {u"1-2000000000", {1, 2, 3, 4, 5}}, // clipped to the pages there are
        {u"7", {7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        EXPECT_EQ(ParsePageList(c.Text, 5), c.Pages);
    }
}

TEST(PageList, ItemThatIsNoNumberIsAnError)
{
    for (StringView text : {u"a", u"1,x", u"2-b", u"1,,2"}) {
        SCOPED_TRACE(ToUtf8(text));
        try {
            ParsePageList(text, 5);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_TRUE(ToUtf8(e.Message()).ends_with("is not a valid integer value"))
                << ToUtf8(e.Message());
        }
    }
}

TEST(PreviewExport, PageListChoosesThePagesWalked)
{
    struct Case
    {
        StringView List;
        std::vector<int> Pages;
    } cases[] = {
        {u"", {1, 2, 3, 4, 5}},
        {u"2,4-5", {2, 4, 5}},
        {u"3-", {3, 4, 5}},
        {u"9", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.List));
        ExportFixture f;
        RecordingFilter filter;
        filter.SetPageNumbers(String(c.List));
        EXPECT_TRUE(f.Store->Export(filter));
        EXPECT_EQ(filter.Pages(), c.Pages);
        EXPECT_EQ(filter.Calls.front(), "start");
        EXPECT_EQ(filter.Calls.back(), "finish");
    }
}

TEST(PreviewExport, OnePageIsItsObjectsInOrderBetweenStartAndFinish)
{
    ExportFixture f;
    RecordingFilter filter;
    filter.SetPageNumbers(u"1");
    EXPECT_TRUE(f.Store->Export(filter));
    EXPECT_EQ(filter.Calls,
              (std::vector<std::string>{"start",
                                        "page 0",
                                        "object PageHeader1",
                                        "object MasterData1",
                                        "object PageFooter1",
                                        "end 0",
                                        "finish"}));
    EXPECT_EQ(filter.Report(), f.Report.get());
}

TEST(PreviewExport, SuppressedHeadersAndFootersStayOnFirstAndLastPage)
{
    ExportFixture f;
    RecordingFilter filter;
    filter.SuppressPageHeadersFooters = true;
    EXPECT_TRUE(f.Store->Export(filter));
    auto count = [&](const std::string& call) {
        return std::count(filter.Calls.begin(), filter.Calls.end(), call);
    };
    EXPECT_EQ(count("object PageHeader1"), 1);
    EXPECT_EQ(count("object PageFooter1"), 1);
    EXPECT_EQ(count("object MasterData1"), 5);
    EXPECT_EQ(filter.Calls[2], "object PageHeader1");                       // on the first page
    EXPECT_EQ(filter.Calls[filter.Calls.size() - 3], "object PageFooter1"); // on the last
}

TEST(PreviewExport, DataOnlyExportsObjectsOfDataBandsOnly)
{
    ExportFixture f;
    RecordingFilter filter;
    filter.SetDataOnly(true);
    filter.SetPageNumbers(u"1");
    EXPECT_TRUE(f.Store->Export(filter));
    // Bands sit on the page, not in a data band.
    EXPECT_EQ(filter.Calls, (std::vector<std::string>{"start", "page 0", "end 0", "finish"}));
}

TEST(PreviewExport, StartSayingNoEndsTheWalk)
{
    ExportFixture f;
    RecordingFilter filter;
    filter.StartResult = false;
    EXPECT_FALSE(f.Store->Export(filter));
    EXPECT_EQ(filter.Calls, (std::vector<std::string>{"start"}));
}

TEST(PreviewExport, TerminatedExportEndsQuietlyAndFinishes)
{
    ExportFixture f;
    f.Host.Stop = true; // left over from an earlier run: cleared when the export starts
    RecordingFilter filter;
    filter.Host = &f.Host;
    filter.StopOn = u"MasterData1";
    EXPECT_TRUE(f.Store->Export(filter));
    EXPECT_EQ(
        filter.Calls,
        (std::vector<std::string>{
            "start", "page 0", "object PageHeader1", "object MasterData1", "end 0", "finish"}));
    EXPECT_TRUE(f.Report->Errors().Empty());
}

TEST(PreviewExport, FailingFilterStillFinishesAndReportsTheError)
{
    ExportFixture f;
    RecordingFilter filter;
    filter.FailOn = u"MasterData1";
    try {
        f.Store->Export(filter);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ToUtf8(e.Message()), "The following error(s) have occured:\r\nDisk full\r\n");
    }
    EXPECT_EQ(
        filter.Calls,
        (std::vector<std::string>{
            "start", "page 0", "object PageHeader1", "object MasterData1", "end 0", "finish"}));
    ASSERT_EQ(f.Report->Errors().Count(), 1u);
}

TEST(PreviewExport, BadPageListIsReportedBeforeAnythingStarts)
{
    struct DropErrors : TestHost
    {
        bool ReThrowErrors() const override { return false; }
    };
    ExportFixture f;
    DropErrors host;
    f.Store->SetHost(&host);
    RecordingFilter filter;
    filter.SetPageNumbers(u"1,two");
    EXPECT_FALSE(f.Store->Export(filter));
    EXPECT_TRUE(filter.Calls.empty());
    ASSERT_EQ(f.Report->Errors().Count(), 1u);
    EXPECT_EQ(ToUtf8(f.Report->Errors().Lines()[0]), "'two' is not a valid integer value");
}

TEST(PreviewExport, CurrentPageOnlyIsTheFirstWithoutAPreview)
{
    ExportFixture f;
    RecordingFilter filter;
    filter.CurPage = true;
    EXPECT_TRUE(f.Store->Export(filter));
    EXPECT_EQ(filter.Pages(), (std::vector<int>{1}));
}

} // namespace
} // namespace vl
