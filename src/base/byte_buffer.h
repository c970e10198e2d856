// An owned, growable run of bytes that is never zero-filled: large inputs (a request of hundreds of
// megabytes) are read straight into it without paying to clear memory that is overwritten anyway.
// Large buffers are mapped with transparent huge pages where the system offers them, which cuts
// the page faults of touching them by a factor of 512.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace vl {

struct ByteBufferRelease
{
    size_t MappedBytes = 0; // 0: allocated with new[]
    void operator()(char* data) const;
};

class ByteBuffer
{
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::string_view bytes);

    char* Data() { return FData.get(); }
    const char* Data() const { return FData.get(); }
    size_t Size() const { return FSize; }
    size_t Capacity() const { return FCapacity; }
    bool Empty() const { return FSize == 0; }
    std::string_view View() const { return {FData.get(), FSize}; }

    // Makes room for at least `capacity` bytes, keeping the contents.
    void Reserve(size_t capacity);
    // Sets the size within the capacity; bytes past the old size are whatever was written there.
    void SetSize(size_t size);

private:
    std::unique_ptr<char[], ByteBufferRelease> FData;
    size_t FSize = 0;
    size_t FCapacity = 0;
};

} // namespace vl
