// The template XML dialect: the item tree that templates, report variable lists and the
// prepared-page store are read into and written from.
//
// This is not a general XML parser. An element is a name plus its attribute text, kept exactly as
// it stood in the tag (decoded to UTF-16, not unescaped, not split); attributes are looked up in
// that text on demand, which keeps loading fast and lets items that are never asked carry any
// text. Text between tags is dropped on reading. Escaping is the handful of character references
// of xml_escape.h.
//
// Bytes: documents are written in UTF-8 with the header
// <?xml version="1.0" encoding="utf-8" standalone="no"?>. A header that says version "1.0" and no
// "standalone" marks the old 8-bit format, whose attribute bytes are Windows-1252
// (ansi_code_page.h); element names are Windows-1252 in both formats and are expected to be ASCII.
//
// Errors: reading raises TvlxInvalidXMLException ("Invalid file format") for a missing or wrong
// header, a "<" inside a tag, data ending inside a tag, a closing tag that does not match, and
// nesting deeper than limits::XmlMaxDepth; nothing else is checked. What was read before an error
// stays in the tree.
//
// Ownership: an item owns its children; the document owns its root. Partial loading: an item
// marked Unloadable can have its children moved to the document's temporary stream (UnloadItem)
// and read back on demand (LoadItem). The temporary file is created on first use and has no name
// in the file system once it is open, so it can never outlive its document, however the process
// ends.
#pragma once

#include "base/exception.h"
#include "base/stream.h"
#include "base/string.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vl {

class TvlxXMLReader;
class TvlxXMLDocument;

// Raised by the reader; the message is always "Invalid file format".
class TvlxInvalidXMLException : public Exception
{
public:
    TvlxInvalidXMLException();
    const char* ClassName() const override { return "TvlxInvalidXMLException"; }
};

// One element: name, attribute text, children in document order.
class TvlxXMLItem
{
public:
    TvlxXMLItem() = default;
    ~TvlxXMLItem();
    TvlxXMLItem(const TvlxXMLItem&) = delete;
    TvlxXMLItem& operator=(const TvlxXMLItem&) = delete;

    // ---- Children ----
    int Count() const { return static_cast<int>(FItems.size()); }
    TvlxXMLItem& operator[](int index) const { return *FItems.at(static_cast<size_t>(index)); }
    TvlxXMLItem* Parent() const { return FParent; }
    TvlxXMLItem& Root(); // the topmost ancestor (this item when it has no parent)

    // A new empty child at the end.
    TvlxXMLItem& Add();
    TvlxXMLItem& Add(StringView name);
    // Appends, or inserts at `index` (0..Count), an item that belongs to another parent, taking it
    // from there; an item cannot be put below itself.
    TvlxXMLItem& AddItem(TvlxXMLItem& item);
    TvlxXMLItem& InsertItem(int index, TvlxXMLItem& item);
    // The same for an item that has no parent yet.
    TvlxXMLItem& AddItem(std::unique_ptr<TvlxXMLItem> item);
    TvlxXMLItem& InsertItem(int index, std::unique_ptr<TvlxXMLItem> item);
    // Takes the child at `index` out of this item; the caller owns it then.
    std::unique_ptr<TvlxXMLItem> Extract(int index);
    // Frees the child at `index` and its subtree.
    void Delete(int index);
    // Frees all children; an unloadable item is then not loaded.
    void Clear();

    // Index of the first child whose name equals `name` without case, else -1.
    int Find(StringView name) const;
    // That child, or a new child of that name added at the end.
    TvlxXMLItem& FindItem(StringView name);
    // Index of a child, else -1.
    int IndexOf(const TvlxXMLItem& item) const;

    // ---- Element data ----
    const String& Name() const { return FName; }
    void SetName(String name) { FName = std::move(name); }
    // The attribute text exactly as it stood between the name and the end of the tag (without the
    // final "/" of an empty element): decoded, not unescaped.
    const String& Text() const { return FText; }
    void SetText(String text) { FText = std::move(text); }
    // Text content: written between the tags, unescaped, and never read back.
    const String& Value() const { return FValue; }
    void SetValue(String value) { FValue = std::move(value); }

