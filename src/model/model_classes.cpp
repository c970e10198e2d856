// The object model's class registrations, in the order of its start-up.
#include "model/model_classes.h"

#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/frame.h"
#include "model/highlight.h"
#include "model/line_view.h"
#include "model/memo_view.h"
#include "model/page.h"
#include "model/picture_view.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/script_classes.h"
#include "model/shape_view.h"
#include "model/styles.h"
#include "model/subreport.h"
#include "platform/component/class_registry.h"

namespace vl {

void RegisterModelClasses(ClassRegistry& registry)
{
    using Describe = const ClassInfo& (*)();
    // The fixed order of the object model's start-up.
    static constexpr Describe Classes[] = {
        &TvlxChild::StaticClass,          &TvlxColumnFooter::StaticClass,
        &TvlxColumnHeader::StaticClass,   &TvlxCustomMemoView::StaticClass,
        &TvlxMasterData::StaticClass,     &TvlxDetailData::StaticClass,
        &TvlxSubdetailData::StaticClass,  &TvlxDataBand4::StaticClass,
        &TvlxDataBand5::StaticClass,      &TvlxDataBand6::StaticClass,
        &TvlxDialogPage::StaticClass,     &TvlxFooter::StaticClass,
        &TvlxFrame::StaticClass,          &TvlxGroupFooter::StaticClass,
        &TvlxGroupHeader::StaticClass,    &TvlxHeader::StaticClass,
        &TvlxHighlight::StaticClass,      &TvlxLineView::StaticClass,
        &TvlxMemoView::StaticClass,       &TvlxOverlay::StaticClass,
        &TvlxPageFooter::StaticClass,     &TvlxPageHeader::StaticClass,
        &TvlxPictureView::StaticClass,    &TvlxReport::StaticClass,
        &TvlxReportPage::StaticClass,     &TvlxReportSummary::StaticClass,
        &TvlxReportTitle::StaticClass,    &TvlxShapeView::StaticClass,
        &TvlxSubreport::StaticClass,      &TvlxSysMemoView::StaticClass,
        &TvlxStyleItem::StaticClass,      &TvlxNullBand::StaticClass,
        &TvlxCustomLineView::StaticClass, &TvlxDataPage::StaticClass,
    };
    for (Describe describe : Classes)
        registry.Register(describe());
    RegisterReportScriptModule();
}

} // namespace vl
