// Structure, state, appending and the cursor of the in-memory table.
#include "platform/table/client_data_set.h"

#include "base/format.h"
#include "base/limits.h"

#include <algorithm>

namespace vl {

TClientDataSet::TClientDataSet() = default;

TClientDataSet::~TClientDataSet()
{
    if (FMasterSource) std::erase(FMasterSource->FDetails, this);
    // Details keep their data source, which is left without a table.
    for (TDataSource* source : FSources) {
        source->FDataSet = nullptr;
        for (TClientDataSet* detail : source->FDetails)
            detail->ShowAllRecords();
    }
}

// ----- structure -----------------------------------------------------------------------------

TField& TClientDataSet::AddField(StringView name, TFieldType type, int32_t size)
{
    if (FCreated) throw EDatabaseError(u"Fields can be added only before the table is created");
    if (type == TFieldType::ftWideString) {
        if (size < 1 || size > limits::WideStringFieldMaxSize)
            throw EDatabaseError(Format(u"Field '%s' cannot have the size %d: a text field holds "
                                        u"1 to %d characters",
                                        {name,
                                         static_cast<int64_t>(size),
                                         static_cast<int64_t>(limits::WideStringFieldMaxSize)}));
    } else {
        size = 0;
    }
    if (FFieldsByName.contains(name))
        throw EDatabaseError(Format(u"Duplicate field name '%s'", {name}));
    auto field = std::make_unique<TField>(*this, String(name), type, size, FieldCount());
    TField& added = *field;
    FFields.push_back(std::move(field));
    FFieldsByName.emplace(added.FieldName(), &added);
    return added;
}

void TClientDataSet::CreateDataSet()
{
    if (FCreated) throw EDatabaseError(u"The table is created already");
    if (FFields.empty()) throw EDatabaseError(u"A table needs at least one field");
    FCreated = true;
    Open();
}

TField* TClientDataSet::FindField(StringView name) const
{
    const auto it = FFieldsByName.find(name);
    return it == FFieldsByName.end() ? nullptr : it->second;
}

TField& TClientDataSet::FieldByName(StringView name) const
{
    if (TField* field = FindField(name)) return *field;
    throw EDatabaseError(Format(u"Field '%s' not found", {name}));
}

std::vector<String> TClientDataSet::GetFieldNames() const
{
    std::vector<String> names;
    names.reserve(FFields.size());
    for (const auto& field : FFields)
        names.push_back(field->FieldName());
    return names;
}

// ----- state ---------------------------------------------------------------------------------

void TClientDataSet::Open()
{
    if (Active()) return;
    if (!FCreated) throw EDatabaseError(u"The table has no storage: create it first");
    FState = TDataSetState::dsBrowse;
    ApplyRange();
    CurrentChanged();
    if (FAfterOpen) FAfterOpen(*this);
}

void TClientDataSet::Close()
{
    if (!Active()) return;
    if (FBeforeClose) FBeforeClose(*this);
    if (FState == TDataSetState::dsInsert) Cancel();
    FState = TDataSetState::dsInactive;
    CurrentChanged();
}

void TClientDataSet::CheckActive() const
{
    if (!Active()) throw EDatabaseError(u"Cannot perform this operation on a closed table");
}

void TClientDataSet::DisableControls()
{
    ++FDisableCount;
}

void TClientDataSet::EnableControls()
{
    if (FDisableCount > 0 && --FDisableCount == 0 && FDetailsStale) CurrentChanged();
}

// ----- appending -----------------------------------------------------------------------------

void TClientDataSet::Append()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) Post();
    // Record numbers and "__id" values are 32-bit; a request that fits in memory never has this
    // many rows.
    Expects(FRecordCount < static_cast<uint32_t>(INT32_MAX), "table record count");
    for (auto& field : FFields)
        field->AddRow();
    FState = TDataSetState::dsInsert;
}

void TClientDataSet::Post()
{
    if (FState != TDataSetState::dsInsert)
        throw EDatabaseError(u"The table is not appending a record");
    const uint32_t posted = FRecordCount++;
    FState = TDataSetState::dsBrowse;
    if (FIndexFields.empty() && !FMasterSource) {
        // Record order without a range: the new record is the last visible one.
        FRangeBegin = 0;
        FRangeEnd = FRecordCount;
        FPosition = posted;
        FEof = FBof = false;
    } else {
        if (FIndexValid && !FIndexFields.empty()) {
            const auto at = std::partition_point(FIndex.begin(), FIndex.end(), [&](uint32_t r) {
                return CompareInIndex(r, posted) < 0;
            });
            FIndex.insert(at, posted);
        }
        ApplyRange();
        if (const auto position = FindPosition(posted)) {
            FPosition = *position;
            FEof = FBof = false;
        }
    }
    CurrentChanged();
}

