// The report object.
#include "model/report.h"

#include "platform/component/class_builder.h"
#include "platform/unicode/text_case.h"

#include <algorithm>

namespace vl {

void TvlxErrorList::Add(const String& text)
{
    auto less = [](const String& a, const String& b) { return CompareText(a, b) < 0; };
    auto at = std::lower_bound(FLines.begin(), FLines.end(), text, less);
    if (at != FLines.end() && SameText(*at, text)) return;
    FLines.insert(at, text);
}

String TvlxErrorList::Text() const
{
    String text;
    for (const String& line : FLines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

const ClassInfo& TvlxReport::StaticClass()
{
    static const ClassInfo info = DescribeClass<TvlxReport, TvlxComponent>(u"TvlxReport").Build();
    return info;
}

TvlxReport::TvlxReport() = default;
TvlxReport::~TvlxReport() = default;

} // namespace vl
