// Growth of the uninitialised byte buffer.
#include "base/byte_buffer.h"

#include "base/exception.h"

#include <cstring>
#include <new>
#include <sys/mman.h>

namespace vl {

namespace {

// From this size on, memory comes from the kernel directly, aligned for huge pages.
constexpr size_t MappedFrom = size_t(8) << 20;
constexpr size_t HugePage = size_t(2) << 20;

} // namespace

void ByteBufferRelease::operator()(char* data) const
{
    if (MappedBytes > 0)
        ::munmap(data, MappedBytes);
    else
        delete[] data;
}

ByteBuffer::ByteBuffer(std::string_view bytes)
{
    Reserve(bytes.size());
    if (!bytes.empty()) std::memcpy(FData.get(), bytes.data(), bytes.size());
    FSize = bytes.size();
}

void ByteBuffer::Reserve(size_t capacity)
{
    if (capacity <= FCapacity) return;
    std::unique_ptr<char[], ByteBufferRelease> grown;
    if (capacity >= MappedFrom) {
        capacity = (capacity + HugePage - 1) / HugePage * HugePage;
        void* mapped =
            ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) throw std::bad_alloc();
        ::madvise(mapped, capacity, MADV_HUGEPAGE); // advice only: failure changes nothing
        grown = std::unique_ptr<char[], ByteBufferRelease>(static_cast<char*>(mapped),
                                                           ByteBufferRelease{capacity});
    } else {
        grown = std::unique_ptr<char[], ByteBufferRelease>(new char[capacity], ByteBufferRelease{});
    }
    if (FSize > 0) std::memcpy(grown.get(), FData.get(), FSize);
    FData = std::move(grown);
    FCapacity = capacity;
}

void ByteBuffer::SetSize(size_t size)
{
    Expects(size <= FCapacity, "ByteBuffer size within capacity");
    FSize = size;
}

} // namespace vl
