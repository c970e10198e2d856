// The export filter base and the process-wide list of filters.
#include "pdf/export_filter.h"

#include "platform/component/class_builder.h"

#include <algorithm>

namespace vl {

TvlxCustomExportFilter::TvlxCustomExportFilter()
    : FRegistered(true)
{
    TvlxExportFilterCollection::Global().Add(this);
}

TvlxCustomExportFilter::TvlxCustomExportFilter(NoRegister) {}

TvlxCustomExportFilter::~TvlxCustomExportFilter()
{
    if (FRegistered) TvlxExportFilterCollection::Global().Remove(this);
}

const ClassInfo& TvlxCustomExportFilter::StaticClass()
{
    using F = TvlxCustomExportFilter;
    static const ClassInfo info =
        DescribeClass<F, Component>(u"TvlxCustomExportFilter")
            .Prop<&F::ShowDialog, &F::SetShowDialog>(u"ShowDialog", true)
            .Prop<&F::FileName, &F::SetFileName>(u"FileName")
            .Prop<&F::ExportNotPrintable, &F::SetExportNotPrintable>(u"ExportNotPrintable", false)
            .Prop<&F::UseFileCache, &F::SetUseFileCache>(u"UseFileCache")
            .Prop<&F::DefaultPath, &F::SetDefaultPath>(u"DefaultPath")
            .Prop<&F::ShowProgress, &F::SetShowProgress>(u"ShowProgress")
            .Prop<&F::OverwritePrompt, &F::SetOverwritePrompt>(u"OverwritePrompt", false)
            .Prop<&F::CreationTime, &F::SetCreationTime>(u"CreationTime")
            .Prop<&F::DataOnly, &F::SetDataOnly>(u"DataOnly")
            .Prop<&F::OnBeginExport, &F::SetOnBeginExport>(u"OnBeginExport")
            .Build();
    return info;
}

TvlxExportFilterCollection& TvlxExportFilterCollection::Global()
{
    static TvlxExportFilterCollection collection;
    return collection;
}

void TvlxExportFilterCollection::Remove(TvlxCustomExportFilter* filter)
{
    FFilters.erase(std::remove(FFilters.begin(), FFilters.end(), filter), FFilters.end());
}

} // namespace vl
