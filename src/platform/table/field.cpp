// Column storage, typed reads and writes, and the text conversions of each field kind.
#include "platform/table/field.h"

#include "base/date_time.h"
#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"
#include "base/number_text.h"
#include "platform/table/client_data_set.h"
#include "platform/unicode/text_case.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

int Sign(auto a, auto b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

bool HasUnpairedSurrogate(StringView text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0xD800 || c > 0xDFFF) continue;
        if (c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
            ++i;
        else
            return true;
    }
    return false;
}

// The stored form of a text: UTF-8, or UTF-16 units when UTF-8 cannot carry it.
bool EncodeText(StringView text, std::string& bytes)
{
    bytes.clear();
    if (HasUnpairedSurrogate(text)) {
        bytes.assign(reinterpret_cast<const char*>(text.data()), text.size() * 2);
        return true;
    }
    AppendUtf8(bytes, text);
    return false;
}

void DecodeText(std::string_view bytes, bool utf16, String& out)
{
    if (utf16) {
        const size_t begin = out.size();
        out.resize(begin + bytes.size() / 2);
        std::memcpy(out.data() + begin, bytes.data(), bytes.size());
    } else {
        AppendUtf16(out, bytes);
    }
}

// The next code point of stored text; an unpaired surrogate stands for itself.
char32_t NextCodePoint(std::string_view bytes, bool utf16, size_t& pos)
{
    if (utf16) {
        char16_t u[2];
        std::memcpy(&u[0], bytes.data() + pos, 2);
        pos += 2;
        if (u[0] >= 0xD800 && u[0] <= 0xDBFF && pos + 2 <= bytes.size()) {
            std::memcpy(&u[1], bytes.data() + pos, 2);
            if (u[1] >= 0xDC00 && u[1] <= 0xDFFF) {
                pos += 2;
                return 0x10000 + ((char32_t(u[0]) - 0xD800) << 10) + (u[1] - 0xDC00);
            }
        }
        return u[0];
    }
    // Stored UTF-8 is well formed: it was written from UTF-16 here.
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(bytes[pos + i]) & 0x3F);
    pos += 1 + extra;
    return cp;
}

// Stored cells in code point order (which is UTF-8 byte order, so plain bytes and UTF-8 text
// compare with memcmp); a total order, as sorting needs.
int CompareStored(std::string_view a, bool aUtf16, std::string_view b, bool bUtf16)
{
    if (!aUtf16 && !bUtf16) {
        const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
        return c != 0 ? (c < 0 ? -1 : 1) : Sign(a.size(), b.size());
    }
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t x = NextCodePoint(a, aUtf16, i);
        const char32_t y = NextCodePoint(b, bUtf16, j);
        if (x != y) return x < y ? -1 : 1;
    }
    return Sign(i < a.size(), j < b.size());
}

// Reads "dddd" style fixed-width digit groups for date-time text.
bool ReadDigits(StringView text, size_t pos, size_t count, int& value)
{
    value = 0;
    for (size_t i = pos; i < pos + count; ++i) {
        if (text[i] < u'0' || text[i] > u'9') return false;
        value = value * 10 + (text[i] - u'0');
    }
    return true;
}

// "yyyy-mm-dd", optionally followed by "T" or a blank and "hh:nn:ss".
std::optional<double> ParseDateTimeText(StringView text)
{
    if (text.size() != 10 && text.size() != 19) return std::nullopt;
    int year, month, day;
    if (!ReadDigits(text, 0, 4, year) || text[4] != u'-' || !ReadDigits(text, 5, 2, month) ||
        text[7] != u'-' || !ReadDigits(text, 8, 2, day))
        return std::nullopt;
    double date = 0;
    if (!TryEncodeDate(year, month, day, date)) return std::nullopt;
    if (text.size() == 10) return date;
    int hour, minute, second;
    if ((text[10] != u'T' && text[10] != u' ') || !ReadDigits(text, 11, 2, hour) ||
        text[13] != u':' || !ReadDigits(text, 14, 2, minute) || text[16] != u':' ||
        !ReadDigits(text, 17, 2, second))
        return std::nullopt;
    double time = 0;
    if (!TryEncodeTime(hour, minute, second, 0, time)) return std::nullopt;
    return CombineDateTime(date, time);
}

void AppendTwoDigits(String& out, int value)
{
    out.push_back(static_cast<char16_t>(u'0' + value / 10));
    out.push_back(static_cast<char16_t>(u'0' + value % 10));
}

