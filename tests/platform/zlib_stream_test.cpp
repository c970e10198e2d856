#include "base/exception.h"
#include "platform/compression/zlib_stream.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

// gzip members of "abc" and "def" (no file name, time 0), as the gzip tool writes them.
const std::string GzipAbc("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\x4b\x4c\x4a\x06\x00\xc2\x41"
                          "\x24\x35\x03\x00\x00\x00",
                          23);
const std::string GzipDef("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\x4b\x49\x4d\x03\x00\x61\xe1"
                          "\xc4\x0c\x03\x00\x00\x00",
                          23);

} // namespace

TEST(ZlibStream, InflatesGzipMembers)
{
    EXPECT_EQ(InflateGzip(GzipAbc, 100), "abc");
    EXPECT_EQ(InflateGzip(GzipAbc + GzipDef, 100), "abcdef");
}

TEST(ZlibStream, RefusesWhatIsNotOneGzipStream)
{
    const struct
    {
        const char* Name;
        std::string Data;
        const char* Message;
    } cases[] = {
        {"empty", "", "gzip data is empty"},
        {"plain bytes", "abc", "gzip data is malformed: incorrect header check"},
        {"truncated", GzipAbc.substr(0, 15), "gzip data ends too early"},
        {"trailing bytes", GzipAbc + "x", "gzip data goes on after the end of its stream"},
        {"zlib format", DeflateZlib("abc", 6), "gzip data is malformed: incorrect header check"},
        {"bad checksum",
         GzipAbc.substr(0, 15) + std::string(8, '\0'),
         "gzip data is malformed: incorrect data check"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            InflateGzip(c.Data, 100);
            ADD_FAILURE() << "no error";
        } catch (const ECompressionError& e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

TEST(ZlibStream, OutputBoundAtTheLimitAndOnePast)
{
    const std::string data(200000, 'z');
    const std::string zlib = DeflateZlib(data, 9);
    EXPECT_EQ(InflateZlib(zlib, data.size()), data);
    EXPECT_FALSE(TryInflateGzip(GzipAbc, 2).has_value());
    EXPECT_TRUE(TryInflateGzip(GzipAbc, 3).has_value());
    try {
        InflateZlib(zlib, data.size() - 1);
        ADD_FAILURE() << "no error";
    } catch (const ELimitExceeded& e) {
        EXPECT_STREQ(e.what(), "zlib data inflates to more than 199999 bytes");
    }
}

TEST(ZlibStream, DeflateRoundTripsAtEveryLevel)
{
    std::string data;
    for (int i = 0; i < 100000; ++i)
        data += static_cast<char>(i * 7 % 251);
    for (int level = 0; level <= 9; ++level) {
        SCOPED_TRACE(level);
        const std::string packed = DeflateZlib(data, level);
        EXPECT_EQ(static_cast<unsigned char>(packed[0]), 0x78); // zlib header
        EXPECT_EQ(InflateZlib(packed, data.size()), data);
    }
    EXPECT_EQ(InflateZlib(DeflateZlib("", 1), 0), "");
}

} // namespace vl
