// Escaping and unescaping of attribute values. Both run over every stored text of a prepared
// report, so the common case (nothing to change) is a scan and one copy.
#include "template/xml_escape.h"

#include "base/number_text.h"

#include <algorithm>

namespace vl {

namespace {

// The reference for a character that cannot stand in a value (empty for the others).
constexpr StringView EscapeOf(char16_t c)
{
    switch (c) {
    case u'\n':
        return u"&#10;";
    case u'\r':
        return u"&#13;";
    case u'"':
        return u"&#34;";
    case u'&':
        return u"&#38;";
    case u'<':
        return u"&#60;";
    case u'>':
        return u"&#62;";
    default:
        return {};
    }
}

bool NeedsEscape(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == u'"' || c == u'&' || c == u'<' || c == u'>';
}

struct NamedEntity
{
    StringView Name; // with "&" and ";"
    char16_t Char;
};

constexpr NamedEntity NamedEntities[] = {
    {u"&quot;", u'"'},
    {u"&amp;", u'&'},
    {u"&lt;", u'<'},
    {u"&gt;", u'>'},
};

// Decodes the reference that starts with "&" at `text[pos]`; on success appends its character(s)
// and returns the length of the reference, otherwise returns 0.
size_t DecodeReference(String& out, StringView text, size_t pos)
{
    const StringView rest = text.substr(pos);
    if (rest.size() > 2 && rest[1] == u'#') {
        const size_t semicolon = rest.find(u';', 2);
        if (semicolon == StringView::npos) return 0;
        int64_t code;
        if (!TryStrToInt64(rest.substr(2, semicolon - 2), code) || code < 0 || code > 0x10FFFF)
            return 0;
        AppendCodePoint(out, static_cast<char32_t>(code));
        return semicolon + 1;
    }
    for (const auto& entity : NamedEntities) {
        if (rest.starts_with(entity.Name)) {
            out.push_back(entity.Char);
            return entity.Name.size();
        }
    }
    return 0;
}

} // namespace

void AppendXMLEscaped(String& out, StringView text)
{
    size_t done = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!NeedsEscape(text[i])) continue;
        out.append(text.substr(done, i - done));
        out.append(EscapeOf(text[i]));
        done = i + 1;
    }
    out.append(text.substr(done));
}

String XMLEscape(StringView text)
{
    const auto first = std::find_if(text.begin(), text.end(), NeedsEscape);
    if (first == text.end()) return String(text);
    String out;
    out.reserve(text.size() + text.size() / 8 + 8);
    AppendXMLEscaped(out, text);
    return out;
}

void AppendXMLUnescaped(String& out, StringView text)
{
    size_t done = 0;
    for (size_t pos = text.find(u'&'); pos != StringView::npos; pos = text.find(u'&', pos)) {
        out.append(text.substr(done, pos - done));
        const size_t length = DecodeReference(out, text, pos);
        if (length == 0) {
            // Not a reference: the "&" stays and scanning goes on right after it.
            out.push_back(u'&');
            ++pos;
        } else {
            pos += length;
        }
        done = pos;
    }
    out.append(text.substr(done));
}

String XMLUnescape(StringView text)
{
    if (text.find(u'&') == StringView::npos) return String(text);
    String out;
    out.reserve(text.size());
    AppendXMLUnescaped(out, text);
    return out;
}

} // namespace vl