String DateTimeText(double days)
{
    const DateParts d = DecodeDate(days);
    const TimeParts t = DecodeTime(days);
    String out = IntToStr(d.Year);
    out.insert(0, 4 - std::min<size_t>(out.size(), 4), u'0');
    out.push_back(u'-');
    AppendTwoDigits(out, d.Month);
    out.push_back(u'-');
    AppendTwoDigits(out, d.Day);
    out.push_back(u'T');
    AppendTwoDigits(out, t.Hour);
    out.push_back(u':');
    AppendTwoDigits(out, t.Minute);
    out.push_back(u':');
    AppendTwoDigits(out, t.Second);
    return out;
}

size_t StoredUtf16Length(std::string_view bytes, bool utf16)
{
    return utf16 ? bytes.size() / 2 : Utf16Length(bytes);
}

} // namespace

size_t Utf16Length(std::string_view utf8)
{
    size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        units += (byte & 0xC0) != 0x80; // one unit per code point
        units += (byte & 0xF8) == 0xF0; // and a second for four-byte sequences
    }
    return units;
}

TField::TField(TClientDataSet& dataSet, String name, TFieldType type, int32_t size, int32_t fieldNo)
    : FDataSet(dataSet)
    , FName(std::move(name))
    , FType(type)
    , FSize(size)
    , FFieldNo(fieldNo)
{}

// ----- storage -------------------------------------------------------------------------------

size_t TField::Width() const
{
    switch (FType) {
    case TFieldType::ftBoolean:
        return 1;
    case TFieldType::ftInteger:
        return 4;
    case TFieldType::ftDateTime:
    case TFieldType::ftFMTBcd:
        return 8;
    default:
        return 0;
    }
}

void TField::AddRow()
{
    if (FRows % 64 == 0) {
        FNulls.push_back(0);
        if (Width() == 0) FUtf16.push_back(0);
    }
    const uint32_t record = FRows++;
    FNulls[record / 64] |= uint64_t(1) << (record % 64);
    if (const size_t width = Width())
        FFixed.resize(FFixed.size() + width);
    else
        FEnds.push_back(static_cast<uint32_t>(FHeap.size()));
}

void TField::DropLastRow()
{
    Expects(FRows > 0, "no row to drop");
    --FRows;
    if (const size_t width = Width()) {
        FFixed.resize(FFixed.size() - width);
    } else {
        FEnds.pop_back();
        FHeap.resize(FEnds.empty() ? 0 : FEnds.back());
    }
}

void TField::ShrinkToFit()
{
    FNulls.shrink_to_fit();
    FUtf16.shrink_to_fit();
    FFixed.shrink_to_fit();
    FHeap.shrink_to_fit();
    FEnds.shrink_to_fit();
}

size_t TField::MemoryUsage() const
{
    return (FNulls.capacity() + FUtf16.capacity()) * sizeof(uint64_t) + FFixed.capacity() +
           FHeap.capacity() + FEnds.capacity() * sizeof(uint32_t);
}

bool TField::NullAt(uint32_t record) const
{
    return (FNulls[record / 64] >> (record % 64)) & 1;
}

void TField::SetNullAt(uint32_t record, bool null)
{
    const uint64_t bit = uint64_t(1) << (record % 64);
    if (null)
        FNulls[record / 64] |= bit;
    else
        FNulls[record / 64] &= ~bit;
}

template <typename T>
T TField::FixedAt(uint32_t record) const
{
    T value;
    std::memcpy(&value, FFixed.data() + size_t(record) * sizeof(T), sizeof(T));
    return value;
}

template <typename T>
void TField::SetFixed(T value)
{
    const uint32_t record = WritableRecord();
    std::memcpy(FFixed.data() + size_t(record) * sizeof(T), &value, sizeof(T));
    SetNullAt(record, false);
}

std::string_view TField::CellBytes(uint32_t record, bool& utf16) const
{
    const uint32_t begin = record == 0 ? 0 : FEnds[record - 1];
    utf16 = (FUtf16[record / 64] >> (record % 64)) & 1;
    return std::string_view(FHeap).substr(begin, FEnds[record] - begin);
}

void TField::StoreCell(std::string_view bytes, bool utf16)
{
    const uint32_t record = WritableRecord();
    // The record being appended is the last one, so its bytes are the heap's tail.
    const uint32_t begin = record == 0 ? 0 : FEnds[record - 1];
    if (bytes.size() > limits::TableColumnMaxBytes - begin)
        throw ELimitExceeded(Format(u"Field '%s' would hold more than %d bytes of data",
                                    {FName, static_cast<int64_t>(limits::TableColumnMaxBytes)}));
    FHeap.resize(begin);
    FHeap.append(bytes);
    FEnds[record] = static_cast<uint32_t>(FHeap.size());
    const uint64_t bit = uint64_t(1) << (record % 64);
    if (utf16)
        FUtf16[record / 64] |= bit;
    else
        FUtf16[record / 64] &= ~bit;
    SetNullAt(record, false);
}

