// Showing one band at CurY: its child chain, a new page for StartNewPage, the preparation
// (band_prepare.cpp), the fit check with a break to the next column or page, and the copy that
// goes to the prepared-page store.
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"

#include <algorithm>

namespace vl {

namespace {

bool IsDataOrGroupHeader(const TvlxBand& band)
{
    return dynamic_cast<const TvlxDataBand*>(&band) != nullptr ||
           dynamic_cast<const TvlxGroupHeader*>(&band) != nullptr;
}

} // namespace

void TvlxEngine::ShowBand(TvlxBand* band)
{
    // The child chain is loop-free (TvlxBand::SetChild refuses loops); walking it in a loop
    // keeps long chains off the stack. A band with KeepChild keeps the rest of the chain with it.
    TvlxBand* keptBy = nullptr;
    TvlxBand* const shown = band;
    while (band != nullptr) {
        if (band->FKeepChild && keptBy == nullptr) {
            StartKeep(band);
            keptBy = band;
        }
        OutputBand(*band);
        const auto* data = dynamic_cast<const TvlxDataBand*>(band);
        const bool inLaterColumn = data != nullptr && data->FColumns > 1 && data->CurColumn() > 1;
        if ((!band->Visible() && !band->FPrintChildIfInvisible) || inLaterColumn) break;
        band = band->Child();
    }
    EndKeep(keptBy);
    // Aggregates: the totals counting a data band take the record it printed (a vertical band
    // counts per column, see ShowVerticalBand).
    if (dynamic_cast<TvlxDataBand*>(shown) != nullptr && !shown->FVertical)
        FAggregates.AddValue(*shown);
}

void TvlxEngine::ShowBand(const ClassInfo& bandClass)
{
    if (FPage != nullptr) ShowBand(FPage->FindBand(bandClass));
}

void TvlxEngine::ShowBandByName(StringView bandName)
{
    ShowBand(dynamic_cast<TvlxBand*>(FReport.FindComponent(bandName)));
}

bool TvlxEngine::IsMultiColumnDataBand(const TvlxBand& band) const
{
    const auto* data = dynamic_cast<const TvlxDataBand*>(&band);
    return data != nullptr && data->FColumns > 1;
}

void TvlxEngine::OutputBand(TvlxBand& band)
{
    FCurBand = &band;
    // Vertical bands print as columns of their master (vertical_bands.cpp).
    if (band.FVertical) {
        ShowVerticalBand(band);
        return;
    }
    const bool verticalMaster = band.FHasVBands && dynamic_cast<TvlxPageHeader*>(&band) == nullptr;
    if (verticalMaster) StartVerticalMaster(band);

    if (band.Visible() && band.FStartNewPage && !FInPageStart && !FPlaceDirectly &&
        FOutputTo == nullptr && !(IsDataOrGroupHeader(band) && band.FLineN == 1)) {
        FStartNewPageBand = &band;
        auto* group = dynamic_cast<TvlxGroupHeader*>(&band);
        if (group != nullptr && group->FResetPageNumbers) FPreviewPages.ResetLogicalPageNumber();
        NewPage();
        FStartNewPageBand = nullptr;
    }

    PrepareBand(band);
    bool placed = false;
    if (band.Visible()) {
        const bool isNullBand = dynamic_cast<TvlxNullBand*>(&band) != nullptr;
        const bool checked = !IsMultiColumnDataBand(band) && !isNullBand &&
                             dynamic_cast<TvlxOverlay*>(&band) == nullptr && !FInPageStart &&
                             !FPlaceDirectly && FOutputTo == nullptr;
        // A band that does not fit is split across pages, or moves to the next column or page.
        const bool split = checked && FreeSpace() < band.Height() && MakeRoomForBand(band);
        if (!split) {
            if (!isNullBand) {
                band.SetLeft(IsMultiColumnDataBand(band) ? band.Left() + FCurX : FCurX);
                band.SetTop(FCurY);
            }
            if (verticalMaster)
                StoreVerticalMaster(band);
            else
                StoreBand(band);
            FCurY += band.Height();
            placed = true;
        }
    }
    UnprepareBand(band);
    // Aggregates: the totals printed in this band start over.
    FAggregates.Reset(band);
    if (verticalMaster) EndVerticalMaster(band);
    if (placed) RunSubreportsAfterBand(band);
}

void TvlxEngine::StoreBand(TvlxBand& band)
{
    if (FOutputTo != nullptr) {
        CopyToCollector(band);
        return;
    }
    if (FInPageStart && FPreviewPages.BandExists(band)) return;
    FPreviewPages.AddObject(band);
}

} // namespace vl
