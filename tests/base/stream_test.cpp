#include "base/exception.h"
#include "base/stream.h"

#include <gtest/gtest.h>

namespace vl {

TEST(Stream, ReadAllStopsAtTheLimitAndRefusesOneByteMore)
{
    const std::string bytes(1000, 'x');
    MemoryStream atLimit(bytes);
    EXPECT_EQ(atLimit.ReadAll(1000).View(), bytes);

    MemoryStream pastLimit(bytes + "y");
    try {
        pastLimit.ReadAll(1000);
        FAIL() << "no limit error";
    } catch (const ELimitExceeded& e) {
        EXPECT_STREQ(e.what(), "Input is larger than 1000 bytes");
    }
}

TEST(Stream, ReadAllGrowsPastLargeBuffers)
{
    std::string bytes(20 << 20, 'a'); // past the size from which buffers are mapped
    bytes.back() = 'z';
    MemoryStream input(bytes);
    const ByteBuffer read = input.ReadAll(size_t(1) << 30);
    EXPECT_EQ(read.Size(), bytes.size());
    EXPECT_EQ(read.View().back(), 'z');
}

TEST(Stream, MemoryStreamOverwritesAndAppends)
{
    MemoryStream s;
    s.Write("hello");
    s.SetPosition(1);
    s.Write("EL");
    s.SetPosition(5);
    s.Write("!");
    EXPECT_EQ(s.Bytes(), "hELlo!");
}

} // namespace vl
