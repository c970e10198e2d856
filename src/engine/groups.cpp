// Group headers and footers of a data band: starting the groups before the first record,
// checking the group conditions before every later record, and closing groups with their
// footers. A data band's FGroup is the first of a chain of group headers, outer group first.
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "request/dataset_adapter.h"

#include <algorithm>

namespace vl {

void TvlxEngine::StartGroups(TvlxDataBand& band, size_t fromLevel, bool atStart)
{
    const std::vector<TvlxBand*>& chain = band.FGroup->FSubBands;
    for (size_t level = fromLevel; level < chain.size(); ++level) {
        TvlxBand& header = *chain[level];
        if (atStart) {
            header.FLineN = 1;
            header.FLineThrough = 1;
        } else {
            // The group that changed counts one more; the groups inside it start again.
            header.FLineN = level == fromLevel ? header.FLineN + 1 : 1;
            ++header.FLineThrough;
        }
    }
    for (size_t level = fromLevel; level < chain.size(); ++level) {
        auto& header = static_cast<TvlxGroupHeader&>(*chain[level]);
        FCurLine = header.FLineN;
        FCurLineThrough = header.FLineThrough;
        header.FLastValue = GroupValue(header);
        if (header.FKeepTogether) StartKeep(&header);
        ShowBand(&header);
        AddBandOutline(header);
        if (header.FReprintOnNewPage) FHeaderList.AddItem(&header, FPageCurX, FKeeping);
    }
}

bool TvlxEngine::CheckGroups(TvlxDataBand& band, TvlxDataSet& dataSet)
{
    const std::vector<TvlxBand*>& chain = band.FGroup->FSubBands;
    for (size_t level = 0; level < chain.size(); ++level) {
        auto& header = static_cast<TvlxGroupHeader&>(*chain[level]);
        if (VarEquals(GroupValue(header), header.FLastValue)) continue;
        // The group ends: the open row of columns is closed, and the footers see the group's
        // last record (the dataset steps back to it when it can).
        band.SetCurColumn(std::max(band.FColumns, 1));
        CloseColumnRecord(band, FCurY);
        const bool steppedBack = dataSet.RecNo() > 0;
        if (steppedBack) dataSet.Prior();
        ShowGroupFooters(band, level);
        if (steppedBack) dataSet.Next();
        StartGroups(band, level, false);
        band.FLineN = 1;
        return true;
    }
    return false;
}

void TvlxEngine::ShowGroupFooters(TvlxDataBand& band, size_t toLevel)
{
    const std::vector<TvlxBand*>& chain = band.FGroup->FSubBands;
    for (size_t level = chain.size(); level-- > toLevel;) {
        TvlxBand& header = *chain[level];
        auto* footer = dynamic_cast<TvlxGroupFooter*>(header.FFooter);
        // FLineN has counted past the group's records: below 3 means a single record.
        if (footer != nullptr && !(footer->FHideIfSingleDataRecord && band.FLineN < 3))
            ShowBand(footer);
        else if (footer != nullptr)
            FAggregates.Reset(*footer); // a hidden footer's totals start over all the same
        if (!header.FOutlineText.empty()) FPreviewPages.Outline().LevelUp();
        FHeaderList.RemoveItem(&header);
        EndKeep(&header);
    }
}

Variant TvlxEngine::GroupValue(TvlxGroupHeader& header)
{
    FReport.FCurObject = header.Name();
    return FReport.Calc(header.FCondition);
}

} // namespace vl
