// Byte streams: the request comes in through one, the document goes out through one. A stream
// either does the whole transfer or throws (EReadError, EWriteError, ...).
#pragma once

#include "base/byte_buffer.h"
#include "base/string.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vl {

enum class SeekOrigin { Begin, Current, End };

class Stream
{
public:
    virtual ~Stream() = default;

    // Reads up to `count` bytes; returns how many were read, 0 only at the end of the data.
    virtual size_t Read(void* buffer, size_t count) = 0;
    // Writes all `count` bytes or throws.
    virtual void Write(const void* buffer, size_t count) = 0;

    // The number of bytes a read to the end will likely deliver, or 0 when unknown.
    virtual size_t SizeHint() const { return 0; }

    // Moves the position of the next read or write and returns it, counted in bytes from the
    // start; -1 when the stream cannot seek (a pipe) or the position would be negative. Never
    // throws, so it can put a stream back from a destructor.
    virtual int64_t Seek(int64_t /*offset*/, SeekOrigin /*origin*/) noexcept { return -1; }

    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
    // Reads until the end of the data, whatever a single read returns (pipes deliver in pieces).
    // Throws ELimitExceeded when there are more than `maxBytes`.
    ByteBuffer ReadAll(size_t maxBytes);
};

// A stream over an open file descriptor that it does not own (standard input and output).
class HandleStream : public Stream
{
public:
    explicit HandleStream(int fd)
        : FHandle(fd)
    {}
    using Stream::Write;
    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;
    size_t SizeHint() const override; // a regular file's size
    int64_t Seek(int64_t offset, SeekOrigin origin) noexcept override;

protected:
    int FHandle;
};

// A file opened for reading (EFOpenError when it cannot be) or created and truncated for writing
// (EFCreateError); closed on destruction.
class FileStream : public HandleStream
{
public:
    enum class Mode
    {
        OpenRead,
        Create
    };
    FileStream(const std::string& fileName, Mode mode);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
};

// A growable byte buffer with a read position.
class MemoryStream : public Stream
{
public:
    MemoryStream() = default;
    explicit MemoryStream(std::string bytes)
        : FBytes(std::move(bytes))
    {}

    using Stream::Write;
    size_t Read(void* buffer, size_t count) override;
    void Write(const void* buffer, size_t count) override;
    // Positions stay within the bytes (a seek past the end stops at the end).
    int64_t Seek(int64_t offset, SeekOrigin origin) noexcept override;

    const std::string& Bytes() const { return FBytes; }
    std::string TakeBytes() { return std::move(FBytes); }
    size_t Position() const { return FPosition; }
    void SetPosition(size_t position)
    {
        FPosition = position < FBytes.size() ? position : FBytes.size();
    }

private:
    std::string FBytes;
    size_t FPosition = 0;
};

} // namespace vl
