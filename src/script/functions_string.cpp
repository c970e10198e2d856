// Text functions: Length, Copy, Pos, Delete, Insert, case, Trim, NameCase, Chr, Ord, SetLength.
// Positions are 1-based and count UTF-16 code units, as the engine's string index does.
#include "base/format.h"
#include "base/limits.h"
#include "platform/unicode/text_case.h"
#include "script/functions_internal.h"

#include <algorithm>
#include <array>

namespace vl {

namespace {

// A position or count argument clamped into 0..size + 1 (larger values behave alike).
int64_t Clamp(int64_t v, size_t size)
{
    return std::clamp<int64_t>(v, 0, static_cast<int64_t>(size) + 1);
}

Variant LengthProc(TsbMethodCall& call)
{
    const Variant& v = call.Args[0];
    if (v.IsArray()) return Variant(int32_t(v.ArrayValue().Items.size()));
    return Variant(int32_t(ArgText(call, 0).size()));
}

Variant CopyProc(TsbMethodCall& call)
{
    const String s = ArgText(call, 0);
    const int64_t from = std::max<int64_t>(Clamp(ArgInt(call, 1), s.size()), 1);
    const int64_t count = Clamp(ArgInt(call, 2), s.size());
    if (from > static_cast<int64_t>(s.size()) || count <= 0) return Variant(u"");
    return Variant(s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(count)));
}

Variant PosProc(TsbMethodCall& call)
{
    const String sub = ArgText(call, 0);
    const String s = ArgText(call, 1);
    if (sub.empty()) return Variant(int32_t(0));
    const size_t at = s.find(sub);
    return Variant(int32_t(at == String::npos ? 0 : at + 1));
}

// Delete(var s, from, count): nothing happens for a position outside the text.
Variant DeleteProc(TsbMethodCall& call)
{
    String s = ArgText(call, 0);
    const int64_t from = ArgInt(call, 1);
    const int64_t count = Clamp(ArgInt(call, 2), s.size());
    if (from >= 1 && from <= static_cast<int64_t>(s.size()) && count > 0)
        s.erase(static_cast<size_t>(from - 1), static_cast<size_t>(count));
    call.Args[0] = Variant(std::move(s));
    return Variant();
}

// Insert(s, var s2, pos): before position pos, clamped to the start and the end of s2.
Variant InsertProc(TsbMethodCall& call)
{
    const String s = ArgText(call, 0);
    String target = ArgText(call, 1);
    const int64_t pos = std::max<int64_t>(Clamp(ArgInt(call, 2), target.size()), 1);
    target.insert(std::min(static_cast<size_t>(pos - 1), target.size()), s);
    call.Args[1] = Variant(std::move(target));
    return Variant();
}

Variant UppercaseProc(TsbMethodCall& call)
{
    return Variant(UpperCase(ArgText(call, 0)));
}

Variant LowercaseProc(TsbMethodCall& call)
{
    return Variant(LowerCase(ArgText(call, 0)));
}

Variant TrimProc(TsbMethodCall& call)
{
    const String s = ArgText(call, 0);
    size_t first = 0, last = s.size();
    while (first < last && s[first] <= u' ')
        ++first;
    while (last > first && s[last - 1] <= u' ')
        --last;
    return Variant(s.substr(first, last - first));
}

// All lower case, then the first character and each one after a blank upper-cased.
Variant NameCaseProc(TsbMethodCall& call)
{
    const String lower = LowerCase(ArgText(call, 0));
    String out;
    out.reserve(lower.size());
    size_t start = 0;
    for (size_t i = 0; i <= lower.size(); ++i) {
        if (i < lower.size() && lower[i] != u' ') continue;
        // Each word: its first character (a surrogate pair stays whole) upper-cased.
        if (i > start) {
            size_t headEnd = start + 1;
            if (headEnd < i && lower[start] >= 0xD800 && lower[start] < 0xDC00) ++headEnd;
            out += UpperCase(StringView(lower).substr(start, headEnd - start));
            out.append(lower, headEnd, i - headEnd);
        }
        if (i < lower.size()) out += u' ';
        start = i + 1;
    }
    return Variant(std::move(out));
}

Variant CompareTextProc(TsbMethodCall& call)
{
    return Variant(int32_t(CompareText(ArgText(call, 0), ArgText(call, 1))));
}

Variant ChrProc(TsbMethodCall& call)
{
    const int64_t code = ArgInt(call, 0);
    if (code < 0 || code > 0x10FFFF)
        throw EConvertError(Format(u"%d is not a valid character code", {code}));
    String s;
    if (code >= 0xD800 && code < 0xE000)
        s += static_cast<char16_t>(code);
    else
        AppendCodePoint(s, static_cast<char32_t>(code));
    return Variant(std::move(s));
}

// The code of the first character; a surrogate pair counts as its code point, the empty text 0.
Variant OrdProc(TsbMethodCall& call)
{
    const String s = ArgText(call, 0);
    if (s.empty()) return Variant(int32_t(0));
    const char16_t c = s[0];
    if (c >= 0xD800 && c < 0xDC00 && s.size() > 1 && s[1] >= 0xDC00 && s[1] < 0xE000)
        return Variant(int32_t(0x10000 + ((c - 0xD800) << 10) + (s[1] - 0xDC00)));
    return Variant(int32_t(c));
}

// A string is cut or padded with blanks; anything else becomes an array 0..L-1 that keeps the
// elements it had from its low bound on.
Variant SetLengthProc(TsbMethodCall& call)
{
    const int64_t length = std::max<int64_t>(ArgInt(call, 1), 0);
    if (length > limits::ScriptMaxSizedLength)
        throw ELimitExceeded(Format(u"SetLength: a length of %d is more than the %d allowed",
                                    {length, limits::ScriptMaxSizedLength}));
    Variant& target = call.Args[0];
    if (target.IsString()) {
        String s = target.StringValue();
        s.resize(static_cast<size_t>(length), u' ');
        target = Variant(std::move(s));
        return Variant();
    }
    Variant resized = Variant::Array(0, length - 1);
    if (target.IsArray()) {
        const auto& old = target.ArrayValue().Items;
        auto& items = resized.MutableArray().Items;
        std::copy_n(old.begin(), std::min(old.size(), items.size()), items.begin());
    }
    target = std::move(resized);
    return Variant();
}

constexpr TsbFunctionEntry Entries[] = {
    {u"function Length(s: Variant): Integer", LengthProc},
    {u"function Copy(s: String; from, count: Integer): String", CopyProc},
    {u"function Pos(substr, s: String): Integer", PosProc},
    {u"procedure Delete(var s: String; from, count: Integer)", DeleteProc},
    {u"procedure DeleteStr(var s: String; from, count: Integer)", DeleteProc},
    {u"procedure Insert(s: String; var s2: String; pos: Integer)", InsertProc},
    {u"function Uppercase(s: String): String", UppercaseProc},
    {u"function Lowercase(s: String): String", LowercaseProc},
    {u"function Trim(s: String): String", TrimProc},
    {u"function NameCase(s: String): String", NameCaseProc},
    {u"function CompareText(s, s1: String): Integer", CompareTextProc},
    {u"function Chr(i: Integer): Char", ChrProc},
    {u"function Ord(ch: Char): Integer", OrdProc},
    {u"procedure SetLength(var S: Variant; L: Integer)", SetLengthProc},
};

} // namespace

void RegisterStringFunctions(TsbScript& script, const FormatSettings& settings)
{
    RegisterFunctionGroup(script, Entries, u"ctString", settings);
}

} // namespace vl
