// The object model's class registrations, in the order of its start-up.
#include "model/model_classes.h"

#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/page.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_registry.h"

namespace vl {

void RegisterModelClasses(ClassRegistry& registry)
{
    using Describe = const ClassInfo& (*)();
    // The fixed order of the object model's start-up.
    static constexpr Describe Classes[] = {
        &TvlxChild::StaticClass,        &TvlxColumnFooter::StaticClass,
        &TvlxColumnHeader::StaticClass, &TvlxMasterData::StaticClass,
        &TvlxDetailData::StaticClass,   &TvlxSubdetailData::StaticClass,
        &TvlxDataBand4::StaticClass,    &TvlxDataBand5::StaticClass,
        &TvlxDataBand6::StaticClass,    &TvlxDialogPage::StaticClass,
        &TvlxFooter::StaticClass,       &TvlxGroupFooter::StaticClass,
        &TvlxGroupHeader::StaticClass,  &TvlxHeader::StaticClass,
        &TvlxOverlay::StaticClass,      &TvlxPageFooter::StaticClass,
        &TvlxPageHeader::StaticClass,   &TvlxReport::StaticClass,
        &TvlxReportPage::StaticClass,   &TvlxReportSummary::StaticClass,
        &TvlxReportTitle::StaticClass,  &TvlxNullBand::StaticClass,
        &TvlxDataPage::StaticClass,
    };
    for (Describe describe : Classes)
        registry.Register(describe());
}

} // namespace vl
