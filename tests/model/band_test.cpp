#include "base/exception.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

struct BandCase
{
    const ClassInfo& Class;
    int Number;
    const char16_t* Name;
};

TEST(TvlxBand, NumbersAndNamesFollowTheBandTable)
{
    const BandCase cases[] = {
        {TvlxReportTitle::StaticClass(), 0, u"ReportTitle"},
        {TvlxReportSummary::StaticClass(), 1, u"ReportSummary"},
        {TvlxPageHeader::StaticClass(), 2, u"PageHeader"},
        {TvlxPageFooter::StaticClass(), 3, u"PageFooter"},
        {TvlxHeader::StaticClass(), 4, u"Header"},
        {TvlxFooter::StaticClass(), 5, u"Footer"},
        {TvlxMasterData::StaticClass(), 6, u"MasterData"},
        {TvlxDetailData::StaticClass(), 7, u"DetailData"},
        {TvlxSubdetailData::StaticClass(), 8, u"SubdetailData"},
        {TvlxDataBand4::StaticClass(), 9, u"Data4"},
        {TvlxDataBand5::StaticClass(), 10, u"Data5"},
        {TvlxDataBand6::StaticClass(), 11, u"Data6"},
        {TvlxGroupHeader::StaticClass(), 12, u"GroupHeader"},
        {TvlxGroupFooter::StaticClass(), 13, u"GroupFooter"},
        {TvlxChild::StaticClass(), 14, u"Child"},
        {TvlxColumnHeader::StaticClass(), 15, u"ColumnHeader"},
        {TvlxColumnFooter::StaticClass(), 16, u"ColumnFooter"},
        {TvlxOverlay::StaticClass(), 17, u"Overlay"},
        {TvlxNullBand::StaticClass(), 0, u"Null"},
    };
    for (const BandCase& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Class.Name()));
        std::unique_ptr<Persistent> made = c.Class.Create();
        auto* band = dynamic_cast<TvlxBand*>(made.get());
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(band->BandNumber(), c.Number);
        EXPECT_EQ(band->BandName(), c.Name);
        if (auto* data = dynamic_cast<TvlxDataBand*>(band)) {
            EXPECT_EQ(data->DataLevel(), c.Number - 5);
        }
    }
}

// A band class of a later unit that derives from a table class takes that class's number.
class TestMasterData : public TvlxMasterData
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestMasterData, TvlxMasterData>(u"TvlxTestMasterData").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

TEST(TvlxBand, SubclassesOfATableClassTakeItsNumber)
{
    TestMasterData band;
    EXPECT_EQ(band.BandNumber(), 6);
    EXPECT_EQ(band.DataLevel(), 1);
}

struct ChildChain
{
    TvlxReport Report;
    TvlxReportPage* Page = TvlxComponent::Create<TvlxReportPage>(&Report);
    TvlxMasterData* Data = TvlxComponent::Create<TvlxMasterData>(Page);
    TvlxChild* A = TvlxComponent::Create<TvlxChild>(Page);
    TvlxChild* B = TvlxComponent::Create<TvlxChild>(Page);
    TvlxChild* C = TvlxComponent::Create<TvlxChild>(Page);
};

TEST(TvlxBand, ChildChainsThatLoopAreRefused)
{
    ChildChain t;
    t.Data->SetChild(t.A);
    t.A->SetChild(t.B);
    t.B->SetChild(t.C);
    struct Refusal
    {
        const char* What;
        TvlxBand* Band;
        TvlxChild* Child;
        TvlxChild* Kept;
    };
    const Refusal refusals[] = {
        {"itself", t.C, t.C, nullptr},
        {"through a chain", t.C, t.A, nullptr},
        {"one step back", t.B, t.B, t.C},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.What);
        try {
            r.Band->SetChild(r.Child);
            FAIL() << "a looping chain was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"clCirRefNotAllow");
        }
        EXPECT_EQ(r.Band->Child(), r.Kept);
    }
    // A chain that only shares a tail is fine, and so is clearing.
    t.Data->SetChild(t.B);
    EXPECT_EQ(t.Data->Child(), t.B);
    t.A->SetChild(nullptr);
    EXPECT_EQ(t.A->Child(), nullptr);
}

