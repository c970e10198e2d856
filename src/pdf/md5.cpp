// MD5 after RFC 1321: 64-byte blocks, four rounds of sixteen steps, little-endian words.
#include "pdf/md5.h"

#include <algorithm>
#include <cstring>

namespace vl {

namespace {

// Per-step shift amounts and sine-derived constants of the four rounds.
constexpr std::array<uint8_t, 64> Shifts = {
    7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 7,  12, 17, 22, 5,  9,  14, 20, 5,  9,
    14, 20, 5,  9,  14, 20, 5,  9,  14, 20, 4,  11, 16, 23, 4,  11, 16, 23, 4,  11, 16, 23,
    4,  11, 16, 23, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21, 6,  10, 15, 21};

constexpr std::array<uint32_t, 64> Sines = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

uint32_t RotateLeft(uint32_t x, unsigned n)
{
    return (x << n) | (x >> (32 - n));
}

} // namespace

void TvlxMD5::Init()
{
    FState = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    FBitCount = 0;
    FBuffer.fill(0);
}

void TvlxMD5::Transform(const uint8_t* block)
{
    uint32_t w[16];
    for (int i = 0; i < 16; ++i) {
        const uint8_t* p = block + 4 * i;
        w[i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    }
    uint32_t a = FState[0], b = FState[1], c = FState[2], d = FState[3];
    for (unsigned i = 0; i < 64; ++i) {
        uint32_t f;
        unsigned g;
        if (i < 16) {
            f = (b & c) | (~b & d);
            g = i;
        } else if (i < 32) {
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
        } else if (i < 48) {
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
        } else {
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
        }
        const uint32_t next = b + RotateLeft(a + f + Sines[i] + w[g], Shifts[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    FState[0] += a;
    FState[1] += b;
    FState[2] += c;
    FState[3] += d;
}

void TvlxMD5::Update(const void* data, size_t count)
{
    const auto* bytes = static_cast<const uint8_t*>(data);
    size_t used = size_t(FBitCount / 8 % 64);
    FBitCount += uint64_t(count) * 8;
    if (used > 0) {
        const size_t take = std::min(count, 64 - used);
        std::memcpy(FBuffer.data() + used, bytes, take);
        used += take;
        bytes += take;
        count -= take;
        if (used < 64) return;
        Transform(FBuffer.data());
    }
    for (; count >= 64; bytes += 64, count -= 64)
        Transform(bytes);
    if (count > 0) std::memcpy(FBuffer.data(), bytes, count);
}

Md5Digest TvlxMD5::Finalize()
{
    const uint64_t bitCount = FBitCount;
    // Padding: one 1-bit, zeros up to 56 bytes modulo 64, then the bit count little-endian.
    static constexpr uint8_t Padding[64] = {0x80};
    const size_t used = size_t(bitCount / 8 % 64);
    Update(Padding, used < 56 ? 56 - used : 120 - used);
    uint8_t length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = uint8_t(bitCount >> (8 * i));
    Update(length, 8);

    Md5Digest digest;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = uint8_t(FState[i] >> (8 * j));
    Init();
    return digest;
}

Md5Digest Md5(const void* data, size_t count)
{
    TvlxMD5 md5;
    md5.Update(data, count);
    return md5.Finalize();
}

Md5Digest Md5(std::string_view bytes)
{
    return Md5(bytes.data(), bytes.size());
}

std::string DigestToHex(const Md5Digest& digest)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(32);
    for (uint8_t b : digest) {
        hex += Digits[b >> 4];
        hex += Digits[b & 15];
    }
    return hex;
}

} // namespace vl
