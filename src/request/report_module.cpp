// The data module: fixed components, table registration, master/detail links and the export.
#include "request/report_module.h"

#include "base/exception.h"
#include "base/format.h"
#include "layout/preview_pages.h"
#include "platform/component/class_registry.h"

#include <algorithm>
#include <array>

namespace vl {

namespace {

std::vector<TReportGenerator*>& DataModules()
{
    static std::vector<TReportGenerator*> list;
    return list;
}

// Components that make add-in objects available to templates. Their classes register
// themselves; here they only hold their names in the module's scope.
constexpr std::array<StringView, 7> AddInComponentNames{u"vlxChartObject1",
                                                        u"vlxBarCodeObject1",
                                                        u"vlxRichObject1",
                                                        u"vlxCrossObject1",
                                                        u"vlxCheckBoxObject1",
                                                        u"vlxGradientObject1",
                                                        u"vlxDialogControls1"};

// The filter's settings as the module stores them; the rest keep the filter's defaults.
void ApplyStoredSettings(TvlxPDFExport& filter)
{
    filter.SetShowDialog(false);
    filter.SetUseFileCache(true);
    filter.SetShowProgress(false);
    filter.SetOverwritePrompt(false);
    filter.SetDataOnly(false);
    filter.SetEmbeddedFonts(true);
    filter.SetPrintOptimized(false);
    filter.SetOutline(false);
    filter.SetBackground(false);
    filter.SetHTMLTags(true);
    filter.SetQuality(100);
    filter.SetAuthor(u"Vellum");
    filter.SetSubject(u"Vellum PDF export");
    filter.SetProtectionFlags({TvlxPDFEncBits::ePrint,
                               TvlxPDFEncBits::eModify,
                               TvlxPDFEncBits::eCopy,
                               TvlxPDFEncBits::eAnnot});
    filter.SetHideToolbar(false);
    filter.SetHideMenubar(false);
    filter.SetHideWindowUI(false);
    filter.SetFitWindow(false);
    filter.SetCenterWindow(false);
    filter.SetPrintScaling(false);
    filter.SetCheckboxAsShape(false);
    filter.SetUserPassword({});
    filter.SetOwnerPassword({});
}

} // namespace

TReportGenerator::TReportGenerator()
{
    RegisterDataClasses(ClassRegistry::Global());
    SetName(u"ReportGenerator");

    FReport = std::make_unique<TvlxReport>();
    InsertComponent(FReport.get());
    FReport->SetName(u"vlxReport1");
    // The report's stored settings: preparation errors end the run.
    FReport->EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
    FReport->ShowProgress = false;

    FPDFExport = std::make_unique<TvlxPDFExport>();
    InsertComponent(FPDFExport.get());
    FPDFExport->SetName(u"PDFExport");
    ApplyStoredSettings(*FPDFExport);
    for (StringView name : AddInComponentNames) {
        auto addIn = std::make_unique<Component>();
        addIn->SetName(String(name));
        InsertOwned(std::move(addIn));
    }
    DataModules().push_back(this);
}

TReportGenerator::~TReportGenerator()
{
    std::erase(DataModules(), this);
    FTableAdapters.clear();
    FReport.reset();
    FPDFExport.reset();
}

TvlxDBDataset& TReportGenerator::DodajTablicu(TClientDataSet* table, const String& name)
{
    CheckComponentName(name);
    auto adapter = std::make_unique<TvlxDBDataset>();
    InsertComponent(adapter.get());
    // Any failure below destroys the new adapter, which leaves the scope with it.
    adapter->SetName(name);
    adapter->SetDataSet(table);
    FTableAdapters.push_back(std::move(adapter));
    return *FTableAdapters.back();
}

TvlxDBDataset* TReportGenerator::FindTableAdapter(StringView name) const
{
    return dynamic_cast<TvlxDBDataset*>(FindComponent(name));
}

void TReportGenerator::Mapiraj(const String& master,
                               const String& masterField,
                               const String& detailField,
                               const String& detail)
{
    TvlxDBDataset* masterAdapter = FindTableAdapter(master);
    if (masterAdapter == nullptr)
        throw Exception(Format(u"Datamodul za izvještaj nema tablicu mastera '%s'", {master}));
    TvlxDBDataset* detailAdapter = FindTableAdapter(detail);
    if (detailAdapter == nullptr)
        throw Exception(Format(u"Datamodul za izvještaj nema tablicu detalja '%s'", {detail}));
    TClientDataSet* detailTable = detailAdapter->GetDataSet();
    if (detailTable == nullptr)
        throw Exception(Format(u"DataSet %s is not connected to data", {detailAdapter->Name()}));

    auto source = std::make_unique<TDataSource>(masterAdapter->GetDataSet());
    detailTable->SetIndexFieldNames(detailField + u";__id");
    detailTable->SetMasterFields(masterField);
    detailTable->SetMasterSource(source.get());
    detailTable->SetPacketRecords(0);
    FDataSources.push_back(std::move(source));
}

void TReportGenerator::Export2PDF(Stream& output)
{
    // The filter holds the stream for this call only, whatever happens.
    struct StreamAttachment
    {
        TvlxPDFExport& Filter;
        ~StreamAttachment() { Filter.SetStream(nullptr); }
    } attachment{*FPDFExport};
    FPDFExport->SetStream(&output);
    FReport->PrepareReport(true);
    FReport->PreviewPages().Export(*FPDFExport);
}

TReportGenerator* FindReportGenerator(StringView name)
{
    for (TReportGenerator* module : DataModules())
        if (SameText(module->Name(), name)) return module;
    return nullptr;
}

} // namespace vl
