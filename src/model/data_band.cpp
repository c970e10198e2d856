// Data bands: their properties, virtual records and page columns.
#include "model/data_band.h"

#include "model/band_props_internal.h"
#include "request/dataset_adapter.h"

namespace vl {

using namespace band_props;

const ClassInfo& TvlxDataBand::StaticClass()
{
    static const ClassInfo info = [] {
        auto b = DescribeClass<TvlxDataBand, TvlxBand>(u"TvlxDataBand");
        Publish(b, bpAllowSplit | bpChild);
        b.Prop<&TvlxDataBand::FColumnGap>(u"ColumnGap")
            .Prop<&TvlxDataBand::FColumns>(u"Columns", 0)
            .Prop<&TvlxDataBand::FColumnWidth>(u"ColumnWidth")
            .Prop<&TvlxDataBand::DataSet, &TvlxDataBand::SetDataSet>(u"DataSet")
            .Prop<&TvlxDataBand::DataSetName, &TvlxDataBand::SetDataSetName>(u"DataSetName")
            .Prop<&TvlxDataBand::FFooterAfterEach>(u"FooterAfterEach", false);
        Publish(b, bpKeepChild);
        b.Prop<&TvlxDataBand::FKeepFooter>(u"KeepFooter", false)
            .Prop<&TvlxDataBand::FKeepHeader>(u"KeepHeader", false)
            .Prop<&TvlxDataBand::FKeepTogether>(u"KeepTogether", false);
        Publish(b, bpOutlineText | bpPrintChildIfInvisible);
        b.Prop<&TvlxDataBand::FPrintIfDetailEmpty>(u"PrintIfDetailEmpty", false)
            .Prop<&TvlxDataBand::RowCount, &TvlxDataBand::SetRowCount>(u"RowCount", 0);
        Publish(b, bpStartNewPage | bpStretched);
        b.Prop<&TvlxDataBand::FOnMasterDetail>(u"OnMasterDetail");
        return b.Build();
    }();
    return info;
}

TvlxDataBand::TvlxDataBand() = default;
TvlxDataBand::~TvlxDataBand() = default;

int TvlxDataBand::DataLevel() const
{
    int number = BandNumber();
    constexpr int FirstLevelNumber = 6;
    constexpr int LastLevelNumber = 11;
    return number >= FirstLevelNumber && number <= LastLevelNumber ? number - FirstLevelNumber + 1
                                                                   : 0;
}

TvlxDataSet* TvlxDataBand::DataSet() const
{
    return FDataSet.Get();
}

void TvlxDataBand::SetDataSet(TvlxDataSet* value)
{
    FDataSet.Set(value);
}

String TvlxDataBand::DataSetName() const
{
    return FDataSet ? FDataSet->UserName() : FDataSetName;
}

void TvlxDataBand::SetDataSetName(const String& value)
{
    FDataSetName = value;
    FDataSet.Set(FindDataSet(*this, value));
}

void TvlxDataBand::SetRowCount(int32_t value)
{
    FRowCount = value;
    if (FVirtualDataSet) FVirtualDataSet->SetRangeEndCount(value);
}

TvlxDataSet* TvlxDataBand::VirtualDataSet()
{
    if (!FVirtualDataSet) {
        FVirtualDataSet = std::make_unique<TvlxUserDataSet>();
        FVirtualDataSet->SetRangeEnd(TvlxRangeEnd::reCount);
        FVirtualDataSet->SetRangeEndCount(FRowCount);
    }
    return FVirtualDataSet.get();
}

void TvlxDataBand::SetCurColumn(int32_t value)
{
    if (value > FColumns) value = 1;
    if (value == 1) FMaxY = 0;
    FCurColumn = value;
    SetLeft((FCurColumn - 1) * (FColumnWidth + FColumnGap));
}

const ClassInfo& TvlxMasterData::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxMasterData, TvlxDataBand>(u"TvlxMasterData").Build();
    return info;
}

const ClassInfo& TvlxDetailData::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDetailData, TvlxDataBand>(u"TvlxDetailData").Build();
    return info;
}

const ClassInfo& TvlxSubdetailData::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxSubdetailData, TvlxDataBand>(u"TvlxSubdetailData").Build();
    return info;
}

const ClassInfo& TvlxDataBand4::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDataBand4, TvlxDataBand>(u"TvlxDataBand4").Build();
    return info;
}

const ClassInfo& TvlxDataBand5::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDataBand5, TvlxDataBand>(u"TvlxDataBand5").Build();
    return info;
}

const ClassInfo& TvlxDataBand6::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxDataBand6, TvlxDataBand>(u"TvlxDataBand6").Build();
    return info;
}

} // namespace vl
