// Validation of the request text and on-demand decoding of its values.
#include "platform/json/json_reader.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/limits.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <simdjson.h>

namespace vl {

namespace {

constexpr std::string_view Bom = "\xEF\xBB\xBF";

// Containers at least this long are remembered by validation, so that walking past them later
// costs a lookup instead of a scan; smaller ones are cheaper to scan than to look up.
constexpr size_t LargeContainerBytes = 4096;

bool IsWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

const char* SkipWhitespace(const char* p, const char* end)
{
    while (p < end && IsWhitespace(*p))
        ++p;
    return p;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Checks the grammar of one JSON text; UTF-8 validity is checked separately over the whole input.
// Iterative, so nesting depth costs no stack.
class Validator
{
public:
    struct Span
    {
        const char* Begin;
        const char* End;
    };

    Validator(const char* begin, const char* end)
        : FBegin(begin)
        , FPos(begin)
        , FEnd(end)
    {}

    bool Run(JsonSyntaxError& error);
    // The containers of at least LargeContainerBytes, in the order they closed.
    std::vector<Span>& LargeContainers() { return FLarge; }

private:
    enum class State
    {
        Value,
        MemberName,
        AfterValue
    };

    bool Fail(const char* what)
    {
        FWhat = what;
        return false;
    }
    bool ScanString();
    bool ScanNumber();
    bool ScanLiteral(std::string_view word);
    bool Push(char container);
    void Pop();

    const char* FBegin;
    const char* FPos;
    const char* FEnd;
    const char* FWhat = "";
    std::vector<const char*> FStack; // the opening '{' or '[' of each open container
    std::vector<Span> FLarge;
};

bool Validator::Push(char container)
{
    if (FStack.size() >= limits::JsonMaxDepth)
        throw ELimitExceeded(Format(u"JSON nesting is deeper than %d levels",
                                    {static_cast<int64_t>(limits::JsonMaxDepth)}));
    (void)container;
    FStack.push_back(FPos);
    ++FPos;
    return true;
}

void Validator::Pop()
{
    const char* begin = FStack.back();
    FStack.pop_back();
    if (static_cast<size_t>(FPos - begin) >= LargeContainerBytes) FLarge.push_back({begin, FPos});
}

bool Validator::ScanString()
{
    ++FPos; // opening quote
    while (FPos < FEnd) {
        const auto c = static_cast<unsigned char>(*FPos);
        if (c == '"') {
            ++FPos;
            return true;
        }
        if (c < 0x20) return Fail("control character in string");
        if (c != '\\') {
            ++FPos;
            continue;
        }
        if (FEnd - FPos < 2) break;
        switch (FPos[1]) {
        case '"':
        case '\\':
        case '/':
        case 'b':
        case 'f':
        case 'n':
        case 'r':
        case 't':
            FPos += 2;
            break;
        case 'u':
            if (FEnd - FPos < 6) return Fail("truncated \\u escape");
            for (int i = 2; i < 6; ++i)
                if (HexValue(FPos[i]) < 0) return Fail("bad \\u escape");
            FPos += 6;
            break;
        default:
            return Fail("bad escape");
        }
    }
    return Fail("unterminated string");
}

bool Validator::ScanNumber()
{
    if (*FPos == '-') ++FPos;
    if (FPos >= FEnd || !IsDigit(*FPos)) return Fail("bad number");
    if (*FPos == '0') {
        ++FPos;
    } else {
        while (FPos < FEnd && IsDigit(*FPos))
            ++FPos;
    }
    if (FPos < FEnd && *FPos == '.') {
        ++FPos;
        if (FPos >= FEnd || !IsDigit(*FPos)) return Fail("bad fraction");
        while (FPos < FEnd && IsDigit(*FPos))
            ++FPos;
    }
    if (FPos < FEnd && (*FPos == 'e' || *FPos == 'E')) {
        ++FPos;
        if (FPos < FEnd && (*FPos == '+' || *FPos == '-')) ++FPos;
        if (FPos >= FEnd || !IsDigit(*FPos)) return Fail("bad exponent");
        while (FPos < FEnd && IsDigit(*FPos))
            ++FPos;
    }
    return true;
}

bool Validator::ScanLiteral(std::string_view word)
{
    if (static_cast<size_t>(FEnd - FPos) < word.size() ||
        std::memcmp(FPos, word.data(), word.size()) != 0)
        return Fail("unknown literal");
    FPos += word.size();
    return true;
}

bool Validator::Run(JsonSyntaxError& error)
{
    State state = State::Value;
    bool ok = true;
    while (ok) {
        FPos = SkipWhitespace(FPos, FEnd);
        if (state == State::AfterValue && FStack.empty()) break;
        if (FPos >= FEnd) {
            ok = Fail("unexpected end of input");
            break;
        }
        const char c = *FPos;
        switch (state) {
        case State::Value:
            state = State::AfterValue;
            if (c == '{') {
                Push('{');
                FPos = SkipWhitespace(FPos, FEnd);
                if (FPos < FEnd && *FPos == '}') {
                    ++FPos;
                    Pop();
                } else {
                    state = State::MemberName;
                }
            } else if (c == '[') {
                Push('[');
                FPos = SkipWhitespace(FPos, FEnd);
                if (FPos < FEnd && *FPos == ']') {
                    ++FPos;
                    Pop();
                } else {
                    state = State::Value;
                }
            } else if (c == '"') {
                ok = ScanString();
            } else if (c == '-' || IsDigit(c)) {
                ok = ScanNumber();
            } else if (c == 't') {
                ok = ScanLiteral("true");
            } else if (c == 'f') {
                ok = ScanLiteral("false");
            } else if (c == 'n') {
                ok = ScanLiteral("null");
            } else {
                ok = Fail("value expected");
            }
            break;
        case State::MemberName:
            if (c != '"') {
                ok = Fail("member name expected");
                break;
            }
            ok = ScanString();
            FPos = SkipWhitespace(FPos, FEnd);
            if (ok && (FPos >= FEnd || *FPos != ':')) ok = Fail("':' expected");
            ++FPos;
            state = State::Value;
            break;
        case State::AfterValue:
            if (c == ',') {
                ++FPos;
                state = *FStack.back() == '{' ? State::MemberName : State::Value;
            } else if (c == (*FStack.back() == '{' ? '}' : ']')) {
                ++FPos;
                Pop();
            } else {
                ok = Fail("',' or end of container expected");
            }
            break;
        }
    }
    if (ok && FPos != FEnd) ok = Fail("content after the JSON value");
    if (!ok) {
        error.Offset = static_cast<size_t>(FPos - FBegin);
        error.What = FWhat;
    }
    return ok;
}

// On validated text: the end of the string that starts at `p` (its opening quote).
const char* SkipString(const char* p, const char* end)
{
    ++p;
    for (;;) {
        const auto* quote = static_cast<const char*>(std::memchr(p, '"', end - p));
        // Validated text always closes its strings.
        size_t backslashes = 0;
        for (const char* b = quote - 1; b >= p && *b == '\\'; --b)
            ++backslashes;
        p = quote + 1;
        if (backslashes % 2 == 0) return p;
    }
}

// On validated text: the end of the value that starts at `p`.
const char* SkipValue(const JsonDocument* document, const char* p, const char* end)
{
    switch (*p) {
    case '"':
        return SkipString(p, end);
    case 't':
    case 'n':
        return p + 4;
    case 'f':
        return p + 5;
    case '{':
    case '[': {
        if (const char* known = document->KnownEnd(p)) return known;
        size_t depth = 0;
        while (p < end) {
            const char c = *p;
            if (c == '"') {
                p = SkipString(p, end);
                continue;
            }
            if (c == '{' || c == '[') {
                ++depth;
            } else if (c == '}' || c == ']') {
                if (--depth == 0) return p + 1;
            }
            ++p;
        }
        return p;
    }
    default:
        while (p < end &&
               (IsDigit(*p) || *p == '-' || *p == '+' || *p == '.' || *p == 'e' || *p == 'E'))
            ++p;
        return p;
    }
}

JsonKind KindOf(char first)
{
    switch (first) {
    case '{':
        return JsonKind::Object;
    case '[':
        return JsonKind::Array;
    case '"':
        return JsonKind::Text;
    case 't':
        return JsonKind::True;
    case 'f':
        return JsonKind::False;
    case 'n':
        return JsonKind::Null;
    default:
        return JsonKind::Number;
    }
}

JsonValue ValueAt(const JsonDocument* document, const char* p, const char* end)
{
    return JsonValue(document, KindOf(*p), p, SkipValue(document, p, end));
}

unsigned ReadHex4(const char* p)
{
    return (HexValue(p[0]) << 12) | (HexValue(p[1]) << 8) | (HexValue(p[2]) << 4) | HexValue(p[3]);
}

char SimpleEscape(char c)
{
    switch (c) {
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    default:
        return c; // '"', '\\', '/'
    }
}

} // namespace

StringView JsonKindName(JsonKind kind)
{
    switch (kind) {
    case JsonKind::Object:
        return u"TJSONObject";
    case JsonKind::Array:
        return u"TJSONArray";
    case JsonKind::Text:
        return u"TJSONString";
    case JsonKind::Number:
        return u"TJSONNumber";
    case JsonKind::True:
        return u"TJSONTrue";
    case JsonKind::False:
        return u"TJSONFalse";
    case JsonKind::Null:
        return u"TJSONNull";
    }
    return u"TJSONValue";
}

void JsonValue::AppendString(String& out) const
{
    const char* p = FBegin + 1;
    const char* end = FEnd - 1;
    while (p < end) {
        const char* run = p;
        while (p < end && *p != '\\')
            ++p;
        AppendUtf16(out, std::string_view(run, p - run));
        if (p >= end) break;
        if (p[1] == 'u') {
            // Escaped surrogates arrive as two escapes, which are two UTF-16 units already.
            out.push_back(static_cast<char16_t>(ReadHex4(p + 2)));
            p += 6;
        } else {
            out.push_back(static_cast<char16_t>(SimpleEscape(p[1])));
            p += 2;
        }
    }
}

String JsonValue::GetString() const
{
    String out;
    out.reserve(FEnd - FBegin);
    AppendString(out);
    return out;
}

std::string JsonValue::GetUtf8() const
{
    if (Raw().find('\\') == std::string_view::npos) return std::string(FBegin + 1, FEnd - 1);
    return ToUtf8(GetString());
}

double JsonValue::GetNumber() const
{
    double value = 0;
    const auto [ptr, ec] = std::from_chars(FBegin, FEnd, value);
    if (ec != std::errc::result_out_of_range) return value;
    // Beyond double's range: the magnitude is the position of the first significant digit plus
    // the exponent; positive means overflow, otherwise underflow.
    const bool negative = *FBegin == '-';
    const char* p = FBegin + (negative ? 1 : 0);
    int64_t magnitude = 0;
    bool seenSignificant = false;
    bool afterPoint = false;
    for (; p < FEnd && *p != 'e' && *p != 'E'; ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (*p != '0' || seenSignificant) {
            if (!seenSignificant && afterPoint) break;
            seenSignificant = true;
            if (!afterPoint) ++magnitude;
        } else if (afterPoint) {
            --magnitude;
        }
    }
    if (p < FEnd && (*p == 'e' || *p == 'E')) {
        int64_t exponent = 0;
        const bool expNegative = p + 1 < FEnd && p[1] == '-';
        for (++p; p < FEnd; ++p)
            if (IsDigit(*p) && exponent < 1'000'000'000) exponent = exponent * 10 + (*p - '0');
        magnitude += expNegative ? -exponent : exponent;
    }
    const double result = magnitude > 0 ? HUGE_VAL : 0.0;
    return negative ? -result : result;
}

JsonObject JsonValue::GetObject() const
{
    std::vector<JsonMember> members;
    const char* p = SkipWhitespace(FBegin + 1, FEnd);
    while (p < FEnd && *p == '"') {
        JsonMember member;
        member.Name = JsonValue(FDocument, JsonKind::Text, p, SkipString(p, FEnd));
        p = SkipWhitespace(member.Name.FEnd, FEnd) + 1; // ':'
        p = SkipWhitespace(p, FEnd);
        member.Value = ValueAt(FDocument, p, FEnd);
        members.push_back(member);
        p = SkipWhitespace(member.Value.FEnd, FEnd);
        if (*p == ',') p = SkipWhitespace(p + 1, FEnd);
    }
    return JsonObject(std::move(members));
}

JsonArray JsonValue::GetArray() const
{
    return JsonArray(FDocument, FBegin + 1, FEnd - 1);
}

const JsonValue* JsonObject::Find(std::string_view utf8Name) const
{
    for (const auto& member : FMembers) {
        const auto raw = member.Name.Raw();
        const bool same = raw.find('\\') == std::string_view::npos
                              ? raw.substr(1, raw.size() - 2) == utf8Name
                              : member.Name.GetUtf8() == utf8Name;
        if (same) return &member.Value;
    }
    return nullptr;
}

JsonArray::Iterator::Iterator(const JsonDocument* document, const char* pos, const char* end)
    : FDocument(document)
    , FPos(pos)
    , FEnd(end)
{
    Load();
}

void JsonArray::Iterator::Load()
{
    if (!FPos) return;
    FPos = SkipWhitespace(FPos, FEnd);
    if (FPos >= FEnd) {
        FPos = nullptr;
        return;
    }
    FCurrent = ValueAt(FDocument, FPos, FEnd);
}

JsonArray::Iterator& JsonArray::Iterator::operator++()
{
    const char* p = SkipWhitespace(FCurrent.Raw().data() + FCurrent.Raw().size(), FEnd);
    FPos = p < FEnd && *p == ',' ? p + 1 : nullptr;
    Load();
    return *this;
}

JsonArray::Iterator JsonArray::begin() const
{
    return Empty() ? end() : Iterator(FDocument, FBegin, FEnd);
}

bool JsonArray::Empty() const
{
    return SkipWhitespace(FBegin, FEnd) >= FEnd;
}

size_t JsonArray::Count() const
{
    size_t count = 0;
    for (auto it = begin(); it != end(); ++it)
        ++count;
    return count;
}

const char* JsonDocument::KnownEnd(const char* begin) const
{
    const auto it =
        std::lower_bound(FLargeContainers.begin(),
                         FLargeContainers.end(),
                         begin,
                         [](const Span& span, const char* p) { return span.Begin < p; });
    return it != FLargeContainers.end() && it->Begin == begin ? it->End : nullptr;
}

std::unique_ptr<JsonDocument> JsonDocument::Parse(ByteBuffer bytes, JsonSyntaxError* error)
{
    JsonSyntaxError ignored;
    JsonSyntaxError& err = error ? *error : ignored;
    std::unique_ptr<JsonDocument> doc(new JsonDocument(std::move(bytes)));
    std::string_view text = doc->FBytes.View();
    size_t offset = 0;
    if (text.starts_with(Bom)) offset = Bom.size();
    text.remove_prefix(offset);
    if (!simdjson::validate_utf8(text.data(), text.size())) {
        err.Offset = offset;
        err.What = "invalid UTF-8";
        return nullptr;
    }
    Validator validator(text.data(), text.data() + text.size());
    if (!validator.Run(err)) {
        err.Offset += offset;
        return nullptr;
    }
    for (const auto& span : validator.LargeContainers())
        doc->FLargeContainers.push_back({span.Begin, span.End});
    std::sort(doc->FLargeContainers.begin(),
              doc->FLargeContainers.end(),
              [](const Span& a, const Span& b) { return a.Begin < b.Begin; });
    const char* begin = SkipWhitespace(text.data(), text.data() + text.size());
    doc->FRoot = ValueAt(doc.get(), begin, text.data() + text.size());
    return doc;
}

} // namespace vl
