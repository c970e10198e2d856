// The in-memory table that carries each request table from the table builder to the report:
// typed fields, records appended once and then read through a cursor, an optional index and a
// master/detail range.
//
// Contract:
// - Structure first: AddField for each field, then CreateDataSet, which opens the table. Field
//   names are unique without regard to case; FieldByName and FindField look them up that way.
// - Records are appended (Append, field writes, Post) and never changed or deleted afterwards,
//   so a record number stays valid for the table's life: it is what a bookmark holds.
// - Storage is column-wise (field.h): a million cells cost a handful of growing arrays, never an
//   allocation per cell, and texts that fit in 8 bits take one byte per character.
// - The cursor walks the visible records: all of them in index order (IndexFieldNames, a list of
//   fields separated by ";"; record order without one), or, for a detail table, only those whose
//   leading index fields equal the master's MasterFields in the master's current record. A detail
//   follows its master at once whenever the master's current record changes, and then stands on
//   its first match; an empty master or no match leaves it empty (Eof, RecordCount 0). Equal keys
//   keep record order. Index keys compare null first, numbers by value and texts by UTF-16 code
//   unit, with case; a master value is converted to the detail field's kind first, and one that
//   does not convert matches nothing. Null matches null.
// - A master may have many details and a detail may be a master; a link that would close a cycle
//   is refused (EDatabaseError) before anything changes.
// - Movement notifications to details pause between DisableControls and EnableControls.
#pragma once

#include "base/exception.h"
#include "platform/table/field.h"
#include "platform/unicode/text_case.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace vl {

class TDataSource;

// Misuse of a table or a failed lookup: a missing field, a duplicate name, a closed table, a
// write outside Append ... Post, a circular link.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "EDatabaseError"; }
};

inline constexpr uint32_t NoRecord = UINT32_MAX;

// A remembered record. Freeing one is a no-op: it holds only the record number.
struct TBookmark
{
    uint32_t Record = NoRecord;
};

enum class TDataSetState : uint8_t
{
    dsInactive,
    dsBrowse,
    dsInsert
};

using TDataSetNotifyEvent = std::function<void(TClientDataSet&)>;

class TClientDataSet
{
public:
    TClientDataSet();
    ~TClientDataSet();
    TClientDataSet(const TClientDataSet&) = delete;
    TClientDataSet& operator=(const TClientDataSet&) = delete;

    // Structure. AddField works only before CreateDataSet; a wide string's size must lie in
    // 1..limits::WideStringFieldMaxSize, other kinds take 0.
    TField& AddField(StringView name, TFieldType type, int32_t size = 0);
    void CreateDataSet();
    int32_t FieldCount() const { return static_cast<int32_t>(FFields.size()); }
    TField& Field(int32_t index) const { return *FFields.at(static_cast<size_t>(index)); }
    TField* FindField(StringView name) const;
    TField& FieldByName(StringView name) const; // EDatabaseError when absent
    std::vector<String> GetFieldNames() const;  // in order

    // State. Closing keeps the records; opening again stands on the first one. The handlers run
    // after opening and before closing.
    void Open();
    void Close();
    bool Active() const { return FState != TDataSetState::dsInactive; }
    TDataSetState State() const { return FState; }
    void SetAfterOpen(TDataSetNotifyEvent handler) { FAfterOpen = std::move(handler); }
    const TDataSetNotifyEvent& AfterOpen() const { return FAfterOpen; }
    void SetBeforeClose(TDataSetNotifyEvent handler) { FBeforeClose = std::move(handler); }
    const TDataSetNotifyEvent& BeforeClose() const { return FBeforeClose; }
    // The table keeps no undo log whatever this says; the flag is kept for callers that set it.
    void SetLogChanges(bool value) { FLogChanges = value; }
    bool LogChanges() const { return FLogChanges; }
    // Records fetched per packet from a provider; an in-memory table has all of them, so 0 (none
    // beyond what is there) is what it always does.
    void SetPacketRecords(int32_t value) { FPacketRecords = value; }
    int32_t PacketRecords() const { return FPacketRecords; }
    void DisableControls();
    void EnableControls(); // the last one brings the details up to date
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // Appending. Append starts a new record (all null) that becomes current; Post adds it after
    // the others, Cancel drops it. Append while appending posts first.
    void Append();
    void Post();
    void Cancel();
    // Releases spare capacity after a bulk load.
    void ShrinkToFit();

