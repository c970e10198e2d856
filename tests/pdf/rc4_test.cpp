#include "pdf/rc4.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

namespace {

std::string Hex(const std::vector<uint8_t>& bytes)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string hex;
    for (uint8_t b : bytes) {
        hex += Digits[b >> 4];
        hex += Digits[b & 15];
    }
    return hex;
}

std::vector<uint8_t> Crypt(const std::vector<uint8_t>& key, const std::vector<uint8_t>& data)
{
    TvlxRC4 rc4;
    rc4.Start(key.data(), key.size());
    std::vector<uint8_t> out(data.size());
    rc4.Crypt(data.data(), out.data(), data.size());
    return out;
}

std::vector<uint8_t> Bytes(std::string_view text)
{
    return {text.begin(), text.end()};
}

} // namespace

// Key streams of RFC 6229 (offsets 0 and 16) and the classic short vectors.
TEST(Rc4, KnownVectors)
{
    const struct
    {
        std::vector<uint8_t> Key;
        std::vector<uint8_t> Plain;
        const char* Cipher;
    } cases[] = {
        {{1, 2, 3, 4, 5},
         std::vector<uint8_t>(32),
         "b2396305f03dc027ccc3524a0a1118a86982944f18fc82d589c403a47a0d0919"},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         std::vector<uint8_t>(32),
         "9ac7cc9a609d1ef7b2932899cde41b975248c4959014126a6e8a84f11d1a9e1c"},
        {Bytes("Key"), Bytes("Plaintext"), "bbf316e8d940af0ad3"},
        {Bytes("Wiki"), Bytes("pedia"), "1021bf0420"},
        {Bytes("Secret"), Bytes("Attack at dawn"), "45a01f645fc35b383552544b9bf5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Cipher);
        EXPECT_EQ(Hex(Crypt(c.Key, c.Plain)), c.Cipher);
        EXPECT_EQ(Crypt(c.Key, Crypt(c.Key, c.Plain)), c.Plain);
    }
}

TEST(Rc4, InPlaceAndPiecewiseContinueTheKeyStream)
{
    const std::vector<uint8_t> key = Bytes("Secret");
    std::vector<uint8_t> data = Bytes("Attack at dawn");
    TvlxRC4 rc4;
    rc4.Start(key.data(), key.size());
    rc4.Crypt(data.data(), data.data(), 5);
    rc4.Crypt(data.data() + 5, data.data() + 5, data.size() - 5);
    EXPECT_EQ(Hex(data), "45a01f645fc35b383552544b9bf5");
}

TEST(Rc4, KeyLengthOutsideOneTo256LeavesTheCipherUnchanged)
{
    std::vector<uint8_t> longKey(257, 7);
    const std::vector<uint8_t> key = Bytes("Wiki");
    TvlxRC4 rc4;
    rc4.Start(key.data(), key.size());
    rc4.Start(longKey.data(), longKey.size());
    rc4.Start(key.data(), 0);
    std::vector<uint8_t> data = Bytes("pedia");
    rc4.Crypt(data.data(), data.data(), data.size());
    EXPECT_EQ(Hex(data), "1021bf0420");

    std::vector<uint8_t> fullKey(256, 9);
    EXPECT_EQ(Crypt(fullKey, std::vector<uint8_t>(4)).size(), 4u);
}

} // namespace vl
