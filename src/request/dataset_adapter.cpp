// Dataset adapters: the record counter and range rules, the field list with aliases, and the
// reading of one in-memory table field by field kind.
#include "request/dataset_adapter.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/format_date_time.h"
#include "platform/component/class_builder.h"
#include "platform/component/class_registry.h"
#include "platform/unicode/identifier.h"
#include "platform/unicode/text_case.h"

#include <algorithm>
#include <unordered_map>

namespace vl {

namespace {

std::vector<TvlxDataSet*>& DataSetList()
{
    static std::vector<TvlxDataSet*> list;
    return list;
}

// Trims characters up to the blank from both ends.
StringView Trimmed(StringView text)
{
    while (!text.empty() && text.front() <= u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ')
        text.remove_suffix(1);
    return text;
}

// Bytes read as 8-bit text: each byte one character.
String BytesAsText(std::string_view bytes)
{
    String text;
    text.reserve(bytes.size());
    for (unsigned char b : bytes)
        text.push_back(char16_t(b));
    return text;
}

// The field's value as the table shows it: texts as they are, numbers and dates in the
// locale's forms, booleans as True and False, blobs as 8-bit text; the empty text for null.
String DisplayTextOf(const TField& field)
{
    if (field.IsNull()) return {};
    switch (field.DataType()) {
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
        return field.AsText();
    case TFieldType::ftBoolean:
        return String(field.AsBoolean() ? TrueText : FalseText);
    case TFieldType::ftDateTime:
        return FormatDateTime(u"", field.AsDateTime());
    case TFieldType::ftFMTBcd:
        return field.AsDecimal().ToText();
    case TFieldType::ftInteger:
        return IntToStr(field.AsInteger());
    case TFieldType::ftBlob:
        return BytesAsText(field.AsBytes());
    }
    return {};
}

// Display width by field kind: a wide string's size, 20 for date-times, else 10.
int32_t DisplayWidthOf(const TField& field)
{
    switch (field.DataType()) {
    case TFieldType::ftWideString:
        return field.Size();
    case TFieldType::ftDateTime:
        return 20;
    default:
        return 10;
    }
}

// The line of a "Field=Alias" list split at its first "="; a line without one names the field
// and is its own alias.
struct AliasLine
{
    StringView Field;
    StringView Alias;
};

AliasLine SplitAlias(StringView line)
{
    const size_t eq = line.find(u'=');
    if (eq == StringView::npos) return {line, line};
    return {line.substr(0, eq), line.substr(eq + 1)};
}

bool NameLess(const String& a, StringView b)
{
    return CompareText(a, b) < 0;
}

} // namespace

// ---- TvlxDataSet

const ClassInfo& TvlxDataSet::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDataSet, TvlxDialogComponent>(u"TvlxDataSet")
            .Prop<&TvlxDataSet::Enabled, &TvlxDataSet::SetEnabled>(u"Enabled", true)
            .Prop<&TvlxDataSet::RangeBegin, &TvlxDataSet::SetRangeBegin>(u"RangeBegin",
                                                                         TvlxRangeBegin::rbFirst)
            .Prop<&TvlxDataSet::RangeEnd, &TvlxDataSet::SetRangeEnd>(u"RangeEnd",
                                                                     TvlxRangeEnd::reLast)
            .Prop<&TvlxDataSet::RangeEndCount, &TvlxDataSet::SetRangeEndCount>(u"RangeEndCount", 0)
            .Prop<&TvlxDataSet::UserName, &TvlxDataSet::SetUserName>(u"UserName")
            .Build();
    return info;
}

TvlxDataSet::TvlxDataSet()
{
    DataSetList().push_back(this);
}

TvlxDataSet::~TvlxDataSet()
{
    std::erase(DataSetList(), this);
}

void CheckComponentName(const String& name)
{
    if (!IsValidIdent(name)) throw Exception(Format(u"'%s' is not a valid component name", {name}));
}

void TvlxDataSet::SetName(const String& name)
{
    // Clearing a name is fine; a new one must be an identifier.
    if (!name.empty()) CheckComponentName(name);
    TvlxDialogComponent::SetName(name);
    if (FUserName.empty()) FUserName = Name();
}

void TvlxDataSet::SetUserName(const String& value)
{
    if (Trimmed(value).empty()) throw Exception(u"Invalid property value");
    FUserName = value;
}

String TvlxDataSet::FieldDisplayText(StringView /*name*/)
{
    return {};
}

int32_t TvlxDataSet::FieldDisplayWidth(StringView /*name*/)
{
    return 10;
}

TvlxFieldCategory TvlxDataSet::FieldCategory(StringView /*name*/)
{
    return TvlxFieldCategory::Numeric;
}

Variant TvlxDataSet::FieldValue(StringView /*name*/)
{
    return Variant::Null();
}

int32_t TvlxDataSet::FieldsCount()
{
    return 0;
}

bool TvlxDataSet::IsBlobField(StringView /*name*/)
{
    return false;
}

void TvlxDataSet::AssignBlobTo(StringView /*name*/, StringList& /*target*/) {}

void TvlxDataSet::AssignBlobTo(StringView /*name*/, MemoryStream& /*target*/) {}

void TvlxDataSet::GetFieldList(StringList& list)
{
    list.Clear();
}

bool TvlxDataSet::HasField(StringView name)
{
    StringList list;
    GetFieldList(list);
    return std::any_of(list.Lines().begin(), list.Lines().end(), [name](const String& field) {
        return SameText(field, name);
    });
}

void TvlxDataSet::Open()
{
    if (OnOpen) OnOpen(*this);
}

void TvlxDataSet::Close()
{
    if (OnClose) OnClose(*this);
}

void TvlxDataSet::First()
{
    FRecNo = 0;
    FEof = false;
    if (OnFirst) OnFirst(*this);
}

void TvlxDataSet::Next()
{
    FEof = false;
    ++FRecNo;
    if (FRangeEnd == TvlxRangeEnd::reCount && FRecNo >= FRangeEndCount) {
        FRecNo = FRangeEndCount - 1;
        FEof = true;
        return;
    }
    if (OnNext) OnNext(*this);
}

void TvlxDataSet::Prior()
{
    --FRecNo;
    if (OnPrior) OnPrior(*this);
}

bool TvlxDataSet::Eof()
{
    bool eof = FRangeEnd == TvlxRangeEnd::reCount && (FRecNo >= FRangeEndCount || FEof);
    if (OnCheckEOF) OnCheckEOF(*this, eof);
    return eof;
}

int32_t TvlxDataSet::RecordCount()
{
    if (FRangeBegin == TvlxRangeBegin::rbFirst && FRangeEnd == TvlxRangeEnd::reCount)
        return FRangeEndCount;
    return 0;
}

void TvlxDataSet::AddReportError(const String& text) const
{
    TvlxReport* report = FReportRef.Get();
    if (report == nullptr) return;
    report->Errors().Add(report->FCurObject + u": " + text);
}

String TvlxDataSet::FieldNotFoundText(StringView name) const
{
    String text = u"Field not found: ";
    text += FUserName;
    text += u".\"";
    text += name;
    text += u'"';
    return text;
}

// ---- TvlxUserDataSet

const ClassInfo& TvlxUserDataSet::StaticClass()
{
    static const ClassInfo info = DescribeClass<TvlxUserDataSet, TvlxDataSet>(u"TvlxUserDataSet")
                                      .Prop<&TvlxUserDataSet::FFields>(u"Fields")
                                      .Build();
    return info;
}

Variant TvlxUserDataSet::FieldValue(StringView name)
{
    Variant value = Variant::Null();
    const String fieldName(name);
    if (OnGetValue) OnGetValue(fieldName, value);
    if (OnNewGetValue) OnNewGetValue(*this, fieldName, value);
    return value;
}

String TvlxUserDataSet::FieldDisplayText(StringView name)
{
    const Variant value = FieldValue(name);
    if (value.IsNull() || value.IsEmpty()) return {};
    return value.ToText();
}

void TvlxUserDataSet::GetFieldList(StringList& list)
{
    list.SetLines(FFields.Lines());
}

// ---- TvlxCustomDBDataSet

const ClassInfo& TvlxCustomDBDataSet::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxCustomDBDataSet, TvlxDataSet>(u"TvlxCustomDBDataSet")
            .Prop<&TvlxDataSet::CloseDataSource, &TvlxDataSet::SetCloseDataSource>(
                u"CloseDataSource", false)
            .Prop<&TvlxCustomDBDataSet::FAliases>(u"FieldAliases")
            .Prop<&TvlxDataSet::OpenDataSource, &TvlxDataSet::SetOpenDataSource>(u"OpenDataSource",
                                                                                 true)
            .Build();
    return info;
}

