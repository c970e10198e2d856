// A band that does not fit in the space left on the page: either it is split into parts placed
// on successive columns and pages (its stretching views cut at whole lines), or it moves on to
// the next column or page, where its suppressed repeated values print again.
#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "base/scoped_value.h"
#include "engine/engine.h"
#include "model/band_kinds.h"
#include "model/memo_view.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/subreport.h"
#include "model/units.h"
#include "model/view.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace vl {

namespace {

bool OverlapHorizontally(const TvlxComponent& a, const TvlxComponent& b)
{
    return a.Left() < b.Left() + b.Width() - CoordinateTolerance &&
           b.Left() < a.Left() + a.Width() - CoordinateTolerance;
}

// An object of the band still to be placed.
struct SplitEntry
{
    size_t Index;              // in the band's object list
    TvlxComponent* Object;     // owned by the band
    TvlxStretcheable* Stretch; // the same object when its content can be cut into parts
    bool Moved = false;        // pushed down in the current part already
};

// Moves down by `amount` every other entry that starts at or below `bottom`, overlaps `work[by]`
// horizontally and has not moved in this part yet, so that it stays below what grew above it.
void PushDown(std::vector<SplitEntry>& work, size_t by, double bottom, double amount)
{
    const TvlxComponent& pusher = *work[by].Object;
    for (size_t i = 0; i < work.size(); ++i) {
        SplitEntry& entry = work[i];
        if (i == by || entry.Moved || entry.Object->Top() <= bottom - CoordinateTolerance) continue;
        if (!OverlapHorizontally(pusher, *entry.Object)) continue;
        entry.Object->SetTop(entry.Object->Top() + amount);
        entry.Moved = true;
    }
}

// Leaves in the band only the objects flagged in `inPart` (by index) while the part is stored;
// the band holds all of them again, in their order, when this ends, also after an error.
class BandPart
{
public:
    BandPart(TvlxBand& band, const std::vector<bool>& inPart)
        : FBand(band)
    {
        FAll.resize(band.ObjectCount());
        for (size_t i = FAll.size(); i-- > 0;)
            FAll[i] = band.TakeChild(band.Object(i));
        for (size_t i = 0; i < FAll.size(); ++i)
            if (inPart[i]) band.AddChild(std::move(FAll[i]));
    }
    ~BandPart()
    {
        // The band holds the part's objects in their order: they fill the empty places.
        for (auto& slot : FAll)
            if (slot == nullptr) slot = FBand.TakeChild(FBand.Object(0));
        for (auto& slot : FAll)
            FBand.AddChild(std::move(slot));
    }
    BandPart(const BandPart&) = delete;
    BandPart& operator=(const BandPart&) = delete;

private:
    TvlxBand& FBand;
    std::vector<std::unique_ptr<TvlxComponent>> FAll;
};

} // namespace

bool TvlxEngine::MakeRoomForBand(TvlxBand& band)
{
    const bool tallerThanPage = band.Height() > GetPageHeight() - FooterHeight();
    if ((band.FAllowSplit && !FKeeping) || (tallerThanPage && !band.FHasVBands)) {
        // A later record that is too tall starts on a fresh column or page before it is cut.
        if (!band.FAllowSplit && band.FLineThrough > 1 && !band.FStartNewPage) {
            FCurBand = &band;
            NewColumn();
        }
        EndKeep(&band);
        SplitBand(band);
        return true;
    }
    if (!FKeeping) ReprintSuppressedValues(band);
    if (!FCallFromPHeader) {
        FCurBand = &band;
        NewColumn();
    }
    return false;
}

void TvlxEngine::ReprintSuppressedValues(TvlxBand& band)
{
    bool suppressing = false;
    for (const auto& obj : band.Objects()) {
        auto* memo = dynamic_cast<TvlxCustomMemoView*>(obj.get());
        if (memo == nullptr || !memo->SuppressRepeated()) continue;
        memo->ResetSuppress();
        suppressing = true;
    }
    if (!suppressing || band.FHasVBands) return;

    UnprepareBand(band);
    // The record numbers are the band's own; a band that counts no records (a child, a header)
    // sees the numbers it was first prepared with.
    const int32_t line = FCurLine;
    const int32_t lineThrough = FCurLineThrough;
    if (band.FLineN > 0) {
        FCurLine = band.FLineN;
        FCurLineThrough = band.FLineThrough;
    }
    {
        ScopedValue<bool> second(FSecondScriptCall, true);
        PrepareBand(band);
    }
    FCurLine = line;
    FCurLineThrough = lineThrough;
}

