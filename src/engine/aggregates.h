// Aggregates: the totals (SUM, AVG, MIN, MAX, COUNT) that footer-like bands print over the
// records of a data band.
//
// Before a run the list scans the text views of every footer-like band for aggregate calls and
// makes one accumulator (TvlxAggregateItem) per call. While the run prints, every record of a
// data band feeds the accumulators that count that band; when a band prints, the calls in its
// text views are answered from the accumulators whose views lie in it; after it printed, those
// start over.
//
// Contract:
// - Items refer to bands and the report without owning them; the list lives in the engine and
//   is rebuilt (Clear, AddItems) at every run while the template objects stay put.
// - A value is taken with the report's Calc (compiled once, through the report's expression
//   cache); its errors end the run, named after the calling text view.
// - Page-footer items have a keep mode: values taken while a block is kept wait aside and join
//   the item's value when the keep ends, which may be on the next page (after the old page's
//   footer has printed without them).
// - Vertical bands keep per-column values, indexed by the vertical column from 1 up to
//   limits::AggregateMaxVerticalColumn; column 0 is the ordinary value.
#pragma once

#include "base/string.h"
#include "base/variant.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace vl {

class TvlxBand;
class TvlxCustomMemoView;
class TvlxReport;
class TvlxReportPage;
class TsbProcVariable;

enum class TvlxAggregateFunction
{
    agSum,
    agAvg,
    agMin,
    agMax,
    agCount
};

// The function of an aggregate name: SUM, AVG, MIN and MAX (without case) select theirs; every
// other name counts.
TvlxAggregateFunction AggregateFunctionOf(StringView name);

// One accumulator: one aggregate call in one text view.
class TvlxAggregateItem
{
public:
    TvlxAggregateItem(TvlxReport& report, TvlxAggregateFunction function, TvlxBand* band);

    // Takes the value of the current record of FBand (nothing for an invisible band unless
    // FCountInvisibleBands).
    void Calc();
    // Compiles the expression once, before the values are taken (nothing for a whole name, which
    // Calc resolves each time, or for COUNT).
    void Compile();
    // Whether the current record counts: FBand is visible, or FCountInvisibleBands.
    bool Counts() const;
    // The expression's value for the current record (Null for COUNT; Booleans as 1 and 0).
    Variant Evaluate();
    // Combines a value of the current record into the total (of column FVColumn, or aside in
    // keep mode). Throws ELimitExceeded past the last vertical column.
    void Take(const Variant& v);
    // Goes back to the value before the last value taken outside keep mode (one step; nothing
    // when that value has gone into a printed total since).
    void DeleteValue();
    // Takes again the value that DeleteValue withdrew (after a kept block moved on).
    void RestoreValue();
    // Starts over, except a running total (FDontReset) that has taken a value.
    void Reset();
    // Starts over whatever the flags say.
    void ClearValue();
    void StartKeep();
    void EndKeep();
    // The answer to the call for the column FVColumn: the average, the count or the combined
    // value; Null becomes the integer 0.
    Variant Value() const;

    TvlxAggregateFunction FAggregateFunction;
    String FExpression;
    TvlxBand* FBand;
    bool FCountInvisibleBands = false;
    bool FDontReset = false;
    TvlxBand* FParentBand = nullptr;
    bool FIsPageFooter = false;
    String FOriginalName;
    String FMemoName;
    int32_t FItemsCount = 0;
    Variant FItemsValue = Variant::Null();
    int32_t FLastCount = 0;
    Variant FLastValue = Variant::Null();
    bool FKeeping = false;
    int32_t FTempItemsCount = 0;
    Variant FTempItemsValue = Variant::Null();
    // Per-column values and counts for vertical bands; empty until a column value is taken.
    std::vector<Variant> FItemsArray;
    std::vector<int32_t> FItemsCountArray;
    int32_t FVColumn = 0;
    TvlxReport& FReport;

private:
    // Count and value back to nothing; nothing left to withdraw.
    void StartOver();
    // Calls the compiled expression as Calc would; an error is raised through Calc.
    Variant CallCompiled();
    // Combines v into value (the function's rule; Null takes v).
    void Combine(Variant& value, const Variant& v) const;

    // The last value taken outside keep mode, while it can still be withdrawn, and whether it
    // was withdrawn.
    Variant FLastTaken = Variant::Null();
    bool FLastTakenCounted = false;
    bool FCanWithdraw = false;
    bool FWithdrawn = false;
    // The expression compiled in the report's expression cache, which owns it; nullptr: Calc.
    TsbProcVariable* FCompiled = nullptr;
    bool FCompileTried = false;
};

class TvlxAggregateList
{
public:
    explicit TvlxAggregateList(TvlxReport& report);
    ~TvlxAggregateList();
    TvlxAggregateList(const TvlxAggregateList&) = delete;
    TvlxAggregateList& operator=(const TvlxAggregateList&) = delete;

    // Frees all items.
    void Clear();
    // Scans the footer-like bands of one report page (its band trees must be built) and adds an
    // item per aggregate call found. Throws EConvertError for a flags argument that is no
    // integer.
    void AddItems(TvlxReportPage& page);

    // Every item counting `band` takes its record, for vertical column `vColumn` (0: none).
    void AddValue(TvlxBand& band, int32_t vColumn = 0);
    void DeleteValue(TvlxBand& band);
    void RestoreValue(TvlxBand& band);
    // The items printed in `parentBand` start over.
    void Reset(TvlxBand& parentBand);
    void ClearValues();
    void StartKeep();
    void EndKeep();

    // The answer to a call made while `parentBand` prints: Null when no item matches. `band` is
    // the band object the call names, or anything else for none.
    Variant GetValue(TvlxBand* parentBand,
                     int32_t vColumn,
                     StringView name,
                     StringView expression,
                     const Variant& band,
                     int64_t flags);
    // The item whose whole call text is `complexName`.
    Variant GetValue(TvlxBand* parentBand, StringView complexName, int32_t vColumn);

    size_t Count() const { return FList.size(); }
    const TvlxAggregateItem& Item(size_t index) const { return *FList[index]; }

private:
    class Scan;
    using ItemList = std::vector<TvlxAggregateItem*>;

    // Adds the item of one call text unless an equal one is there already (equal items could
    // only ever give the same answers, and only the first is asked).
    void AddItem(StringView call, TvlxCustomMemoView& view, TvlxBand& defaultBand);

    TvlxReport& FReport;
    std::vector<std::unique_ptr<TvlxAggregateItem>> FList;
    // The items by the band they count and by the band they print in, in creation order.
    std::unordered_map<const TvlxBand*, ItemList> FByBand;
    // The items of a band grouped by expression, so that each is evaluated once per record.
    std::unordered_map<const TvlxBand*, std::vector<ItemList>> FSharedByBand;
    std::unordered_map<const TvlxBand*, ItemList> FByParent;
    ItemList FPageFooterItems;
};

} // namespace vl
