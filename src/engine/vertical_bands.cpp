// Vertical bands: data bands laid out across the page. The objects of a horizontal band that lie
// inside a vertical band's extent belong to that vertical band; when the horizontal band (the
// vertical master) prints, the vertical bands run over their datasets and copy those objects
// into it side by side, one column per band shown. Columns that do not fit to the right go to
// the next output page, so the master is stored in segments, one per page.
#include "base/scoped_value.h"
#include "engine/band_tree.h"
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/units.h"
#include "request/dataset_adapter.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace vl {

namespace {

// Exchanges two values for a scope and back again, errors included.
template <class T>
class SwapScope
{
public:
    SwapScope(T& a, T& b)
        : FA(a)
        , FB(b)
    {
        std::swap(FA, FB);
    }
    ~SwapScope() { std::swap(FA, FB); }
    SwapScope(const SwapScope&) = delete;
    SwapScope& operator=(const SwapScope&) = delete;

private:
    T& FA;
    T& FB;
};

bool IsFooter(const TvlxBand& band)
{
    return dynamic_cast<const TvlxFooter*>(&band) != nullptr ||
           dynamic_cast<const TvlxGroupFooter*>(&band) != nullptr;
}

} // namespace

void HandOverToVerticalBands(TvlxReportPage& page)
{
    std::vector<TvlxBand*> verticals;
    for (const auto& child : page.Objects()) {
        auto* band = dynamic_cast<TvlxBand*>(child.get());
        if (band != nullptr && band->FVertical) verticals.push_back(band);
    }
    if (verticals.empty()) return;

    for (const auto& child : page.Objects()) {
        auto* band = dynamic_cast<TvlxBand*>(child.get());
        if (band == nullptr || band->FVertical || dynamic_cast<TvlxOverlay*>(band) != nullptr)
            continue;
        std::vector<TvlxComponent*> objects;
        for (const auto& object : band->Objects())
            objects.push_back(object.get());
        for (TvlxComponent* object : objects) {
            const double left = band->Left() + object->Left();
            const double right = left + object->Width();
            for (TvlxBand* vertical : verticals) {
                if (left < vertical->Left() - CoordinateTolerance ||
                    right > vertical->Left() + vertical->Width() + CoordinateTolerance)
                    continue;
                object->FOriginalBand = band;
                vertical->AddChild(band->TakeChild(object));
                object->SetLeft(left - vertical->Left());
                band->FHasVBands = true;
                break;
            }
        }
    }
}

void TvlxEngine::StartVerticalMaster(TvlxBand& band)
{
    FVMasterCurX = FCurX;
    FReport.FCurObject = band.Name();
    band.BeforePrint();
    FReport.DoBeforePrint(band);
    FVMasterBand = &band;
    band.FOriginalObjectsCount = static_cast<int32_t>(band.ObjectCount());
    band.FAllowSplit = false; // a master is never split
    FVMasterPage = FPreviewPages.CurPage();
    FVHeaderList.Clear();
    FVPageList.assign(1, 0);
    FCurVColumn = 0;
    if (auto* page = dynamic_cast<TvlxReportPage*>(band.Page())) {
        // While the columns print, the header list in use is the vertical one, and no keep
        // starts (a keep never starts while FIsFirstBand is set).
        SwapScope<TvlxHeaderList> headers(FHeaderList, FVHeaderList);
        ScopedValue<bool> noKeeping(FIsFirstBand, true);
        RunVerticalDataBands(page->FVSubBands);
    }
    FVPageList.push_back(band.ObjectCount());
    FPreviewPages.SetCurPage(FVMasterPage);
    FCurX = 0;
    FCurLine = band.FLineN;
    FCurLineThrough = band.FLineThrough;
    FPreviewPages.SetAddPageAction(TvlxAddPageAction::apAdd);
}