String TvlxCustomDBDataSet::ConvertAlias(StringView alias) const
{
    for (const String& line : FAliases.Lines()) {
        const AliasLine parts = SplitAlias(line);
        if (SameText(parts.Alias, alias)) return String(parts.Field);
    }
    return String(alias);
}

String TvlxCustomDBDataSet::GetAlias(StringView fieldName) const
{
    for (const String& line : FAliases.Lines()) {
        const AliasLine parts = SplitAlias(line);
        if (SameText(parts.Field, fieldName)) return String(parts.Alias);
    }
    return String(fieldName);
}

int32_t TvlxCustomDBDataSet::FieldsCount()
{
    StringList list;
    GetFieldList(list);
    return static_cast<int32_t>(list.Count());
}

void TvlxCustomDBDataSet::RebuildFieldList(const TClientDataSet& table)
{
    StringList names;
    GetFieldList(names);
    // Alias -> field once, first line of an alias winning as in ConvertAlias, so the list costs
    // O(n log n) however many fields and aliases there are.
    std::unordered_map<StringView, StringView, TextHash, TextEqual> fieldOfAlias;
    for (const String& line : FAliases.Lines()) {
        const AliasLine parts = SplitAlias(line);
        fieldOfAlias.try_emplace(parts.Alias, parts.Field);
    }
    FFields.clear();
    FFields.reserve(names.Count());
    for (const String& name : names.Lines()) {
        auto alias = fieldOfAlias.find(name);
        const StringView fieldName = alias != fieldOfAlias.end() ? alias->second : name;
        FFields.push_back(FieldEntry{name, table.FindField(fieldName)});
    }
    // Sorted without case; of equal names the first one stays.
    std::stable_sort(FFields.begin(), FFields.end(), [](const FieldEntry& a, const FieldEntry& b) {
        return CompareText(a.Name, b.Name) < 0;
    });
    auto duplicate = [](const FieldEntry& a, const FieldEntry& b) {
        return SameText(a.Name, b.Name);
    };
    FFields.erase(std::unique(FFields.begin(), FFields.end(), duplicate), FFields.end());
}

