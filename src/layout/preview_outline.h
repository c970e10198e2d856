// The outline of a prepared report: a tree of entries (text, output page, position) kept as
// "item" elements under the store document's "outline" element.
#pragma once

#include "base/string.h"
#include "platform/component/class_info.h"

#include <cstdint>

namespace vl {

class TvlxXMLItem;

struct TvlxOutlineEntry
{
    String Text;
    int32_t Page = 0; // output page index, from 0
    int32_t Top = 0;  // engine position on that page, whole pixels
};

// A Persistent so that report scripts can hold it as "Outline" (script objects are Persistents).
class TvlxCustomOutline : public Persistent
{
public:
    ~TvlxCustomOutline() override = default;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Appends an entry under the current one and makes it current.
    virtual void AddItem(const String& text, int32_t top) = 0;
    // To the parent, never above the outline's root.
    virtual void LevelUp() = 0;
    virtual void LevelRoot() = 0;
    // Into child `index` of the current level; an index out of range changes nothing.
    virtual void LevelDown(int32_t index) = 0;
    // Entries of the current level.
    virtual int32_t Count() const = 0;
    virtual TvlxOutlineEntry GetItem(int32_t index) const = 0;
    // Entries of the whole tree in document order, minus one: the position ShiftItems counts from.
    virtual int32_t GetCurPosition() const = 0;
    // Entries after position `from` (document order) move to the next page, their tops shifted
    // so that the first of them stands at `newTop`.
    virtual void ShiftItems(int32_t from, int32_t newTop) = 0;
};

// The outline over the store's "outline" element. `root` must outlive the outline; the page an
// entry records is read from `curPage` when it is added.
class TvlxOutline : public TvlxCustomOutline
{
public:
    TvlxOutline(TvlxXMLItem& root, const int32_t& curPage);

    void AddItem(const String& text, int32_t top) override;
    void LevelUp() override;
    void LevelRoot() override;
    void LevelDown(int32_t index) override;
    int32_t Count() const override;
    TvlxOutlineEntry GetItem(int32_t index) const override;
    int32_t GetCurPosition() const override;
    void ShiftItems(int32_t from, int32_t newTop) override;

    TvlxXMLItem& Root() const { return FRoot; }
    // Back to the root after the tree was emptied or replaced.
    void Reset() { FCurItem = &FRoot; }

private:
    TvlxXMLItem& FRoot;
    const int32_t& FCurPage;
    TvlxXMLItem* FCurItem; // the current element of the tree
};

} // namespace vl
