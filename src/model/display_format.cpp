// Display formats of text views.
#include "model/display_format.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxFormat::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxFormat, Persistent>(u"TvlxFormat")
            .Prop<&TvlxFormat::DecimalSeparator, &TvlxFormat::SetDecimalSeparator>(
                u"DecimalSeparator")
            .Prop<&TvlxFormat::FormatStr, &TvlxFormat::SetFormatStr>(u"FormatStr")
            .Prop<&TvlxFormat::Kind, &TvlxFormat::SetKind>(u"Kind", TvlxFormatKind::fkText)
            .Prop<&TvlxFormat::ThousandSeparator, &TvlxFormat::SetThousandSeparator>(
                u"ThousandSeparator")
            .Build();
    return info;
}

void TvlxFormat::Assign(const Persistent& source)
{
    const auto* format = dynamic_cast<const TvlxFormat*>(&source);
    if (format == nullptr) return Persistent::Assign(source);
    FKind = format->FKind;
    FFormatStr = format->FFormatStr;
    FDecimalSeparator = format->FDecimalSeparator;
    FThousandSeparator = format->FThousandSeparator;
}

} // namespace vl