void TClientDataSet::Cancel()
{
    if (FState != TDataSetState::dsInsert) return;
    for (auto& field : FFields)
        field->DropLastRow();
    FState = TDataSetState::dsBrowse;
}

void TClientDataSet::ShrinkToFit()
{
    for (auto& field : FFields)
        field->ShrinkToFit();
    FIndex.shrink_to_fit();
}

size_t TClientDataSet::MemoryUsage() const
{
    size_t bytes = FIndex.capacity() * sizeof(uint32_t);
    for (const auto& field : FFields)
        bytes += field->MemoryUsage();
    return bytes;
}

// ----- cursor --------------------------------------------------------------------------------

uint32_t TClientDataSet::RecordAt(size_t position) const
{
    return FIndexFields.empty() ? static_cast<uint32_t>(position) : FIndex[position];
}

uint32_t TClientDataSet::CurrentRecord() const
{
    if (FState == TDataSetState::dsInsert) return FRecordCount;
    if (FState == TDataSetState::dsInactive || FRangeBegin == FRangeEnd) return NoRecord;
    return RecordAt(FPosition);
}

void TClientDataSet::StandOnFirst()
{
    FPosition = FRangeBegin;
    FEof = FRangeBegin == FRangeEnd;
    FBof = true;
}

void TClientDataSet::First()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) Post();
    StandOnFirst();
    CurrentChanged();
}

void TClientDataSet::Last()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) Post();
    FPosition = FRangeEnd == FRangeBegin ? FRangeBegin : FRangeEnd - 1;
    FEof = true;
    FBof = FRangeEnd == FRangeBegin;
    CurrentChanged();
}

void TClientDataSet::Next()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) Post();
    if (FPosition + 1 < FRangeEnd) {
        ++FPosition;
        FEof = FBof = false;
        CurrentChanged();
    } else {
        FEof = true;
    }
}

void TClientDataSet::Prior()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) Post();
    if (FPosition > FRangeBegin && FRangeBegin != FRangeEnd) {
        --FPosition;
        FEof = FBof = false;
        CurrentChanged();
    } else {
        FBof = true;
    }
}

bool TClientDataSet::Eof() const
{
    CheckActive();
    return FEof;
}

bool TClientDataSet::Bof() const
{
    CheckActive();
    return FBof;
}

int32_t TClientDataSet::RecordCount() const
{
    CheckActive();
    return static_cast<int32_t>(FRangeEnd - FRangeBegin);
}

int32_t TClientDataSet::RecNo() const
{
    CheckActive();
    if (FRangeBegin == FRangeEnd) return 0;
    return static_cast<int32_t>(FPosition - FRangeBegin + 1);
}

TBookmark TClientDataSet::GetBookmark() const
{
    CheckActive();
    return TBookmark{FState == TDataSetState::dsInsert ? NoRecord : CurrentRecord()};
}

bool TClientDataSet::BookmarkValid(const TBookmark& bookmark) const
{
    return bookmark.Record < FRecordCount;
}

std::optional<size_t> TClientDataSet::FindPosition(uint32_t record)
{
    if (record >= FRecordCount) return std::nullopt;
    // Visible records are sorted by (index key, record number): a binary search finds one.
    EnsureIndex();
    size_t low = FRangeBegin;
    size_t high = FRangeEnd;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (CompareInIndex(RecordAt(middle), record) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    if (low < FRangeEnd && RecordAt(low) == record) return low;
    return std::nullopt;
}

void TClientDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) Post();
    const auto position = FindPosition(bookmark.Record);
    if (!position) throw EDatabaseError(u"Record not found");
    FPosition = *position;
    FEof = FBof = false;
    CurrentChanged();
}

int TClientDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    const bool aValid = BookmarkValid(a);
    const bool bValid = BookmarkValid(b);
    if (!aValid || !bValid) return static_cast<int>(aValid) - static_cast<int>(bValid);
    return CompareInIndex(a.Record, b.Record);
}

} // namespace vl
