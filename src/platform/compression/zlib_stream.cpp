// The zlib wrapper: one inflate loop for both container formats and one deflate call.
#include "platform/compression/zlib_stream.h"

#include "base/format.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <optional>
#include <zlib.h>

namespace vl {

namespace {

constexpr int GzipWindowBits = 16 + MAX_WBITS; // gzip header and trailer only
constexpr size_t ChunkBytes = 64 * 1024;

struct InflateEnd
{
    void operator()(z_stream* stream) const { inflateEnd(stream); }
};
struct DeflateEnd
{
    void operator()(z_stream* stream) const { deflateEnd(stream); }
};

String ZlibMessage(const z_stream& stream, int code)
{
    if (stream.msg) return FromUtf8(stream.msg);
    return FromUtf8(zError(code));
}

std::optional<std::string>
Inflate(std::string_view compressed, size_t maxBytes, int windowBits, StringView format)
{
    if (compressed.empty()) throw ECompressionError(Format(u"%s data is empty", {format}));
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK) throw EOutOfMemory("Out of memory");
    const std::unique_ptr<z_stream, InflateEnd> guard(&stream);

    std::string out;
    const auto* next = reinterpret_cast<const Bytef*>(compressed.data());
    size_t remaining = compressed.size();
    bool ended = false;
    while (!ended) {
        // zlib counts in 32 bits; large inputs go in slices.
        stream.next_in = const_cast<Bytef*>(next);
        stream.avail_in = static_cast<uInt>(std::min<size_t>(remaining, UINT_MAX));
        const size_t offered = stream.avail_in;
        const size_t before = out.size();
        out.resize(before + ChunkBytes);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + before);
        stream.avail_out = static_cast<uInt>(ChunkBytes);
        const int code = inflate(&stream, Z_NO_FLUSH);
        out.resize(before + ChunkBytes - stream.avail_out);
        const size_t consumed = offered - stream.avail_in;
        next += consumed;
        remaining -= consumed;
        if (out.size() > maxBytes) return std::nullopt;
        if (code == Z_STREAM_END) {
            // Another gzip member may follow; anything else after the end is refused.
            if (remaining == 0)
                ended = true;
            else if (windowBits != GzipWindowBits || static_cast<unsigned char>(*next) != 0x1F)
                throw ECompressionError(
                    Format(u"%s data goes on after the end of its stream", {format}));
            else if (inflateReset(&stream) != Z_OK)
                throw EOutOfMemory("Out of memory");
        } else if (code == Z_BUF_ERROR) {
            // No progress although there is room for output: the input has run out.
            if (consumed == 0 && out.size() == before)
                throw ECompressionError(Format(u"%s data ends too early", {format}));
        } else if (code != Z_OK) {
            if (code == Z_MEM_ERROR) throw EOutOfMemory("Out of memory");
            throw ECompressionError(
                Format(u"%s data is malformed: %s", {format, ZlibMessage(stream, code)}));
        }
    }
    out.shrink_to_fit();
    return out;
}

} // namespace

std::optional<std::string> TryInflateGzip(std::string_view compressed, size_t maxBytes)
{
    return Inflate(compressed, maxBytes, GzipWindowBits, u"gzip");
}

std::string InflateGzip(std::string_view compressed, size_t maxBytes)
{
    if (auto out = TryInflateGzip(compressed, maxBytes)) return std::move(*out);
    throw ELimitExceeded(
        Format(u"gzip data inflates to more than %d bytes", {static_cast<int64_t>(maxBytes)}));
}

std::string InflateZlib(std::string_view compressed, size_t maxBytes)
{
    if (auto out = Inflate(compressed, maxBytes, MAX_WBITS, u"zlib")) return std::move(*out);
    throw ELimitExceeded(
        Format(u"zlib data inflates to more than %d bytes", {static_cast<int64_t>(maxBytes)}));
}

std::string DeflateZlib(std::string_view data, int level)
{
    Expects(level >= 0 && level <= 9, "deflate level 0..9");
    z_stream stream{};
    if (deflateInit(&stream, level) != Z_OK) throw EOutOfMemory("Out of memory");
    const std::unique_ptr<z_stream, DeflateEnd> guard(&stream);

    std::string out;
    const auto* next = reinterpret_cast<const Bytef*>(data.data());
    size_t remaining = data.size();
    int code = Z_OK;
    while (code != Z_STREAM_END) {
        stream.next_in = const_cast<Bytef*>(next);
        stream.avail_in = static_cast<uInt>(std::min<size_t>(remaining, UINT_MAX));
        const size_t offered = stream.avail_in;
        const size_t before = out.size();
        const size_t room = std::max<size_t>(ChunkBytes, deflateBound(&stream, stream.avail_in));
        out.resize(before + room);
        stream.next_out = reinterpret_cast<Bytef*>(out.data() + before);
        stream.avail_out = static_cast<uInt>(std::min<size_t>(room, UINT_MAX));
        const size_t outOffered = stream.avail_out;
        const bool last = offered == remaining;
        code = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
        Expects(code == Z_OK || code == Z_STREAM_END || code == Z_BUF_ERROR, "deflate state");
        out.resize(before + outOffered - stream.avail_out);
        const size_t consumed = offered - stream.avail_in;
        next += consumed;
        remaining -= consumed;
    }
    return out;
}

} // namespace vl
