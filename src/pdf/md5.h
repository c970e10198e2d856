// MD5 message digest (RFC 1321). The PDF writer uses it for the document identifier, the
// encryption keys and the digests that let one page share identical images.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vl {

using Md5Digest = std::array<uint8_t, 16>;

// Incremental MD5: Init, any number of Update calls, then Finalize. Finalize leaves the object
// ready for a new message (it calls Init).
class TvlxMD5
{
public:
    TvlxMD5() { Init(); }

    void Init();
    void Update(const void* data, size_t count);
    void Update(std::string_view bytes) { Update(bytes.data(), bytes.size()); }
    Md5Digest Finalize();

private:
    void Transform(const uint8_t* block);

    std::array<uint32_t, 4> FState;
    uint64_t FBitCount;              // message length so far, in bits
    std::array<uint8_t, 64> FBuffer; // the incomplete block
};

// The digest of one message.
Md5Digest Md5(std::string_view bytes);
Md5Digest Md5(const void* data, size_t count);

// 32 lower-case hexadecimal digits.
std::string DigestToHex(const Md5Digest& digest);

} // namespace vl
