// Helpers for tests that drive a report: an engine whose run is a test's function, and the
// property data block of the report's attribute-text lists.
#pragma once

#include "model/custom_engine.h"
#include "template/prop_data.h"

#include <functional>
#include <string>
#include <vector>

namespace vl {

// An engine whose run is `OnRun`; it counts its runs and fixes what the system variables show.
class FakeEngine : public TvlxCustomEngine
{
public:
    std::function<bool()> OnRun = [] { return true; };
    int Runs = 0;

    bool Run() override
    {
        ++Runs;
        FRunning = true;
        struct Stop
        {
            bool& R;
            ~Stop() { R = false; }
        } stop{FRunning};
        return OnRun();
    }
    bool Running() const override { return FRunning; }
    void ClearPreparedPages() override {}
    void ClearNotifyList() override {}
    double StartDate() const override { return 45000; }
    double StartTime() const override { return 0.5; }
    int32_t LogicalPage() const override { return 3; }
    int32_t PhysicalPage() const override { return 4; }
    int32_t LogicalTotalPages() const override { return 5; }
    int32_t TotalPages() const override { return 6; }
    int32_t CurLine() const override { return 7; }
    int32_t CurLineThrough() const override { return 8; }
    Variant GetAggregateValue(StringView, StringView, const Variant&, int64_t) override
    {
        return Variant(int32_t(42));
    }
    const void* OutlineObject() const override { return nullptr; }

private:
    bool FRunning = false;
};

// The hexadecimal property data block of one of the report's lists ("Datasets", "Variables"):
// a list of items, each a list holding one attribute text.
inline std::string ListBlock(StringView name, const std::vector<String>& items)
{
    PropDataWriter writer;
    writer.WriteName(name);
    writer.WriteListBegin();
    for (const String& item : items) {
        writer.WriteListBegin();
        writer.WriteWideString(item);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
    return ToUtf8(BytesToHex(writer.Bytes()));
}

} // namespace vl
