// Group headers and footers of a data band: starting the groups before the first record,
// checking the group conditions before every later record, closing groups with their footers,
// and collapsing drill-down groups. A data band's FGroup is the first of a chain of group
// headers, outer group first.
#include "base/number_text.h"
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/report.h"
#include "request/dataset_adapter.h"

#include <algorithm>

namespace vl {

void TvlxEngine::StartGroups(TvlxDataBand& band,
                             size_t fromLevel,
                             bool atStart,
                             const Variant* knownValue)
{
    const std::vector<TvlxBand*>& chain = band.FGroup->FSubBands;
    for (size_t level = fromLevel; level < chain.size(); ++level) {
        TvlxBand& header = *chain[level];
        if (atStart) {
            header.FLineN = 1;
            header.FLineThrough = 1;
            ResetSuppressed(header);
        } else {
            // The group that changed counts one more; the groups inside it start again.
            header.FLineN = level == fromLevel ? header.FLineN + 1 : 1;
            ++header.FLineThrough;
        }
    }
    ApplyDrillDown(band);
    for (size_t level = fromLevel; level < chain.size(); ++level) {
        auto& header = static_cast<TvlxGroupHeader&>(*chain[level]);
        FCurLine = header.FLineN;
        FCurLineThrough = header.FLineThrough;
        header.FLastValue =
            level == fromLevel && knownValue != nullptr ? *knownValue : GroupValue(header);
        if (header.FKeepTogether) StartKeep(&header);
        ShowBand(&header);
        if (AddBandOutline(header)) FOutlineGroups.push_back(&header);
        if (header.FReprintOnNewPage) FHeaderList.AddItem(&header, FPageCurX, FKeeping);
    }
}

bool TvlxEngine::CheckGroups(TvlxDataBand& band, TvlxDataSet& dataSet)
{
    ApplyDrillDown(band);
    const std::vector<TvlxBand*>& chain = band.FGroup->FSubBands;
    for (size_t level = 0; level < chain.size(); ++level) {
        auto& header = static_cast<TvlxGroupHeader&>(*chain[level]);
        const Variant value = GroupValue(header);
        if (VarEquals(value, header.FLastValue)) continue;
        // The group ends: the open row of columns is closed, and the footers see the group's
        // last record (the dataset steps back to it when it can).
        CloseColumnRow(band);
        const bool steppedBack = dataSet.RecNo() > 0;
        if (steppedBack) dataSet.Prior();
        ShowGroupFooters(band, level);
        if (steppedBack) dataSet.Next();
        StartGroups(band, level, false, &value);
        band.FLineN = 1;
        ResetSuppressed(band);
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
        if (std::erase(FOutlineGroups, &header) > 0) FPreviewPages.Outline().LevelUp();
        FHeaderList.RemoveItem(&header);
        EndKeep(&header);
    }
}

Variant TvlxEngine::GroupValue(TvlxGroupHeader& header)
{
    FReport.FCurObject = header.Name();
    return FReport.Calc(header.FCondition);
}

void TvlxEngine::ApplyDrillDown(TvlxDataBand& band)
{
    const std::vector<TvlxBand*>& chain = band.FGroup->FSubBands;
    const auto& first = static_cast<const TvlxGroupHeader&>(*chain.front());
    for (size_t level = 0; level < chain.size(); ++level) {
        auto& header = static_cast<TvlxGroupHeader&>(*chain[level]);
        if (!header.FDrillDown) continue;
        String name;
        for (const auto& [masterName, number] : FHBandNamesTree)
            name += masterName + u"." + IntToStr(number) + u".";
        name += header.Name() + u"." + IntToStr(header.FLineThrough);
        header.FDrillName = name;
        // Nothing here ever expands a group by hand: the list of expanded names stays empty,
        // so a group is expanded exactly when ExpandDrillDown says so.
        const bool expanded = header.FExpandDrillDown;
        if (header.Child() != nullptr && !first.FShowChildIfDrillDown)
            header.Child()->SetVisible(expanded);
        for (size_t deeper = level + 1; deeper < chain.size(); ++deeper) {
            chain[deeper]->SetVisible(expanded);
            if (chain[deeper]->FFooter != nullptr) chain[deeper]->FFooter->SetVisible(expanded);
        }
        band.SetVisible(expanded);
        if (header.FFooter != nullptr && !header.FShowFooterIfDrillDown)
            header.FFooter->SetVisible(expanded);
        if (!expanded) break;
    }
}

void TvlxEngine::ResetSuppressed(TvlxBand& band)
{
    for (size_t i = 0; i < band.ObjectCount(); ++i)
        if (auto* memo = dynamic_cast<TvlxCustomMemoView*>(band.Object(i))) memo->ResetSuppress();
}

} // namespace vl
