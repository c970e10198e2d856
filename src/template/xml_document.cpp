// The document: loading and saving, and the temporary stream behind partial loading.
#include "template/xml_document.h"

#include "base/format.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace vl {

namespace {

// A temporary file opened for reading and writing. Its name is removed from the folder as soon
// as it is open, so the file lives exactly as long as this stream, whatever ends the process.
class TempFileStream : public HandleStream
{
public:
    explicit TempFileStream(int fd)
        : HandleStream(fd)
    {}
    ~TempFileStream() override { ::close(FHandle); }
    TempFileStream(const TempFileStream&) = delete;
    TempFileStream& operator=(const TempFileStream&) = delete;
};

std::string TempFolder(const std::string& tempDir)
{
    std::error_code error;
    if (!tempDir.empty() && std::filesystem::is_directory(tempDir, error)) return tempDir;
    const auto system = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : system.string();
}

std::unique_ptr<Stream> CreateTempFile(const std::string& tempDir)
{
    std::string name = TempFolder(tempDir);
    if (!name.ends_with('/')) name.push_back('/');
    name += "vlXXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        throw EFCreateError(Format(u"Cannot create file \"%s\". %s",
                                   {FromUtf8(name), FromUtf8(std::strerror(errno))}));
    auto stream = std::make_unique<TempFileStream>(fd);
    ::unlink(name.c_str());
    return stream;
}

} // namespace

TvlxXMLDocument::TvlxXMLDocument()
    : FRoot(std::make_unique<TvlxXMLItem>())
{}

TvlxXMLDocument::~TvlxXMLDocument() = default;

void TvlxXMLDocument::DropTempStream()
{
    FTempStream = nullptr;
    FOwnedTempStream.reset();
    FTempFileCreated = false;
    FTempOldFormat = false;
}

Stream& TvlxXMLDocument::TempStream()
{
    if (!FTempStream) {
        FOwnedTempStream = CreateTempFile(FTempDir);
        FTempStream = FOwnedTempStream.get();
        FTempFileCreated = true;
        FTempOldFormat = false;
    }
    return *FTempStream;
}

void TvlxXMLDocument::Clear()
{
    FRoot->Clear();
    DropTempStream();
}

void TvlxXMLDocument::LoadFromStream(Stream& stream, bool allowPartialLoading)
{
    DropTempStream();
    FRoot->Clear();
    FRoot->FName.clear();
    FRoot->FText.clear();
    TvlxXMLReader reader(stream);
    reader.ReadHeader();
    FOldVersion = reader.OldFormat();
    reader.ReadRootItem(*FRoot, !allowPartialLoading);
    if (allowPartialLoading) {
        FTempStream = &stream;
        FTempOldFormat = FOldVersion;
    }
}

void TvlxXMLDocument::SaveToStream(Stream& stream)
{
    Expects(&stream != FTempStream, "a document is not saved into its own temporary stream");
    TvlxXMLWriter writer(stream, FAutoIndent);
    writer.SetTempStream(FTempStream, FTempOldFormat);
    writer.WriteHeader();
    writer.WriteRootItem(*FRoot);
}

void TvlxXMLDocument::LoadFromFile(const std::string& fileName)
{
    auto file = std::make_unique<FileStream>(fileName, FileStream::Mode::OpenRead);
    LoadFromStream(*file, true);
    FOwnedTempStream = std::move(file);
}

void TvlxXMLDocument::SaveToFile(const std::string& fileName)
{
    const std::string tempName = fileName + ".tmp";
    {
        // A failed save leaves no half-written ".tmp" file behind.
        struct RemoveUnlessDone
        {
            const std::string& Name;
            bool Done = false;
            ~RemoveUnlessDone()
            {
                if (!Done) std::remove(Name.c_str());
            }
        } guard{tempName};
        FileStream file(tempName, FileStream::Mode::Create);
        SaveToStream(file);
        guard.Done = true;
    }
    DropTempStream();
    // rename replaces the old file in one step, so no moment exists without either version.
    if (std::rename(tempName.c_str(), fileName.c_str()) != 0)
        throw EFCreateError(Format(u"Cannot create file \"%s\". %s",
                                   {FromUtf8(fileName), FromUtf8(std::strerror(errno))}));
    LoadFromFile(fileName);
}

void TvlxXMLDocument::UnloadItem(TvlxXMLItem& item)
{
    if (!item.FUnloadable || !item.FLoaded) return;
    Stream& temp = TempStream();
    // The item is written to memory first: writing it may read nested unloaded items back from
    // the temporary stream, which must not move under a half-written piece.
    MemoryStream piece;
    TvlxXMLWriter writer(piece, false);
    writer.SetTempStream(&temp, FTempOldFormat);
    writer.WriteRootItem(item);
    const int64_t offset = temp.Seek(0, SeekOrigin::End);
    if (offset < 0) throw EWriteError(u"Stream write error: the temporary stream cannot seek");
    temp.Write(piece.Bytes());
    item.FOffset = offset;
    item.Clear();
}

void TvlxXMLDocument::LoadItem(TvlxXMLItem& item)
{
    if (!FTempStream || !item.FUnloadable || item.FLoaded) return;
    TvlxXMLReader::ReadUnloaded(*FTempStream, FTempOldFormat, item);
}

} // namespace vl
