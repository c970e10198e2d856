// Building the request's tables: field definitions, rows, and the conversion of each JSON value
// into its column.
#include "request/table_builder.h"

#include "base/date_time.h"
#include "base/exception.h"
#include "base/format.h"
#include "base/number_text.h"
#include "platform/unicode/text_case.h"
#include "request/request_reader.h"

#include <algorithm>
#include <unordered_set>

namespace vl {

namespace {

// The declared type of a column, which picks the conversion of string values.
enum class ColumnType : uint8_t
{
    String,
    Text,
    Boolean,
    Date,
    Time,
    Number,
    Stream
};

struct ColumnSpec
{
    ColumnType Type;
    TFieldType Kind;
    int32_t Size;
};

constexpr StringView StringPrefix = u"string_";
constexpr size_t StringLengthMaxChars = 10;

bool IsString(const JsonValue& value)
{
    // Numbers are a kind of string in the request's value model.
    return value.IsString() || value.IsNumber();
}

// The column a type name declares; nothing for a name that is no type.
std::optional<ColumnSpec> ColumnSpecOf(StringView typeName, int32_t stringSize)
{
    if (SameText(typeName, u"string"))
        return ColumnSpec{ColumnType::String, TFieldType::ftWideString, stringSize};
    if (typeName.size() >= StringPrefix.size() &&
        SameText(typeName.substr(0, StringPrefix.size()), StringPrefix)) {
        const StringView length = typeName.substr(StringPrefix.size(), StringLengthMaxChars);
        if (length.empty())
            throw Exception(Format(u"Duljina string tipa \"%s\" je prazna, treba biti cijeli broj",
                                   {typeName}));
        int32_t size = 0;
        if (!TryStrToInt(length, size))
            throw Exception(Format(u"Duljina string tipa \"%s\" je \"%s\", treba biti cijeli broj",
                                   {typeName, length}));
        return ColumnSpec{ColumnType::String, TFieldType::ftWideString, size};
    }
    static constexpr struct
    {
        StringView Name;
        ColumnType Type;
        TFieldType Kind;
    } Types[] = {
        {u"text", ColumnType::Text, TFieldType::ftWideMemo},
        {u"boolean", ColumnType::Boolean, TFieldType::ftBoolean},
        {u"date", ColumnType::Date, TFieldType::ftDateTime},
        {u"time", ColumnType::Time, TFieldType::ftDateTime},
        {u"number", ColumnType::Number, TFieldType::ftFMTBcd},
        {u"stream", ColumnType::Stream, TFieldType::ftBlob},
    };
    for (const auto& type : Types)
        if (SameText(typeName, type.Name)) return ColumnSpec{type.Type, type.Kind, 0};
    return std::nullopt;
}

int32_t DatePart(StringView text, size_t pos, size_t count)
{
    const StringView part = text.substr(pos, count);
    // Plain digits, the usual case, need none of the platform rules' other forms.
    int32_t value = 0;
    if (std::all_of(part.begin(), part.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; })) {
        for (char16_t c : part)
            value = value * 10 + (c - u'0');
        return value;
    }
    if (!TryStrToInt(part, value)) throw EConvertError(Format(u"'%s' is not an integer", {part}));
    return value;
}

// Text assignment shared by every value kind, so a wide string column refuses an over-long
// value with the request's own message whatever JSON kind it came from.
void AssignText(TField& field, StringView text)
{
    if (field.DataType() == TFieldType::ftWideString &&
        text.size() > static_cast<size_t>(field.Size()))
        throw Exception(
            Format(u"Polje %s ima maksimalnu duljinu %d i ne može primiti string \"%s\" duljine %d",
                   {field.FieldName(),
                    static_cast<int64_t>(field.Size()),
                    text,
                    static_cast<int64_t>(text.size())}));
    field.SetText(text);
}

// Fills the rows of one table; `scratch` is reused from cell to cell so that text values cost
// no allocation of their own.
class RowFiller
{
public:
    RowFiller(TClientDataSet& table, std::vector<ColumnSpec> columns, InflateBudget& budget)
        : FTable(table)
        , FColumns(std::move(columns))
        , FBudget(budget)
    {
        for (int32_t i = 0; i < table.FieldCount(); ++i)
            FFields.push_back(&table.Field(i));
    }

    void Fill(const JsonArray& data);

private:
    void SetValue(TField& field, ColumnType type, const JsonValue& value);

