// Dataset adapters: the report's only way to read a table. The report finds an adapter by its user
// name (without case) and walks it with Initialize, Open, First, Next, Eof ... Finalize; field
// values come back as Variants.
//
// Contract:
// - TvlxDataSet is the abstract adapter with its own record counter (RecNo) and range rules;
//   TvlxUserDataSet takes its fields and values from events; TvlxDBDataset reads one in-memory
//   table (platform/table), directly (DataSet) or through a data source (DataSource).
// - Every adapter is listed, from construction to destruction, in one process-wide list in
//   creation order; FindDataSetByUserName looks it up the way templates resolve dataset names.
// - A field name the table lacks never throws where it is used: the value is null and a line
//   "<current object>: Field not found: <UserName>."<field>"" goes to the error list of ReportRef
//   (nothing is recorded without a ReportRef). The report decides at the end what to do with it.
// - The adapter does not own its table. A table destroyed before the adapter is forgotten (the
//   adapter holds it through a data source, which the table empties when it goes), and hooks the
//   adapter put on a table are taken off again by Finalize or by the adapter's destruction. A
//   data source given to DataSource must outlive the adapter or be taken back first.
// - Events are hooks of the host program (std::function); templates cannot set them, so the
//   class descriptions leave them out, like the table references, which are no components.
#pragma once

#include "base/stream.h"
#include "base/variant.h"
#include "model/dialog_component.h"
#include "model/report.h"
#include "platform/component/string_list.h"
#include "platform/table/client_data_set.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace vl {

class ClassRegistry;

enum class TvlxRangeBegin
{
    rbFirst,
    rbCurrent
};
inline constexpr std::array<StringView, 2> RangeBeginNames{u"rbFirst", u"rbCurrent"};
constexpr std::span<const StringView> EnumNames(TvlxRangeBegin)
{
    return RangeBeginNames;
}

enum class TvlxRangeEnd
{
    reLast,
    reCurrent,
    reCount
};
inline constexpr std::array<StringView, 3> RangeEndNames{u"reLast", u"reCurrent", u"reCount"};
constexpr std::span<const StringView> EnumNames(TvlxRangeEnd)
{
    return RangeEndNames;
}

// What a field holds, for replacing a null value (the report's ConvertNulls): 0 gives the
// integer 0, 1 the empty string, 2 False.
enum class TvlxFieldCategory
{
    Numeric = 0,
    Text = 1,
    Boolean = 2
};

class TvlxDataSet;
using TvlxNotifyEvent = std::function<void(TvlxDataSet& sender)>;
using TvlxCheckEOFEvent = std::function<void(TvlxDataSet& sender, bool& eof)>;

class TvlxDataSet : public TvlxDialogComponent
{
public:
    TvlxDataSet();
    ~TvlxDataSet() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // A non-empty name must be an identifier ("'%s' is not a valid component name"); taken
    // names fail as for every component. An empty UserName follows the new name.
    void SetName(const String& name) override;

    // ---- Field access (names compared without case)
    virtual String FieldDisplayText(StringView name);
    virtual int32_t FieldDisplayWidth(StringView name);
    virtual TvlxFieldCategory FieldCategory(StringView name);
    virtual Variant FieldValue(StringView name);
    virtual int32_t FieldsCount();
    virtual bool IsBlobField(StringView name);
    // Copies a blob field into `target`: text lines, or bytes from the stream's start; the
    // stream is left at position 0. Nothing happens for a field that is no blob.
    virtual void AssignBlobTo(StringView name, StringList& target);
    virtual void AssignBlobTo(StringView name, MemoryStream& target);
    // The field names the adapter offers, in their own order (`list` is replaced).
    virtual void GetFieldList(StringList& list);
    bool HasField(StringView name);

    // ---- Walking. Open runs once per initialisation; readers call it when needed.
    virtual void Initialize() {}
    virtual void Finalize() {}
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int32_t RecordCount();
    int32_t RecNo() const { return FRecNo; } // 0-based, counted by the adapter

    // ---- Properties
    const String& UserName() const { return FUserName; }
    // Throws Exception ("Invalid property value") for a text that is empty after trimming.
    virtual void SetUserName(const String& value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    TvlxRangeBegin RangeBegin() const { return FRangeBegin; }
    void SetRangeBegin(TvlxRangeBegin value) { FRangeBegin = value; }
    TvlxRangeEnd RangeEnd() const { return FRangeEnd; }
    void SetRangeEnd(TvlxRangeEnd value) { FRangeEnd = value; }
    int32_t RangeEndCount() const { return FRangeEndCount; }
    void SetRangeEndCount(int32_t value) { FRangeEndCount = value; }
    bool CloseDataSource() const { return FCloseDataSource; }
    void SetCloseDataSource(bool value) { FCloseDataSource = value; }
    bool OpenDataSource() const { return FOpenDataSource; }
    void SetOpenDataSource(bool value) { FOpenDataSource = value; }
    TvlxReport* ReportRef() const { return FReportRef.Get(); }
    void SetReportRef(TvlxReport* report) { FReportRef = report; }

    TvlxCheckEOFEvent OnCheckEOF;
    TvlxNotifyEvent OnFirst;
    TvlxNotifyEvent OnNext;
    TvlxNotifyEvent OnPrior;
    TvlxNotifyEvent OnOpen;
    TvlxNotifyEvent OnClose;

protected:
    // Adds "<current object>: <text>" to the error list of ReportRef.
    void AddReportError(const String& text) const;
    // "Field not found: <UserName>."<name>"".
    String FieldNotFoundText(StringView name) const;

    bool FCloseDataSource = false;
    bool FEnabled = true;
    bool FEof = false; // end flag of the record counter
    bool FOpenDataSource = true;
    TvlxRangeBegin FRangeBegin = TvlxRangeBegin::rbFirst;
    TvlxRangeEnd FRangeEnd = TvlxRangeEnd::reLast;
    int32_t FRangeEndCount = 0;
    ComponentLink<TvlxReport> FReportRef;
    String FUserName;
    bool FInitialized = false; // opened for the current run
    int32_t FRecNo = 0;
};

using TvlxGetValueEvent = std::function<void(const String& name, Variant& value)>;
using TvlxNewGetValueEvent =
    std::function<void(TvlxDataSet& sender, const String& name, Variant& value)>;

// An adapter whose field names are a list and whose values come from the host's events.
class TvlxUserDataSet : public TvlxDataSet
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    StringList& Fields() { return FFields; }
    const StringList& Fields() const { return FFields; }

