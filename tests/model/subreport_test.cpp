#include "base/exception.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/subreport.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

struct TwoPages
{
    TvlxReport Report;
    TvlxReportPage* A = TvlxComponent::Create<TvlxReportPage>(&Report);
    TvlxReportPage* B = TvlxComponent::Create<TvlxReportPage>(&Report);
    TvlxReportPage* C = TvlxComponent::Create<TvlxReportPage>(&Report);

    TvlxSubreport* SubreportOn(TvlxReportPage* page)
    {
        auto* band = TvlxComponent::Create<TvlxMasterData>(page);
        return TvlxComponent::Create<TvlxSubreport>(band);
    }
};

TEST(TvlxSubreport, DesignerDefaults)
{
    TvlxSubreport sub;
    EXPECT_EQ(sub.Font().Name(), u"Tahoma");
    EXPECT_EQ(sub.Font().Size(), 8);
    EXPECT_EQ(sub.Color(), 12632256);
    EXPECT_EQ(sub.Frame().Typ().Mask(), 15u);
    EXPECT_FALSE(sub.vlComponentStyle().Contains(TvlxComponentStyle::csPreviewVisible));
    EXPECT_TRUE(sub.vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff));
    EXPECT_FALSE(sub.FPrintOnParent);
}

TEST(TvlxSubreport, LinkIsKeptOnBothSides)
{
    TwoPages t;
    auto* sub = t.SubreportOn(t.A);
    sub->SetSubreportPage(t.B);
    EXPECT_EQ(sub->SubreportPage(), t.B);
    EXPECT_EQ(t.B->SubReport(), sub);
    EXPECT_TRUE(t.B->IsSubReport());
    EXPECT_FALSE(t.A->IsSubReport());

    sub->SetSubreportPage(t.C); // the previous page is released
    EXPECT_FALSE(t.B->IsSubReport());
    EXPECT_EQ(t.C->SubReport(), sub);

    sub->Parent()->TakeChild(sub).reset(); // the subreport goes
    EXPECT_FALSE(t.C->IsSubReport());

    auto* other = t.SubreportOn(t.A);
    other->SetSubreportPage(t.B);
    t.Report.TakeChild(t.B).reset(); // the page goes
    EXPECT_EQ(other->SubreportPage(), nullptr);
}

TEST(TvlxSubreport, LinksThatWouldPrintTheSubreportAgainAreRefused)
{
    TwoPages t;
    auto* onA = t.SubreportOn(t.A);
    auto* onB = t.SubreportOn(t.B);
    auto* onC = t.SubreportOn(t.C);
    onA->SetSubreportPage(t.B);
    onB->SetSubreportPage(t.C);
    struct Refusal
    {
        const char* What;
        TvlxSubreport* Sub;
        TvlxReportPage* Page;
        TvlxReportPage* Kept;
    };
    const Refusal refusals[] = {
        {"its own page", onA, t.A, t.B},
        {"a page whose subreport prints its page", onC, t.A, nullptr},
        {"back to the page of its caller", onB, t.A, t.C},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.What);
        try {
            r.Sub->SetSubreportPage(r.Page);
            FAIL() << "a looping subreport was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), u"clCirRefNotAllow");
        }
        EXPECT_EQ(r.Sub->SubreportPage(), r.Kept);
    }
    EXPECT_EQ(t.B->SubReport(), onA);
    EXPECT_EQ(t.C->SubReport(), onB);
}

} // namespace
} // namespace vl
