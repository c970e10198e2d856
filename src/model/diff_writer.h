// The attribute text of Diff: " Name=\"value\"" for each property in which an object differs from
// the one it is compared with. Values take the template's attribute forms, so the reader puts
// them back: floats in the general format, ordinals and colours in decimal, Booleans as "1" or
// "0", texts escaped.
#pragma once

#include "base/string.h"

#include <cstdint>

namespace vl {

class DiffWriter
{
public:
    // Two floats differ when they are further apart than the coordinate tolerance.
    void Float(StringView name, double value, double other);
    void Int(StringView name, int64_t value, int64_t other);
    void Bool(StringView name, bool value, bool other);
    void Text(StringView name, StringView value, StringView other);
    // Unconditional forms.
    void WriteFloat(StringView name, double value);
    void WriteInt(StringView name, int64_t value);
    void WriteText(StringView name, StringView value); // escapes the value

    String& Out() { return FOut; }
    String Take() { return std::move(FOut); }

private:
    void Begin(StringView name);
    String FOut;
};

} // namespace vl
