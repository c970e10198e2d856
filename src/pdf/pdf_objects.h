// The syntax layer of the PDF writer: numbers and strings in PDF form, the numbered objects with
// their byte offsets, the cross-reference table and the trailer. The document writer and the font
// and security code build every byte of the file through these.
//
// Numbers are written with std::to_chars, never through the locale: PDF syntax always uses "."
// and no grouping, whatever the process's locale says. Every line ends with CR LF.
//
// Object numbers start at 1 and are handed out in the order objects are reserved; the writer
// records each object's offset when it is written (or, for an object reserved and never written,
// the offset at reservation) and the cross-reference table lists them in number order. The file
// is written strictly front to back, so an object that others must name before it exists is
// reserved early and written later under its number.
#pragma once

#include "base/stream.h"
#include "base/string.h"
#include "platform/clock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

// The largest byte offset a cross-reference entry can hold (ten decimal digits).
inline constexpr uint64_t PdfMaxOffset = 9'999'999'999;

// Fixed point with exactly two decimals and "." ("12.50", "0.00", "-3.00"). A value that rounds
// to zero is written "0.00", never "-0.00"; infinities and NaN are written "0.00".
std::string FormatCoord(double value);
void AppendCoord(std::string& out, double value);

// Decimal integer text.
std::string IntText(int64_t value);
void AppendInt(std::string& out, int64_t value);

// "{N} 0 R": a reference with generation 0.
std::string ObjectRef(uint32_t number);

// The ten-digit, zero-padded offset of a cross-reference entry; throws ELimitExceeded beyond
// PdfMaxOffset.
std::string OffsetText(uint64_t offset);

// The body of a literal string: LF, CR, "(", ")" and "\" escaped, every other byte unchanged.
std::string EscapeLiteral(std::string_view bytes);

// The text as the bytes FE FF followed by each UTF-16 code unit, high byte first.
std::string Utf16BeBytes(StringView text);

// "<FEFF" + four upper-case hexadecimal digits per UTF-16 code unit + ">" ("<FEFF>" when empty):
// the unencrypted form of document information and outline strings.
std::string HexTextString(StringView text);

// "D:" + year (four digits), month, day, hour, minute, second (two digits each); no time zone.
std::string PdfDateText(const LocalDateTime& time);

// The document identifier: the MD5 of the GUID's 38-character registry text, as 32 lower-case
// hexadecimal digits.
std::string FileIdentifier(const Guid& guid);

// Writes the file through a buffer into the output stream and keeps the object offsets. Stream
// errors propagate as exceptions. Call Flush (WriteXrefAndTrailer does) before the output is used.
class PdfObjectWriter
{
public:
    explicit PdfObjectWriter(Stream& out);
    PdfObjectWriter(const PdfObjectWriter&) = delete;
    PdfObjectWriter& operator=(const PdfObjectWriter&) = delete;

    // The text followed by CR LF; EmitRaw writes bytes as they are.
    void EmitLine(std::string_view text);
    void EmitRaw(std::string_view bytes);

    // Bytes written so far, buffered ones included: the offset of the next byte.
    uint64_t Position() const { return FFlushed + FBuffer.size(); }

    // Records the current offset under a new number and returns it (1 for the first call).
    uint32_t ReserveObject();
    // Records the current offset for a reserved number and writes "{N} 0 obj".
    void BeginObject(uint32_t number);
    // ReserveObject then BeginObject.
    uint32_t BeginNewObject();
    // Objects numbered so far.
    uint32_t ObjectCount() const { return uint32_t(FOffsets.size()); }
    uint64_t ObjectOffset(uint32_t number) const;

    // The cross-reference table ("xref", "0 {n+1}", the free head entry, then one 20-byte line
    // per object) and the trailer dictionary with "/ID" twice and the optional encryption
    // dictionary text (complete lines, written after "/ID"), then "startxref", the table's
    // offset and "%%EOF". Flushes the output.
    void WriteXrefAndTrailer(uint32_t rootNumber,
                             uint32_t infoNumber,
                             std::string_view fileIdentifier,
                             std::string_view encryptDictionary = {});

    // Hands buffered bytes to the stream.
    void Flush();

private:
    Stream& FOut;
    std::string FBuffer;
    uint64_t FFlushed = 0;          // bytes already handed to the stream
    std::vector<uint64_t> FOffsets; // byte offset of object k+1 at index k
};

} // namespace vl
