// Preparing a band before it is placed (events, the views' data, the band's height) and
// un-preparing it afterwards, so that the template objects regain their design state.
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/report.h"

#include <algorithm>

namespace vl {

namespace {

// Views and other printable objects of a band, in order.
TvlxReportComponent* PrintableObject(const TvlxBand& band, size_t index)
{
    return dynamic_cast<TvlxReportComponent*>(band.Object(index));
}

} // namespace

void TvlxEngine::PrepareBand(TvlxBand& band)
{
    FCurBand = &band;
    FReport.FCurObject = band.Name();
    band.BeforePrint();
    FReport.DoBeforePrint(band); // may hide the band
    // Counted each round: a script may add objects to the band while it is prepared.
    for (size_t i = 0; i < band.ObjectCount(); ++i) {
        TvlxReportComponent* obj = PrintableObject(band, i);
        if (obj == nullptr) continue;
        FReport.FCurObject = obj->Name();
        obj->BeforePrint();
        if (!band.Visible()) continue;
        FReport.DoBeforePrint(*obj);
        if (!obj->Visible()) continue;
        obj->GetData();
        FReport.DoNotifyEvent(obj, obj->FOnAfterData);
    }
    if (band.Visible()) {
        RunSubreportsOnParent(band); // subreports: until the preparation runs them itself
        if (band.FStretched) {
            double bottom = 0;
            for (size_t i = 0; i < band.ObjectCount(); ++i) {
                const TvlxComponent* obj = band.Object(i);
                bottom = std::max(bottom, obj->Top() + obj->Height());
            }
            band.SetHeight(bottom);
        }
        FReport.DoNotifyEvent(&band, band.FOnAfterCalcHeight);
    }
    band.FStretchedHeight = band.Height();
}

void TvlxEngine::UnprepareBand(TvlxBand& band)
{
    const bool visible = band.Visible();
    for (size_t i = 0; i < band.ObjectCount(); ++i) {
        TvlxReportComponent* obj = PrintableObject(band, i);
        if (obj == nullptr) continue;
        if (visible) FReport.DoAfterPrint(*obj);
        obj->AfterPrint();
    }
    if (visible) FReport.DoAfterPrint(band);
    band.AfterPrint();
}

} // namespace vl
