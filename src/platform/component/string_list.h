// Lists of text lines published as properties (a report's script, a page's column positions, a
// text view's text). Templates carry them whole as one text attribute ("ScriptText.Text").
#pragma once

#include "platform/component/class_info.h"

#include <vector>

namespace vl {

class StringList : public Persistent
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    void Assign(const Persistent& source) override;

    size_t Count() const { return FLines.size(); }
    bool Empty() const { return FLines.empty(); }
    const String& operator[](size_t index) const { return FLines[index]; }
    const std::vector<String>& Lines() const { return FLines; }
    void Add(String line) { FLines.push_back(std::move(line)); }
    void Clear() { FLines.clear(); }
    void SetLines(std::vector<String> lines) { FLines = std::move(lines); }

    // The lines joined with CR LF after every line, the last one included.
    String Text() const;
    // Splits at CR LF, CR and LF, each ending one line; a final line break adds no empty line.
    virtual void SetText(StringView text);
    bool operator==(const StringList& other) const { return FLines == other.FLines; }

protected:
    // Splits `text` into lines; `isBreak` tells the single-unit line breaks.
    void SplitLines(StringView text, bool (*isBreak)(char16_t));

private:
    std::vector<String> FLines;
};

// The wide string list of the class library; the serializer never writes it as an attribute
// (its owners write their text themselves).
class WideStringList : public StringList
{
public:
    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

} // namespace vl
