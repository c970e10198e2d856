// Stream implementations over POSIX descriptors and memory.
#include "base/stream.h"

#include "base/exception.h"
#include "base/format.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vl {

namespace {

String SystemErrorText()
{
    return FromUtf8(std::strerror(errno));
}

} // namespace

ByteBuffer Stream::ReadAll(size_t maxBytes)
{
    ByteBuffer bytes;
    // Reserving the expected size keeps a large file from being copied while the buffer grows;
    // the one extra byte lets the final read see the end without growing the buffer.
    bytes.Reserve(std::min(SizeHint(), maxBytes) + 1);
    for (;;) {
        const size_t used = bytes.Size();
        if (used == maxBytes) {
            char probe;
            if (Read(&probe, 1) == 0) break;
            throw ELimitExceeded(
                Format(u"Input is larger than %d bytes", {static_cast<int64_t>(maxBytes)}));
        }
        if (used == bytes.Capacity())
            bytes.Reserve(std::min(std::max<size_t>(used * 2, 1 << 16), maxBytes));
        const size_t got = Read(bytes.Data() + used, bytes.Capacity() - used);
        if (got == 0) break;
        bytes.SetSize(used + got);
    }
    return bytes;
}

size_t HandleStream::Read(void* buffer, size_t count)
{
    for (;;) {
        const ssize_t got = ::read(FHandle, buffer, count);
        if (got >= 0) return static_cast<size_t>(got);
        if (errno != EINTR) throw EReadError(Format(u"Stream read error: %s", {SystemErrorText()}));
    }
}

size_t HandleStream::SizeHint() const
{
    struct stat info;
    if (::fstat(FHandle, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) return 0;
    return static_cast<size_t>(info.st_size);
}

void HandleStream::Write(const void* buffer, size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t put = ::write(FHandle, bytes, count);
        if (put < 0) {
            if (errno == EINTR) continue;
            throw EWriteError(Format(u"Stream write error: %s", {SystemErrorText()}));
        }
        bytes += put;
        count -= static_cast<size_t>(put);
    }
}

int64_t HandleStream::Seek(int64_t offset, SeekOrigin origin) noexcept
{
    const int whence = origin == SeekOrigin::Begin     ? SEEK_SET
                       : origin == SeekOrigin::Current ? SEEK_CUR
                                                       : SEEK_END;
    return ::lseek(FHandle, static_cast<off_t>(offset), whence);
}

FileStream::FileStream(const std::string& fileName, Mode mode)
    : HandleStream(-1)
{
    if (mode == Mode::OpenRead) {
        FHandle = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (FHandle < 0)
            throw EFOpenError(
                Format(u"Cannot open file \"%s\". %s", {FromUtf8(fileName), SystemErrorText()}));
    } else {
        FHandle = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (FHandle < 0)
            throw EFCreateError(
                Format(u"Cannot create file \"%s\". %s", {FromUtf8(fileName), SystemErrorText()}));
    }
}

FileStream::~FileStream()
{
    if (FHandle >= 0) ::close(FHandle);
}

size_t MemoryStream::Read(void* buffer, size_t count)
{
    const size_t n = std::min(count, FBytes.size() - FPosition);
    std::memcpy(buffer, FBytes.data() + FPosition, n);
    FPosition += n;
    return n;
}

void MemoryStream::Write(const void* buffer, size_t count)
{
    const auto* bytes = static_cast<const char*>(buffer);
    if (FPosition == FBytes.size()) {
        FBytes.append(bytes, count);
    } else {
        if (FPosition + count > FBytes.size()) FBytes.resize(FPosition + count);
        std::memcpy(FBytes.data() + FPosition, bytes, count);
    }
    FPosition += count;
}

int64_t MemoryStream::Seek(int64_t offset, SeekOrigin origin) noexcept
{
    const auto size = static_cast<int64_t>(FBytes.size());
    const int64_t base = origin == SeekOrigin::Begin     ? 0
                         : origin == SeekOrigin::Current ? static_cast<int64_t>(FPosition)
                                                         : size;
    if (offset < -base)
        return -1;
    FPosition = static_cast<size_t>(std::min(base + std::min(offset, size), size));
    return static_cast<int64_t>(FPosition);
}

} // namespace vl