    // OnGetValue, then OnNewGetValue; null when neither gives a value.
    Variant FieldValue(StringView name) override;
    // The value as text, empty for null.
    String FieldDisplayText(StringView name) override;
    int32_t FieldsCount() override { return static_cast<int32_t>(FFields.Count()); }
    void GetFieldList(StringList& list) override;

    TvlxGetValueEvent OnGetValue;
    TvlxNewGetValueEvent OnNewGetValue;

private:
    StringList FFields;
};

// An adapter over fields that may carry aliases ("Field=Alias" lines; a field part starting
// with "-" hides the field).
class TvlxCustomDBDataSet : public TvlxDataSet
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    StringList& FieldAliases() { return FAliases; }
    const StringList& FieldAliases() const { return FAliases; }
    // The field whose alias is `alias` (without case), else `alias` itself.
    String ConvertAlias(StringView alias) const;
    // The alias of field `fieldName`, else `fieldName` itself.
    String GetAlias(StringView fieldName) const;
    int32_t FieldsCount() override;

protected:
    // An entry of the sorted field list: the offered name and the table field it reads (nullptr
    // when the table has no field of that name).
    struct FieldEntry
    {
        String Name;
        TField* Field = nullptr;
    };
    // Rebuilds FFields from GetFieldList: sorted without case, duplicates dropped.
    void RebuildFieldList(const TClientDataSet& table);
    // The entry named `name` (without case), or nullptr.
    const FieldEntry* FindEntry(StringView name) const;

    StringList FAliases;
    std::vector<FieldEntry> FFields;
};

// The adapter over one in-memory table: the one every request table is registered with.
class TvlxDBDataset : public TvlxCustomDBDataSet
{
public:
    TvlxDBDataset();
    ~TvlxDBDataset() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // The table read directly; setting it clears DataSource.
    TClientDataSet* DataSet() const { return FDataSet.DataSet(); }
    void SetDataSet(TClientDataSet* table);
    // A data source whose table is read; setting it clears DataSet.
    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* source);
    // The table read: DataSet, or the data source's table; nullptr when neither.
    TClientDataSet* GetDataSet() const;
    bool BCDToCurrency() const { return FBCDToCurrency; }
    void SetBCDToCurrency(bool value) { FBCDToCurrency = value; }

    // Throws Exception ("DataSet %s is not connected to data") without a table; hooks the
    // table's open and close notifications.
    void Initialize() override;
    // Back to the remembered record, closes the table when CloseDataSource, unhooks.
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    int32_t RecordCount() override;

    // By the table field's kind: decimal as double (currency with BCDToCurrency), date-time as
    // a date, text as a string, other blobs as an 8-bit string, the rest by kind; null for a
    // null field and (with an error line) for a name not in the field list.
    Variant FieldValue(StringView name) override;
    String FieldDisplayText(StringView name) override;
    int32_t FieldDisplayWidth(StringView name) override;
    TvlxFieldCategory FieldCategory(StringView name) override;
    bool IsBlobField(StringView name) override;
    void AssignBlobTo(StringView name, StringList& target) override;
    void AssignBlobTo(StringView name, MemoryStream& target) override;
    // The aliases in order (less hidden ones), or without aliases the table's field names in
    // order, "__id" included.
    void GetFieldList(StringList& list) override;

private:
    TClientDataSet& OpenTable();               // Open when needed; the table, or throws
    TField* TableField(StringView name) const; // through ConvertAlias, without opening
    void Unhook();
    void TableOpened(TClientDataSet& table);
    void TableClosing(TClientDataSet& table);

    std::optional<TBookmark> FBookmark; // remembered record for rbCurrent / reCurrent
    TDataSource FDataSet;               // holds the table; emptied when the table goes
    TDataSource* FDataSource = nullptr; // not owned
    bool FOwnEof = false;               // the adapter's own end flag (reCurrent)
    bool FBCDToCurrency = false;
    TDataSource FHooked;                // the table whose notifications are hooked, if any
    TDataSetNotifyEvent FSaveOpenEvent; // the table's own handlers, called on by the hooks
    TDataSetNotifyEvent FSaveCloseEvent;
};

// ---- The process-wide dataset list

// Every adapter alive, in creation order.
const std::vector<TvlxDataSet*>& GlobalDataSets();

// The first adapter of the global list whose UserName equals `name` (without case) and that is
// not owned by a report other than `report`; `previous` when none matches, nullptr for an empty
// name.
TvlxDataSet*
FindDataSetByUserName(StringView name, const TvlxComponent* report, TvlxDataSet* previous);

// Throws Exception ("'%s' is not a valid component name") unless `name` is an identifier.
void CheckComponentName(const String& name);

// Registers the adapter classes that templates can name (TvlxUserDataSet, TvlxDBDataset).
void RegisterDataClasses(ClassRegistry& registry);

} // namespace vl
