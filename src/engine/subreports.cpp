// Subreports: a report page printed inside a band of another page, either into the band itself
// (PrintOnParent) or on the output pages from where the band was placed.
#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "base/scoped_value.h"
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/subreport.h"
#include "model/units.h"

#include <memory>
#include <tuple>

namespace vl {

namespace {

// The visible subreports of `band` that print a page, with or without PrintOnParent.
std::vector<TvlxSubreport*> Subreports(const TvlxBand& band, bool onParent)
{
    std::vector<TvlxSubreport*> found;
    for (const auto& object : band.Objects()) {
        auto* subreport = dynamic_cast<TvlxSubreport*>(object.get());
        if (subreport != nullptr && subreport->Visible() && subreport->FPrintOnParent == onParent &&
            subreport->SubreportPage() != nullptr)
            found.push_back(subreport);
    }
    return found;
}

// Where output ended: later pages, then later columns, then lower positions are further.
struct OutputPosition
{
    int32_t Page = 0;
    int32_t Column = 0;
    double Y = 0;

    bool operator<(const OutputPosition& other) const
    {
        return std::tie(Page, Column, Y) < std::tie(other.Page, other.Column, other.Y);
    }
};

} // namespace

void TvlxEngine::RunSubreportPage(TvlxSubreport& subreport)
{
    if (FSubreportDepth >= limits::SubreportMaxNesting)
        throw ELimitExceeded(
            Format(u"Subreport %s is nested more than %d levels deep",
                   {subreport.Name(), static_cast<int64_t>(limits::SubreportMaxNesting)}));
    ScopedValue<size_t> depth(FSubreportDepth, FSubreportDepth + 1);
    RunDataBands(subreport.SubreportPage()->FSubBands);
}

void TvlxEngine::RunSubreportsOnParent(TvlxBand& band)
{
    // A band that is itself being collected runs its subreports into a collector of its own
    // (FOutputTo is put back afterwards), so nested subreports lose nothing.
    const std::vector<TvlxSubreport*> subreports = Subreports(band, true);
    if (subreports.empty()) return;
    if (band.FOriginalObjectsCount < 0)
        band.FOriginalObjectsCount = static_cast<int32_t>(band.ObjectCount());

    TvlxNullBand collector;
    {
        ScopedValue<TvlxBand*> collecting(FOutputTo, &collector);
        ScopedValue<double> curX(FCurX, FCurX);
        ScopedValue<double> curY(FCurY, FCurY);
        ScopedValue<double> pageCurX(FPageCurX, FPageCurX);
        ScopedValue<int32_t> line(FCurLine, FCurLine);
        ScopedValue<int32_t> lineThrough(FCurLineThrough, FCurLineThrough);
        const double savePageCurX = FPageCurX;
        for (TvlxSubreport* subreport : subreports) {
            FPageCurX = savePageCurX + subreport->Left();
            FCurX = subreport->Left();
            FCurY = subreport->Top();
            RunSubreportPage(*subreport);
        }
    }
    FCurBand = &band;

    // The gathered views keep their places, now relative to the band, and their looks.
    for (const auto& copy : collector.Objects()) {
        std::vector<TvlxComponent*> views;
        for (const auto& object : copy->Objects())
            if (object->IsView() && dynamic_cast<TvlxSubreport*>(object.get()) == nullptr)
                views.push_back(object.get());
        for (TvlxComponent* view : views) {
            const double left = view->AbsLeft();
            const double top = view->AbsTop();
            view->SetParentFont(false);
            std::unique_ptr<TvlxComponent> moved = copy->TakeChild(view);
            moved->SetLeft(left);
            moved->SetTop(top);
            if (auto* stretcheable = dynamic_cast<TvlxStretcheable*>(moved.get()))
                stretcheable->SetStretchMode(TvlxStretchMode::smDontStretch);
            band.AddChild(std::move(moved));
        }
    }
}

void TvlxEngine::CopyToCollector(TvlxBand& band)
{
    TvlxComponent* copy = TvlxComponent::Create(band.ClassType(), FOutputTo);
    copy->AssignAll(band);
    copy->SetBounds(band.Left(), band.Top(), band.Width(), band.Height());
}

void TvlxEngine::FreeTemporaryObjects(TvlxBand& band)
{
    if (band.FOriginalObjectsCount < 0) return;
    const auto keep = static_cast<size_t>(band.FOriginalObjectsCount);
    while (band.ObjectCount() > keep)
        band.TakeChild(band.Object(band.ObjectCount() - 1));
    band.FOriginalObjectsCount = -1;
}

void TvlxEngine::RunSubreportsAfterBand(TvlxBand& band)
{
    const std::vector<TvlxSubreport*> subreports = Subreports(band, false);
    if (subreports.empty()) return;

    // The band ends at CurY; each subreport starts from there at its own place in the band.
    const double bandTop = FCurY - band.FStretchedHeight;
    const int32_t startPage = FPreviewPages.CurPage();
    const int32_t startColumn = FCurColumn;
    const double startX = FCurX;
    const double startPageCurX = FPageCurX;
    OutputPosition furthest{startPage, startColumn, FCurY};
    for (TvlxSubreport* subreport : subreports) {
        FPreviewPages.SetCurPage(startPage);
        FCurColumn = startColumn;
        FPageCurX = startPageCurX + subreport->Left();
        FCurX = startX + subreport->Left();
        FCurY = bandTop + subreport->Top();
        RunSubreportPage(*subreport);
        const OutputPosition end{FPreviewPages.CurPage(), FCurColumn, FCurY};
        if (furthest < end) furthest = end;
    }
    FCurBand = &band;
    FPageCurX = startPageCurX;
    FPreviewPages.SetCurPage(furthest.Page);
    FCurColumn = furthest.Column;
    const double columnX =
        FCurColumn > 1 ? FPage->ColumnPositionMm(static_cast<size_t>(FCurColumn - 1)) * PixelsPerMm
                       : 0;
    FCurX = FPageCurX + columnX;
    FCurY = furthest.Y;
}

} // namespace vl
