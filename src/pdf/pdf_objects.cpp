// PDF number and string syntax, object offsets, cross-reference table and trailer.
#include "pdf/pdf_objects.h"

#include "base/exception.h"
#include "pdf/md5.h"

#include <charconv>
#include <cmath>

namespace vl {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

// Output is handed to the stream in pieces of about this size.
constexpr size_t FlushThreshold = 64 * 1024;

void AppendHex4(std::string& out, char16_t unit)
{
    out += HexDigits[(unit >> 12) & 15];
    out += HexDigits[(unit >> 8) & 15];
    out += HexDigits[(unit >> 4) & 15];
    out += HexDigits[unit & 15];
}

void AppendTwoDigits(std::string& out, int value)
{
    out += char('0' + value / 10 % 10);
    out += char('0' + value % 10);
}

} // namespace

void AppendCoord(std::string& out, double value)
{
    char text[48];
    // Beyond this magnitude a coordinate is meaningless to any reader; it also bounds the text.
    if (!std::isfinite(value) || std::fabs(value) > 1e15) value = 0;
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    std::string_view written(text, size_t(result.ptr - text));
    if (written == "-0.00") written = "0.00";
    out += written;
}

std::string FormatCoord(double value)
{
    std::string text;
    AppendCoord(text, value);
    return text;
}

void AppendInt(std::string& out, int64_t value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

std::string IntText(int64_t value)
{
    std::string text;
    AppendInt(text, value);
    return text;
}

std::string ObjectRef(uint32_t number)
{
    std::string text = IntText(number);
    text += " 0 R";
    return text;
}

std::string OffsetText(uint64_t offset)
{
    if (offset > PdfMaxOffset)
        throw ELimitExceeded("The PDF document exceeds the largest offset a cross-reference "
                             "entry can hold (9999999999 bytes)");
    std::string text(10, '0');
    for (size_t i = 10; i-- > 0 && offset > 0; offset /= 10)
        text[i] = char('0' + offset % 10);
    return text;
}

std::string EscapeLiteral(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char c : bytes) {
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '(':
        case ')':
        case '\\':
            out += '\\';
            out += c;
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Utf16BeBytes(StringView text)
{
    std::string bytes = "\xFE\xFF";
    bytes.reserve(2 + 2 * text.size());
    for (char16_t unit : text) {
        bytes += char(unit >> 8);
        bytes += char(unit & 0xFF);
    }
    return bytes;
}

std::string HexTextString(StringView text)
{
    std::string out = "<FEFF";
    out.reserve(6 + 4 * text.size());
    for (char16_t unit : text)
        AppendHex4(out, unit);
    out += '>';
    return out;
}

std::string PdfDateText(const LocalDateTime& time)
{
    std::string text = "D:";
    AppendTwoDigits(text, time.Year / 100);
    AppendTwoDigits(text, time.Year);
    AppendTwoDigits(text, time.Month);
    AppendTwoDigits(text, time.Day);
    AppendTwoDigits(text, time.Hour);
    AppendTwoDigits(text, time.Minute);
    AppendTwoDigits(text, time.Second);
    return text;
}

std::string FileIdentifier(const Guid& guid)
{
    return DigestToHex(Md5(GuidRegistryText(guid)));
}

PdfObjectWriter::PdfObjectWriter(Stream& out)
    : FOut(out)
{
    FBuffer.reserve(FlushThreshold + 1024);
}

void PdfObjectWriter::EmitRaw(std::string_view bytes)
{
    if (bytes.size() >= FlushThreshold) {
        Flush();
        FOut.Write(bytes);
        FFlushed += bytes.size();
        return;
    }
    FBuffer += bytes;
    if (FBuffer.size() >= FlushThreshold) Flush();
}

void PdfObjectWriter::EmitLine(std::string_view text)
{
    EmitRaw(text);
    EmitRaw("\r\n");
}

void PdfObjectWriter::Flush()
{
    if (FBuffer.empty()) return;
    FOut.Write(FBuffer);
    FFlushed += FBuffer.size();
    FBuffer.clear();
}

uint32_t PdfObjectWriter::ReserveObject()
{
    FOffsets.push_back(Position());
    return ObjectCount();
}

void PdfObjectWriter::BeginObject(uint32_t number)
{
    Expects(number >= 1 && number <= FOffsets.size(), "BeginObject of a reserved number");
    FOffsets[number - 1] = Position();
    std::string header = IntText(number);
    header += " 0 obj";
    EmitLine(header);
}

uint32_t PdfObjectWriter::BeginNewObject()
{
    const uint32_t number = ReserveObject();
    BeginObject(number);
    return number;
}

uint64_t PdfObjectWriter::ObjectOffset(uint32_t number) const
{
    Expects(number >= 1 && number <= FOffsets.size(), "ObjectOffset of a reserved number");
    return FOffsets[number - 1];
}

void PdfObjectWriter::WriteXrefAndTrailer(uint32_t rootNumber,
                                          uint32_t infoNumber,
                                          std::string_view fileIdentifier,
                                          std::string_view encryptDictionary)
{
    const uint64_t xrefOffset = Position();
    const std::string size = IntText(int64_t(FOffsets.size()) + 1);
    EmitLine("xref");
    EmitLine("0 " + size);
    // Each entry is exactly 20 bytes: ten digits, blank, five digits, blank, type, CR LF.
    EmitLine("0000000000 65535 f");
    for (uint64_t offset : FOffsets)
        EmitLine(OffsetText(offset) + " 00000 n");

    EmitLine("trailer");
    EmitLine("<<");
    EmitLine("/Size " + size);
    EmitLine("/Root " + ObjectRef(rootNumber));
    EmitLine("/Info " + ObjectRef(infoNumber));
    std::string id = "/ID [<";
    id += fileIdentifier;
    id += "><";
    id += fileIdentifier;
    id += ">]";
    EmitLine(id);
    EmitRaw(encryptDictionary);
    EmitLine(">>");
    EmitLine("startxref");
    EmitLine(IntText(int64_t(xrefOffset)));
    EmitLine("%%EOF");
    Flush();
}

} // namespace vl
