// Highlights of text views.
#include "model/highlight.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxHighlight::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxHighlight, Persistent>(u"TvlxHighlight")
            .Prop<&TvlxHighlight::Active, &TvlxHighlight::SetActive>(u"Active", false)
            .Prop<&TvlxHighlight::Color, &TvlxHighlight::SetColor>(u"Color", clNone)
            .Prop<&TvlxHighlight::Condition, &TvlxHighlight::SetCondition>(u"Condition")
            .Prop<&TvlxHighlight::FFont>(u"Font")
            .Build();
    return info;
}

TvlxHighlight::TvlxHighlight()
{
    FFont.SetColor(clRed);
}

void TvlxHighlight::Assign(const Persistent& source)
{
    const auto* h = dynamic_cast<const TvlxHighlight*>(&source);
    if (h == nullptr) return Persistent::Assign(source);
    FActive = h->FActive;
    FCondition = h->FCondition;
    FColor = h->FColor;
    FFont.Assign(h->FFont);
}

bool TvlxHighlight::IsStored() const
{
    size_t first = FCondition.find_first_not_of(u" \t\r\n");
    return first != String::npos;
}

} // namespace vl
