// Building the band tree of a report page: ordering the bands by position, attaching groups,
// headers and footers, and nesting data bands by level.
#include "engine/band_tree.h"

#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/resources.h"
#include "request/dataset_adapter.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vl {

namespace {

// Band numbers of the bands that take part in the tree.
constexpr int HeaderNumber = 4;
constexpr int FooterNumber = 5;
constexpr int MasterNumber = 6;
constexpr int LastDataNumber = 11;
constexpr int GroupHeaderNumber = 12;
constexpr int GroupFooterNumber = 13;

bool IsDataNumber(int number)
{
    return number >= MasterNumber && number <= LastDataNumber;
}

// The position bands are ordered by, as the text "%9.2f" gives it: bands whose positions print
// alike count as one place, and the text (not the number) decides the order.
std::string PositionKey(double position)
{
    char text[64];
    std::snprintf(text, sizeof text, "%9.2f", position);
    return text;
}

struct PlacedBand
{
    TvlxBand* Band;
    int Number;
    std::string Key;
};

void AddBandError(TvlxErrorList& errors, StringView key, const TvlxBand& band)
{
    errors.Add(ResourceText(key) + u" " + band.Name());
}

// Step: group headers form chains; each chain goes to the next data band, each group footer to
// the nearest unpaired group header before it. Group bands leave `bands` afterwards.
void AttachGroups(std::vector<PlacedBand>& bands, TvlxErrorList& errors)
{
    for (size_t i = 0; i < bands.size();) {
        if (bands[i].Number != GroupHeaderNumber) {
            ++i;
            continue;
        }
        auto* first = static_cast<TvlxGroupHeader*>(bands[i].Band);
        size_t end = i;
        while (end < bands.size() && bands[end].Number == GroupHeaderNumber)
            first->FSubBands.push_back(bands[end++].Band);
        auto data = std::find_if(bands.begin() + std::ptrdiff_t(end), bands.end(), [](auto& b) {
            return IsDataNumber(b.Number);
        });
        if (data == bands.end())
            AddBandError(errors, u"enUnconnGroup", *first);
        else
            data->Band->FGroup = first;
        i = end;
    }
    std::vector<TvlxBand*> openHeaders; // group headers seen so far that have no footer yet
    for (const PlacedBand& b : bands) {
        if (b.Number == GroupHeaderNumber) {
            openHeaders.push_back(b.Band);
        } else if (b.Number == GroupFooterNumber) {
            if (openHeaders.empty()) {
                AddBandError(errors, u"enUnconnGFooter", *b.Band);
                continue;
            }
            openHeaders.back()->FFooter = b.Band;
            openHeaders.pop_back();
        }
    }
    std::erase_if(bands, [](const PlacedBand& b) {
        return b.Number == GroupHeaderNumber || b.Number == GroupFooterNumber;
    });
}

// Step: a data band takes the header right before it and the footer right after it; every other
// header or footer is an error. Headers and footers leave `bands` afterwards.
void AttachHeadersAndFooters(std::vector<PlacedBand>& bands, TvlxErrorList& errors)
{
    std::vector<bool> used(bands.size(), false);
    for (size_t i = 0; i < bands.size(); ++i) {
        if (!IsDataNumber(bands[i].Number)) continue;
        if (i > 0 && bands[i - 1].Number == HeaderNumber) {
            bands[i].Band->FHeader = bands[i - 1].Band;
            used[i - 1] = true;
        }
        if (i + 1 < bands.size() && bands[i + 1].Number == FooterNumber) {
            bands[i].Band->FFooter = bands[i + 1].Band;
            used[i + 1] = true;
        }
    }
    for (size_t i = 0; i < bands.size(); ++i) {
        const int n = bands[i].Number;
        if ((n == HeaderNumber || n == FooterNumber) && !used[i])
            AddBandError(errors, u"enUnconnHeader", *bands[i].Band);
    }
    std::erase_if(bands, [](const PlacedBand& b) {
        return b.Number == HeaderNumber || b.Number == FooterNumber;
    });
}

// Step: nesting by level. Walks the data bands from `index` that belong below a band of level
// `parentLevel`, adding those with a dataset to `parent` (nullptr: the parent has no dataset, so
// they are taken but lead nowhere). Taken bands are cleared in `bands`; returns where the
// parent's collection ended. Recursion is at most six levels deep (one per data level).
size_t CollectDetails(std::vector<PlacedBand>& bands,
                      size_t index,
                      int parentLevel,
                      TvlxBand* parent,
                      std::vector<bool>& taken)
{
    while (index < bands.size()) {
        const int number = bands[index].Number;
        if (number <= parentLevel) return index;
        if (number > parentLevel + 1) {
            ++index; // too deep for this level: left for the error step
            continue;
        }
        TvlxBand* band = bands[index].Band;
        taken[index] = true;
        TvlxBand* next = BandDataSet(*band) != nullptr ? band : nullptr;
        if (next != nullptr && parent != nullptr) parent->FSubBands.push_back(band);
        if (parent == nullptr) next = nullptr;
        ++index;
        if (number < LastDataNumber) index = CollectDetails(bands, index, number, next, taken);
    }
    return index;
}

} // namespace