const TvlxCustomDBDataSet::FieldEntry* TvlxCustomDBDataSet::FindEntry(StringView name) const
{
    auto at = std::lower_bound(
        FFields.begin(), FFields.end(), name, [](const FieldEntry& e, StringView n) {
            return NameLess(e.Name, n);
        });
    if (at == FFields.end() || !SameText(at->Name, name)) return nullptr;
    return &*at;
}

// ---- TvlxDBDataset

const ClassInfo& TvlxDBDataset::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDBDataset, TvlxCustomDBDataSet>(u"TvlxDBDataset")
            .Prop<&TvlxDBDataset::BCDToCurrency, &TvlxDBDataset::SetBCDToCurrency>(u"BCDToCurrency",
                                                                                   false)
            .Build();
    return info;
}

TvlxDBDataset::TvlxDBDataset() = default;

TvlxDBDataset::~TvlxDBDataset()
{
    Unhook();
}

void TvlxDBDataset::SetDataSet(TClientDataSet* table)
{
    FDataSet.SetDataSet(table);
    if (table != nullptr) FDataSource = nullptr;
}

void TvlxDBDataset::SetDataSource(TDataSource* source)
{
    FDataSource = source;
    if (source != nullptr) FDataSet.SetDataSet(nullptr);
}

TClientDataSet* TvlxDBDataset::GetDataSet() const
{
    if (TClientDataSet* table = FDataSet.DataSet()) return table;
    return FDataSource != nullptr ? FDataSource->DataSet() : nullptr;
}

void TvlxDBDataset::Initialize()
{
    TClientDataSet* table = GetDataSet();
    if (table == nullptr) throw Exception(Format(u"DataSet %s is not connected to data", {Name()}));
    // Hooked once per run: hooking again would chain the hook to itself.
    if (FHooked.DataSet() != table) {
        Unhook();
        FSaveOpenEvent = table->AfterOpen();
        FSaveCloseEvent = table->BeforeClose();
        table->SetAfterOpen([this](TClientDataSet& t) { TableOpened(t); });
        table->SetBeforeClose([this](TClientDataSet& t) { TableClosing(t); });
        FHooked.SetDataSet(table);
    }
    FOwnEof = false;
    FInitialized = false;
}

