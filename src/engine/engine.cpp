// The engine run: initialisation and the band trees, the passes, the report and page runs, and
// what the report and the store ask of the engine.
#include "engine/engine.h"

#include "base/date_time.h"
#include "base/exception.h"
#include "engine/band_tree.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/units.h"
#include "platform/clock.h"
#include "request/dataset_adapter.h"

#include <memory>

namespace vl {

namespace {

std::vector<TvlxReportPage*> ReportPages(const TvlxReport& report)
{
    std::vector<TvlxReportPage*> pages;
    for (const auto& child : report.Objects())
        if (auto* page = dynamic_cast<TvlxReportPage*>(child.get())) pages.push_back(page);
    return pages;
}

} // namespace

TvlxEngine::TvlxEngine(TvlxReport& report, TvlxCustomPreviewPages& previewPages)
    : FReport(report)
    , FPreviewPages(previewPages)
    , FAggregates(report)
{
    FPreviewPages.SetHost(this);
}

TvlxEngine::~TvlxEngine()
{
    if (FPreviewPages.Host() == this) FPreviewPages.SetHost(nullptr);
}

// ---- The run

bool TvlxEngine::Run()
{
    if (!Initialize()) {
        FRunning = false;
        return false;
    }
    bool result = false;
    try {
        for (TvlxDataSet* dataSet : FReport.GetDataSetList())
            dataSet->Initialize();
        FReport.DoNotifyEvent(&FReport, FReport.OnStartReport);
        if (RunDialogs()) {
            RunPasses();
            result = true;
        }
        FReport.DoNotifyEvent(&FReport, FReport.OnStopReport);
    } catch (...) {
        // The run ends at its first error, which goes on to the report unchanged; the datasets
        // and the store are put in order first. OnStopReport is not run after a failure: more
        // script would only bury the error under a second one.
        Finalize();
        throw;
    }
    Finalize();
    return result;
}

bool TvlxEngine::Initialize()
{
    FPreviewPages.Initialize();
    FPreviewPages.SetAddPageAction(TvlxAddPageAction::apAdd);
    const LocalDateTime now = SystemClock().Now();
    FStartDate = DateOf(now);
    FStartTime = TimeOf(now);
    FRunning = true;
    BreakAllKeep();
    FCurVColumn = 0;
    FTitlePrinted = false;
    FHBandNamesTree.clear();
    FHeaderList.Clear();
    FPage = nullptr;
    FAggregates.Clear();

    for (TvlxReportPage* page : ReportPages(FReport)) {
        BuildBandTree(*page, false, FReport.Errors());
        HandOverToVerticalBands(*page);
        BuildBandTree(*page, true, FReport.Errors());
    }
    CheckDataSets();
    return FReport.Errors().Empty();
}

void TvlxEngine::CheckDataSets()
{
    TvlxDataSet* reportDataSet = FReport.DataSet();
    for (TvlxReportPage* page : ReportPages(FReport)) {
        TvlxDataSet* pageDataSet = page->DataSet();
        if (reportDataSet != nullptr && reportDataSet == pageDataSet) {
            FReport.Errors().Add(
                u"Cannot use the same dataset for Report.DataSet and Page.DataSet");
            return;
        }
        for (TvlxBand* band : page->FSubBands) {
            TvlxDataSet* bandDataSet = BandDataSet(*band);
            if (reportDataSet != nullptr && bandDataSet == reportDataSet) {
                FReport.Errors().Add(
                    u"Cannot use the same dataset for Report.DataSet and Band.DataSet");
                break;
            }
            if (pageDataSet != nullptr && bandDataSet == pageDataSet) {
                FReport.Errors().Add(
                    u"Cannot use the same dataset for Page.DataSet and Band.DataSet");
                break;
            }
        }
    }
}

bool TvlxEngine::RunDialogs()
{
    // Dialog forms are never shown here; a script procedure named by OnRunDialogs may still
    // cancel the run by setting its argument to False.
    if (FReport.OnRunDialogs.empty()) return true;
    Variant args[1] = {Variant(true)};
    FReport.DoParamEvent(FReport.OnRunDialogs, args);
    return args[0].IsNull() || args[0].ToBool();
}

void TvlxEngine::RunPasses()
{
    for (TvlxReportPage* page : ReportPages(FReport)) {
        FPreviewPages.AddSourcePage(*page);
        FAggregates.AddItems(*page);
    }
    FFinalPass = !DoublePass();
    FTotalPages = 0;
    FPreviewPages.BeginPass();
    RunReportPages();
    if (DoublePass()) {
        FTotalPages = FPreviewPages.Count();
        FPreviewPages.SetCurPage(FPreviewPages.Count() - 1);
        FPreviewPages.ClearFirstPassPages();
        FAggregates.ClearValues();
        FFinalPass = true;
        RunReportPages();
    }
}

void TvlxEngine::Finalize()
{
    for (TvlxDataSet* dataSet : FReport.GetDataSetList())
        dataSet->Finalize();
    FPreviewPages.Finish();
    FRunning = false;
    // The items point at template bands, which the report reloads after the run.
    FAggregates.Clear();
}

void TvlxEngine::StopReport()
{
    FReport.SetTerminated(true);
}

bool TvlxEngine::Terminated() const
{
    return FReport.Terminated();
}

void TvlxEngine::SetTerminated(bool value)
{
    FReport.SetTerminated(value);
}

bool TvlxEngine::DoublePass() const
{
    return FReport.EngineOptions().DoublePass;
}

// ---- Report pages

void TvlxEngine::RunReportPages()
{
    // Line# counts through one pass: every pass starts it again.
    for (TvlxReportPage* page : ReportPages(FReport))
        for (const auto& child : page->Objects())
            if (auto* band = dynamic_cast<TvlxBand*>(child.get())) band->FLineThrough = 1;

    FFirstReportPage = true;
    TvlxDataSet* dataSet = FReport.DataSet();
    if (dataSet == nullptr) {
        RunAllPages();
        return;
    }
    dataSet->First();
    while (!dataSet->Eof() && !Terminated()) {
        RunAllPages();
        dataSet->Next();
    }
}

void TvlxEngine::RunAllPages()
{
    for (TvlxReportPage* page : ReportPages(FReport)) {
        if (Terminated()) break;
        if (!page->Visible() || page->IsSubReport()) continue; // subreports print their pages
        RunReportPage(*page);
        FFirstReportPage = false;
    }
}

void TvlxEngine::RunReportPage(TvlxReportPage& page)
{
    FPage = &page;
    FIsFirstBand = true;
    FReport.DoNotifyEvent(&page, page.FOnBeforePrint);
    if (TvlxDataSet* dataSet = page.DataSet()) {
        dataSet->First();
        while (!dataSet->Eof() && !Terminated()) {
            RunPageOnce(page);
            dataSet->Next();
        }
    } else {
        for (int32_t i = 0; i < page.PageCount() && !Terminated(); ++i)
            RunPageOnce(page);
    }
    FReport.DoNotifyEvent(&page, page.FOnAfterPrint);
}

void TvlxEngine::RunPageOnce(TvlxReportPage& page)
{
    if (!HasPrintableDetail(page, page.FSubBands, FReport.EngineOptions().PrintIfEmpty)) return;
    StartPage();
    ShowPageObjects(page);
    if (!page.FOnManualBuild.empty())
        FReport.DoNotifyEvent(&page, page.FOnManualBuild);
    else
        RunDataBands(page.FSubBands);
    FIsLastPage = true;
    const bool endless = page.FEndlessHeight || page.FEndlessWidth;
    if (endless) {
        const double paperWidth =
            page.FEndlessWidth
                ? page.LeftMargin() * PixelsPerMm + FPageWidth + page.RightMargin() * PixelsPerMm
                : page.PaperWidth() * PixelsPerMm;
        double paperHeight = page.PaperHeight() * PixelsPerMm;
        if (page.FEndlessHeight) {
            FPageHeight = FooterHeight() + FCurY;
            paperHeight = FPageHeight + (page.TopMargin() + page.BottomMargin()) * PixelsPerMm;
        }
        UpdateEndlessDimensions(paperWidth, paperHeight);
    }
    EndPage();
    if (endless) FreezeEndlessPage();
    FIsLastPage = false;
}

void TvlxEngine::ShowPageObjects(TvlxReportPage& page)
{
    // Views placed on the page itself print once per page run at their design places. They
    // travel in a carrier band for the time of printing and go back to their places after.
    std::vector<size_t> places;
    for (size_t i = 0; i < page.ObjectCount(); ++i)
        if (page.Object(i)->IsView()) places.push_back(i);
    if (places.empty()) return;

    TvlxNullBand carrier;
    carrier.SetBounds(0, 0, FPageWidth, GetPageHeight());
    carrier.SetFont(page.Font()); // views that follow the page's font keep it
    std::vector<TvlxComponent*> moved;
    for (size_t index : places)
        moved.push_back(page.Object(index));
    for (TvlxComponent* view : moved)
        carrier.AddChild(page.TakeChild(view));
    carrier.AlignChildren();

    const double saveX = FCurX;
    const double saveY = FCurY;
    FCurX = 0;
    FCurY = 0;
    // The views go back whatever happens while the carrier prints.
    struct PutBack
    {
        TvlxNullBand& Carrier;
        TvlxReportPage& Page;
        const std::vector<size_t>& Places;
        ~PutBack()
        {
            for (size_t i = 0; i < Places.size() && Carrier.ObjectCount() > 0; ++i)
                Page.InsertChild(Places[i], Carrier.TakeChild(Carrier.Object(0)));
        }
    } putBack{carrier, page, places};
    ShowBand(&carrier);
    FCurX = saveX;
    FCurY = saveY;
}

// ---- Measures

double TvlxEngine::ChainHeight(const TvlxBand* band) const
{
    double height = 0;
    for (; band != nullptr; band = band->Child())
        height += band->Height();
    return height;
}

double TvlxEngine::HeaderHeight() const
{
    if (FPage == nullptr) return 0;
    return ChainHeight(FPage->FindBand<TvlxColumnHeader>()) +
           ChainHeight(FPage->FindBand<TvlxPageHeader>());
}

double TvlxEngine::FooterHeight() const
{
    if (FPage == nullptr) return 0;
    double height = 0;
    if (auto* footer = FPage->FindBand<TvlxColumnFooter>()) height += footer->Height();
    if (auto* footer = FPage->FindBand<TvlxPageFooter>()) height += footer->Height();
    return height;
}

double TvlxEngine::GetPageHeight() const
{
    if (FPage != nullptr && FPage->FEndlessHeight) return FooterHeight() + FCurY;
    return FPageHeight;
}

double TvlxEngine::FreeSpace() const
{
    if (FPage != nullptr && FPage->FEndlessHeight) return 1000000;
    if (FPrevFooterHeight != 0) return FPageHeight - FPrevFooterHeight - FCurY;
    return FPageHeight - FooterHeight() - FCurY;
}

// ---- Seam answers

void TvlxEngine::ClearPreparedPages()
{
    FPreviewPages.Clear();
}

int32_t TvlxEngine::LogicalPage() const
{
    return FPreviewPages.GetLogicalPageNo();
}

int32_t TvlxEngine::PhysicalPage() const
{
    return FPreviewPages.CurPage() + 1;
}

int32_t TvlxEngine::LogicalTotalPages() const
{
    return FPreviewPages.GetLogicalTotalPages();
}

Variant TvlxEngine::GetAggregateValue(StringView name,
                                      StringView expression,
                                      const Variant& band,
                                      int64_t flags)
{
    return FAggregates.GetValue(FCurBand, FCurVColumn, name, expression, band, flags);
}

const void* TvlxEngine::OutlineObject() const
{
    return &FPreviewPages.Outline();
}

} // namespace vl
