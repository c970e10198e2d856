// String lists published as properties.
#include "platform/component/string_list.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& StringList::StaticClass()
{
    static const ClassInfo info = DescribeClass<StringList, Persistent>(u"TStrings").Build();
    return info;
}

const ClassInfo& WideStringList::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<WideStringList, StringList>(u"TWideStrings").Build();
    return info;
}

void StringList::Assign(const Persistent& source)
{
    const auto* list = dynamic_cast<const StringList*>(&source);
    if (list == nullptr) return Persistent::Assign(source);
    FLines = list->FLines;
}

String StringList::Text() const
{
    String text;
    for (const String& line : FLines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

void StringList::SetText(StringView text)
{
    SplitLines(text, [](char16_t c) { return c == u'\r' || c == u'\n'; });
}

void StringList::SplitLines(StringView text, bool (*isBreak)(char16_t))
{
    FLines.clear();
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!isBreak(text[i])) continue;
        FLines.emplace_back(text.substr(start, i - start));
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) FLines.emplace_back(text.substr(start));
}

} // namespace vl