    // ---- Attributes: names match without case ----
    // The unescaped value, or the empty text when the attribute is absent.
    String Attribute(StringView name) const;
    // The value as a whole number; 0 when the attribute is absent or no number.
    int32_t IntAttribute(StringView name) const;
    // The value as it stands in the text (escaped), or nothing when absent. Does not copy.
    std::optional<StringView> FindAttribute(StringView name) const;
    // Replaces the attribute in place or appends it; `value` is escaped here.
    void SetAttribute(StringView name, StringView value);
    bool PropExists(StringView name) const { return FindAttribute(name).has_value(); }
    void DeleteProp(StringView name);

    // ---- Flags for users of the tree and for partial loading ----
    void* Data() const { return FData; }
    void SetData(void* data) { FData = data; }
    bool Modified() const { return FModified; }
    void SetModified(bool modified) { FModified = modified; }
    // The children may be moved out to the document's temporary stream.
    bool Unloadable() const { return FUnloadable; }
    void SetUnloadable(bool unloadable) { FUnloadable = unloadable; }
    // The children are in memory (false only for an unloadable item whose children are not).
    bool Loaded() const { return FLoaded; }
    // Where the item's tag starts in the temporary stream (bytes from its start).
    int64_t Offset() const { return FOffset; }

private:
    friend class TvlxXMLReader;
    friend class TvlxXMLDocument;
    friend class TvlxXMLWriter;

    TvlxXMLItem& Adopt(size_t index, std::unique_ptr<TvlxXMLItem> item);
    std::unique_ptr<TvlxXMLItem> Release(size_t index);

    void* FData = nullptr;                            // free for the user; not owned
    int64_t FOffset = 0;                              // bytes into the temporary stream
    std::vector<std::unique_ptr<TvlxXMLItem>> FItems; // owned children
    TvlxXMLItem* FParent = nullptr;                   // none for a root
    String FName;
    String FText;
    String FValue;
    bool FLoaded = true;
    bool FModified = false;
    bool FUnloadable = false;
};

// A document: the root item plus what partial loading needs.
class TvlxXMLDocument
{
public:
    TvlxXMLDocument();
    ~TvlxXMLDocument();
    TvlxXMLDocument(const TvlxXMLDocument&) = delete;
    TvlxXMLDocument& operator=(const TvlxXMLDocument&) = delete;

    TvlxXMLItem& Root() const { return *FRoot; }
    // Indent written items by depth and end every tag line with CR LF.
    bool AutoIndent() const { return FAutoIndent; }
    void SetAutoIndent(bool autoIndent) { FAutoIndent = autoIndent; }
    // The last document read was in the old 8-bit format.
    bool OldVersion() const { return FOldVersion; }
    // Folder of the temporary file (UTF-8 path); empty or missing means the system's temporary
    // folder.
    const std::string& TempDir() const { return FTempDir; }
    void SetTempDir(std::string tempDir) { FTempDir = std::move(tempDir); }

    // Reads a document from the stream's position. With `allowPartialLoading`, items marked
    // ld="0" stay unloaded and `stream` becomes the temporary stream they are read back from: it
    // must then stay alive, unchanged, until the document is cleared, loaded again or destroyed.
    void LoadFromStream(Stream& stream, bool allowPartialLoading = false);
    // Writes header and root; unloaded items are read back from the temporary stream for it.
    // `stream` must not be the document's temporary stream.
    void SaveToStream(Stream& stream);
    // Loads a file with partial loading; the document keeps the file open as its temporary stream.
    void LoadFromFile(const std::string& fileName);
    // Writes fileName + ".tmp", replaces fileName with it, and loads it again (partially).
    void SaveToFile(const std::string& fileName);
    // Frees the root's children and drops the temporary stream (deleting a temporary file).
    void Clear();

