// Values of "stream" columns: gzip data written as base64 text in the request.
#pragma once

#include "base/limits.h"
#include "base/stream.h"
#include "base/string.h"

#include <cstddef>
#include <string>

namespace vl {

// Base64 (RFC 4648, standard alphabet) that skips every other character: the "=" fill, blanks,
// line breaks and anything else. Each group of four alphabet characters gives three bytes; two
// or three left at the end give one or two, a single one gives nothing.
std::string DecodeBase64Lenient(StringView text);

// What the "stream" values of one request may still inflate to, together.
struct InflateBudget
{
    size_t Total = limits::InflateMaxBytes;
    size_t Left = limits::InflateMaxBytes;
};

// The bytes of a "stream" value: the empty text gives no bytes; any other text is base64 of one
// gzip stream, inflated into `target` (which is emptied first and left at position 0). The
// budget shrinks by the bytes produced; passing it raises ELimitExceeded, and malformed gzip
// raises ECompressionError.
void DecodeStreamValue(StringView text, MemoryStream& target, InflateBudget& budget);

} // namespace vl