void TvlxEngine::SplitBand(TvlxBand& band)
{
    // The objects stay owned by the band; the work list says which are still to be placed.
    const size_t count = band.ObjectCount();
    std::vector<SplitEntry> work;
    work.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        TvlxComponent* obj = band.Object(i);
        if (dynamic_cast<TvlxSubreport*>(obj) != nullptr) continue;
        auto* stretch = dynamic_cast<TvlxStretcheable*>(obj);
        if (stretch != nullptr) {
            stretch->InitPart();
            stretch->FSaveHeight = stretch->Height(); // the height still to place
        }
        work.push_back({i, obj, stretch});
    }

    std::vector<bool> inPart(count);
    double free = FreeSpace();
    bool placedAny = false; // since the split began
    int32_t emptyParts = 0; // in a row
    while (!work.empty() && !Terminated()) {
        std::fill(inPart.begin(), inPart.end(), false);
        for (SplitEntry& entry : work)
            entry.Moved = false;
        bool placedHere = false;

        for (size_t w = 0; w < work.size();) {
            SplitEntry& entry = work[w];
            TvlxComponent& obj = *entry.Object;
            TvlxStretcheable* stretch = entry.Stretch;
            const bool startsAbove = obj.Top() < free;
            double remaining = obj.Height();
            double unused = 0; // below the lines that fit
            bool moreData = false;
            if (stretch != nullptr) {
                stretch->FSavedTop = obj.Top();
                obj.SetHeight(free - obj.Top());
                if (startsAbove) unused = stretch->DrawPart();
                remaining = stretch->FSaveHeight;
                moreData = stretch->HasNextDataPart();
            }

            if (obj.Top() + remaining <= free + CoordinateTolerance && !moreData) {
                obj.SetHeight(remaining);
                inPart[entry.Index] = true;
                placedHere = true;
                work.erase(work.begin() + static_cast<std::ptrdiff_t>(w));
                continue;
            }
            if (stretch != nullptr) {
                if (startsAbove) {
                    PushDown(work, w, free, unused);
                    if (std::abs(unused - obj.Height()) < CoordinateTolerance) {
                        // Not one line fitted: all of it goes to the next part.
                        obj.SetTop(free);
                        obj.SetHeight(remaining);
                    } else {
                        inPart[entry.Index] = true;
                        placedHere = true;
                        stretch->FSaveHeight = remaining - obj.Height() + unused;
                    }
                }
            } else if (obj.Height() <= GetPageHeight() - FooterHeight()) {
                if (startsAbove) {
                    // Cut by the page end: it goes whole to the next part, and so does what
                    // lies below it.
                    PushDown(work, w, obj.Top() + obj.Height(), free - obj.Top());
                    obj.SetTop(free);
                }
            } else {
                // Higher than any page: placed as it is, cut by the page end.
                inPart[entry.Index] = true;
                placedHere = true;
                work.erase(work.begin() + static_cast<std::ptrdiff_t>(w));
                continue;
            }
            ++w;
        }

        // A band whose objects never fit would otherwise fill page after page with nothing.
        if (placedHere) {
            emptyParts = 0;
            placedAny = true;
        } else if (++emptyParts > limits::BandSplitMaxEmptyParts) {
            throw Exception(Format(
                u"Band %s cannot be placed: nothing of it fits on %d pages or columns in a row",
                {band.Name(), int64_t(limits::BandSplitMaxEmptyParts)}));
        }

        double height = 0;
        for (size_t i = 0; i < count; ++i) {
            if (!inPart[i]) continue;
            const TvlxComponent* obj = band.Object(i);
            height = std::max(height, obj->Top() + obj->Height());
        }
        if (work.empty()) {
            for (size_t i = 0; i < count; ++i) {
                if (!inPart[i]) continue;
                TvlxComponent* obj = band.Object(i);
                if (obj->Align() == TvlxAlign::baBottom) obj->SetTop(height - obj->Height());
                auto* stretch = dynamic_cast<TvlxStretcheable*>(obj);
                if (stretch != nullptr && stretch->StretchMode() == TvlxStretchMode::smMaxHeight)
                    stretch->SetHeight(height - stretch->Top());
            }
        }
        band.SetLeft(FCurX);
        band.SetTop(FCurY);
        band.SetHeight(height);
        {
            BandPart part(band, inPart);
            StoreBand(band);
        }
        FCurY += height;
        FCurBand = &band;
        if (work.empty()) break;
        NewColumn();

        for (SplitEntry& entry : work) {
            TvlxComponent& obj = *entry.Object;
            obj.SetTop(obj.Top() - free);
            if (entry.Stretch == nullptr) continue;
            // While nothing at all is placed, a view of which not one line fitted starts the
            // next part where it stood. A view that waited below the part moves up with the
            // rest: put back, it would wait there on every page.
            const double savedTop = entry.Stretch->FSavedTop;
            if (!placedAny && savedTop < free) obj.SetTop(savedTop);
            if (obj.Top() < 0) obj.SetTop(0);
            obj.SetHeight(entry.Stretch->FSaveHeight);
        }
        free = FreeSpace();
    }
}

} // namespace vl
