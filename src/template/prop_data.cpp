// Property data blocks: reading, writing and applying them to objects.
#include "template/prop_data.h"

#include "base/exception.h"
#include "platform/component/string_list.h"
#include "template/ansi_code_page.h"
#include "template/xml_serializer.h"

#include <cmath>
#include <cstring>

namespace vl {

namespace {

[[noreturn]] void Truncated()
{
    throw EReadError(u"Error reading property data");
}

bool IsStringType(PropDataType t)
{
    return t == PropDataType::vaString || t == PropDataType::vaIdent ||
           t == PropDataType::vaLString || t == PropDataType::vaWString ||
           t == PropDataType::vaUTF8String;
}

// 80-bit extended float: sign and 15-bit exponent, then a 64-bit mantissa with an explicit
// integer bit.
double ExtendedToDouble(std::string_view b)
{
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | uint8_t(b[size_t(i)]);
    unsigned se = uint8_t(b[8]) | (unsigned(uint8_t(b[9])) << 8);
    int exponent = int(se & 0x7FFF);
    double sign = (se & 0x8000) != 0 ? -1 : 1;
    if (exponent == 0 && mantissa == 0) return sign * 0.0;
    if (exponent == 0x7FFF) return mantissa << 1 == 0 ? sign * INFINITY : NAN;
    return sign * std::ldexp(double(mantissa), exponent - 16383 - 63);
}

void DoubleToExtended(double value, char out[10])
{
    std::memset(out, 0, 10);
    unsigned se = std::signbit(value) ? 0x8000 : 0;
    value = std::fabs(value);
    uint64_t mantissa = 0;
    if (std::isinf(value)) {
        se |= 0x7FFF;
        mantissa = uint64_t(1) << 63;
    } else if (std::isnan(value)) {
        se |= 0x7FFF;
        mantissa = uint64_t(3) << 62;
    } else if (value != 0) {
        int exponent = 0;
        double fraction = std::frexp(value, &exponent); // value = fraction * 2^exponent, [0.5, 1)
        mantissa = uint64_t(std::ldexp(fraction, 64));
        se |= unsigned(exponent - 1 + 16383);
    }
    for (int i = 0; i < 8; ++i)
        out[i] = char(mantissa >> (8 * i));
    out[8] = char(se & 0xFF);
    out[9] = char(se >> 8);
}

} // namespace

std::string_view PropDataReader::Bytes(size_t count)
{
    if (count > FData.size() - FPosition) Truncated();
    std::string_view b = FData.substr(FPosition, count);
    FPosition += count;
    return b;
}

uint64_t PropDataReader::Unsigned(size_t count)
{
    std::string_view b = Bytes(count);
    uint64_t v = 0;
    for (size_t i = count; i-- > 0;)
        v = (v << 8) | uint8_t(b[i]);
    return v;
}

PropDataType PropDataReader::PeekType()
{
    PropDataType t = ReadType();
    --FPosition;
    return t;
}

PropDataType PropDataReader::ReadType()
{
    uint8_t t = uint8_t(Unsigned(1));
    if (t > uint8_t(PropDataType::vaDouble)) Truncated();
    return PropDataType(t);
}

String PropDataReader::ReadName()
{
    size_t length = size_t(Unsigned(1));
    return FromUtf8(Bytes(length));
}

bool PropDataReader::EndOfList()
{
    if (AtEnd()) Truncated();
    if (uint8_t(FData[FPosition]) != 0) return false;
    ++FPosition;
    return true;
}

int64_t PropDataReader::ReadIntegerOfType(PropDataType t)
{
    switch (t) {
    case PropDataType::vaInt8:
        return int8_t(Unsigned(1));
    case PropDataType::vaInt16:
        return int16_t(Unsigned(2));
    case PropDataType::vaInt32:
        return int32_t(Unsigned(4));
    case PropDataType::vaInt64:
        return int64_t(Unsigned(8));
    default:
        Truncated();
    }
}

double PropDataReader::ReadFloatOfType(PropDataType t)
{
    switch (t) {
    case PropDataType::vaExtended:
        return ExtendedToDouble(Bytes(10));
    case PropDataType::vaSingle: {
        uint32_t bits = uint32_t(Unsigned(4));
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    case PropDataType::vaCurrency:
        return double(int64_t(Unsigned(8))) / 10000.0;
    case PropDataType::vaDate:
    case PropDataType::vaDouble: {
        uint64_t bits = Unsigned(8);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    default:
        return double(ReadIntegerOfType(t));
    }
}

String PropDataReader::ReadStringOfType(PropDataType t)
{
    switch (t) {
    case PropDataType::vaString:
    case PropDataType::vaIdent:
        return AnsiToString(Bytes(size_t(Unsigned(1))));
    case PropDataType::vaLString:
        return AnsiToString(Bytes(size_t(Unsigned(4))));
    case PropDataType::vaUTF8String:
        return FromUtf8(Bytes(size_t(Unsigned(4))));
    case PropDataType::vaWString: {
        size_t units = size_t(Unsigned(4));
        if (units > (FData.size() - FPosition) / 2) Truncated();
        std::string_view b = Bytes(units * 2);
        String s(units, u'\0');
        for (size_t i = 0; i < units; ++i)
            s[i] = char16_t(uint8_t(b[2 * i]) | (uint8_t(b[2 * i + 1]) << 8));
        return s;
    }
    default:
        Truncated();
    }
}

int64_t PropDataReader::ReadInteger()
{
    return ReadIntegerOfType(ReadType());
}

double PropDataReader::ReadFloat()
{
    return ReadFloatOfType(ReadType());
}

String PropDataReader::ReadString()
{
    return ReadStringOfType(ReadType());
}

bool PropDataReader::ReadBoolean()
{
    PropDataType t = ReadType();
    if (t != PropDataType::vaFalse && t != PropDataType::vaTrue) Truncated();
    return t == PropDataType::vaTrue;
}

std::vector<String> PropDataReader::ReadSet()
{
    if (ReadType() != PropDataType::vaSet) Truncated();
    std::vector<String> names;
    for (;;) {
        String name = ReadName();
        if (name.empty()) return names;
        names.push_back(std::move(name));
    }
}

std::string PropDataReader::ReadBinary()
{
    if (ReadType() != PropDataType::vaBinary) Truncated();
    return std::string(Bytes(size_t(Unsigned(4))));
}

Variant PropDataReader::ReadValue()
{
    PropDataType t = ReadType();
    switch (t) {
    case PropDataType::vaInt8:
    case PropDataType::vaInt16:
    case PropDataType::vaInt32:
        return Variant(int32_t(ReadIntegerOfType(t)));
    case PropDataType::vaInt64:
        return Variant(ReadIntegerOfType(t));
    case PropDataType::vaFalse:
    case PropDataType::vaTrue:
        return Variant(t == PropDataType::vaTrue);
    case PropDataType::vaCurrency:
        return Variant::FromCurrencyScaled(int64_t(Unsigned(8)));
    case PropDataType::vaDate:
        return Variant::FromDate(ReadFloatOfType(t));
    case PropDataType::vaSingle:
    case PropDataType::vaExtended:
    case PropDataType::vaDouble:
        return Variant(ReadFloatOfType(t));
    case PropDataType::vaNil:
    case PropDataType::vaNull:
        return Variant::Null();
    default:
        if (IsStringType(t)) return Variant(ReadStringOfType(t));
        Truncated();
    }
}

void PropDataReader::SkipValue()
{
    PropDataType t = PeekType();
    switch (t) {
    case PropDataType::vaList:
        ReadType();
        while (!EndOfList())
            SkipValue();
        return;
    case PropDataType::vaSet:
        ReadSet();
        return;
    case PropDataType::vaBinary:
        ReadBinary();
        return;
    case PropDataType::vaCollection:
        ReadType();
        while (!EndOfList()) {
            PropDataType index = PeekType();
            if (index == PropDataType::vaInt8 || index == PropDataType::vaInt16 ||
                index == PropDataType::vaInt32)
                ReadInteger();
            if (ReadType() != PropDataType::vaList) Truncated();
            while (!EndOfList()) {
                ReadName();
                SkipValue();
            }
        }
        return;
    default:
        ReadValue();
        return;
    }
}

// ---- Writer

void PropDataWriter::Unsigned(uint64_t value, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        FOut += char(value >> (8 * i));
}

void PropDataWriter::WriteName(StringView name)
{
    std::string utf8 = ToUtf8(name);
    if (utf8.size() > 255) utf8.resize(255);
    FOut += char(utf8.size());
    FOut += utf8;
}

void PropDataWriter::WriteInteger(int64_t value)
{
    if (value >= INT8_MIN && value <= INT8_MAX) {
        Type(PropDataType::vaInt8);
        Unsigned(uint64_t(value), 1);
    } else if (value >= INT16_MIN && value <= INT16_MAX) {
        Type(PropDataType::vaInt16);
        Unsigned(uint64_t(value), 2);
    } else if (value >= INT32_MIN && value <= INT32_MAX) {
        Type(PropDataType::vaInt32);
        Unsigned(uint64_t(value), 4);
    } else {
        Type(PropDataType::vaInt64);
        Unsigned(uint64_t(value), 8);
    }
}

void PropDataWriter::WriteDouble(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    Type(PropDataType::vaDouble);
    Unsigned(bits, 8);
}

void PropDataWriter::WriteExtended(double value)
{
    char b[10];
    DoubleToExtended(value, b);
    Type(PropDataType::vaExtended);
    FOut.append(b, 10);
}

void PropDataWriter::WriteSingle(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    Type(PropDataType::vaSingle);
    Unsigned(bits, 4);
}

void PropDataWriter::WriteCurrencyScaled(int64_t scaled)
{
    Type(PropDataType::vaCurrency);
    Unsigned(uint64_t(scaled), 8);
}

void PropDataWriter::WriteDate(double days)
{
    uint64_t bits;
    std::memcpy(&bits, &days, 8);
    Type(PropDataType::vaDate);
    Unsigned(bits, 8);
}

void PropDataWriter::WriteString(std::string_view bytes)
{
    if (bytes.size() <= 255) {
        Type(PropDataType::vaString);
        Unsigned(bytes.size(), 1);
    } else {
        Type(PropDataType::vaLString);
        Unsigned(bytes.size(), 4);
    }
    FOut += bytes;
}

void PropDataWriter::WriteIdent(std::string_view ident)
{
    Type(PropDataType::vaIdent);
    Unsigned(ident.size() <= 255 ? ident.size() : 255, 1);
    FOut += ident.substr(0, 255);
}

void PropDataWriter::WriteWideString(StringView text)
{
    Type(PropDataType::vaWString);
    Unsigned(text.size(), 4);
    for (char16_t c : text)
        Unsigned(c, 2);
}

void PropDataWriter::WriteUtf8String(StringView text)
{
    std::string utf8 = ToUtf8(text);
    Type(PropDataType::vaUTF8String);
    Unsigned(utf8.size(), 4);
    FOut += utf8;
}

void PropDataWriter::WriteBinary(std::string_view bytes)
{
    Type(PropDataType::vaBinary);
    Unsigned(bytes.size(), 4);
    FOut += bytes;
}

void PropDataWriter::WriteSet(const std::vector<String>& names)
{
    Type(PropDataType::vaSet);
    for (const String& n : names)
        if (!n.empty()) WriteName(n);
    FOut += char(0);
}

// ---- Hexadecimal text

std::string HexToBytes(StringView hex)
{
    auto digit = [](char16_t c) -> int {
        if (c >= u'0' && c <= u'9') return c - u'0';
        if (c >= u'A' && c <= u'F') return c - u'A' + 10;
        if (c >= u'a' && c <= u'f') return c - u'a' + 10;
        return -1;
    };
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int hi = digit(hex[i]);
        int lo = digit(hex[i + 1]);
        if (hi < 0 || lo < 0) break;
        bytes += char(hi * 16 + lo);
    }
    return bytes;
}

String BytesToHex(std::string_view bytes)
{
    static constexpr char16_t Digits[] = u"0123456789ABCDEF";
    String hex;
    hex.reserve(bytes.size() * 2);
    for (char b : bytes) {
        hex += Digits[uint8_t(b) >> 4];
        hex += Digits[uint8_t(b) & 15];
    }
    return hex;
}

// ---- Applying blocks

namespace {

// Applies one value to a published property by its kind.
void ApplyPublished(Persistent& obj, const PropInfo& prop, PropDataReader& reader)
{
    PropDataType t = reader.PeekType();
    switch (prop.Kind) {
    case PropKind::Integer:
    case PropKind::Char:
    case PropKind::WideChar:
        prop.Set(obj, reader.ReadInteger());
        return;
    case PropKind::Enum:
        if (t == PropDataType::vaIdent) {
            int64_t n = prop.EnumValue(reader.ReadString());
            if (n < 0) Truncated();
            prop.Set(obj, n);
        } else if (t == PropDataType::vaFalse || t == PropDataType::vaTrue) {
            prop.Set(obj, int64_t(reader.ReadBoolean()));
        } else {
            prop.Set(obj, reader.ReadInteger());
        }
        return;
    case PropKind::Set: {
        int64_t mask = 0;
        for (const String& name : reader.ReadSet()) {
            int64_t n = prop.EnumValue(name);
            if (n < 0 || n > 31) Truncated();
            mask |= int64_t(1) << n;
        }
        prop.Set(obj, mask);
        return;
    }
    case PropKind::Float:
        prop.Set(obj, reader.ReadFloat());
        return;
    case PropKind::Text:
        prop.Set(obj, reader.ReadString());
        return;
    case PropKind::VariantValue:
        prop.Set(obj, reader.ReadValue());
        return;
    case PropKind::Strings:
    case PropKind::WideStrings: {
        auto* list = dynamic_cast<StringList*>(PropObject(prop.Get(obj)));
        if (list == nullptr || reader.ReadType() != PropDataType::vaList) Truncated();
        std::vector<String> lines;
        while (!reader.EndOfList())
            lines.push_back(reader.ReadString());
        list->SetLines(std::move(lines));
        return;
    }
    default:
        reader.SkipValue();
        return;
    }
}

} // namespace

void ApplyPropData(Persistent& obj, std::string_view block, TvlxXMLSerializer& serializer)
{
    PropDataReader reader(block);
    auto* custom = dynamic_cast<CustomPropData*>(&obj);
    // A block is applied up to its first error; what came before stays.
    try {
        while (!reader.AtEnd()) {
            String name = reader.ReadName();
            if (custom != nullptr && custom->ReadCustomProp(name, reader, serializer)) continue;
            const PropInfo* prop = obj.ClassType().FindProp(name);
            if (prop == nullptr || prop->IsReadOnly()) {
                reader.SkipValue();
                continue;
            }
            ApplyPublished(obj, *prop, reader);
        }
    } catch (const Exception&) {
    }
}

std::string SavePropData(const Persistent& obj)
{
    const auto* custom = dynamic_cast<const CustomPropData*>(&obj);
    if (custom == nullptr) return {};
    PropDataWriter writer;
    custom->WriteCustomProps(writer);
    return writer.Bytes();
}

} // namespace vl
