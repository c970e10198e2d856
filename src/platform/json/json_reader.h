// The JSON reader: the request arrives as one JSON text (RFC 8259, UTF-8, an optional byte-order
// mark). Parsing validates the whole text once and builds no tree: a `JsonValue` is a view of its
// own span of the validated text, and strings and numbers are decoded only when asked for, strings
// straight into UTF-16. A request of many megabytes therefore costs its bytes and nothing more
// until the table builder turns rows into typed columns.
//
// Members of an object keep their order, duplicates included; member names compare with case.
// Every view borrows from its `JsonDocument`, which must outlive it.
#pragma once

#include "base/byte_buffer.h"
#include "base/string.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vl {

enum class JsonKind : uint8_t
{
    Object,
    Array,
    Text,
    Number,
    True,
    False,
    Null
};

// The name the request's messages give to each kind: "TJSONObject", "TJSONArray", ...
StringView JsonKindName(JsonKind kind);

class JsonObject;
class JsonArray;
class JsonDocument;

class JsonValue
{
public:
    JsonValue() = default;
    JsonValue(const JsonDocument* document, JsonKind kind, const char* begin, const char* end)
        : FDocument(document)
        , FKind(kind)
        , FBegin(begin)
        , FEnd(end)
    {}

    JsonKind Kind() const { return FKind; }
    bool IsObject() const { return FKind == JsonKind::Object; }
    bool IsArray() const { return FKind == JsonKind::Array; }
    bool IsString() const { return FKind == JsonKind::Text; }
    bool IsNumber() const { return FKind == JsonKind::Number; }
    bool IsNull() const { return FKind == JsonKind::Null; }
    std::string_view Raw() const { return {FBegin, static_cast<size_t>(FEnd - FBegin)}; }

    // String kind: the decoded characters (escapes resolved) as UTF-16.
    String GetString() const;
    void AppendString(String& out) const;
    // String kind: the decoded characters as UTF-8.
    std::string GetUtf8() const;
    // Number kind: the value as the nearest double; beyond double's range, an infinity or zero.
    double GetNumber() const;

    JsonObject GetObject() const; // Object kind
    JsonArray GetArray() const;   // Array kind

private:
    const JsonDocument* FDocument = nullptr;
    JsonKind FKind = JsonKind::Null;
    const char* FBegin = nullptr;
    const char* FEnd = nullptr;
};

struct JsonMember
{
    JsonValue Name; // always of String kind
    JsonValue Value;
};

class JsonObject
{
public:
    explicit JsonObject(std::vector<JsonMember> members)
        : FMembers(std::move(members))
    {}

    const std::vector<JsonMember>& Members() const { return FMembers; }
    size_t Count() const { return FMembers.size(); }
    // The last member of that name, or nullptr; the name compares with case.
    const JsonValue* Find(std::string_view utf8Name) const;

private:
    std::vector<JsonMember> FMembers;
};

// The elements of an array, visited in order without materialising them.
class JsonArray
{
public:
    JsonArray(const JsonDocument* document, const char* begin, const char* end)
        : FDocument(document)
        , FBegin(begin)
        , FEnd(end)
    {}

    class Iterator
    {
    public:
        Iterator(const JsonDocument* document, const char* pos, const char* end);
        const JsonValue& operator*() const { return FCurrent; }
        const JsonValue* operator->() const { return &FCurrent; }
        Iterator& operator++();
        bool operator==(const Iterator& other) const { return FPos == other.FPos; }

    private:
        void Load();
        const JsonDocument* FDocument;
        const char* FPos;
        const char* FEnd;
        JsonValue FCurrent;
    };

    Iterator begin() const;
    Iterator end() const { return Iterator(FDocument, nullptr, nullptr); }
    bool Empty() const;
    size_t Count() const; // walks the array

private:
    const JsonDocument* FDocument;
    const char* FBegin; // just after '['
    const char* FEnd;   // at ']'
};

struct JsonSyntaxError
{
    size_t Offset = 0; // byte offset of the fault in the input
    std::string What;
};

class JsonDocument
{
public:
    // Validates `bytes` as one JSON text. Returns nullptr with `error` filled when it is not one;
    // throws ELimitExceeded when nesting passes limits::JsonMaxDepth.
    static std::unique_ptr<JsonDocument> Parse(ByteBuffer bytes, JsonSyntaxError* error = nullptr);
    static std::unique_ptr<JsonDocument> Parse(std::string_view text,
                                               JsonSyntaxError* error = nullptr)
    {
        return Parse(ByteBuffer(text), error);
    }

    const JsonValue& Root() const { return FRoot; }

    // Where the container starting at `begin` ends, when it is one of the large ones that
    // validation remembered; nullptr otherwise (the caller then scans it).
    const char* KnownEnd(const char* begin) const;

private:
    friend class JsonValue;
    friend class JsonArray;
    explicit JsonDocument(ByteBuffer bytes)
        : FBytes(std::move(bytes))
    {}

    struct Span
    {
        const char* Begin;
        const char* End;
    };

    ByteBuffer FBytes;
    JsonValue FRoot;
    // Large containers sorted by start, so skipping over a table's rows never rescans them.
    std::vector<Span> FLargeContainers;
};

} // namespace vl
