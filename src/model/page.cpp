// The page base, the data page and the dialog page.
#include "model/page.h"

#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxPage::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxPage, TvlxComponent>(u"TvlxPage")
            .Prop<&TvlxComponent::Font, &TvlxComponent::SetFont>(u"Font")
            .Prop<&TvlxComponent::Visible, &TvlxComponent::SetVisible>(u"Visible", true)
            .Build();
    return info;
}

const ClassInfo& TvlxDataPage::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDataPage, TvlxPage>(u"TvlxDataPage")
            .Prop<&TvlxComponent::Height, &TvlxComponent::SetHeight>(u"Height")
            .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
            .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
            .Prop<&TvlxComponent::Width, &TvlxComponent::SetWidth>(u"Width")
            .Build();
    return info;
}

TvlxDataPage::TvlxDataPage()
{
    SetWidth(1000);
    SetHeight(1000);
}

const ClassInfo& TvlxDialogPage::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDialogPage, TvlxPage>(u"TvlxDialogPage")
            .Prop<&TvlxDialogPage::FCaption>(u"Caption")
            .Prop<&TvlxComponent::Height, &TvlxComponent::SetHeight>(u"Height")
            .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
            .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
            .Prop<&TvlxComponent::Width, &TvlxComponent::SetWidth>(u"Width")
            .Build();
    return info;
}

} // namespace vl
