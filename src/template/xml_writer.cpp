// The byte-level writer of the template XML dialect: one tag per item, indented or not, without
// recursion.
#include "template/ansi_code_page.h"
#include "template/xml_document.h"

#include <vector>

namespace vl {

namespace {

constexpr std::string_view Header = R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";
constexpr size_t FlushAbove = 4096;

// UTF-16 -> UTF-8 onto `out`; the ASCII prefix (nearly everything) goes in one pass.
void PutUtf8(std::string& out, StringView text)
{
    const size_t start = out.size();
    out.resize(start + text.size());
    char* dest = out.data() + start;
    size_t i = 0;
    for (; i < text.size() && text[i] < 0x80; ++i)
        dest[i] = static_cast<char>(text[i]);
    if (i == text.size()) return;
    out.resize(start + i);
    AppendUtf8(out, text.substr(i));
}

} // namespace

TvlxXMLWriter::TvlxXMLWriter(Stream& stream, bool autoIndent)
    : FStream(stream)
    , FAutoIndent(autoIndent)
{}

void TvlxXMLWriter::SetTempStream(Stream* tempStream, bool oldFormat)
{
    FTempStream = tempStream;
    FTempOldFormat = oldFormat;
}

void TvlxXMLWriter::Put(std::string_view bytes)
{
    FBuffer.append(bytes);
    if (FBuffer.size() > FlushAbove) Flush();
}

void TvlxXMLWriter::Flush()
{
    if (FBuffer.empty()) return;
    FStream.Write(FBuffer.data(), FBuffer.size());
    FBuffer.clear();
}

void TvlxXMLWriter::PutIndent(size_t depth)
{
    if (FAutoIndent) FBuffer.append(depth * 2, ' ');
}

void TvlxXMLWriter::PutLineEnd()
{
    if (FAutoIndent) FBuffer.append("\r\n");
    if (FBuffer.size() > FlushAbove) Flush();
}

void TvlxXMLWriter::WriteHeader()
{
    Put(Header);
    PutLineEnd();
    Flush();
}

void TvlxXMLWriter::OpenTag(const TvlxXMLItem& item, size_t depth)
{
    PutIndent(depth);
    FBuffer.push_back('<');
    AppendAnsiBytes(FBuffer, item.FName);
    if (!item.FText.empty()) {
        if (item.FText[0] != u' ') FBuffer.push_back(' ');
        PutUtf8(FBuffer, item.FText);
    }
    if (item.FUnloadable) FBuffer.append(R"( ld="0")");
    if (!item.FItems.empty()) {
        FBuffer.push_back('>');
    } else if (!item.FValue.empty()) {
        FBuffer.push_back('>');
        PutUtf8(FBuffer, item.FValue);
        FBuffer.append("</");
        AppendAnsiBytes(FBuffer, item.FName);
        FBuffer.push_back('>');
    } else {
        FBuffer.append("/>");
    }
    PutLineEnd();
}

void TvlxXMLWriter::CloseTag(const TvlxXMLItem& item, size_t depth)
{
    PutIndent(depth);
    FBuffer.append("</");
    AppendAnsiBytes(FBuffer, item.FName);
    FBuffer.push_back('>');
    PutLineEnd();
}

void TvlxXMLWriter::WriteRootItem(TvlxXMLItem& rootItem)
{
    struct Open
    {
        TvlxXMLItem* Item;
        size_t Next;   // index of the next child to write
        bool ReadBack; // unloaded again once written
    };
    std::vector<Open> open;

    // Writes one item's tag; an item with children stays open for them.
    const auto begin = [&](TvlxXMLItem& item) {
        bool readBack = false;
        if (item.FUnloadable && !item.FLoaded && FTempStream) {
            TvlxXMLReader::ReadUnloaded(*FTempStream, FTempOldFormat, item);
            readBack = true;
        }
        OpenTag(item, open.size());
        if (!item.FItems.empty())
            open.push_back({&item, 0, readBack});
        else if (readBack)
            item.Clear();
    };

    begin(rootItem);
    while (!open.empty()) {
        Open& top = open.back();
        if (top.Next < top.Item->FItems.size()) {
            begin(*top.Item->FItems[top.Next++]);
            continue;
        }
        const Open done = top;
        open.pop_back();
        CloseTag(*done.Item, open.size());
        if (done.ReadBack) done.Item->Clear();
    }
    Flush();
}

} // namespace vl