void TField::StoreText(StringView text)
{
    thread_local std::string bytes;
    const bool utf16 = EncodeText(text, bytes);
    StoreCell(bytes, utf16);
}

uint32_t TField::WritableRecord()
{
    if (FDataSet.State() != TDataSetState::dsInsert)
        throw EDatabaseError(u"The table is not appending a record");
    return FDataSet.CurrentRecord();
}

uint32_t TField::ReadableRecord() const
{
    return FDataSet.CurrentRecord();
}

void TField::ExpectKind(bool ok, const char* what) const
{
    Expects(ok, what);
}

// ----- reads ---------------------------------------------------------------------------------

bool TField::IsNull() const
{
    const uint32_t record = ReadableRecord();
    return record == NoRecord || NullAt(record);
}

String TField::AsText() const
{
    String out;
    AppendText(out);
    return out;
}

void TField::AppendText(String& out) const
{
    ExpectKind(IsText(), "text read of a field that holds no text");
    const uint32_t record = ReadableRecord();
    if (record == NoRecord || NullAt(record)) return;
    bool utf16;
    const std::string_view bytes = CellBytes(record, utf16);
    DecodeText(bytes, utf16, out);
}

int32_t TField::AsInteger() const
{
    ExpectKind(FType == TFieldType::ftInteger, "integer read of a field of another kind");
    const uint32_t record = ReadableRecord();
    return record == NoRecord || NullAt(record) ? 0 : FixedAt<int32_t>(record);
}

Decimal TField::AsDecimal() const
{
    if (FType == TFieldType::ftInteger)
        return Decimal::FromUnits(int64_t(AsInteger()) * Decimal::UnitsPerOne);
    ExpectKind(FType == TFieldType::ftFMTBcd, "decimal read of a field of another kind");
    const uint32_t record = ReadableRecord();
    return record == NoRecord || NullAt(record) ? Decimal()
                                                : Decimal::FromUnits(FixedAt<int64_t>(record));
}

double TField::AsFloat() const
{
    if (FType == TFieldType::ftDateTime) return AsDateTime();
    return AsDecimal().ToDouble();
}

bool TField::AsBoolean() const
{
    ExpectKind(FType == TFieldType::ftBoolean, "boolean read of a field of another kind");
    const uint32_t record = ReadableRecord();
    return record != NoRecord && !NullAt(record) && FixedAt<uint8_t>(record) != 0;
}

double TField::AsDateTime() const
{
    ExpectKind(FType == TFieldType::ftDateTime, "date-time read of a field of another kind");
    const uint32_t record = ReadableRecord();
    return record == NoRecord || NullAt(record) ? 0 : FixedAt<double>(record);
}

std::string TField::AsBytes() const
{
    ExpectKind(FType == TFieldType::ftBlob, "byte read of a field that is no blob");
    const uint32_t record = ReadableRecord();
    if (record == NoRecord || NullAt(record)) return {};
    bool utf16;
    return std::string(CellBytes(record, utf16));
}

void TField::SaveToStream(Stream& target) const
{
    target.Write(AsBytes());
}

// ----- writes --------------------------------------------------------------------------------

void TField::Clear()
{
    const uint32_t record = WritableRecord();
    if (Width() == 0) StoreCell({}, false);
    SetNullAt(record, true);
}

void TField::SetText(StringView text, const FormatSettings& settings)
{
    switch (FType) {
    case TFieldType::ftWideString:
        if (text.size() > static_cast<size_t>(FSize))
            throw EDatabaseError(
                Format(u"Field '%s' takes at most %d characters, not %d",
                       {FName, static_cast<int64_t>(FSize), static_cast<int64_t>(text.size())}));
        StoreText(text);
        return;
    case TFieldType::ftWideMemo:
        StoreText(text);
        return;
    case TFieldType::ftBlob:
        StoreCell(ToUtf8(text), false);
        return;
    default:
        break;
    }
    if (text.empty()) {
        Clear();
        return;
    }
    if (const auto cell = TryParseText(text, settings)) {
        Store(*cell);
        return;
    }
    switch (FType) {
    case TFieldType::ftBoolean:
        throw EConvertError(Format(u"'%s' is not a boolean value", {text}));
    case TFieldType::ftDateTime:
        throw EConvertError(Format(u"'%s' is not a date and time (yyyy-mm-dd hh:nn:ss)", {text}));
    case TFieldType::ftFMTBcd:
        Decimal::Parse(text, settings); // refused above, so this raises the decimal's message
        [[fallthrough]];
    default:
        throw EConvertError(Format(u"'%s' is not an integer", {text}));
    }
}

