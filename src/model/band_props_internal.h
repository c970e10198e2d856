// Publishing the band properties that TvlxBand holds for all band classes: each class names the
// ones it publishes, in the order it publishes them.
#pragma once

#include "model/band.h"
#include "model/band_kinds.h"
#include "platform/component/class_builder.h"

namespace vl::band_props {

enum Shared : unsigned
{
    bpAllowSplit = 1u << 0,
    bpChild = 1u << 1,
    bpKeepChild = 1u << 2,
    bpOutlineText = 1u << 3,
    bpPrintChildIfInvisible = 1u << 4,
    bpStartNewPage = 1u << 5,
    bpStretched = 1u << 6,
};

// Adds the shared properties in `props` to `builder`, in alphabetical order.
template <class T, class Base>
ClassBuilder<T, Base>& Publish(ClassBuilder<T, Base>& builder, unsigned props)
{
    if (props & bpAllowSplit) builder.template Prop<&TvlxBand::FAllowSplit>(u"AllowSplit", false);
    if (props & bpChild) builder.template Prop<&TvlxBand::Child, &TvlxBand::SetChild>(u"Child");
    if (props & bpKeepChild) builder.template Prop<&TvlxBand::FKeepChild>(u"KeepChild", false);
    if (props & bpOutlineText) builder.template Prop<&TvlxBand::FOutlineText>(u"OutlineText");
    if (props & bpPrintChildIfInvisible)
        builder.template Prop<&TvlxBand::FPrintChildIfInvisible>(u"PrintChildIfInvisible", false);
    if (props & bpStartNewPage)
        builder.template Prop<&TvlxBand::FStartNewPage>(u"StartNewPage", false);
    if (props & bpStretched) builder.template Prop<&TvlxBand::FStretched>(u"Stretched", false);
    return builder;
}

// The set that most printing bands publish.
inline constexpr unsigned bpCommon =
    bpAllowSplit | bpChild | bpKeepChild | bpPrintChildIfInvisible | bpStartNewPage | bpStretched;

} // namespace vl::band_props