    // Cursor over the visible records. Next on the last record sets Eof and stays; Prior on the
    // first sets Bof and stays.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    int32_t RecordCount() const; // visible records
    int32_t RecNo() const;       // 1-based position among them, 0 when there is none

    TBookmark GetBookmark() const; // the current record, or an empty bookmark
    bool BookmarkValid(const TBookmark& bookmark) const;
    void GotoBookmark(const TBookmark& bookmark); // EDatabaseError when it is not visible
    // <0, 0, >0 by position in the index order; an empty bookmark comes first.
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;
    void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }

    // Index and master/detail. Names are separated by ";" and looked up without case; a missing
    // name fails with EDatabaseError and changes nothing. A detail needs at least as many index
    // fields as master fields.
    void SetIndexFieldNames(StringView names);
    const String& IndexFieldNames() const { return FIndexFieldNames; }
    void SetMasterFields(StringView names);
    const String& MasterFields() const { return FMasterFields; }
    void SetMasterSource(TDataSource* source);
    TDataSource* MasterSource() const { return FMasterSource; }

    // Bytes held by the records (capacity included), for measurements.
    size_t MemoryUsage() const;

    // The record the fields read: the one being appended, else the current visible one.
    uint32_t CurrentRecord() const;

private:
    friend class TDataSource;
    friend class TField;

    void CheckActive() const;
    uint32_t RecordAt(size_t position) const;
    std::optional<size_t> FindPosition(uint32_t record); // among the visible records
    std::vector<TField*> ResolveFields(StringView names) const;
    static std::vector<TField*> ResolveMasterFields(const TClientDataSet& master,
                                                    StringView masterNames,
                                                    const std::vector<TField*>& indexFields);
    static void CheckNoCycle(const TClientDataSet* master, const TClientDataSet* detail);
    int CompareInIndex(uint32_t a, uint32_t b) const;
    void EnsureIndex();
    void ApplyRange();
    void StandOnFirst();
    void CurrentChanged();
    void ShowAllRecords() noexcept;

    std::vector<std::unique_ptr<TField>> FFields;
    std::unordered_map<String, TField*, TextHash, TextEqual> FFieldsByName;
    bool FCreated = false;
    TDataSetState FState = TDataSetState::dsInactive;
    bool FLogChanges = true;
    int32_t FPacketRecords = -1;
    int32_t FDisableCount = 0;
    bool FDetailsStale = false; // the current record changed while controls were disabled
    TDataSetNotifyEvent FAfterOpen;
    TDataSetNotifyEvent FBeforeClose;

    uint32_t FRecordCount = 0;    // posted records
    std::vector<uint32_t> FIndex; // record numbers in index order, when there are index fields
    bool FIndexValid = false;
    size_t FRangeBegin = 0; // visible positions [FRangeBegin, FRangeEnd)
    size_t FRangeEnd = 0;
    size_t FPosition = 0;
    bool FEof = true;
    bool FBof = true;

    String FIndexFieldNames;
    std::vector<TField*> FIndexFields;
    String FMasterFields;
    TDataSource* FMasterSource = nullptr;
    std::vector<TDataSource*> FSources; // data sources whose DataSet is this table
};

// Connects a master table to its details: each detail's MasterSource names the data source, and
// the data source names the master. None owns another. Destroying the master leaves the data
// source without a table; destroying the data source clears its details' MasterSource; either
// way the details show all their records.
class TDataSource
{
public:
    explicit TDataSource(TClientDataSet* dataSet = nullptr);
    ~TDataSource();
    TDataSource(const TDataSource&) = delete;
    TDataSource& operator=(const TDataSource&) = delete;

    TClientDataSet* DataSet() const { return FDataSet; }
    // Refuses (EDatabaseError) a table that would close a cycle or lacks a detail's master field.
    void SetDataSet(TClientDataSet* dataSet);

private:
    friend class TClientDataSet;
    TClientDataSet* FDataSet = nullptr;
    std::vector<TClientDataSet*> FDetails;
};

} // namespace vl
