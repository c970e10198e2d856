// The shift tree of a band: which objects move down when an object above them grows while the
// band is prepared, and the shifting itself.
//
// Contract:
// - The tree lives in FShiftChildren: the band's list holds the topmost objects, each object's
//   list the objects directly below it. An object can be a shift child of several objects; the
//   lists are plain pointers to objects of the same band, never owned.
// - Only the band's original objects take part (the first FOriginalObjectsCount when that is set),
//   so objects the engine adds for one output and frees afterwards never enter the tree.
// - Positions are pixels. Overlaps allow a tolerance of 0.0001: two ranges overlap when each
//   one's start is more than 0.0001 before the other's end.
#pragma once

namespace vl {

class TvlxBand;

// Rebuilds the tree of `band` from the objects' current bounds.
void BuildShiftTree(TvlxBand& band);

// Moves the objects of `band` down the tree by how much the objects above them grew
// (FShiftAmount), as each object's ShiftMode says; every FShiftAmount of the tree ends at 0.
// An object below several growing objects moves once for each of them.
void ShiftObjects(TvlxBand& band);

} // namespace vl
