// The byte-level reader of the template XML dialect. It reads tag after tag through a 4096-byte
// buffer and builds the item tree without recursion, so nesting costs heap, not stack.
#include "base/limits.h"
#include "platform/unicode/text_case.h"
#include "template/ansi_code_page.h"
#include "template/xml_document.h"

#include <cstring>
#include <vector>

namespace vl {

struct TvlxXMLReader::Tag
{
    std::string_view Name; // bytes of the name (Windows-1252)
    std::string_view Text; // bytes of the attribute text
    int64_t Start = 0;     // position of its "<" in the stream
};

namespace {

constexpr std::string_view CommentStart = "!--";

// Decodes bytes into `out`, replacing its contents. Attribute texts are nearly always ASCII, so
// that prefix is widened in one pass before the general decoder takes over.
void AssignUtf8(String& out, std::string_view bytes)
{
    out.resize(bytes.size());
    char16_t* dest = out.data();
    size_t i = 0;
    for (; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80) break;
        dest[i] = b;
    }
    if (i == bytes.size()) return;
    out.resize(i);
    AppendUtf16(out, bytes.substr(i));
}

void AssignAnsi(String& out, std::string_view bytes)
{
    out.clear();
    AppendAnsiText(out, bytes);
}

// The closing tag's name (without its "/") against the open item's name, without case.
bool ClosesItem(std::string_view closingName, StringView itemName)
{
    if (closingName.size() == itemName.size()) {
        bool ascii = true;
        for (size_t i = 0; i < closingName.size() && ascii; ++i) {
            const auto b = static_cast<unsigned char>(closingName[i]);
            const char16_t c = itemName[i];
            if (b >= 0x80 || c >= 0x80) {
                ascii = false;
            } else if (b != c && AsciiLower(b) != AsciiLower(c)) {
                return false;
            }
        }
        if (ascii) return true;
    }
    return SameText(AnsiToString(closingName), itemName);
}

// Position of the partial-loading mark ' ld="0"' in an attribute text, compared without case, or
// npos. A text that starts with 'ld="0"' has it too: that is how an unloadable item without other
// attributes is written, and without this it would come back with a stray "ld" attribute.
constexpr StringView UnloadMark = u" ld=\"0\"";

size_t FindUnloadMark(StringView text, size_t& length)
{
    const auto matchesAt = [&](size_t at, size_t from) {
        for (size_t i = from; i < UnloadMark.size(); ++i) {
            if (AsciiLower(text[at + i - from]) != UnloadMark[i]) return false;
        }
        return true;
    };
    if (text.size() >= UnloadMark.size() - 1 && matchesAt(0, 1)) {
        length = UnloadMark.size() - 1;
        return 0;
    }
    for (size_t at = text.find(u' '); at != StringView::npos; at = text.find(u' ', at + 1)) {
        if (text.size() - at < UnloadMark.size()) break;
        if (matchesAt(at, 0)) {
            length = UnloadMark.size();
            return at;
        }
    }
    return StringView::npos;
}

} // namespace

TvlxInvalidXMLException::TvlxInvalidXMLException()
    : Exception(u"Invalid file format")
{}

TvlxXMLReader::TvlxXMLReader(Stream& stream, bool oldFormat)
    : FStream(stream)
    , FOldFormat(oldFormat)
{
    FStart = FStream.Seek(0, SeekOrigin::Current);
    if (FStart >= 0) {
        FSize = FStream.Seek(0, SeekOrigin::End);
        FStream.Seek(FStart, SeekOrigin::Begin);
    }
}

TvlxXMLReader::~TvlxXMLReader()
{
    // Give back what was buffered but not consumed, so the stream's user can read on from there.
    if (FStart >= 0 && FBufPos < FBufEnd) FStream.Seek(FStart + Position(), SeekOrigin::Begin);
}

void TvlxXMLReader::RaiseException()
{
    throw TvlxInvalidXMLException();
}

bool TvlxXMLReader::Fill()
{
    FPosition += static_cast<int64_t>(FBufEnd);
    FBufPos = 0;
    FBufEnd = FStream.Read(FBuffer, sizeof FBuffer);
    return FBufEnd > 0;
}

void TvlxXMLReader::SkipComment()
{
    // Two dashes in a row arm the end; a ">" then ends the comment. Any other byte, a third dash
    // included, disarms it, so "--->" does not end a comment.
    int dashes = 0;
    for (;;) {
        if (FBufPos == FBufEnd && !Fill()) return;
        const char b = FBuffer[FBufPos++];
        if (b == '-' && dashes < 2) {
            ++dashes;
        } else if (b == '>' && dashes == 2) {
            return;
        } else {
            dashes = 0;
        }
    }
}