    TClientDataSet& FTable;
    std::vector<ColumnSpec> FColumns;
    InflateBudget& FBudget;
    std::vector<TField*> FFields; // declared fields, then "__id"
    std::vector<JsonValue> FRow;
    String FScratch;
    MemoryStream FStream;
};

void RowFiller::Fill(const JsonArray& data)
{
    const size_t fieldCount = FColumns.size();
    TField& id = *FFields.back();
    int32_t r = 0;
    for (const JsonValue& row : data) {
        FTable.Append();
        if (!row.IsArray())
            throw Exception(Format(u"Element %d arraya \"data\" je %s, treba biti array",
                                   {int64_t(r) + 1, JsonKindName(row.Kind())}));
        FRow.clear();
        for (const JsonValue& value : row.GetArray())
            FRow.push_back(value);
        if (FRow.size() != fieldCount)
            throw Exception(Format(
                u"Element %d arraya \"data\" je array duljine %d, mora biti array duljine %d",
                {int64_t(r) + 1,
                 static_cast<int64_t>(FRow.size()),
                 static_cast<int64_t>(fieldCount)}));
        for (size_t c = 0; c < fieldCount; ++c)
            SetValue(*FFields[c], FColumns[c].Type, FRow[c]);
        id.SetInteger(r);
        FTable.Post();
        ++r;
    }
}

void RowFiller::SetValue(TField& field, ColumnType type, const JsonValue& value)
{
    switch (value.Kind()) {
    case JsonKind::Null:
        field.Clear();
        return;
    case JsonKind::Number: {
        const double number = value.GetNumber();
        // A decimal column takes the number's general text form back under the same locale;
        // TryFromDouble gives that result without the detour through text.
        if (field.DataType() == TFieldType::ftFMTBcd) {
            if (const auto decimal = Decimal::TryFromDouble(number)) {
                field.SetDecimal(*decimal);
                return;
            }
        }
        AssignText(field, FloatToStr(number));
        return;
    }
    case JsonKind::True:
    case JsonKind::False: {
        const bool flag = value.Kind() == JsonKind::True;
        if (field.DataType() == TFieldType::ftWideString)
            AssignText(field, flag ? TrueText : FalseText);
        else
            field.SetBoolean(flag);
        return;
    }
    default:
        break;
    }
    // A text column takes a string without escapes straight from the request's UTF-8.
    if (value.IsString() && (type == ColumnType::String || type == ColumnType::Text)) {
        const std::string_view raw = value.Raw().substr(1, value.Raw().size() - 2);
        if (raw.find('\\') == std::string_view::npos) {
            if (field.DataType() != TFieldType::ftWideString ||
                Utf16Length(raw) <= static_cast<size_t>(field.Size())) {
                field.SetUtf8Text(raw);
                return;
            }
        }
    }
    // A string; an object or an array counts as the empty text.
    FScratch.clear();
    if (value.IsString()) value.AppendString(FScratch);
    switch (type) {
    case ColumnType::Date:
        field.SetDateTime(ParseRequestDate(FScratch));
        return;
    case ColumnType::Time:
        field.SetDateTime(ParseRequestTime(FScratch));
        return;
    case ColumnType::Stream:
        DecodeStreamValue(FScratch, FStream, FBudget);
        field.LoadFromStream(FStream);
        return;
    default:
        AssignText(field, FScratch);
        return;
    }
}

} // namespace

double ParseRequestDate(StringView text)
{
    if (text.size() != 10 && text.size() != 19)
        throw Exception(
            Format(u"Datum \"%s\" nije u dozvoljenom formatu (YYYY-MM-DD ili YYYY-MM-DDThh:mm:ss)",
                   {text}));
    // Parts convert left to right, so the first bad one is the one named.
    const int32_t year = DatePart(text, 0, 4);
    const int32_t month = DatePart(text, 5, 2);
    const int32_t day = DatePart(text, 8, 2);
    if (text.size() == 10) return EncodeDate(year, month, day);
    const int32_t hour = DatePart(text, 11, 2);
    const int32_t minute = DatePart(text, 14, 2);
    const int32_t second = DatePart(text, 17, 2);
    const double date = EncodeDate(year, month, day);
    return CombineDateTime(date, EncodeTime(hour, minute, second, 0));
}

