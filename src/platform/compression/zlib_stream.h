// Compression for the request's "stream" values (gzip in) and the PDF writer's streams (zlib
// format out). The only place that talks to zlib; both directions work on whole buffers.
#pragma once

#include "base/exception.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vl {

// Compressed data that is malformed, truncated or followed by something else.
class ECompressionError : public Exception
{
public:
    using Exception::Exception;
    const char* ClassName() const override { return "ECompressionError"; }
};

// Inflates gzip data (RFC 1952; several members one after another count as one stream). Throws
// ECompressionError for anything else, and ELimitExceeded when the output would pass `maxBytes`.
std::string InflateGzip(std::string_view compressed, size_t maxBytes);
// The same, but nothing instead of ELimitExceeded, for callers that word the limit themselves.
std::optional<std::string> TryInflateGzip(std::string_view compressed, size_t maxBytes);

// Inflates data in the zlib format (RFC 1950), with the same errors.
std::string InflateZlib(std::string_view compressed, size_t maxBytes);

// Deflates `data` into the zlib format (RFC 1950) at `level` 0 (store) to 9 (smallest).
std::string DeflateZlib(std::string_view data, int level);

} // namespace vl
