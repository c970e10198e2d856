// Index order and master/detail ranges of the in-memory table.
#include "base/format.h"
#include "platform/table/client_data_set.h"

#include <algorithm>
#include <numeric>

namespace vl {

namespace {

StringView TrimBlanks(StringView text)
{
    while (!text.empty() && text.front() == u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    return text;
}

std::vector<StringView> SplitNames(StringView names)
{
    std::vector<StringView> parts;
    if (TrimBlanks(names).empty()) return parts;
    size_t start = 0;
    for (;;) {
        const size_t end = names.find(u';', start);
        parts.push_back(TrimBlanks(names.substr(start, end - start)));
        if (end == StringView::npos) break;
        start = end + 1;
    }
    return parts;
}

} // namespace

std::vector<TField*> TClientDataSet::ResolveFields(StringView names) const
{
    std::vector<TField*> fields;
    for (StringView name : SplitNames(names))
        fields.push_back(&FieldByName(name));
    return fields;
}

std::vector<TField*> TClientDataSet::ResolveMasterFields(const TClientDataSet& master,
                                                         StringView masterNames,
                                                         const std::vector<TField*>& indexFields)
{
    std::vector<TField*> fields = master.ResolveFields(masterNames);
    if (fields.size() > indexFields.size())
        throw EDatabaseError(Format(u"A detail table needs an index field for each of its %d "
                                    u"master fields",
                                    {static_cast<int64_t>(fields.size())}));
    return fields;
}

void TClientDataSet::CheckNoCycle(const TClientDataSet* master, const TClientDataSet* detail)
{
    // The links made so far form a forest, so this walk up from the master ends.
    for (const TClientDataSet* t = master; t;
         t = t->FMasterSource ? t->FMasterSource->FDataSet : nullptr) {
        if (t == detail)
            throw EDatabaseError(u"Circular master/detail link: a table cannot follow itself "
                                 u"through its masters");
    }
}

int TClientDataSet::CompareInIndex(uint32_t a, uint32_t b) const
{
    for (const TField* field : FIndexFields)
        if (const int c = field->CompareRecords(a, b)) return c;
    return a < b ? -1 : (a > b ? 1 : 0);
}

void TClientDataSet::EnsureIndex()
{
    if (FIndexFields.empty()) {
        FIndex.clear();
        FIndexValid = true;
        return;
    }
    if (FIndexValid) return;
    FIndex.resize(FRecordCount);
    std::iota(FIndex.begin(), FIndex.end(), 0u);
    // Record numbers break ties, so the order is total and equal keys keep record order.
    std::sort(FIndex.begin(), FIndex.end(), [this](uint32_t a, uint32_t b) {
        return CompareInIndex(a, b) < 0;
    });
    FIndexValid = true;
}

void TClientDataSet::ApplyRange()
{
    EnsureIndex();
    FRangeBegin = 0;
    FRangeEnd = FRecordCount;
    TClientDataSet* master = FMasterSource ? FMasterSource->FDataSet : nullptr;
    if (!master || SplitNames(FMasterFields).empty()) {
        StandOnFirst();
        return;
    }
    FRangeEnd = 0;
    const uint32_t masterRecord = master->Active() ? master->CurrentRecord() : NoRecord;
    if (masterRecord == NoRecord || masterRecord >= master->FRecordCount) {
        StandOnFirst();
        return;
    }
    // The master's values in the kinds of the leading index fields.
    std::vector<FieldCell> key;
    for (StringView name : SplitNames(FMasterFields)) {
        const TField* source = master->FindField(name);
        if (!source || key.size() >= FIndexFields.size()) {
            StandOnFirst();
            return;
        }
        auto cell = FIndexFields[key.size()]->ConvertCell(*source, masterRecord);
        if (!cell) {
            StandOnFirst();
            return;
        }
        key.push_back(std::move(*cell));
    }
    auto compareKey = [&](uint32_t record) {
        for (size_t i = 0; i < key.size(); ++i)
            if (const int c = FIndexFields[i]->CompareCell(key[i], record))
                return c; // key against record
        return 0;
    };
    const auto lower = std::partition_point(
        FIndex.begin(), FIndex.end(), [&](uint32_t record) { return compareKey(record) > 0; });
    const auto upper = std::partition_point(
        lower, FIndex.end(), [&](uint32_t record) { return compareKey(record) == 0; });
    FRangeBegin = static_cast<size_t>(lower - FIndex.begin());
    FRangeEnd = static_cast<size_t>(upper - FIndex.begin());
    StandOnFirst();
}

void TClientDataSet::CurrentChanged()
{
    if (FSources.empty()) return;
    if (FDisableCount > 0) {
        FDetailsStale = true;
        return;
    }
    FDetailsStale = false;
    // Breadth first over the link tree, without recursion: each detail is refreshed after its
    // master, and a detail whose own controls are disabled holds its details back.
    std::vector<TClientDataSet*> pending{this};
    for (size_t i = 0; i < pending.size(); ++i) {
        for (TDataSource* source : pending[i]->FSources) {
            for (TClientDataSet* detail : source->FDetails) {
                if (!detail->Active()) continue;
                detail->ApplyRange();
                if (detail->FDisableCount > 0)
                    detail->FDetailsStale = !detail->FSources.empty();
                else
                    pending.push_back(detail);
            }
        }
    }
}

void TClientDataSet::SetIndexFieldNames(StringView names)
{
    std::vector<TField*> fields = ResolveFields(names);
    if (FMasterSource && FMasterSource->FDataSet)
        ResolveMasterFields(*FMasterSource->FDataSet, FMasterFields, fields);
    FIndexFieldNames = names;
    FIndexFields = std::move(fields);
    FIndexValid = false;
    if (!Active()) return;
    if (FState == TDataSetState::dsInsert) Post();
    ApplyRange();
    CurrentChanged();
}

void TClientDataSet::SetMasterFields(StringView names)
{
    if (FMasterSource && FMasterSource->FDataSet)
        ResolveMasterFields(*FMasterSource->FDataSet, names, FIndexFields);
    FMasterFields = names;
    if (Active()) {
        ApplyRange();
        CurrentChanged();
    }
}

void TClientDataSet::SetMasterSource(TDataSource* source)
{
    if (source == FMasterSource) return;
    if (source && source->FDataSet) {
        CheckNoCycle(source->FDataSet, this);
        ResolveMasterFields(*source->FDataSet, FMasterFields, FIndexFields);
    }
    if (FMasterSource) std::erase(FMasterSource->FDetails, this);
    FMasterSource = source;
    if (source) source->FDetails.push_back(this);
    if (Active()) {
        ApplyRange();
        CurrentChanged();
    }
}

void TClientDataSet::ShowAllRecords() noexcept
{
    // The master is gone: every record shows again, in the index order already built.
    FRangeBegin = 0;
    FRangeEnd = FIndexValid || FIndexFields.empty() ? FRecordCount : 0;
    StandOnFirst();
}

TDataSource::TDataSource(TClientDataSet* dataSet)
{
    SetDataSet(dataSet);
}

TDataSource::~TDataSource()
{
    if (FDataSet) std::erase(FDataSet->FSources, this);
    for (TClientDataSet* detail : FDetails) {
        detail->FMasterSource = nullptr;
        detail->ShowAllRecords();
    }
}

void TDataSource::SetDataSet(TClientDataSet* dataSet)
{
    if (dataSet == FDataSet) return;
    if (dataSet) {
        for (const TClientDataSet* detail : FDetails) {
            TClientDataSet::CheckNoCycle(dataSet, detail);
            TClientDataSet::ResolveMasterFields(
                *dataSet, detail->FMasterFields, detail->FIndexFields);
        }
    }
    if (FDataSet) std::erase(FDataSet->FSources, this);
    FDataSet = dataSet;
    if (dataSet) dataSet->FSources.push_back(this);
    for (TClientDataSet* detail : FDetails) {
        if (detail->Active()) {
            detail->ApplyRange();
            detail->CurrentChanged();
        }
    }
}

} // namespace vl
