// Property data blocks: the binary "PropData" attribute of templates. A block is a sequence of
// properties, each a name (one length byte, UTF-8) and a typed value (one type byte, then its
// data, little-endian), read until the block ends.
//
// Every read is checked against the end of the block and throws EReadError when it would pass it;
// the caller (ApplyPropData) stops at the first error, keeping what was applied before it.
#pragma once

#include "base/string.h"
#include "base/variant.h"
#include "platform/component/class_info.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

class TvlxXMLSerializer;

// Type bytes of property values.
enum class PropDataType : uint8_t
{
    vaNull = 0, // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21
};

class PropDataReader
{
public:
    explicit PropDataReader(std::string_view data)
        : FData(data)
    {}

    bool AtEnd() const { return FPosition >= FData.size(); }
    PropDataType ReadType(); // throws EReadError for an unknown type byte
    PropDataType PeekType();
    String ReadName(); // one length byte, then UTF-8
    bool EndOfList();  // consumes the end byte when it is next

    // Values of any fitting type; throw EReadError when the next value has another type.
    int64_t ReadInteger();         // types 2, 3, 4, 19
    double ReadFloat();            // types 2-5, 15-17, 19, 21 (currency scaled to units)
    String ReadString();           // types 6, 7, 12, 18, 20
    bool ReadBoolean();            // types 8, 9
    std::vector<String> ReadSet(); // type 11
    Variant ReadValue();           // any scalar value
    std::string ReadBinary();      // type 10
    void SkipValue();              // any value, lists and collections included

private:
    std::string_view Bytes(size_t count);
    uint64_t Unsigned(size_t count);
    String ReadStringOfType(PropDataType type);
    double ReadFloatOfType(PropDataType type);
    int64_t ReadIntegerOfType(PropDataType type);

    std::string_view FData;
    size_t FPosition = 0;
};

class PropDataWriter
{
public:
    const std::string& Bytes() const { return FOut; }

    void WriteName(StringView name);
    void WriteListBegin() { Type(PropDataType::vaList); }
    void WriteListEnd() { Type(PropDataType::vaNull); }
    void WriteInteger(int64_t value); // the smallest integer type that holds it
    void WriteBoolean(bool value) { Type(value ? PropDataType::vaTrue : PropDataType::vaFalse); }
    void WriteDouble(double value);
    void WriteExtended(double value);
    void WriteSingle(float value);
    void WriteCurrencyScaled(int64_t scaled);
    void WriteDate(double days);
    void WriteString(std::string_view bytes); // 8-bit: type 6 or 12 by length
    void WriteIdent(std::string_view ident);
    void WriteWideString(StringView text); // type 18
    void WriteUtf8String(StringView text); // type 20
    void WriteBinary(std::string_view bytes);
    void WriteSet(const std::vector<String>& names);
    void WriteNil() { Type(PropDataType::vaNil); }

private:
    void Type(PropDataType t) { FOut += char(t); }
    void Unsigned(uint64_t value, size_t count);
    std::string FOut;
};

// Hexadecimal text (two digits per byte) <-> bytes. Decoding stops at the first pair that is not
// hexadecimal.
std::string HexToBytes(StringView hex);
String BytesToHex(std::string_view bytes); // upper case

// Applies a block to `obj`: custom properties first (CustomPropData), else published properties
// of that name. Stops silently at the first error.
void ApplyPropData(Persistent& obj, std::string_view block, TvlxXMLSerializer& serializer);
// The custom properties of `obj` as a block; empty when it has none.
std::string SavePropData(const Persistent& obj);

} // namespace vl
