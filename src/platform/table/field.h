// One typed column of an in-memory table (see client_data_set.h for the whole picture). A field
// reads and writes the value of its table's current record; it owns the column storage itself.
#pragma once

#include "base/decimal.h"
#include "base/format_settings.h"
#include "base/stream.h"
#include "base/string.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

class TClientDataSet;

// The field kinds a table offers.
enum class TFieldType : uint8_t
{
    ftWideString, // text of at most Size() UTF-16 code units
    ftWideMemo,   // text of any length (a blob field)
    ftBoolean,
    ftDateTime, // days since 1899-12-30 (base/date_time.h)
    ftFMTBcd,   // Decimal: precision 18, scale 6
    ftBlob,     // bytes of any length
    ftInteger,  // 32-bit signed
};

// The words a boolean value reads and writes as text.
inline constexpr StringView TrueText = u"True";
inline constexpr StringView FalseText = u"False";

// A value in the storage form of one field kind: what a write stores and what an index compares.
struct FieldCell
{
    bool Null = true;
    int64_t Int = 0;   // integer, boolean (0 or 1), decimal (millionths)
    double Float = 0;  // date-time
    std::string Bytes; // blob bytes; text as stored: UTF-8, or UTF-16 units when Utf16
    bool Utf16 = false;
};

// The length in UTF-16 code units of well-formed UTF-8.
size_t Utf16Length(std::string_view utf8);

class TField
{
public:
    TField(TClientDataSet& dataSet, String name, TFieldType type, int32_t size, int32_t fieldNo);
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    const String& FieldName() const { return FName; }
    TFieldType DataType() const { return FType; }
    int32_t Size() const { return FSize; }       // wide string: the largest length; others 0
    int32_t FieldNo() const { return FFieldNo; } // 0-based position in the table
    bool IsBlob() const { return FType == TFieldType::ftWideMemo || FType == TFieldType::ftBlob; }
    bool IsText() const
    {
        return FType == TFieldType::ftWideString || FType == TFieldType::ftWideMemo;
    }
    TClientDataSet& DataSet() const { return FDataSet; }

    // Reads of the current record. Without a current record every field is null; a null value
    // reads as the empty text, zero or false. Each typed read belongs to its kinds (a read of
    // another kind is a programming error, EInternalError).
    bool IsNull() const;
    String AsText() const; // wide string, wide memo
    void AppendText(String& out) const;
    int32_t AsInteger() const;               // integer
    Decimal AsDecimal() const;               // decimal, integer
    double AsFloat() const;                  // decimal, integer, date-time
    bool AsBoolean() const;                  // boolean
    double AsDateTime() const;               // date-time
    std::string AsBytes() const;             // blob
    void SaveToStream(Stream& target) const; // blob

    // Writes to the record being appended (EDatabaseError outside Append ... Post).
    void Clear();
    // The kind's own text conversion: texts are stored (a wide string refuses more than Size()
    // units); booleans take the words True and False without case, or a number (non-zero is
    // true); decimals the locale's number format; integers the platform integer rules;
    // date-times "yyyy-mm-dd" with an optional time "hh:nn:ss" after "T" or a blank; blobs the
    // UTF-8 bytes. The empty text makes a boolean, number or date-time null. Throws
    // EConvertError (or EDatabaseError for a text too long) naming the text.
    void SetText(StringView text, const FormatSettings& settings = DefaultFormatSettings());
    // The same for text kinds, from well-formed UTF-8 (the request's own bytes), which is
    // stored as it is.
    void SetUtf8Text(std::string_view utf8);
    // The kind's boolean conversion: 1 or 0 for numbers, True or False for texts; date-times and
    // blobs take no boolean (EConvertError).
    void SetBoolean(bool value);
    void SetInteger(int32_t value);        // integer, decimal
    void SetDecimal(Decimal value);        // decimal
    void SetDateTime(double days);         // date-time
    void SetBytes(std::string_view bytes); // blob
    void LoadFromStream(Stream& source);   // blob: the rest of the stream

private:
    friend class TClientDataSet;

    // Column storage, one entry per allocated record (the committed ones plus one being
    // appended). Fixed-width kinds keep their values in one byte array; texts and blobs keep
    // their bytes back to back in one heap with the 32-bit end offset of each cell, so a column
    // holds at most limits::TableColumnMaxBytes. Text is kept as UTF-8, which is what the
    // request brought and mostly half of UTF-16; only text with an unpaired surrogate, which
    // UTF-8 cannot carry, is kept as UTF-16 units (its bit set in FUtf16).
    void AddRow();
    void DropLastRow();
    void ShrinkToFit();
    size_t MemoryUsage() const;

    bool NullAt(uint32_t record) const;
    void SetNullAt(uint32_t record, bool null);
    size_t Width() const;
    template <typename T>
    T FixedAt(uint32_t record) const;
    template <typename T>
    void SetFixed(T value);
    std::string_view CellBytes(uint32_t record, bool& utf16) const;
    void StoreCell(std::string_view bytes, bool utf16);
    void StoreText(StringView text);

    uint32_t WritableRecord();       // the record being appended, or throws
    uint32_t ReadableRecord() const; // the current record, or NoRecord
    void ExpectKind(bool ok, const char* what) const;

    // Index support: the value of `record` as a cell, a cell of another field converted to this
    // field's kind (nothing when it does not convert), and comparisons in index order (null
    // first, numbers by value, texts and bytes by code unit).
    FieldCell CellAt(uint32_t record) const;
    std::optional<FieldCell> ConvertCell(const TField& source, uint32_t record) const;
    int CompareRecords(uint32_t a, uint32_t b) const;
    int CompareCell(const FieldCell& cell, uint32_t record) const;

    std::optional<FieldCell> TryParseText(StringView text, const FormatSettings& settings) const;
    String TextForm(uint32_t record) const; // the value as the text conversion reads it back
    void Store(const FieldCell& cell);

    TClientDataSet& FDataSet;
    String FName;
    TFieldType FType;
    int32_t FSize;
    int32_t FFieldNo;

    uint32_t FRows = 0;
    std::vector<uint64_t> FNulls;      // bit per record, set = null
    std::vector<uint64_t> FUtf16;      // bit per record, set = text kept as UTF-16
    std::vector<unsigned char> FFixed; // Width() bytes per record
    std::string FHeap;                 // text and blob bytes
    std::vector<uint32_t> FEnds;       // end offset in FHeap per record
};

} // namespace vl