    // Moves the children of a loaded, unloadable item to the end of the temporary stream (creating
    // the temporary file on first use) and frees them; other items are left alone.
    void UnloadItem(TvlxXMLItem& item);
    // Reads the children of an unloaded, unloadable item back from the temporary stream; the item
    // keeps its attribute text. Does nothing for other items or without a temporary stream.
    void LoadItem(TvlxXMLItem& item);

private:
    void DropTempStream();
    Stream& TempStream();

    std::unique_ptr<TvlxXMLItem> FRoot;
    std::string FTempDir;
    std::unique_ptr<Stream> FOwnedTempStream; // the temporary file or the file LoadFromFile opened
    Stream* FTempStream = nullptr;            // the stream unloaded items are in; may be borrowed
    bool FTempFileCreated = false;            // FTempStream is a temporary file of this document
    bool FTempOldFormat = false;              // FTempStream holds old-format bytes
    bool FAutoIndent = false;
    bool FOldVersion = false;
};

// Reads tags through a 4096-byte buffer from the stream's position at creation to its end. When
// released, it puts a seekable stream back right after the last byte it consumed.
class TvlxXMLReader
{
public:
    // `oldFormat`: attribute bytes are Windows-1252 from the start (ReadHeader decides otherwise).
    explicit TvlxXMLReader(Stream& stream, bool oldFormat = false);
    ~TvlxXMLReader();
    TvlxXMLReader(const TvlxXMLReader&) = delete;
    TvlxXMLReader& operator=(const TvlxXMLReader&) = delete;

    // Reads the "<?xml ...?>" tag and chooses the format from it.
    void ReadHeader();
    bool OldFormat() const { return FOldFormat; }
    // Reads one element with its subtree into `item` (name and text replaced, children appended).
    // Without `readChildren`, children of items marked ld="0" are dropped and those items left
    // unloadable and not loaded, their Offset pointing at their tag.
    void ReadRootItem(TvlxXMLItem& item, bool readChildren = true);
    [[noreturn]] void RaiseException();

    // Reads an unloaded item's children back from `tempStream` at the item's Offset and marks it
    // loaded; the item keeps its attribute text. On an error it stays unloaded, without children.
    static void ReadUnloaded(Stream& tempStream, bool oldFormat, TvlxXMLItem& item);

    int64_t Position() const { return FPosition + static_cast<int64_t>(FBufPos); } // consumed
    int64_t Size() const { return FSize; } // the stream's size; -1 when it cannot be known

private:
    enum class TagEnd
    {
        Tag,
        EndOfData
    };
    struct Tag;

    bool Fill();
    TagEnd ReadTag(Tag& tag);
    void SkipComment();
    void SplitTag(Tag& tag);

    Stream& FStream;
    int64_t FStart = 0;    // the stream's position at creation; -1 when it cannot seek
    int64_t FPosition = 0; // bytes consumed before the buffer's first byte
    int64_t FSize = -1;
    size_t FBufPos = 0;
    size_t FBufEnd = 0;
    bool FOldFormat;
    std::string FTag; // bytes of the tag being collected (capacity reused)
    char FBuffer[4096];
};

// Writes items as bytes, collected in a buffer that goes to the stream whenever it holds more
// than 4096 bytes and at the end of each Write call.
class TvlxXMLWriter
{
public:
    TvlxXMLWriter(Stream& stream, bool autoIndent);
    TvlxXMLWriter(const TvlxXMLWriter&) = delete;
    TvlxXMLWriter& operator=(const TvlxXMLWriter&) = delete;

    // Where unloaded items are read back from while they are written (none: written as they are).
    void SetTempStream(Stream* tempStream, bool oldFormat = false);
    Stream* TempStream() const { return FTempStream; }

    void WriteHeader();
    void WriteRootItem(TvlxXMLItem& rootItem);

private:
    void Put(std::string_view bytes);
    void PutIndent(size_t depth);
    void PutLineEnd();
    void OpenTag(const TvlxXMLItem& item, size_t depth);
    void CloseTag(const TvlxXMLItem& item, size_t depth);
    void Flush();

    Stream& FStream;
    Stream* FTempStream = nullptr;
    bool FTempOldFormat = false;
    bool FAutoIndent;
    std::string FBuffer; // pending output bytes
};

} // namespace vl
