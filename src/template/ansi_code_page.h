// The system's 8-bit code page: Windows-1252 (Western European), the code page the old 8-bit
// template format and element names are written in. Bytes 0x00-0x7F and 0xA0-0xFF are the
// Latin-1 characters of the same number; 0x80-0x9F hold the typographic extras (euro sign, curly
// quotes, dashes, ...), and the five codes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 controls of the same number, as the Windows conversion does.
#pragma once

#include "base/string.h"

#include <string>
#include <string_view>

namespace vl {

// 8-bit text -> UTF-16; every byte gives exactly one UTF-16 unit.
void AppendAnsiText(String& out, std::string_view bytes);
String AnsiToString(std::string_view bytes);

// UTF-16 -> 8-bit text; a character the code page lacks becomes "?" (a surrogate pair gives one
// "?").
void AppendAnsiBytes(std::string& out, StringView text);

} // namespace vl
