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

constexpr int OverlayNumber = 17;

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
    // counts per column, see AddVerticalColumnValues).
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
    if (band.Visible() && band.FStartNewPage && !FInPageStart && !FPlaceDirectly &&
        !(IsDataOrGroupHeader(band) && band.FLineN == 1)) {
        FStartNewPageBand = &band;
        auto* group = dynamic_cast<TvlxGroupHeader*>(&band);
        if (group != nullptr && group->FResetPageNumbers) FPreviewPages.ResetLogicalPageNumber();
        NewPage();
        FStartNewPageBand = nullptr;
    }

    PrepareBand(band);
    if (band.Visible()) {
        const bool isNullBand = dynamic_cast<TvlxNullBand*>(&band) != nullptr;
        const bool checked = !IsMultiColumnDataBand(band) && !isNullBand &&
                             band.BandNumber() != OverlayNumber && !FInPageStart && !FPlaceDirectly;
        if (checked && FreeSpace() < band.Height()) {
            // A band taller than a whole column at the top of an empty column would only leave
            // an empty page behind: it is placed there and cut by the page end.
            const bool tallerThanColumn = band.Height() > GetPageHeight() - FooterHeight();
            const bool columnEmpty = FCurY <= FFirstColumnY + 0.0001;
            if (!(tallerThanColumn && columnEmpty) && !FCallFromPHeader) {
                FCurBand = &band;
                NewColumn();
            }
        }
        if (!isNullBand) {
            band.SetLeft(IsMultiColumnDataBand(band) ? band.Left() + FCurX : FCurX);
            band.SetTop(FCurY);
        }
        StoreBand(band);
        FCurY += band.Height();
    }
    UnprepareBand(band);
    // Aggregates: the totals printed in this band start over.
    FAggregates.Reset(band);
}

void TvlxEngine::StoreBand(TvlxBand& band)
{
    if (FInPageStart && FPreviewPages.BandExists(band)) return;
    FPreviewPages.AddObject(band);
}

} // namespace vl
