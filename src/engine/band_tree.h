// The band tree of a report page: which data band is master of which, and which headers, footers
// and group bands belong to which data band. Built by the engine at the start of every run.
//
// Contract:
// - BuildBandTree rewrites only engine state (the page's FSubBands / FVSubBands and every band's
//   FSubBands, FHeader, FFooter, FGroup); the template properties stay as they are.
// - Misplaced bands are no failure here: each one adds a line to `errors` and stays out of the
//   tree, so the whole page is checked in one go and the run refuses to start afterwards.
// - A data band "has a dataset" when one is linked or, without one, when RowCount is above 0
//   (its built-in virtual dataset); bands without a dataset never enter the tree.
#pragma once

#include "base/string.h"

namespace vl {

class TvlxBand;
class TvlxDataSet;
class TvlxErrorList;
class TvlxReportPage;

// The dataset a data band iterates: the linked one, else the virtual dataset of RowCount records,
// else nullptr (also for bands that are no data bands).
TvlxDataSet* BandDataSet(TvlxBand& band);

// Builds the tree of the page's horizontal bands (`vertical` false) or of its vertical bands.
void BuildBandTree(TvlxReportPage& page, bool vertical, TvlxErrorList& errors);

// Moves every object of a horizontal band (overlays excepted) that lies horizontally inside a
// vertical band of the page into that vertical band: it remembers its band in FOriginalBand, its
// Left becomes relative to the vertical band, and its band gets FHasVBands. Run after the
// horizontal tree is built (which clears FHasVBands) and before the vertical one.
void HandOverToVerticalBands(TvlxReportPage& page);

} // namespace vl
