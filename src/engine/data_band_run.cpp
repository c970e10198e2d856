// Data bands over their datasets: the records of a band, master/detail nesting, RowCount, the
// printable-detail check, headers, footers and data-band columns.
#include "base/variant.h"
#include "engine/band_tree.h"
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/units.h"
#include "request/dataset_adapter.h"

#include <algorithm>

namespace vl {

void TvlxEngine::RunDataBands(const std::vector<TvlxBand*>& bands)
{
    for (TvlxBand* band : bands) {
        if (Terminated()) break;
        if (TvlxDataSet* dataSet = BandDataSet(*band)) RunDataBand(*band, *dataSet);
    }
}

void TvlxEngine::RunDataBand(TvlxBand& band, TvlxDataSet& dataSet)
{
    auto& data = static_cast<TvlxDataBand&>(band);
    dataSet.First();
    data.FLineN = 1;
    data.SetCurColumn(1);
    ResetSuppressed(data);
    bool firstRecord = true;
    bool printedAny = false;
    while (!dataSet.Eof()) {
        if (HasPrintableDetail(data, data.FSubBands, data.FPrintIfDetailEmpty)) {
            const bool keepHeader = firstRecord && data.FKeepHeader && data.FHeader != nullptr;
            if (firstRecord) {
                if (keepHeader) {
                    // A printed title lets the header's keep start before any record.
                    if (FIsFirstBand) FIsFirstBand = !FTitlePrinted;
                    FKeepHeader = !FIsFirstBand;
                    StartKeep(&data);
                }
                if (data.FHeader != nullptr) {
                    auto* header = dynamic_cast<TvlxHeader*>(data.FHeader);
                    if (header != nullptr && header->FReprintOnNewPage)
                        FHeaderList.AddItem(header, FPageCurX, false);
                    ShowBand(data.FHeader);
                }
                if (data.FKeepTogether) StartKeep(&data);
            } else if (data.FKeepTogether && data.FGroup == nullptr) {
                StartKeep(&data);
            }
            if (data.FGroup != nullptr) {
                if (firstRecord)
                    StartGroups(data, 0, true);
                else
                    CheckGroups(data, dataSet);
            }
            FKeepFooterPosition = FPreviewPages.GetCurPosition();
            if (data.FColumns > 1 && data.CurColumn() == 1) {
                FRowStartPosition = FPreviewPages.GetCurPosition();
                FRowStartY = FCurY;
            }
            const double rowStart = FCurY;
            FCurLine = data.FLineN;
            FCurLineThrough = data.FLineThrough;
            ShowBand(&data);
            FKeepHeader = false;
            for (TvlxComponent* listener : FNotifyList)
                listener->OnNotify(&data);
            if (keepHeader) EndKeep(&data);

            FHBandNamesTree.emplace_back(data.Name(), data.FLineThrough);
            ++data.FLineN;
            ++data.FLineThrough;
            CloseColumnRecord(data, rowStart);
            const bool outlineLevel = AddBandOutline(data);
            RunDataBands(data.FSubBands);
            FHBandNamesTree.pop_back();
            if (outlineLevel) FPreviewPages.Outline().LevelUp();
            FIsFirstBand = false;
            if (data.FFooterAfterEach) ShowBand(data.FFooter);
            firstRecord = false;
            printedAny = true;
            if (data.FKeepTogether && data.FGroup == nullptr) EndKeep(&data);
        }
        dataSet.Next();
        if (data.RowCount() > 0 && data.FLineN > data.RowCount()) break;
        if (Terminated()) break;
    }
    CloseColumnRow(data);

    if (printedAny) {
        if (data.FGroup != nullptr) ShowGroupFooters(data, 0);
        if (FKeeping) FHeaderList.RemoveItem(data.FHeader);
        if (!data.FFooterAfterEach) {
            // With KeepFooter the last record goes along when the footer breaks.
            FKeepFooter = true;
            if (data.FKeepFooter) StartKeep(&data, FKeepFooterPosition);
            ShowBand(data.FFooter);
            if (data.FKeepFooter) EndKeep(&data);
            FKeepFooter = false;
        }
        FHeaderList.RemoveItem(data.FHeader);
        if (data.FGroup != nullptr && data.FKeepTogether) EndKeep(&data);
    }
    FIsFirstBand = false;
}

void TvlxEngine::CloseColumnRecord(TvlxDataBand& band, double rowStart)
{
    if (!band.Visible() || band.FColumns <= 1) return;
    band.FMaxY = std::max(band.FMaxY, FCurY);
    if (band.CurColumn() < band.FColumns) {
        FCurY = rowStart; // the next record prints beside this one
    } else if (GetPageHeight() - FooterHeight() - band.FMaxY > CoordinateTolerance ||
               (FPage != nullptr && FPage->FEndlessHeight) ||
               FOutputTo != nullptr) { // a subreport's collector never breaks
        FCurY = band.FMaxY;
    } else if (FKeeping) {
        // The kept block holds the row and moves with it.
        FCurBand = &band;
        NewColumn();
    } else if (FRowStartY <= FFirstColumnY + CoordinateTolerance) {
        // A row taller than a whole column stays where it began: moving it would only leave an
        // empty column behind.
        FCurY = band.FMaxY;
    } else {
        // The row does not fit: it moves whole to the next column or page.
        const double rowHeight = band.FMaxY - FRowStartY;
        FPreviewPages.CutObjects(FRowStartPosition);
        FCurBand = &band;
        NewColumn();
        FPreviewPages.PasteObjects(FCurX, FCurY);
        FCurY += rowHeight;
    }
    band.SetCurColumn(band.CurColumn() + 1);
}

void TvlxEngine::CloseColumnRow(TvlxDataBand& band)
{
    // Column 1 is next when the last row was completed: there is nothing left to close, and
    // closing again could move a finished row.
    if (band.CurColumn() == 1) return;
    band.SetCurColumn(std::max(band.FColumns, 1));
    CloseColumnRecord(band, FCurY);
}

bool TvlxEngine::HasPrintableDetail(TvlxComponent& container,
                                    const std::vector<TvlxBand*>& subBands,
                                    bool printAnyway)
{
    if (printAnyway) return true;
    if (subBands.empty()) return !container.IsPage();
    // At most six levels deep: detail bands nest by data level.
    for (TvlxBand* detail : subBands) {
        TvlxDataSet* dataSet = BandDataSet(*detail);
        if (dataSet == nullptr) continue;
        auto& data = static_cast<TvlxDataBand&>(*detail);
        FReport.DoNotifyEvent(&data, data.FOnMasterDetail);
        for (dataSet->First(); !dataSet->Eof(); dataSet->Next())
            if (HasPrintableDetail(data, data.FSubBands, data.FPrintIfDetailEmpty)) return true;
    }
    return false;
}

} // namespace vl