void TField::SetUtf8Text(std::string_view utf8)
{
    ExpectKind(IsText(), "text write to a field that holds no text");
    if (FType == TFieldType::ftWideString) {
        const size_t length = Utf16Length(utf8);
        if (length > static_cast<size_t>(FSize))
            throw EDatabaseError(
                Format(u"Field '%s' takes at most %d characters, not %d",
                       {FName, static_cast<int64_t>(FSize), static_cast<int64_t>(length)}));
    }
    StoreCell(utf8, false);
}

void TField::SetBoolean(bool value)
{
    switch (FType) {
    case TFieldType::ftBoolean:
        SetFixed<uint8_t>(value ? 1 : 0);
        return;
    case TFieldType::ftInteger:
        SetFixed<int32_t>(value ? 1 : 0);
        return;
    case TFieldType::ftFMTBcd:
        SetFixed<int64_t>(value ? Decimal::UnitsPerOne : 0);
        return;
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
        SetText(value ? TrueText : FalseText);
        return;
    default:
        throw EConvertError(Format(u"Field '%s' takes no boolean value", {FName}));
    }
}

void TField::SetInteger(int32_t value)
{
    if (FType == TFieldType::ftFMTBcd) {
        SetFixed<int64_t>(int64_t(value) * Decimal::UnitsPerOne);
        return;
    }
    ExpectKind(FType == TFieldType::ftInteger, "integer write to a field of another kind");
    SetFixed<int32_t>(value);
}

void TField::SetDecimal(Decimal value)
{
    ExpectKind(FType == TFieldType::ftFMTBcd, "decimal write to a field of another kind");
    SetFixed<int64_t>(value.Units());
}

void TField::SetDateTime(double days)
{
    ExpectKind(FType == TFieldType::ftDateTime, "date-time write to a field of another kind");
    SetFixed<double>(days);
}

void TField::SetBytes(std::string_view bytes)
{
    ExpectKind(FType == TFieldType::ftBlob, "byte write to a field that is no blob");
    StoreCell(bytes, false);
}

void TField::LoadFromStream(Stream& source)
{
    ExpectKind(FType == TFieldType::ftBlob, "byte write to a field that is no blob");
    StoreCell(source.ReadAll(SIZE_MAX).View(), false);
}

// ----- conversions and index comparisons -----------------------------------------------------

std::optional<FieldCell> TField::TryParseText(StringView text, const FormatSettings& settings) const
{
    FieldCell cell;
    cell.Null = false;
    switch (FType) {
    case TFieldType::ftWideString:
        if (text.size() > static_cast<size_t>(FSize)) return std::nullopt;
        cell.Utf16 = EncodeText(text, cell.Bytes);
        return cell;
    case TFieldType::ftWideMemo:
        cell.Utf16 = EncodeText(text, cell.Bytes);
        return cell;
    case TFieldType::ftBlob:
        cell.Bytes = ToUtf8(text);
        return cell;
    case TFieldType::ftBoolean:
        if (SameText(text, TrueText) || SameText(text, FalseText)) {
            cell.Int = SameText(text, TrueText) ? 1 : 0;
            return cell;
        }
        if (const auto number = Decimal::TryParse(text, settings)) {
            cell.Int = number->Units() != 0 ? 1 : 0;
            return cell;
        }
        return std::nullopt;
    case TFieldType::ftDateTime:
        if (const auto days = ParseDateTimeText(text)) {
            cell.Float = *days;
            return cell;
        }
        return std::nullopt;
    case TFieldType::ftFMTBcd:
        if (const auto number = Decimal::TryParse(text, settings)) {
            cell.Int = number->Units();
            return cell;
        }
        return std::nullopt;
    case TFieldType::ftInteger: {
        int32_t value = 0;
        if (!TryStrToInt(text, value)) return std::nullopt;
        cell.Int = value;
        return cell;
    }
    }
    return std::nullopt;
}