double ParseRequestTime(StringView text)
{
    if (text.size() != 8)
        throw Exception(Format(u"Vrijeme \"%s\" nije u dozvoljenom formatu (hh:mm:ss)", {text}));
    const int32_t hour = DatePart(text, 0, 2);
    const int32_t minute = DatePart(text, 3, 2);
    const int32_t second = DatePart(text, 6, 2);
    return EncodeTime(hour, minute, second, 0);
}

std::unique_ptr<TClientDataSet>
BuildTable(const JsonObject& definition, int32_t stringSize, InflateBudget& budget)
{
    const JsonValue* fields = definition.Find("fields");
    if (!fields) throw Exception(u"Objekt nema obaveznu vrijednost \"fields\"");
    if (!fields->IsArray())
        throw Exception(Format(u"Vrijednost \"fields\" je %s, treba biti array",
                               {JsonKindName(fields->Kind())}));
    const JsonArray fieldList = fields->GetArray();
    if (fieldList.Empty()) throw Exception(u"Array \"fields\" je prazan");

    auto table = std::make_unique<TClientDataSet>();
    std::vector<ColumnSpec> columns;
    int64_t number = 0;
    for (const JsonValue& element : fieldList) {
        ++number;
        if (!element.IsArray())
            throw Exception(Format(u"Element %d arraya \"fields\" je %s, treba biti array",
                                   {number, JsonKindName(element.Kind())}));
        std::vector<JsonValue> pair;
        for (const JsonValue& part : element.GetArray())
            pair.push_back(part);
        if (pair.size() != 2)
            throw Exception(Format(
                u"Element %d arraya \"fields\" je array duljine %d, treba biti array duljine 2",
                {number, static_cast<int64_t>(pair.size())}));
        if (!IsString(pair[0]))
            throw Exception(
                Format(u"Prvi podatak elementa %d arraya \"fields\" je %s, treba biti string",
                       {number, JsonKindName(pair[0].Kind())}));
        if (!IsString(pair[1]))
            throw Exception(
                Format(u"Drugi podatak elementa %d arraya \"fields\" je %s, treba biti string",
                       {number, JsonKindName(pair[1].Kind())}));
        const String name = JsonValueAsText(pair[0]);
        const String typeName = JsonValueAsText(pair[1]);
        const auto spec = ColumnSpecOf(typeName, stringSize);
        if (!spec)
            throw Exception(Format(u"Nepoznat tip \"%s\" za polje \"%s\"", {typeName, name}));
        table->AddField(name, spec->Kind, spec->Size);
        columns.push_back(*spec);
    }
    table->AddField(u"__id", TFieldType::ftInteger);

    table->SetLogChanges(false);
    table->CreateDataSet();
    table->DisableControls();

    const JsonValue* data = definition.Find("data");
    if (!data) throw Exception(u"Objekt nema obaveznu vrijednost \"data\"");
    if (!data->IsArray())
        throw Exception(
            Format(u"Vrijednost \"data\" je %s, treba biti array", {JsonKindName(data->Kind())}));
    RowFiller(*table, std::move(columns), budget).Fill(data->GetArray());
    table->ShrinkToFit();
    table->EnableControls();
    table->First();
    return table;
}

std::vector<BuiltTable> BuildTables(const JsonObject& datasets, int32_t stringSize)
{
    InflateBudget budget;
    return BuildTables(datasets, stringSize, budget);
}

std::vector<BuiltTable>
BuildTables(const JsonObject& datasets, int32_t stringSize, InflateBudget& budget)
{
    std::vector<BuiltTable> tables;
    std::unordered_set<String> names;
    for (const JsonMember& member : datasets.Members()) {
        String name = member.Name.GetString();
        if (!member.Value.IsObject())
            throw Exception(Format(u"Definicija tablice \"%s\" je tipa %s, treba biti objekt",
                                   {name, JsonKindName(member.Value.Kind())}));
        // Every failure while this table is built reaches the caller inside the table error.
        try {
            auto table = BuildTable(member.Value.GetObject(), stringSize, budget);
            if (!names.insert(name).second)
                throw Exception(Format(u"Duplicate table name '%s'", {name}));
            tables.push_back({std::move(name), std::move(table)});
        } catch (const Exception& e) {
            throw Exception(Format(u"Greška pri stvaranju tablice %s:\r\n%s",
                                   {member.Name.GetString(), e.Message()}));
        }
    }
    return tables;
}

} // namespace vl
