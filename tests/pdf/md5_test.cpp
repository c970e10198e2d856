#include "pdf/md5.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

TEST(Md5, Rfc1321TestSuite)
{
    const struct
    {
        std::string Message;
        const char* Digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Message);
        EXPECT_EQ(DigestToHex(Md5(c.Message)), c.Digest);
    }
}

// Messages whose padding falls on either side of the 56-byte boundary, fed in uneven pieces,
// must give the digest of the whole message at once.
TEST(Md5, PiecewiseUpdatesMatchOneShot)
{
    std::string message;
    for (int i = 0; i < 300; ++i)
        message += char('a' + i % 26);
    for (size_t length : {55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 300u}) {
        SCOPED_TRACE(length);
        const std::string part = message.substr(0, length);
        TvlxMD5 md5;
        for (size_t pos = 0; pos < part.size(); pos += 7)
            md5.Update(std::string_view(part).substr(pos, 7));
        EXPECT_EQ(DigestToHex(md5.Finalize()), DigestToHex(Md5(part)));
    }
}

TEST(Md5, FinalizeStartsANewMessage)
{
    TvlxMD5 md5;
    md5.Update("garbage");
    md5.Finalize();
    md5.Update("abc");
    EXPECT_EQ(DigestToHex(md5.Finalize()), "900150983cd24fb0d6963f7d28e17f72");
}

} // namespace vl