void TField::Store(const FieldCell& cell)
{
    if (cell.Null) {
        Clear();
        return;
    }
    switch (FType) {
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
    case TFieldType::ftBlob:
        StoreCell(cell.Bytes, cell.Utf16);
        return;
    case TFieldType::ftBoolean:
        SetFixed<uint8_t>(cell.Int != 0);
        return;
    case TFieldType::ftDateTime:
        SetFixed<double>(cell.Float);
        return;
    case TFieldType::ftFMTBcd:
        SetFixed<int64_t>(cell.Int);
        return;
    case TFieldType::ftInteger:
        SetFixed<int32_t>(static_cast<int32_t>(cell.Int));
        return;
    }
}

FieldCell TField::CellAt(uint32_t record) const
{
    FieldCell cell;
    if (NullAt(record)) return cell;
    cell.Null = false;
    switch (FType) {
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
    case TFieldType::ftBlob:
        cell.Bytes = CellBytes(record, cell.Utf16);
        break;
    case TFieldType::ftBoolean:
        cell.Int = FixedAt<uint8_t>(record);
        break;
    case TFieldType::ftDateTime:
        cell.Float = FixedAt<double>(record);
        break;
    case TFieldType::ftFMTBcd:
        cell.Int = FixedAt<int64_t>(record);
        break;
    case TFieldType::ftInteger:
        cell.Int = FixedAt<int32_t>(record);
        break;
    }
    return cell;
}

String TField::TextForm(uint32_t record) const
{
    switch (FType) {
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo: {
        const FieldCell cell = CellAt(record);
        String text;
        DecodeText(cell.Bytes, cell.Utf16, text);
        return text;
    }
    case TFieldType::ftBlob:
        return FromUtf8(CellAt(record).Bytes);
    case TFieldType::ftBoolean:
        return String(FixedAt<uint8_t>(record) ? TrueText : FalseText);
    case TFieldType::ftDateTime:
        return DateTimeText(FixedAt<double>(record));
    case TFieldType::ftFMTBcd:
        return Decimal::FromUnits(FixedAt<int64_t>(record)).ToText(FormatSettings::English());
    case TFieldType::ftInteger:
        return IntToStr(FixedAt<int32_t>(record));
    }
    return String();
}

std::optional<FieldCell> TField::ConvertCell(const TField& source, uint32_t record) const
{
    if (source.NullAt(record)) return FieldCell();
    if (source.FType == FType || (source.IsText() && IsText())) {
        FieldCell cell = source.CellAt(record);
        if (FType == TFieldType::ftWideString &&
            StoredUtf16Length(cell.Bytes, cell.Utf16) > static_cast<size_t>(FSize))
            return std::nullopt;
        return cell;
    }
    return TryParseText(source.TextForm(record), FormatSettings::English());
}

int TField::CompareRecords(uint32_t a, uint32_t b) const
{
    const bool aNull = NullAt(a);
    const bool bNull = NullAt(b);
    if (aNull || bNull) return Sign(!aNull, !bNull);
    switch (FType) {
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
    case TFieldType::ftBlob: {
        bool aUtf16, bUtf16;
        const std::string_view x = CellBytes(a, aUtf16);
        const std::string_view y = CellBytes(b, bUtf16);
        return CompareStored(x, aUtf16, y, bUtf16);
    }
    case TFieldType::ftBoolean:
        return Sign(FixedAt<uint8_t>(a), FixedAt<uint8_t>(b));
    case TFieldType::ftDateTime:
        return Sign(FixedAt<double>(a), FixedAt<double>(b));
    case TFieldType::ftFMTBcd:
        return Sign(FixedAt<int64_t>(a), FixedAt<int64_t>(b));
    case TFieldType::ftInteger:
        return Sign(FixedAt<int32_t>(a), FixedAt<int32_t>(b));
    }
    return 0;
}

int TField::CompareCell(const FieldCell& cell, uint32_t record) const
{
    const bool recordNull = NullAt(record);
    if (cell.Null || recordNull) return Sign(!cell.Null, !recordNull);
    bool utf16;
    switch (FType) {
    case TFieldType::ftWideString:
    case TFieldType::ftWideMemo:
    case TFieldType::ftBlob: {
        const std::string_view bytes = CellBytes(record, utf16);
        return CompareStored(cell.Bytes, cell.Utf16, bytes, utf16);
    }
    case TFieldType::ftBoolean:
        return Sign(cell.Int, int64_t(FixedAt<uint8_t>(record)));
    case TFieldType::ftDateTime:
        return Sign(cell.Float, FixedAt<double>(record));
    case TFieldType::ftFMTBcd:
        return Sign(cell.Int, FixedAt<int64_t>(record));
    case TFieldType::ftInteger:
        return Sign(cell.Int, int64_t(FixedAt<int32_t>(record)));
    }
    return 0;
}

} // namespace vl
