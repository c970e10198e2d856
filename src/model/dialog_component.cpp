// The base of non-visual report objects.
#include "model/dialog_component.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxDialogComponent::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDialogComponent, TvlxComponent>(u"TvlxDialogComponent")
            .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
            .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
            .Build();
    return info;
}

} // namespace vl