void TvlxDBDataset::Unhook()
{
    TClientDataSet* table = FHooked.DataSet();
    if (table == nullptr) return;
    table->SetAfterOpen(std::move(FSaveOpenEvent));
    table->SetBeforeClose(std::move(FSaveCloseEvent));
    FSaveOpenEvent = nullptr;
    FSaveCloseEvent = nullptr;
    FHooked.SetDataSet(nullptr);
}

void TvlxDBDataset::TableOpened(TClientDataSet& table)
{
    // The table came back: the next read rebuilds the field list against it.
    FInitialized = false;
    if (FSaveOpenEvent) FSaveOpenEvent(table);
}

void TvlxDBDataset::TableClosing(TClientDataSet& table)
{
    FInitialized = false;
    FBookmark.reset();
    if (FSaveCloseEvent) FSaveCloseEvent(table);
}

void TvlxDBDataset::Finalize()
{
    if (TClientDataSet* table = GetDataSet()) {
        if (FBookmark && table->Active() && table->BookmarkValid(*FBookmark))
            table->GotoBookmark(*FBookmark);
        FBookmark.reset();
        if (FCloseDataSource) table->Close();
    }
    Unhook();
    FInitialized = false;
}

void TvlxDBDataset::Open()
{
    if (FInitialized) return;
    TClientDataSet* table = GetDataSet();
    if (table == nullptr) throw Exception(Format(u"DataSet %s is not connected to data", {Name()}));
    if (FOpenDataSource && !table->Active()) table->Open();
    RebuildFieldList(*table);
    FBookmark.reset();
    if (table->Active() &&
        (FRangeBegin == TvlxRangeBegin::rbCurrent || FRangeEnd == TvlxRangeEnd::reCurrent))
        FBookmark = table->GetBookmark();
    FInitialized = true;
    TvlxCustomDBDataSet::Open();
}

TClientDataSet& TvlxDBDataset::OpenTable()
{
    Open();
    return *GetDataSet();
}

void TvlxDBDataset::Close()
{
    TvlxCustomDBDataSet::Close();
    FBookmark.reset();
    FInitialized = false;
    if (TClientDataSet* table = GetDataSet()) table->Close();
}

void TvlxDBDataset::First()
{
    TClientDataSet& table = OpenTable();
    if (FRangeBegin == TvlxRangeBegin::rbCurrent && FBookmark && table.BookmarkValid(*FBookmark))
        table.GotoBookmark(*FBookmark);
    else if (table.Active())
        table.First();
    FOwnEof = false;
    TvlxCustomDBDataSet::First();
}

void TvlxDBDataset::Next()
{
    TClientDataSet& table = OpenTable();
    if (FRangeEnd == TvlxRangeEnd::reCurrent && FBookmark &&
        table.CompareBookmarks(table.GetBookmark(), *FBookmark) == 0) {
        FOwnEof = true;
        return;
    }
    if (table.Active()) table.Next();
    TvlxCustomDBDataSet::Next();
}

void TvlxDBDataset::Prior()
{
    TClientDataSet& table = OpenTable();
    if (table.Active()) table.Prior();
    TvlxCustomDBDataSet::Prior();
}

bool TvlxDBDataset::Eof()
{
    TClientDataSet& table = OpenTable();
    // A closed table has nothing to walk.
    return TvlxCustomDBDataSet::Eof() || !table.Active() || table.Eof() || FOwnEof;
}

int32_t TvlxDBDataset::RecordCount()
{
    TClientDataSet& table = OpenTable();
    return table.Active() ? table.RecordCount() : 0;
}

TField* TvlxDBDataset::TableField(StringView name) const
{
    TClientDataSet* table = GetDataSet();
    return table != nullptr ? table->FindField(ConvertAlias(name)) : nullptr;
}

Variant TvlxDBDataset::FieldValue(StringView name)
{
    OpenTable();
    const FieldEntry* entry = FindEntry(name);
    if (entry == nullptr || entry->Field == nullptr) {
        AddReportError(FieldNotFoundText(name));
        return Variant::Null();
    }
    const TField& field = *entry->Field;
    if (field.IsNull()) return Variant::Null();
    switch (field.DataType()) {
    case TFieldType::ftFMTBcd:
        if (FBCDToCurrency) return Variant::FromCurrencyScaled(field.AsDecimal().ToCurrencyUnits());
        return Variant(field.AsFloat());
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
        return Variant(field.AsText());
    case TFieldType::ftBlob:
        return Variant(BytesAsText(field.AsBytes()));
    case TFieldType::ftBoolean:
        return Variant(field.AsBoolean());
    case TFieldType::ftDateTime:
        return Variant::FromDate(field.AsDateTime());
    case TFieldType::ftInteger:
        return Variant(field.AsInteger());
    }
    return Variant::Null();
}

