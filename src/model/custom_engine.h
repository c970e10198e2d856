// The band engine as the report sees it: the seam between report preparation and the engine run.
//
// The report owns one engine (TvlxReport::SetEngine) and calls Run once per preparation, after
// its script has compiled and run. The engine owns or reaches the prepared-page store, so the
// page numbers and the clearing of the last prepared report are asked of it as well. A report
// without an engine fails its run with a clear error instead of producing nothing.
//
// The engine is a Persistent so that report scripts can hold it as "Engine" like any other
// report object (script objects are Persistents, see script/reflected_class.h).
#pragma once

#include "base/string.h"
#include "base/variant.h"
#include "platform/component/class_info.h"

#include <cstdint>

namespace vl {

class TvlxCustomEngine : public Persistent
{
public:
    ~TvlxCustomEngine() override = default;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Runs the report's pages into the prepared-page store; False when the run did not happen
    // (band tree errors, cancelled dialogs). Errors of the run go to the report's error list or
    // are raised as Exceptions.
    virtual bool Run() = 0;
    // True only while Run works.
    virtual bool Running() const = 0;

    // Empties the prepared-page store (the last prepared report).
    virtual void ClearPreparedPages() = 0;
    // Forgets the objects told about every printed data record (cross-tabs register there).
    virtual void ClearNotifyList() = 0;

    // What the system variables show (see TsbSystemVariable).
    virtual double StartDate() const = 0;          // days since 30 December 1899, date part
    virtual double StartTime() const = 0;          // fraction of a day
    virtual int32_t LogicalPage() const = 0;       // "Page"
    virtual int32_t PhysicalPage() const = 0;      // "Page#": current prepared page + 1
    virtual int32_t LogicalTotalPages() const = 0; // "TotalPages"
    virtual int32_t TotalPages() const = 0; // "TotalPages#": first-pass page count of a double pass
    virtual int32_t CurLine() const = 0;    // "Line"
    virtual int32_t CurLineThrough() const = 0; // "Line#"

    // The value of aggregate `name` (SUM, AVG, MIN, MAX, COUNT) over `expression` for `band`.
    virtual Variant GetAggregateValue(StringView name,
                                      StringView expression,
                                      const Variant& band,
                                      int64_t flags) = 0;

    // The objects a report script sees as "Engine" and "Outline"; OutlineObject gives the
    // store's TvlxCustomOutline.
    virtual const Persistent* ScriptObject() const { return this; }
    virtual const void* OutlineObject() const = 0;
};

} // namespace vl
