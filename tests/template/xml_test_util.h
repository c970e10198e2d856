// Helpers for the XML document tests: loading from bytes and a compact text form of a tree.
#pragma once

#include "base/stream.h"
#include "template/xml_document.h"

#include <gtest/gtest.h>
#include <string>

namespace vl::test {

// "name{text}(child,child)": the text part only when not empty, the children only when present.
inline std::string Dump(const TvlxXMLItem& item)
{
    std::string out = ToUtf8(item.Name());
    if (!item.Text().empty()) out += "{" + ToUtf8(item.Text()) + "}";
    if (item.Count() > 0) {
        out += "(";
        for (int i = 0; i < item.Count(); ++i)
            out += (i ? "," : "") + Dump(item[i]);
        out += ")";
    }
    return out;
}

// The root of `bytes` read as a whole document, or "error: <class>: <message>".
inline std::string LoadDump(const std::string& bytes, bool partial = false)
{
    TvlxXMLDocument doc;
    MemoryStream stream(bytes);
    try {
        doc.LoadFromStream(stream, partial);
    } catch (const Exception& e) {
        return std::string("error: ") + e.ClassName() + ": " + e.what();
    }
    return Dump(doc.Root());
}

inline constexpr const char* XmlHeader =
    R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)";
inline constexpr const char* InvalidFormat = "error: TvlxInvalidXMLException: Invalid file format";

inline std::string SaveToBytes(TvlxXMLDocument& doc)
{
    MemoryStream out;
    doc.SaveToStream(out);
    return out.TakeBytes();
}

} // namespace vl::test