String TvlxDBDataset::FieldDisplayText(StringView name)
{
    TClientDataSet& table = OpenTable();
    if (!table.Active()) {
        String text = FUserName;
        text += u".\"";
        text += name;
        text += u'"';
        return text;
    }
    if (FFields.empty()) {
        const TField* field = table.FindField(name);
        return field != nullptr ? DisplayTextOf(*field) : String();
    }
    const FieldEntry* entry = FindEntry(name);
    if (entry == nullptr || entry->Field == nullptr) {
        String text = FieldNotFoundText(name);
        AddReportError(text);
        return text;
    }
    return DisplayTextOf(*entry->Field);
}

int32_t TvlxDBDataset::FieldDisplayWidth(StringView name)
{
    const TField* field = TableField(name);
    return field != nullptr ? DisplayWidthOf(*field) : 10;
}

TvlxFieldCategory TvlxDBDataset::FieldCategory(StringView name)
{
    const TField* field = TableField(name);
    if (field == nullptr) return TvlxFieldCategory::Numeric;
    switch (field->DataType()) {
    case TFieldType::ftWideString:
        return TvlxFieldCategory::Text;
    case TFieldType::ftBoolean:
        return TvlxFieldCategory::Boolean;
    default:
        return TvlxFieldCategory::Numeric;
    }
}

bool TvlxDBDataset::IsBlobField(StringView name)
{
    OpenTable();
    const FieldEntry* entry = FindEntry(name);
    return entry != nullptr && entry->Field != nullptr && entry->Field->IsBlob();
}

void TvlxDBDataset::AssignBlobTo(StringView name, StringList& target)
{
    if (!IsBlobField(name)) return;
    const TField& field = *FindEntry(name)->Field;
    if (field.DataType() == TFieldType::ftWideMemo)
        target.SetText(field.AsText());
    else
        target.SetText(BytesAsText(field.AsBytes()));
}

void TvlxDBDataset::AssignBlobTo(StringView name, MemoryStream& target)
{
    if (!IsBlobField(name)) return;
    const TField& field = *FindEntry(name)->Field;
    if (field.DataType() == TFieldType::ftWideMemo) {
        // Text goes into a byte stream as UTF-8, the encoding of every text stream here.
        target.Write(ToUtf8(field.AsText()));
    } else {
        field.SaveToStream(target);
    }
    target.SetPosition(0);
}

void TvlxDBDataset::GetFieldList(StringList& list)
{
    list.Clear();
    if (!FAliases.Empty()) {
        for (const String& line : FAliases.Lines()) {
            const AliasLine parts = SplitAlias(line);
            if (!parts.Field.empty() && parts.Field.front() == u'-') continue;
            list.Add(String(parts.Alias));
        }
        return;
    }
    if (TClientDataSet* table = GetDataSet()) list.SetLines(table->GetFieldNames());
}

// ---- The process-wide list

const std::vector<TvlxDataSet*>& GlobalDataSets()
{
    return DataSetList();
}

namespace {

// The report an adapter belongs to: the report of its tree, or a report that holds it as a
// component; nullptr for adapters of a data module.
const TvlxComponent* OwningReport(const TvlxDataSet& dataSet)
{
    if (const TvlxComponent* report = dataSet.Report()) return report;
    const auto* owner = dynamic_cast<const TvlxComponent*>(dataSet.Owner());
    return owner != nullptr && owner->IsReport() ? owner : nullptr;
}

} // namespace

TvlxDataSet*
FindDataSetByUserName(StringView name, const TvlxComponent* report, TvlxDataSet* previous)
{
    if (name.empty()) return nullptr;
    for (TvlxDataSet* dataSet : DataSetList()) {
        if (!SameText(dataSet->UserName(), name)) continue;
        const TvlxComponent* owner = OwningReport(*dataSet);
        if (owner == nullptr || owner == report) return dataSet;
    }
    return previous;
}

void RegisterDataClasses(ClassRegistry& registry)
{
    registry.Register(TvlxUserDataSet::StaticClass());
    registry.Register(TvlxDBDataset::StaticClass());
}

} // namespace vl
