// Walking the prepared pages for an export filter: page list, page background, header and footer
// suppression, and the error report of a failed walk.
#include "base/date_time.h"
#include "layout/page_list.h"
#include "layout/preview_pages.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/picture_view.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/resources.h"
#include "model/units.h"
#include "pdf/export_filter.h"
#include "platform/canvas/raster_surface.h"
#include "platform/clock.h"

#include <algorithm>

namespace vl {
namespace {

// The object every exported page begins with: a picture view covering the printable area with
// the page's colour (stretched, aspect ratio not kept).
std::unique_ptr<TvlxPictureView> MakePageBackground(const TvlxComponent& page)
{
    auto background = std::make_unique<TvlxPictureView>();
    background->SetName(u"_pagebackground");
    background->SetStretched(true);
    background->SetKeepAspectRatio(false);
    // The page's frame and background picture travel as the same sub-objects.
    for (StringView name : {StringView(u"Frame"), StringView(u"BackPicture")}) {
        const PropInfo* from = page.ClassType().FindProp(name);
        const PropInfo* to =
            background->ClassType().FindProp(name == u"Frame" ? name : StringView(u"Picture"));
        if (from == nullptr || to == nullptr || to->IsReadOnly() || from->Kind != to->Kind)
            continue;
        to->Set(*background, from->Get(page));
    }
    double width = page.Width();
    double height = page.Height();
    if (const auto* reportPage = dynamic_cast<const TvlxReportPage*>(&page)) {
        background->SetColor(reportPage->Color());
        width -= (reportPage->LeftMargin() + reportPage->RightMargin()) * PixelsPerMm;
        height -= (reportPage->TopMargin() + reportPage->BottomMargin()) * PixelsPerMm;
    }
    background->SetBounds(page.Left(), page.Top(), width, height);
    return background;
}

} // namespace

bool TvlxPreviewPages::Export(TvlxCustomExportFilter& filter)
{
    FCopyNo = 0;
    filter.SetCreationTime(
        DateTimeOf((ExportClock != nullptr ? *ExportClock : SystemClock()).Now()));
    filter.SetReport(FReport);
    if (filter.ShowDialog() && filter.ShowModal() != ModalResultOk) return false;
    // There is no preview window, so the current page is the first.
    if (filter.CurPage) filter.SetPageNumbers(u"1");
    FHost->SetTerminated(false);
    std::vector<int32_t> pages;
    try {
        pages = ParsePageList(filter.PageNumbers(), Count());
    } catch (const EConvertError& e) {
        ReportExportError(e.Message());
        return false;
    }

    FHost->BeginExport(filter);
    if (!filter.Start()) return false;
    bool completed = true;
    String error;
    try {
        for (int32_t i = 0; i < Count(); ++i)
            if (pages.empty() || std::binary_search(pages.begin(), pages.end(), i + 1))
                ExportPage(filter, i);
    } catch (const EExportTerminated&) {
        // A terminated export ends quietly.
    } catch (const Exception& e) {
        completed = false;
        error = e.Message();
    }
    filter.Finish();
    if (!completed) ReportExportError(error);
    return completed;
}

void TvlxPreviewPages::ExportPage(TvlxCustomExportFilter& filter, int32_t index)
{
    TvlxComponent* page = Page(index);
    filter.StartPage(page, index);
    // The filter's page is finished on every path; the error goes on to Export.
    try {
        if (const auto* reportPage = dynamic_cast<const TvlxReportPage*>(page)) {
            const bool mirrored = reportPage->FMirrorMargins && index % 2 == 1;
            const double leftMm = mirrored ? reportPage->RightMargin() : reportPage->LeftMargin();
            page->SetLeft(leftMm * PixelsPerMm);
            page->SetTop(reportPage->TopMargin() * PixelsPerMm);
        }
        ExportObject(filter, *MakePageBackground(*page));

        const bool suppress = filter.SuppressPageHeadersFooters;
        for (const auto& obj : page->Objects()) {
            if (suppress && index != 0 && obj->InheritsFrom(TvlxPageHeader::StaticClass()))
                continue;
            if (suppress && index != Count() - 1 &&
                obj->InheritsFrom(TvlxPageFooter::StaticClass()))
                continue;
            ExportObject(filter, *obj);
            for (const auto& child : obj->Objects())
                ExportObject(filter, *child);
        }
    } catch (const std::exception&) {
        filter.FinishPage(page, index);
        ClearCache();
        throw;
    }
    filter.FinishPage(page, index);
    ClearCache();
}

void TvlxPreviewPages::ExportObject(TvlxCustomExportFilter& filter, TvlxComponent& obj)
{
    if (filter.DataOnly()) {
        const TvlxComponent* parent = obj.Parent();
        if (parent == nullptr || !parent->InheritsFrom(TvlxDataBand::StaticClass())) return;
    }
    PrepareTextForOutput(obj);
    filter.ExportObject(&obj);
    if (FHost->Terminated()) throw EExportTerminated(u"Export terminated");
}

void TvlxPreviewPages::PrepareTextForOutput(TvlxComponent& obj)
{
    auto* memo = dynamic_cast<TvlxCustomMemoView*>(&obj);
    if (memo == nullptr) return;
    if (memo->Highlight().Active()) memo->SetFont(memo->Highlight().Font());
    memo->FTotalPages = Count();
    memo->FCopyNo = 1;
    // "[TotalPages#]" and "[CopyName#]" are known only now that every page exists.
    memo->ExtractMacros();
    if (memo->AutoWidth()) {
        // Drawing settles the width of a view that follows its text.
        if (FScratch == nullptr) FScratch = std::make_unique<RasterSurface>(1, 1);
        memo->Draw(*FScratch, 1, 1, 0, 0);
    }
}

void TvlxPreviewPages::ReportExportError(const String& message)
{
    String list;
    if (FReport != nullptr) {
        FReport->Errors().Add(message);
        list = FReport->Errors().Text();
    } else {
        list = message + u"\r\n";
    }
    if (FHost->ReThrowErrors()) throw Exception(ResourceText(u"clErrors") + u"\r\n" + list);
}

} // namespace vl
