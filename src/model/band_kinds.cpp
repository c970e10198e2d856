// Class descriptions of the band classes other than data bands.
#include "model/band_kinds.h"

#include "model/band_props_internal.h"
#include "model/diff_writer.h"

namespace vl {

using namespace band_props;

const ClassInfo& TvlxReportTitle::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxReportTitle, TvlxBand>(u"TvlxReportTitle");
        return Publish(b, bpCommon).Build();
    }();
    return info;
}

const ClassInfo& TvlxReportSummary::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxReportSummary, TvlxBand>(u"TvlxReportSummary");
        return Publish(b, bpCommon).Build();
    }();
    return info;
}

const ClassInfo& TvlxPageHeader::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxPageHeader, TvlxBand>(u"TvlxPageHeader");
        Publish(b, bpChild | bpPrintChildIfInvisible);
        b.Prop<&TvlxPageHeader::FPrintOnFirstPage>(u"PrintOnFirstPage", true);
        return Publish(b, bpStretched).Build();
    }();
    return info;
}

const ClassInfo& TvlxPageFooter::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxPageFooter, TvlxBand>(u"TvlxPageFooter")
            .Prop<&TvlxPageFooter::FPrintOnFirstPage>(u"PrintOnFirstPage", true)
            .Prop<&TvlxPageFooter::FPrintOnLastPage>(u"PrintOnLastPage", true)
            .Build();
    return info;
}

const ClassInfo& TvlxHeader::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxHeader, TvlxBand>(u"TvlxHeader");
        Publish(b, bpAllowSplit | bpChild | bpKeepChild | bpPrintChildIfInvisible);
        b.Prop<&TvlxHeader::FReprintOnNewPage>(u"ReprintOnNewPage", false);
        return Publish(b, bpStartNewPage | bpStretched).Build();
    }();
    return info;
}

const ClassInfo& TvlxFooter::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxFooter, TvlxBand>(u"TvlxFooter");
        return Publish(b,
                       bpAllowSplit | bpChild | bpKeepChild | bpPrintChildIfInvisible | bpStretched)
            .Build();
    }();
    return info;
}

const ClassInfo& TvlxGroupHeader::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxGroupHeader, TvlxBand>(u"TvlxGroupHeader");
        Publish(b, bpAllowSplit | bpChild);
        b.Prop<&TvlxGroupHeader::FCondition>(u"Condition")
            .Prop<&TvlxGroupHeader::FDrillDown>(u"DrillDown", false)
            .Prop<&TvlxGroupHeader::FDrillName>(u"DrillName")
            .Prop<&TvlxGroupHeader::FExpandDrillDown>(u"ExpandDrillDown", false);
        Publish(b, bpKeepChild);
        b.Prop<&TvlxGroupHeader::FKeepTogether>(u"KeepTogether", false);
        Publish(b, bpOutlineText | bpPrintChildIfInvisible);
        b.Prop<&TvlxGroupHeader::FReprintOnNewPage>(u"ReprintOnNewPage", false)
            .Prop<&TvlxGroupHeader::FResetPageNumbers>(u"ResetPageNumbers", false)
            .Prop<&TvlxGroupHeader::FShowChildIfDrillDown>(u"ShowChildIfDrillDown", false)
            .Prop<&TvlxGroupHeader::FShowFooterIfDrillDown>(u"ShowFooterIfDrillDown", false);
        return Publish(b, bpStartNewPage | bpStretched).Build();
    }();
    return info;
}

String TvlxGroupHeader::Diff(TvlxComponent& other)
{
    String text = TvlxBand::Diff(other);
    if (FDrillDown) {
        DiffWriter d;
        d.WriteText(u"DrillName", FDrillName);
        text += d.Take();
    }
    return text;
}

const ClassInfo& TvlxGroupFooter::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxGroupFooter, TvlxBand>(u"TvlxGroupFooter");
        Publish(b, bpAllowSplit | bpChild);
        b.Prop<&TvlxGroupFooter::FHideIfSingleDataRecord>(u"HideIfSingleDataRecord", false);
        return Publish(b, bpKeepChild | bpPrintChildIfInvisible | bpStretched).Build();
    }();
    return info;
}

const ClassInfo& TvlxChild::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxChild, TvlxBand>(u"TvlxChild");
        return Publish(b, bpCommon).Build();
    }();
    return info;
}

const ClassInfo& TvlxColumnHeader::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxColumnHeader, TvlxBand>(u"TvlxColumnHeader");
        return Publish(b, bpChild | bpStretched).Build();
    }();
    return info;
}

const ClassInfo& TvlxColumnFooter::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxColumnFooter, TvlxBand>(u"TvlxColumnFooter").Build();
    return info;
}

const ClassInfo& TvlxOverlay::StaticClass()
{
    static const ClassInfo info = DescribeClass<TvlxOverlay, TvlxBand>(u"TvlxOverlay")
                                      .Prop<&TvlxOverlay::FPrintOnTop>(u"PrintOnTop", false)
                                      .Build();
    return info;
}

const ClassInfo& TvlxNullBand::StaticClass()
{
    static const ClassInfo info = DescribeClass<TvlxNullBand, TvlxBand>(u"TvlxNullBand").Build();
    return info;
}

String TvlxNullBand::AllDiff(TvlxComponent* other)
{
    String text = TvlxBand::AllDiff(other);
    DiffWriter d;
    d.WriteFloat(u"l", Left());
    d.WriteFloat(u"t", Top());
    return text + d.Take();
}

} // namespace vl