TvlxDataSet* BandDataSet(TvlxBand& band)
{
    auto* data = dynamic_cast<TvlxDataBand*>(&band);
    if (data == nullptr) return nullptr;
    if (TvlxDataSet* linked = data->DataSet()) return linked;
    return data->RowCount() > 0 ? data->VirtualDataSet() : nullptr;
}

void BuildBandTree(TvlxReportPage& page, bool vertical, TvlxErrorList& errors)
{
    page.AlignChildren();
    std::vector<TvlxBand*>& topLevel = vertical ? page.FVSubBands : page.FSubBands;
    topLevel.clear();

    std::vector<PlacedBand> bands;
    for (const auto& child : page.Objects()) {
        auto* band = dynamic_cast<TvlxBand*>(child.get());
        if (band == nullptr || band->FVertical != vertical) continue;
        band->FSubBands.clear();
        band->FHeader = nullptr;
        band->FFooter = nullptr;
        band->FGroup = nullptr;
        band->FHasVBands = false;
        auto* data = dynamic_cast<TvlxDataBand*>(band);
        if (data != nullptr && data->DataSet() == nullptr && data->RowCount() > 0)
            data->VirtualDataSet()->Initialize();
        const int number = band->BandNumber();
        if (number < HeaderNumber || number > GroupFooterNumber) continue;
        bands.push_back({band, number, PositionKey(vertical ? band->Left() : band->Top())});
    }
    // Of bands at the same place only the first in page order takes part.
    std::stable_sort(bands.begin(), bands.end(), [](const PlacedBand& a, const PlacedBand& b) {
        return a.Key < b.Key;
    });
    bands.erase(
        std::unique(bands.begin(),
                    bands.end(),
                    [](const PlacedBand& a, const PlacedBand& b) { return a.Key == b.Key; }),
        bands.end());

    AttachGroups(bands, errors);
    AttachHeadersAndFooters(bands, errors);

    std::vector<bool> taken(bands.size(), false);
    for (size_t i = 0; i < bands.size();) {
        if (bands[i].Number != MasterNumber) {
            ++i;
            continue;
        }
        TvlxBand* master = bands[i].Band;
        taken[i] = true;
        TvlxBand* parent = BandDataSet(*master) != nullptr ? master : nullptr;
        if (parent != nullptr) topLevel.push_back(master);
        i = CollectDetails(bands, i + 1, MasterNumber, parent, taken);
    }
    for (size_t i = 0; i < bands.size(); ++i)
        if (!taken[i]) AddBandError(errors, u"enBandPos", *bands[i].Band);
}

} // namespace vl
