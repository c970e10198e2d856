// Subreports: a report page printed inside a band of another page, either into the band itself
// (PrintOnParent) or on the output pages from where the band was placed.
#include "engine/engine.h"

namespace vl {

void TvlxEngine::RunSubreportsOnParent(TvlxBand& /*band*/) {}

void TvlxEngine::RunSubreportsAfterBand(TvlxBand& /*band*/) {}

} // namespace vl
