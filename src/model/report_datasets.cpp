// The report's dataset list and the dataset side of name resolution.
#include "base/format.h"
#include "model/report.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"

namespace vl {

// ---- Dataset list

const ClassInfo& TvlxReportDataSet::StaticClass()
{
    using T = TvlxReportDataSet;
    static const ClassInfo info = DescribeClass<T, Persistent>(u"TvlxReportDataSet")
                                      .Prop<&T::DataSet, &T::SetDataSet>(u"DataSet")
                                      .Prop<&T::DataSetName, &T::SetDataSetName>(u"DataSetName")
                                      .Build();
    return info;
}

TvlxDataSet* TvlxReportDataSet::DataSet() const
{
    return FDataSet.Get();
}

void TvlxReportDataSet::SetDataSet(TvlxDataSet* value)
{
    FDataSet.Set(value);
}

void TvlxReportDataSet::SetDataSetName(const String& name)
{
    FDataSetName = name;
    FDataSet.Set(FindDataSetByUserName(name, FReport, FDataSet.Get()));
}

TvlxReportDataSet& TvlxReportDataSets::Add()
{
    FItems.push_back(std::make_unique<TvlxReportDataSet>(&FReport));
    return *FItems.back();
}

TvlxReportDataSet* TvlxReportDataSets::Find(StringView userName) const
{
    for (const auto& item : FItems) {
        const TvlxDataSet* d = item->DataSet();
        if (d != nullptr && SameText(d->UserName(), userName)) return item.get();
    }
    return nullptr;
}

// ---- Report

TvlxDataSet* TvlxReport::DataSet() const
{
    return FDataSet.Get();
}

void TvlxReport::SetDataSet(TvlxDataSet* value)
{
    FDataSet.Set(value);
}

void TvlxReport::SetDataSetName(const String& name)
{
    FDataSetName = name;
    FDataSet.Set(FindDataSet(FDataSet.Get(), name));
}

TvlxDataSet* TvlxReport::FindDataSet(TvlxDataSet* previous, StringView name) const
{
    if (FEngineOptions.UseGlobalDataSetList) return FindDataSetByUserName(name, this, previous);
    if (name.empty()) return nullptr;
    const TvlxReportDataSet* item = FDataSets.Find(name);
    return item != nullptr ? item->DataSet() : previous;
}

void TvlxReport::CheckDatasets()
{
    for (size_t i = 0; i < FDataSets.Count(); ++i) {
        const TvlxReportDataSet& item = FDataSets.Item(i);
        if (TvlxDataSet* d = item.DataSet())
            d->SetReportRef(this); // its field errors go to this report's list
        else
            FErrors.Add(Format(ResourceText(u"clDSNotExist"), {item.DataSetName()}));
    }
}

TvlxDataSet* TvlxReport::GetDataset(StringView alias) const
{
    const TvlxReportDataSet* item = FDataSets.Find(alias);
    return item != nullptr ? item->DataSet() : nullptr;
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
    for (size_t i = 0; i < FDataSets.Count(); ++i)
        if (FDataSets.Item(i).DataSet() == dataset) return dataset->UserName();
    return ResourceText(u"clDSNotIncl");
}

std::vector<TvlxDataSet*> TvlxReport::GetDataSetList(bool onlyDB) const
{
    std::vector<TvlxDataSet*> list;
    for (size_t i = 0; i < FDataSets.Count(); ++i) {
        TvlxDataSet* d = FDataSets.Item(i).DataSet();
        if (d == nullptr) continue;
        if (onlyDB && dynamic_cast<TvlxUserDataSet*>(d) != nullptr) continue;
        list.push_back(d);
    }
    return list;
}

std::vector<TvlxDataSet*> TvlxReport::GetActiveDataSetList() const
{
    if (FEngineOptions.UseGlobalDataSetList) return GlobalDataSets();
    std::vector<TvlxDataSet*> list;
    for (TvlxDataSet* d : GetDataSetList())
        if (d->Enabled()) list.push_back(d);
    return list;
}

bool TvlxReport::ReadField(StringView dataset,
                           StringView field,
                           Variant& value,
                           Variant& typeDefault)
{
    TvlxDataSet* d = GetDataset(dataset);
    if (d == nullptr) return false;
    if (d->ReportRef() == nullptr) d->SetReportRef(this);
    value = d->FieldValue(field);
    switch (d->FieldCategory(field)) {
    case TvlxFieldCategory::Text:
        typeDefault = Variant(String());
        break;
    case TvlxFieldCategory::Boolean:
        typeDefault = Variant(false);
        break;
    case TvlxFieldCategory::Numeric:
        typeDefault = Variant(int32_t(0));
        break;
    }
    return true;
}

} // namespace vl