void TvlxEngine::RunVerticalDataBands(const std::vector<TvlxBand*>& bands)
{
    for (TvlxBand* band : bands) {
        if (Terminated()) break;
        if (TvlxDataSet* dataSet = BandDataSet(*band))
            RunVerticalDataBand(static_cast<TvlxDataBand&>(*band), *dataSet);
    }
}

void TvlxEngine::RunVerticalDataBand(TvlxDataBand& band, TvlxDataSet& dataSet)
{
    // Every record prints; no keeping, columns, outline or drill-down names across the page.
    dataSet.First();
    band.FLineN = 1;
    bool printedAny = false;
    while (!dataSet.Eof()) {
        if (!printedAny && band.FHeader != nullptr) {
            auto* header = dynamic_cast<TvlxHeader*>(band.FHeader);
            if (header != nullptr && header->FReprintOnNewPage)
                FHeaderList.AddItem(header, FCurX, false);
            ShowBand(band.FHeader);
        }
        if (band.FGroup != nullptr) {
            if (!printedAny)
                StartGroups(band, 0, true);
            else
                CheckGroups(band, dataSet);
        }
        FCurLine = band.FLineN;
        FCurLineThrough = band.FLineThrough;
        ShowBand(&band);
        for (TvlxComponent* listener : FNotifyList)
            listener->OnNotify(&band);
        ++band.FLineN;
        ++band.FLineThrough;
        RunVerticalDataBands(band.FSubBands);
        if (band.FFooterAfterEach) ShowBand(band.FFooter);
        printedAny = true;
        dataSet.Next();
        if (band.RowCount() > 0 && band.FLineN > band.RowCount()) break;
        if (Terminated()) break;
    }
    if (band.FGroup != nullptr) ShowGroupFooters(band, 0);
    if (printedAny) {
        if (!band.FFooterAfterEach) ShowBand(band.FFooter);
        FHeaderList.RemoveItem(band.FHeader);
    }
}

void TvlxEngine::ShowVerticalBand(TvlxBand& band)
{
    // A vertical band prints only as a column of a master (never on its own, e.g. from a
    // header list).
    if (FVMasterBand == nullptr) return;
    TvlxBand& master = *FVMasterBand;
    const bool isData = dynamic_cast<TvlxDataBand*>(&band) != nullptr;
    if (isData) ++FCurVColumn;
    FCurBand = IsFooter(band) ? &band : &master;

    FReport.FCurObject = band.Name();
    band.BeforePrint();
    FReport.DoBeforePrint(band);
    if (band.Visible()) {
        // A column that does not fit goes to the next page, unless it starts a page already
        // (it is cut there) or is a header shown again at a page's left: paging always ends.
        // A master printed into a subreport's collector never breaks.
        if (FCurX + band.Width() > FPageWidth && FPage != nullptr) {
            if (FPage->FEndlessWidth) {
                FPageWidth += band.Width();
            } else if (FCurX > 0 && !FShowingVHeaders && FOutputTo == nullptr) {
                if (FPreviewPages.CurPage() + 1 < FPreviewPages.Count()) {
                    FPreviewPages.SetCurPage(FPreviewPages.CurPage() + 1);
                } else {
                    FPreviewPages.SetAddPageAction(TvlxAddPageAction::apAdd);
                    FPreviewPages.AddPage(*FPage);
                }
                FCurX = 0;
                FVPageList.push_back(master.ObjectCount());
                // FHeaderList is the vertical header list while the columns print.
                std::vector<TvlxBand*> headers;
                for (int32_t i = 0; i < FHeaderList.Count(); ++i)
                    if (auto* header = dynamic_cast<TvlxBand*>(FHeaderList[i].Band))
                        if (header != &band) headers.push_back(header);
                ScopedValue<bool> showing(FShowingVHeaders, true);
                for (TvlxBand* header : headers) {
                    header->Overflow = true;
                    ShowBand(header);
                    header->Overflow = false;
                }
                FCurBand = IsFooter(band) ? &band : &master;
            }
        }

        // Copies are made outside the report's naming scope and then handed to the master.
        TvlxNullBand holder;
        std::vector<TvlxReportComponent*> objects;
        for (const auto& object : band.Objects())
            if (object->FOriginalBand.Get() == &master)
                if (auto* component = dynamic_cast<TvlxReportComponent*>(object.get()))
                    objects.push_back(component);
        for (TvlxReportComponent* object : objects) {
            FReport.FCurObject = object->Name();
            object->BeforePrint();
            FReport.DoBeforePrint(*object);
            if (object->Visible()) {
                object->GetData();
                FReport.DoNotifyEvent(object, object->FOnAfterData);
                TvlxComponent* copy = TvlxComponent::Create(object->ClassType(), &holder);
                copy->Assign(*object);
                copy->SetLeft(object->Left() + FCurX);
                copy->SetTop(object->Top());
                master.AddChild(holder.TakeChild(copy));
                FReport.DoAfterPrint(*object);
            }
            object->AfterPrint();
        }
        FCurX += band.Width();
        FReport.DoAfterPrint(band);
    }
    band.AfterPrint();
    // Totals: a data band's record counts in this column; a footer's totals start over.
    if (isData)
        FAggregates.AddValue(band, FCurVColumn);
    else if (IsFooter(band))
        FAggregates.Reset(band);
}

