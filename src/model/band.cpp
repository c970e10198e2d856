// The band base: the band table, band names and the child chain.
#include "model/band.h"

#include "base/exception.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"

namespace vl {

const ClassInfo& TvlxBand::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxBand, TvlxReportComponent>(u"TvlxBand")
            .Prop<&TvlxComponent::Font, &TvlxComponent::SetFont>(u"Font")
            .StoredIf<&TvlxBand::IsFontStored>()
            .Prop<&TvlxComponent::Height, &TvlxComponent::SetHeight>(u"Height")
            .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
            .Prop<&TvlxComponent::ParentFont, &TvlxComponent::SetParentFont>(u"ParentFont", true)
            .Prop<&TvlxComponent::Restrictions, &TvlxComponent::SetRestrictions>(u"Restrictions",
                                                                                 TvlxRestrictions{})
            .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
            .Prop<&TvlxBand::FVertical>(u"Vertical", false)
            .Prop<&TvlxComponent::Visible, &TvlxComponent::SetVisible>(u"Visible", true)
            .Prop<&TvlxComponent::Width, &TvlxComponent::SetWidth>(u"Width")
            .Prop<&TvlxBand::FOnAfterCalcHeight>(u"OnAfterCalcHeight")
            .Prop<&TvlxReportComponent::FOnAfterPrint>(u"OnAfterPrint")
            .Prop<&TvlxReportComponent::FOnBeforePrint>(u"OnBeforePrint")
            .Build();
    return info;
}

TvlxBand::TvlxBand() = default;
TvlxBand::~TvlxBand() = default;

bool TvlxBand::IsFontStored() const
{
    // A following font is the parent's: writing it would make the reader stop following.
    return !ParentFont();
}

int TvlxBand::BandNumber() const
{
    int number = 0;
    auto classes = BandClasses();
    for (size_t i = 0; i < classes.size(); ++i)
        if (InheritsFrom(*classes[i])) number = int(i);
    return number;
}

String TvlxBand::BandName() const
{
    String name(ClassType().Name());
    for (StringView part : {StringView(u"Tvlx"), StringView(u"Band")}) {
        size_t at = name.find(part);
        if (at != String::npos) name.erase(at, part.size());
    }
    return name;
}

void TvlxBand::SetChild(TvlxChild* child)
{
    // Chains are loop-free (every assignment comes through here), so this walk ends.
    for (const TvlxBand* b = child; b != nullptr; b = b->Child())
        if (b == this) throw Exception(ResourceText(u"clCirRefNotAllow"));
    FChild.Set(child);
}

std::span<const ClassInfo* const, BandClassCount> BandClasses()
{
    static const std::array<const ClassInfo*, BandClassCount> classes{
        &TvlxReportTitle::StaticClass(),   // 0
        &TvlxReportSummary::StaticClass(), // 1
        &TvlxPageHeader::StaticClass(),    // 2
        &TvlxPageFooter::StaticClass(),    // 3
        &TvlxHeader::StaticClass(),        // 4
        &TvlxFooter::StaticClass(),        // 5
        &TvlxMasterData::StaticClass(),    // 6
        &TvlxDetailData::StaticClass(),    // 7
        &TvlxSubdetailData::StaticClass(), // 8
        &TvlxDataBand4::StaticClass(),     // 9
        &TvlxDataBand5::StaticClass(),     // 10
        &TvlxDataBand6::StaticClass(),     // 11
        &TvlxGroupHeader::StaticClass(),   // 12
        &TvlxGroupFooter::StaticClass(),   // 13
        &TvlxChild::StaticClass(),         // 14
        &TvlxColumnHeader::StaticClass(),  // 15
        &TvlxColumnFooter::StaticClass(),  // 16
        &TvlxOverlay::StaticClass(),       // 17
    };
    return classes;
}

} // namespace vl