TvlxXMLReader::TagEnd TvlxXMLReader::ReadTag(Tag& tag)
{
    for (;;) {
        // Everything up to the next "<" is dropped: text content, whitespace, a byte-order mark.
        for (;;) {
            if (FBufPos == FBufEnd && !Fill()) return TagEnd::EndOfData;
            const auto* open =
                static_cast<const char*>(std::memchr(FBuffer + FBufPos, '<', FBufEnd - FBufPos));
            if (open) {
                FBufPos = static_cast<size_t>(open - FBuffer);
                tag.Start = FStart + Position();
                ++FBufPos;
                break;
            }
            FBufPos = FBufEnd;
        }

        FTag.clear();
        bool comment = false;
        for (;;) {
            if (FBufPos == FBufEnd && !Fill()) RaiseException();
            if (FTag.size() < CommentStart.size()) {
                // Byte by byte until it is known whether this is a comment, whose body may hold
                // "<" and ">".
                const char b = FBuffer[FBufPos++];
                if (b == '>') break;
                if (b == '<') RaiseException();
                FTag.push_back(b);
                if (FTag == CommentStart) {
                    SkipComment();
                    comment = true;
                    break;
                }
                continue;
            }
            const char* from = FBuffer + FBufPos;
            const auto* close = static_cast<const char*>(std::memchr(from, '>', FBufEnd - FBufPos));
            const char* end = close ? close : FBuffer + FBufEnd;
            if (std::memchr(from, '<', static_cast<size_t>(end - from))) RaiseException();
            FTag.append(from, static_cast<size_t>(end - from));
            FBufPos = static_cast<size_t>(end - FBuffer);
            if (close) {
                ++FBufPos;
                break;
            }
        }
        if (comment) continue;

        SplitTag(tag);
        return TagEnd::Tag;
    }
}

void TvlxXMLReader::SplitTag(Tag& tag)
{
    std::string_view bytes = FTag;
    if (bytes.ends_with(' ')) bytes.remove_suffix(1);
    const size_t space = bytes.find(' ');
    tag.Name = bytes.substr(0, space);
    tag.Text = space == std::string_view::npos ? std::string_view() : bytes.substr(space + 1);
}

void TvlxXMLReader::ReadHeader()
{
    Tag tag;
    if (ReadTag(tag) == TagEnd::EndOfData || !tag.Name.starts_with("?xml")) RaiseException();
    // The three characters after 'version=' and its opening quote.
    std::string_view version;
    if (const size_t at = tag.Text.find("version="); at != std::string_view::npos) {
        const size_t from = at + 9;
        version = from < tag.Text.size() ? tag.Text.substr(from, 3) : std::string_view();
    }
    FOldFormat = version == "1.0" && tag.Text.find("standalone=") == std::string_view::npos;
}

void TvlxXMLReader::ReadRootItem(TvlxXMLItem& item, bool readChildren)
{
    // Fills an item from a tag; true when the tag also ends the item (an empty element).
    const auto assign = [this](TvlxXMLItem& target, const Tag& tag) {
        std::string_view name = tag.Name;
        std::string_view text = tag.Text;
        bool empty = false;
        if (name.ends_with('/')) {
            name.remove_suffix(1);
            empty = true;
        } else if (text.ends_with('/')) {
            text.remove_suffix(1);
            empty = true;
        }
        AssignAnsi(target.FName, name);
        if (FOldFormat)
            AssignAnsi(target.FText, text);
        else
            AssignUtf8(target.FText, text);
        return empty;
    };
    // Every item read below the root loses the partial-loading mark; without `readChildren` a
    // marked item also loses its children and waits, unloaded, to be read again from its tag.
    const auto finish = [readChildren](TvlxXMLItem& child, int64_t start) {
        size_t length = 0;
        const size_t at = FindUnloadMark(child.FText, length);
        if (at == StringView::npos) return;
        child.FText.erase(at, length);
        if (!readChildren) {
            child.FItems.clear();
            child.FOffset = start;
            child.FUnloadable = true;
            child.FLoaded = false;
        }
    };
    const auto endsList = [](const Tag& tag) { return tag.Name.empty() || tag.Name[0] == '/'; };

    Tag tag;
    const TagEnd first = ReadTag(tag);
    if (first == TagEnd::EndOfData) {
        item.FName.clear();
        item.FText.clear();
        return;
    }
    // A root tag that ends a list is taken as it is and reads nothing further.
    if (endsList(tag)) {
        assign(item, tag);
        return;
    }
    if (assign(item, tag)) return;

    struct Open
    {
        TvlxXMLItem* Item;
        int64_t Start;
    };
    std::vector<Open> open{{&item, tag.Start}};
    while (!open.empty()) {
        if (ReadTag(tag) == TagEnd::EndOfData) {
            // Closing tags missing at the end of the data are accepted.
            while (open.size() > 1) {
                finish(*open.back().Item, open.back().Start);
                open.pop_back();
            }
            return;
        }
        const Open top = open.back();
        if (endsList(tag)) {
            if (tag.Name.empty() || !ClosesItem(tag.Name.substr(1), top.Item->FName))
                RaiseException();
            if (open.size() > 1) finish(*top.Item, top.Start);
            open.pop_back();
            continue;
        }
        if (open.size() + 1 > limits::XmlMaxDepth) RaiseException();
        TvlxXMLItem& child = top.Item->Add();
        if (assign(child, tag))
            finish(child, tag.Start);
        else
            open.push_back({&child, tag.Start});
    }
}

void TvlxXMLReader::ReadUnloaded(Stream& tempStream, bool oldFormat, TvlxXMLItem& item)
{
    // Reading into the item replaces its name and text with what its tag holds (the mark
    // included); this keeps the item's own and, on an error, leaves it unloaded and empty.
    struct Restore
    {
        TvlxXMLItem& Item;
        String Name;
        String Text;
        bool Done = false;
        ~Restore()
        {
            Item.FName = std::move(Name);
            Item.FText = std::move(Text);
            if (!Done) Item.FItems.clear();
        }
    } restore{item, std::move(item.FName), std::move(item.FText)};

    if (tempStream.Seek(item.FOffset, SeekOrigin::Begin) != item.FOffset)
        throw EReadError(u"Stream read error: the temporary stream cannot seek");
    TvlxXMLReader reader(tempStream, oldFormat);
    reader.ReadRootItem(item, true);
    item.FLoaded = true;
    restore.Done = true;
}

} // namespace vl