void TvlxEngine::StoreVerticalMaster(TvlxBand& band)
{
    const size_t total = band.ObjectCount();
    if (FVPageList.size() <= 2 || FOutputTo != nullptr) {
        StoreBand(band);
        return;
    }

    // The master holds one page's objects at a time.
    std::vector<std::unique_ptr<TvlxComponent>> all;
    while (band.ObjectCount() > 0)
        all.push_back(band.TakeChild(band.Object(0)));
    const int32_t savePage = FPreviewPages.CurPage();
    const double saveX = FCurX;
    const double saveY = FCurY;
    const double left = band.Left();
    const double top = band.Top();
    {
        // Pages to the right carry the master at the same height; no header reprints there and
        // nothing kept travels along.
        ScopedValue<int32_t> column(FCurColumn, FCurColumn);
        ScopedValue<double> firstColumnY(FFirstColumnY, FFirstColumnY);
        ScopedValue<bool> keeping(FKeeping, false);
        ScopedValue<bool> keepHeader(FKeepHeader, FKeepHeader);
        ScopedValue<double> keepCurY(FKeepCurY, FKeepCurY);
        ScopedValue<bool> dontShowHeaders(FDontShowHeaders, true);
        const size_t segments = FVPageList.size() - 1;
        for (size_t segment = 0; segment < segments; ++segment) {
            const size_t from = std::min(FVPageList[segment], total);
            const size_t to =
                segment + 1 == segments ? total : std::min(FVPageList[segment + 1], total);
            if (segment > 0) {
                FPreviewPages.SetAddPageAction(TvlxAddPageAction::apWriteOver);
                NewPage();
            }
            for (size_t i = from; i < to; ++i)
                band.AddChild(std::move(all[i]));
            band.SetLeft(left);
            band.SetTop(top);
            StoreBand(band);
            for (size_t i = from; i < to; ++i)
                all[i] = band.TakeChild(band.Object(0));
        }
        EndPage();
    }
    for (auto& object : all)
        band.AddChild(std::move(object));
    FPreviewPages.SetCurPage(savePage);
    FPreviewPages.SetAddPageAction(TvlxAddPageAction::apAdd);
    FCurX = saveX;
    FCurY = saveY;
}

void TvlxEngine::EndVerticalMaster(TvlxBand& band)
{
    FreeTemporaryObjects(band);
    FVMasterBand = nullptr;
    FVPageList.clear();
    FVHeaderList.Clear();
    FCurX = FVMasterCurX;
}

} // namespace vl
