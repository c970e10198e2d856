// Keeping blocks together: a keep remembers where a block began on the current output page; a
// break to a new page or column during the keep moves the whole block along (page_flow.cpp).
#include "engine/engine.h"
#include "model/band_kinds.h"

namespace vl {

void TvlxEngine::StartKeep(TvlxBand* band, int32_t position)
{
    // Nothing is kept before the first record of a page run: there is nowhere to move it to.
    if (FKeeping || FIsFirstBand) return;
    FKeepCurY = FCurY;
    FKeeping = true;
    FKeepBand = band;
    FKeepPosition = position >= 0 ? position : FPreviewPages.GetCurPosition();
    FKeepOutline = FPreviewPages.Outline().GetCurPosition();
    FKeepAnchor = FPreviewPages.GetAnchorCurPosition();
    FAggregates.StartKeep(); // page totals of the block wait until it has found its page
}

void TvlxEngine::EndKeep(const TvlxBand* band)
{
    if (band == nullptr || band != FKeepBand) return;
    BreakAllKeep();
}

void TvlxEngine::BreakAllKeep()
{
    FKeeping = false;
    FKeepBand = nullptr;
    FKeepCurY = 0;
    FKeepHeader = false;
    FAggregates.EndKeep();
}

} // namespace vl
