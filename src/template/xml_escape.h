// The escaping scheme of the template XML dialect: the few character references that let any text
// stand inside a double-quoted attribute value.
#pragma once

#include "base/string.h"

namespace vl {

// Text -> attribute value: line feed, carriage return, double quote, "&", "<" and ">" become
// "&#10;", "&#13;", "&#34;", "&#38;", "&#60;" and "&#62;"; every other character (tab, apostrophe,
// non-ASCII) stays as it is. XMLUnescape(XMLEscape(t)) == t for every text.
String XMLEscape(StringView text);
void AppendXMLEscaped(String& out, StringView text);

// Attribute value -> text, scanning once from the left so nothing is decoded twice:
// "&#N;" becomes the character of code N (decimal, or hexadecimal after "$" or "x"), and "&quot;",
// "&amp;", "&lt;", "&gt;" their characters. Everything else stays as it is: other "&" sequences
// ("&apos;" included), a "&#" without a ";" after it, and a reference whose number does not convert
// or is no Unicode code point.
String XMLUnescape(StringView text);
void AppendXMLUnescaped(String& out, StringView text);

} // namespace vl
