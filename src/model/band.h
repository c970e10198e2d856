// Bands: the horizontal strips of a report page that the engine prints once, once per page, once
// per column or once per record. TvlxBand holds every band property; each band class publishes
// its own choice of them (band_kinds.h, data_band.h).
//
// Contract:
// - BandNumber() is the band's index in the fixed table of band classes (report title 0 ...
//   overlay 17); the engine orders and places bands by it. A band class that is none of the
//   table's and derives from none of them (the null band) answers 0.
// - Child chains never loop: SetChild refuses a band that would reach this band again, so every
//   walk along Child() ends.
// - The engine state below (FSubBands, FHeader, FFooter, FGroup, ...) is rebuilt by the engine at
//   the start of every preparation; those are plain pointers into the same page's tree.
#pragma once

#include "model/component.h"
#include "platform/component/component.h"

#include <array>
#include <span>
#include <vector>

namespace vl {

class TvlxChild;
class TvlxGroupHeader;

class TvlxBand : public TvlxReportComponent
{
public:
    TvlxBand();
    ~TvlxBand() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsBand() const override { return true; }

    // Index in the band table; subclasses of a band class take the subclass's number.
    int BandNumber() const;
    // The class name without its first "Tvlx" and its first "Band" ("MasterData", "Data4").
    String BandName() const;

    // The band printed right after this one.
    TvlxChild* Child() const { return FChild.Get(); }
    // Throws Exception (resource "clCirRefNotAllow") when `child`'s chain reaches this band;
    // Child() is unchanged then.
    void SetChild(TvlxChild* child);

    // ---- Template properties shared by the band classes (each publishes its own choice).
    // Printed in parts across pages when it does not fit.
    bool FAllowSplit = false;
    // This band and its child chain move to the next page together.
    bool FKeepChild = false;
    // Expression whose text becomes an outline entry.
    String FOutlineText;
    // The child band is printed even when this band is invisible.
    bool FPrintChildIfInvisible = false;
    // A new page is started before the band.
    bool FStartNewPage = false;
    // The height becomes the lowest bottom edge of the objects after they have grown.
    bool FStretched = false;
    // A vertical band: laid out across the page instead of down it.
    bool FVertical = false;
    // Script procedure run after the band's height is calculated.
    String FOnAfterCalcHeight;

    // ---- Engine state
    // True while the band is printed again at the top of a continuation page or column.
    bool Overflow = false;
    // For a data band its detail data bands; for a group header the chain of group headers it
    // heads.
    std::vector<TvlxBand*> FSubBands;
    // Header and footer attached to a data band, or the footer of a group header.
    TvlxBand* FHeader = nullptr;
    TvlxBand* FFooter = nullptr;
    // The first group header of a data band.
    TvlxGroupHeader* FGroup = nullptr;
    // Number of the current record within its group or master record, from 1.
    int32_t FLineN = 0;
    // Number of the current record through the whole run, from 1.
    int32_t FLineThrough = 0;
    // Number of design objects while the engine adds temporary ones; -1 when unset.
    int32_t FOriginalObjectsCount = -1;
    // The band has objects moved into vertical bands.
    bool FHasVBands = false;
    // The band's height after the last stretch, pixels.
    double FStretchedHeight = 0;

private:
    bool IsFontStored() const;

    ComponentLink<TvlxChild> FChild;
};

// The band table: the band number is the index of a band's class here.
inline constexpr size_t BandClassCount = 18;
std::span<const ClassInfo* const, BandClassCount> BandClasses();

} // namespace vl
