// Output pages and columns: the start of a page run and of each output page (overlay, title,
// page header, re-printed headers, column header), the end of a page (column footer, report
// summary, page footer, overlay on top), the breaks to a new page or page column, and the paper
// of endless pages, which grows with their content.
#include "base/scoped_value.h"
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/paper_size.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/units.h"

#include <cmath>
#include <vector>

namespace vl {

void TvlxEngine::StartPage()
{
    ScopedValue<bool> inPageStart(FInPageStart, true);
    auto* title = FPage->FindBand<TvlxReportTitle>();
    auto* pageHeader = FPage->FindBand<TvlxPageHeader>();
    FHeaderList.Clear();
    FOutlineGroups.clear();
    if (FPage->FTitleBeforeHeader) {
        FHeaderList.AddItem(title, 0, false);
        FHeaderList.AddItem(pageHeader, 0, false);
    } else {
        FHeaderList.AddItem(pageHeader, 0, false);
        FHeaderList.AddItem(title, 0, false);
    }
    FPageHeight = (FPage->PaperHeight() - FPage->TopMargin() - FPage->BottomMargin()) * PixelsPerMm;
    FPageWidth = (FPage->PaperWidth() - FPage->LeftMargin() - FPage->RightMargin()) * PixelsPerMm;
    FCurX = 0;
    FCurY = 0;
    FPageCurX = 0;
    FCurColumn = 1;
    FVMasterBand = nullptr;
    FIsFirstPage = true;
    FIsLastPage = false;
    FPreviewPages.Outline().LevelRoot();
    if (FPage->FResetPageNumbers) FPreviewPages.ResetLogicalPageNumber();

    if (FPreviewPages.Count() > 0 && FPage->FPrintOnPreviousPage) {
        FPreviewPages.SetCurPage(FPreviewPages.Count() - 1);
        FCurY = FPreviewPages.GetLastY();
        FHeaderList.RemoveItem(title);
        ShowBand(title);
    } else {
        AddOutputPage();
    }
    if (FFirstReportPage) FPreviewPages.SetFirstPage(FPreviewPages.CurPage());

    FFirstColumnY = FCurY;
    auto* columnHeader = FPage->FindBand<TvlxColumnHeader>();
    ShowBand(columnHeader);
    FHeaderList.AddItem(columnHeader, FPageCurX, false);
    FHeaderList.RemoveItem(title);
    AddPageOutline();
}

void TvlxEngine::AddPageOutline()
{
    FPreviewPages.Outline().LevelRoot();
    if (FPage->FOutlineText.empty()) return;
    FReport.FCurObject = FPage->Name();
    FPreviewPages.Outline().AddItem(FReport.Calc(FPage->FOutlineText).ToText(), 0);
}

bool TvlxEngine::AddBandOutline(TvlxBand& band)
{
    if (band.FOutlineText.empty() || !band.Visible()) return false;
    const double height = band.FStretched ? band.FStretchedHeight : band.Height();
    FReport.FCurObject = band.Name();
    const String text = FReport.Calc(band.FOutlineText).ToText();
    FPreviewPages.Outline().AddItem(text, static_cast<int32_t>(std::nearbyint(FCurY - height)));
    return true;
}

void TvlxEngine::AddOutputPage()
{
    ScopedValue<bool> inPageStart(FInPageStart, true);
    FPrevFooterHeight = 0;
    FPreviewPages.AddPage(*FPage);
    FCurY = 0;
    auto* overlay = FPage->FindBand<TvlxOverlay>();
    if (overlay != nullptr && !overlay->FPrintOnTop) ShowBand(overlay);
    FCurY = 0;
    FFirstColumnY = 0;

    for (int32_t i = 0; i < FHeaderList.Count(); ++i) {
        const TvlxHeaderListItem item = FHeaderList[i];
        auto* band = dynamic_cast<TvlxBand*>(item.Band);
        if (band == nullptr || band == FStartNewPageBand) continue;
        const bool dataHeader = dynamic_cast<TvlxHeader*>(band) != nullptr;
        const bool groupHeader = dynamic_cast<TvlxGroupHeader*>(band) != nullptr;
        if (((dataHeader && FKeepHeader) || item.IsInKeepList) && !FKeepFooter) continue;
        if ((dataHeader || groupHeader) && FDontShowHeaders) continue;
        if (dataHeader && band == FLastBandOnPage) continue;
        auto* pageHeader = dynamic_cast<TvlxPageHeader*>(band);
        if (pageHeader != nullptr && FIsFirstPage && !pageHeader->FPrintOnFirstPage) {
            if (!pageHeader->FPrintChildIfInvisible) continue;
            band = pageHeader->Child(); // printed in the header's place
            if (band == nullptr) continue;
        }

        const double saveX = FCurX;
        const int32_t saveLine = FCurLine;
        const int32_t saveLineThrough = FCurLineThrough;
        FCurX = item.Left;
        FCurLine = band->FLineN;
        FCurLineThrough = band->FLineThrough;
        {
            ScopedValue<bool> fromAddPage(FCallFromAddPage, true);
            ScopedValue<bool> fromPageHeader(FCallFromPHeader, pageHeader != nullptr);
            ReprintBand(*band);
        }
        FCurX = saveX;
        FCurLine = saveLine;
        FCurLineThrough = saveLineThrough;

        if (dynamic_cast<TvlxReportTitle*>(item.Band) != nullptr) {
            FHeaderList.RemoveItem(item.Band); // the title prints once
            --i;
            if (FIsFirstBand) FTitlePrinted = true;
        }
        if (pageHeader != nullptr) FFirstColumnY = FCurY;
    }
}

void TvlxEngine::EndPage()
{
    if (!FCallFromEndPage) {
        if (auto* footer = FPage->FindBand<TvlxColumnFooter>()) {
            const double saveX = FCurX;
            FCurX -= FPageCurX;
            ScopedValue<bool> placeDirectly(FPlaceDirectly, true);
            ShowBand(footer);
            FCurX = saveX;
        }
    }
    if (!FIsLastPage) {
        FCurX = FPageCurX;
        FCurColumn = 1;
    } else if (!FCallFromEndPage) {
        ScopedValue<bool> fromEndPage(FCallFromEndPage, true);
        auto* summary = FPage->FindBand<TvlxReportSummary>();
        ShowBand(summary);
        // The summary made the endless page longer: the paper grows with it.
        if (summary != nullptr && FPage->FEndlessHeight)
            UpdateEndlessDimensions(
                FPage->LeftMargin() * PixelsPerMm + FPageWidth + FPage->RightMargin() * PixelsPerMm,
                GetPageHeight() + (FPage->TopMargin() + FPage->BottomMargin()) * PixelsPerMm);
    }
    FPageEndY = GetPageHeight();

    if (auto* footer = FPage->FindBand<TvlxPageFooter>()) {
        const bool lastPage = FIsLastPage && !FCallFromEndPage;
        FCurY = GetPageHeight() - footer->Height();
        FPrevFooterHeight = lastPage && footer->FPrintOnLastPage ? footer->Height() : 0;
        const bool leftOut =
            (FIsFirstPage && !footer->FPrintOnFirstPage) || (lastPage && !footer->FPrintOnLastPage);
        if (leftOut) {
            // Prepared and put back unplaced; its aggregates keep their values.
            PrepareBand(*footer);
            UnprepareBand(*footer);
        } else {
            const double saveX = FCurX;
            FCurX = 0;
            ScopedValue<bool> inPageStart(FInPageStart, true); // stored once, never moved
            ShowBand(footer);
            FCurX = saveX;
        }
    }
    auto* overlay = FPage->FindBand<TvlxOverlay>();
    if (overlay != nullptr && overlay->FPrintOnTop) {
        FCurY = 0;
        ScopedValue<bool> inPageStart(FInPageStart, true);
        ShowBand(overlay);
    }
    FIsFirstPage = false;
}

void TvlxEngine::NewPage()
{
    // A kept block that cannot fit below the headers of any page would only leave an empty page
    // behind: it is let go and printed where it is.
    if (FKeeping && FKeepBand != nullptr &&
        FCurY - FKeepCurY + FKeepBand->Height() > GetPageHeight() - FooterHeight() - HeaderHeight())
        BreakAllKeep();

    TvlxBand* travellingHeader = nullptr;
    if (FKeeping) {
        if (FKeepFooter && FKeepBand != nullptr) FAggregates.DeleteValue(*FKeepBand);
        FPreviewPages.CutObjects(FKeepPosition);
        // The data header travels with the block when the block began with it; only a header
        // that was to be re-printed goes back into the list afterwards.
        auto* data = dynamic_cast<TvlxDataBand*>(FCurBand);
        if (data != nullptr && std::abs(FPreviewPages.GetLastY() - FCurY) >= CoordinateTolerance &&
            FHeaderList.RemoveItem(data->FHeader))
            travellingHeader = data->FHeader;
    }
    FLastBandOnPage = FCurBand;
    EndPage();
    if (FPage->FEndlessHeight) FreezeEndlessPage();
    AddOutputPage();
    FLastBandOnPage = nullptr;
    if (FKeeping) {
        FAggregates.EndKeep();
        MoveKeptBlock(0);
        if (FKeepFooter && FKeepBand != nullptr) FAggregates.RestoreValue(*FKeepBand);
        if (travellingHeader != nullptr) FHeaderList.AddItem(travellingHeader, FPageCurX, false);
    }
    FKeeping = false;
    FKeepHeader = false;
    FKeepCurY = 0;
    AddPageOutline();
}

void TvlxEngine::MoveKeptBlock(double x)
{
    FPreviewPages.PasteObjects(x, FCurY);
    const auto newTop = static_cast<int32_t>(std::nearbyint(FCurY));
    FPreviewPages.Outline().ShiftItems(FKeepOutline, newTop);
    FPreviewPages.ShiftAnchors(FKeepAnchor, newTop);
    FCurY = FPreviewPages.GetLastY(x);
}

void TvlxEngine::NewColumn()
{
    if (FCurColumn >= FPage->Columns()) {
        NewPage();
        return;
    }
    if (FKeeping) {
        if (FKeepFooter && FKeepBand != nullptr) FAggregates.DeleteValue(*FKeepBand);
        FPreviewPages.CutObjects(FKeepPosition);
        FCurY = FPreviewPages.GetLastY();
    }
    FLastBandOnPage = FCurBand;
    if (auto* footer = FPage->FindBand<TvlxColumnFooter>()) {
        ScopedValue<bool> placeDirectly(FPlaceDirectly, true);
        ShowBand(footer);
    }
    ++FCurColumn;
    const double columnX =
        FPage->ColumnPositionMm(static_cast<size_t>(FCurColumn - 1)) * PixelsPerMm;
    FCurY = FFirstColumnY;
    for (int32_t i = 0; i < FHeaderList.Count(); ++i) {
        const TvlxHeaderListItem item = FHeaderList[i];
        auto* band = dynamic_cast<TvlxBand*>(item.Band);
        if (band == nullptr || dynamic_cast<TvlxPageHeader*>(band) != nullptr) continue;
        if (band == FLastBandOnPage || item.IsInKeepList || FKeepHeader) continue;
        FCurX = item.Left + columnX;
        ScopedValue<bool> placeDirectly(FPlaceDirectly, true);
        ReprintBand(*band);
    }
    FCurX = FPageCurX + columnX;
    FLastBandOnPage = nullptr;
    if (FKeeping) {
        FAggregates.EndKeep();
        MoveKeptBlock(FCurX);
        if (FKeepFooter && FKeepBand != nullptr) FAggregates.RestoreValue(*FKeepBand);
        BreakAllKeep();
    }
}

void TvlxEngine::ReprintBand(TvlxBand& band)
{
    std::vector<TvlxBand*> chain;
    for (TvlxBand* b = &band; b != nullptr; b = b->Child())
        chain.push_back(b);
    for (TvlxBand* b : chain)
        b->Overflow = true;
    // Overflow is cleared whatever the printing raises.
    struct ClearOverflow
    {
        std::vector<TvlxBand*>& Chain;
        ~ClearOverflow()
        {
            for (TvlxBand* b : Chain)
                b->Overflow = false;
        }
    } clear{chain};
    ShowBand(&band);
}

void TvlxEngine::UpdateEndlessDimensions(double width, double height)
{
    FPreviewPages.UpdatePageDimensions(*FPage, width, height);
}

void TvlxEngine::FreezeEndlessPage()
{
    // The output page just ended keeps its own paper: later pages of the same design page may
    // end at other heights.
    auto* page = dynamic_cast<TvlxReportPage*>(FPreviewPages.Page(FPreviewPages.CurPage()));
    if (page == nullptr) return;
    const double width = FPage->FEndlessWidth
                             ? FPageWidth / PixelsPerMm + FPage->LeftMargin() + FPage->RightMargin()
                             : FPage->PaperWidth();
    const double height = FPage->FEndlessHeight
                              ? FPageEndY / PixelsPerMm + FPage->TopMargin() + FPage->BottomMargin()
                              : FPage->PaperHeight();
    page->SetSizeAndDimensions(CustomPaperSize, width, height);
    FPreviewPages.ModifyPage(FPreviewPages.CurPage(), *page);
}

} // namespace vl
