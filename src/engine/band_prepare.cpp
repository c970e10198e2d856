// Preparing a band before it is placed (events, the views' data, growth of stretching views,
// shifting of the views below them, the band's final height) and un-preparing it afterwards, so
// that the template objects regain their design state.
#include "engine/engine.h"
#include "engine/shift_tree.h"
#include "model/band_kinds.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/subreport.h"
#include "model/view.h"

#include <algorithm>

namespace vl {

namespace {

// Views and other printable objects of a band, in order.
TvlxReportComponent* PrintableObject(const TvlxBand& band, size_t index)
{
    return dynamic_cast<TvlxReportComponent*>(band.Object(index));
}

// Objects from this index on were added by the engine for the current output.
bool IsTemporary(const TvlxBand& band, size_t index)
{
    return band.FOriginalObjectsCount >= 0 &&
           index >= static_cast<size_t>(band.FOriginalObjectsCount);
}

// Lets a stretching view take the height its content needs; views never shrink here. True when
// it grew (FShiftAmount holds by how much).
bool Stretch(TvlxReportComponent& obj)
{
    auto* view = dynamic_cast<TvlxStretcheable*>(&obj);
    if (view == nullptr || view->StretchMode() == TvlxStretchMode::smDontStretch) return false;
    const double content = view->CalcHeight();
    if (content > view->Height()) {
        view->FShiftAmount = content - view->Height();
        view->SetHeight(content);
        return true;
    }
    view->FShiftAmount = 0;
    return false;
}

double LowestBottom(const TvlxBand& band)
{
    double bottom = 0;
    for (const auto& obj : band.Objects())
        bottom = std::max(bottom, obj->Top() + obj->Height());
    return bottom;
}

} // namespace

void TvlxEngine::PrepareBand(TvlxBand& band)
{
    FCurBand = &band;
    if (band.FShiftChildren.empty()) BuildShiftTree(band);
    // The vertical-band procedure has run the master's own events before its columns.
    const bool verticalMaster = IsVerticalMaster(band);
    if (!verticalMaster) {
        FReport.FCurObject = band.Name();
        band.BeforePrint();
        FReport.DoBeforePrint(band); // may hide the band
    }

    bool grew = false;
    bool subreportOnParent = false;
    // Counted each round: a script may add objects to the band while it is prepared.
    for (size_t i = 0; i < band.ObjectCount(); ++i) {
        TvlxReportComponent* obj = PrintableObject(band, i);
        if (obj == nullptr) continue;
        obj->FShiftAmount = 0;
        // Objects a vertical master received from its columns already hold their data.
        if (!(verticalMaster && IsTemporary(band, i))) {
            FReport.FCurObject = obj->Name();
            obj->BeforePrint();
            if (band.Visible()) {
                FReport.DoBeforePrint(*obj);
                if (obj->Visible()) {
                    obj->GetData();
                    FReport.DoNotifyEvent(obj, obj->FOnAfterData);
                }
            }
        }
        auto* subreport = dynamic_cast<TvlxSubreport*>(obj);
        if (subreport != nullptr && subreport->FPrintOnParent && subreport->Visible())
            subreportOnParent = true;
        if (band.Visible() && obj->Visible() && Stretch(*obj)) grew = true;
    }

    if (band.Visible()) {
        if (grew) ShiftObjects(band);
        if (subreportOnParent) RunSubreportsOnParent(band);
        const double bottom = LowestBottom(band);
        // A stretched band follows its objects, also upwards.
        if (band.FStretched) band.SetHeight(bottom);
        FReport.DoNotifyEvent(&band, band.FOnAfterCalcHeight);
        for (const auto& obj : band.Objects()) {
            auto* view = dynamic_cast<TvlxStretcheable*>(obj.get());
            if (view != nullptr && view->StretchMode() == TvlxStretchMode::smMaxHeight)
                view->SetHeight(bottom - view->Top());
        }
    }
    band.FStretchedHeight = band.Height();
}

void TvlxEngine::UnprepareBand(TvlxBand& band)
{
    const bool visible = band.Visible();
    const bool verticalMaster = IsVerticalMaster(band);
    if (visible) {
        for (size_t i = 0; i < band.ObjectCount(); ++i)
            if (TvlxReportComponent* obj = PrintableObject(band, i)) FReport.DoAfterPrint(*obj);
    }
    for (size_t i = 0; i < band.ObjectCount(); ++i) {
        TvlxReportComponent* obj = PrintableObject(band, i);
        if (obj == nullptr || (verticalMaster && IsTemporary(band, i))) continue;
        obj->AfterPrint();
    }
    if (visible) FReport.DoAfterPrint(band);
    band.AfterPrint();
    // Views a subreport printed into the band, or columns into a vertical master, go.
    FreeTemporaryObjects(band);
}

} // namespace vl
