// The report's dataset list and the dataset side of name resolution.
#include "base/format.h"
#include "model/report.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"

namespace vl {

// ---- Dataset list

const ClassInfo& TvlxReportDataSet::StaticClass()
{
    using T = TvlxReportDataSet;
    static const ClassInfo info = DescribeClass<T, Persistent>(u"TvlxReportDataSet")
                                      .Prop<&T::DataSetName, &T::SetDataSetName>(u"DataSetName")
                                      .Build();
    return info;
}

void TvlxReportDataSet::SetDataSetName(const String& name)
{
    FDataSetName = name;
}

TvlxReportDataSet& TvlxReportDataSets::Add()
{
    FItems.push_back(std::make_unique<TvlxReportDataSet>(&FReport));
    return *FItems.back();
}

TvlxReportDataSet* TvlxReportDataSets::Find(StringView) const
{
    return nullptr;
}

// ---- Report

void TvlxReport::SetDataSetName(const String& name)
{
    FDataSetName = name;
}

void TvlxReport::CheckDatasets()
{
    for (size_t i = 0; i < FDataSets.Count(); ++i) {
        const TvlxReportDataSet& item = FDataSets.Item(i);
        if (!item.HasDataSet())
            FErrors.Add(Format(ResourceText(u"clDSNotExist"), {item.DataSetName()}));
    }
}

TvlxDataSet* TvlxReport::GetDataset(StringView) const
{
    return nullptr;
}

void TvlxReport::GetDatasetAndField(StringView complexName,
                                    TvlxDataSet*& dataset,
                                    String& field) const
{
    dataset = nullptr;
    field.clear();
    const size_t at = complexName.find(u".\"");
    if (at == StringView::npos) return;
    dataset = GetDataset(complexName.substr(0, at));
    StringView rest = complexName.substr(at + 2);
    if (!rest.empty()) rest.remove_suffix(1);
    field = String(rest);
}

String TvlxReport::GetAlias(const TvlxDataSet* dataset) const
{
    if (dataset == nullptr) return {};
    return ResourceText(u"clDSNotIncl");
}

std::vector<TvlxDataSet*> TvlxReport::GetDataSetList(bool) const
{
    return {};
}

std::vector<TvlxDataSet*> TvlxReport::GetActiveDataSetList() const
{
    return GetDataSetList();
}

bool TvlxReport::ReadField(StringView, StringView, Variant&, Variant&)
{
    return false;
}

} // namespace vl