TEST(TvlxBand, ChildLinkEmptiesWhenTheChildGoes)
{
    ChildChain t;
    t.Data->SetChild(t.A);
    t.Page->TakeChild(t.A).reset();
    EXPECT_EQ(t.Data->Child(), nullptr);
}

TEST(TvlxDataBand, CurColumnWrapsAndMovesTheBand)
{
    TvlxMasterData band;
    band.FColumns = 3;
    band.FColumnWidth = 100;
    band.FColumnGap = 10;
    band.FMaxY = 50;
    band.SetCurColumn(3);
    EXPECT_EQ(band.CurColumn(), 3);
    EXPECT_EQ(band.Left(), 220);
    EXPECT_EQ(band.FMaxY, 50);
    band.SetCurColumn(4); // past the last column: back to the first
    EXPECT_EQ(band.CurColumn(), 1);
    EXPECT_EQ(band.Left(), 0);
    EXPECT_EQ(band.FMaxY, 0);

    band.FColumns = 0; // one column
    band.FMaxY = 7;
    band.SetCurColumn(2);
    EXPECT_EQ(band.CurColumn(), 1);
    EXPECT_EQ(band.FMaxY, 0);
}

// Counts the records a data band's virtual dataset walks.
int WalkedRecords(TvlxDataSet& ds)
{
    int records = 0;
    for (ds.First(); !ds.Eof() && records < 100; ds.Next())
        ++records;
    return records;
}

TEST(TvlxDataBand, RowCountDrivesTheVirtualDataSet)
{
    TvlxMasterData band;
    band.SetRowCount(3);
    TvlxDataSet* virtualRows = band.VirtualDataSet();
    ASSERT_NE(virtualRows, nullptr);
    EXPECT_EQ(band.VirtualDataSet(), virtualRows); // made once
    EXPECT_EQ(WalkedRecords(*virtualRows), 3);
    band.SetRowCount(5);
    EXPECT_EQ(WalkedRecords(*virtualRows), 5);
    band.SetRowCount(0);
    EXPECT_EQ(WalkedRecords(*virtualRows), 0);
}

TEST(TvlxDataBand, DataSetLinkEmptiesWhenTheAdapterGoes)
{
    TvlxReport report;
    auto* page = TvlxComponent::Create<TvlxReportPage>(&report);
    auto* band = TvlxComponent::Create<TvlxMasterData>(page);
    auto adapter = std::make_unique<TvlxUserDataSet>();
    adapter->SetUserName(u"Orders");
    band->SetDataSetName(u"orders"); // found in the process-wide list without a lookup hook
    EXPECT_EQ(band->DataSet(), adapter.get());
    EXPECT_EQ(band->DataSetName(), u"Orders");
    page->SetDataSet(adapter.get());
    adapter.reset();
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_EQ(page->DataSet(), nullptr);
    EXPECT_EQ(band->DataSetName(), u"orders");
}

TEST(TvlxBand, DiffAlwaysStoresTheTopAndTheDrillNameOfACollapsibleGroup)
{
    TvlxGroupHeader design;
    design.SetBounds(0, 40, 100, 20);
    design.FDrillName = u"G1";
    TvlxGroupHeader copy;
    copy.SetBounds(0, 40, 100, 20);
    copy.FDrillName = u"G1";
    EXPECT_EQ(copy.Diff(design), u" t=\"40\""); // equal bands still store their top
    copy.FDrillDown = true;
    EXPECT_EQ(copy.Diff(design), u" t=\"40\" DrillName=\"G1\"");
}

TEST(TvlxNullBand, FullDescriptionEndsWithItsPosition)
{
    TvlxNullBand band;
    band.SetBounds(12, 34, 100, 5);
    String text = band.AllDiff(nullptr);
    EXPECT_EQ(text.substr(text.size() - 14), u" l=\"12\" t=\"34\"");
}

} // namespace
} // namespace vl
