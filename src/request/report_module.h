// The data module of one run: it holds the report, the PDF export filter and the add-in
// registrations under fixed names, registers each request table under its own name as a
// dataset adapter, links master and detail tables, and exports the report.
//
// Contract:
// - The module is the naming scope of its components: names compare without case and are
//   unique, so a table cannot take the name of a fixed component ("vlxReport1", "PDFExport" ...)
//   or of another table. The report is one of its components, so a template finds the tables by
//   name through the report's owner, and also as "ReportGenerator.<table>".
// - The module owns the adapters, the report and the data sources of the links; it does not own
//   the tables, which may go before or after it.
// - While it lives the module is registered process-wide under its name "ReportGenerator".
#pragma once

#include "base/stream.h"
#include "model/report.h"
#include "pdf/pdf_export.h"
#include "platform/component/component.h"
#include "platform/table/client_data_set.h"
#include "request/dataset_adapter.h"

#include <memory>
#include <vector>

namespace vl {

class TReportGenerator : public Component
{
public:
    TReportGenerator();
    ~TReportGenerator() override;

    TvlxReport& vlxReport1() const { return *FReport; }
    // The filter with the module's stored settings: embedded fonts, quality 100, author
    // "Vellum", subject "Vellum PDF export", printing, changing, copying and annotating allowed,
    // no passwords, no dialogs, viewer defaults.
    TvlxPDFExport& PDFExport() const { return *FPDFExport; }

    // Registers `table` under `name`: a new TvlxDBDataset named `name` (so also its UserName)
    // reading `table`. Throws Exception for a name that is no identifier ("'%s' is not a valid
    // component name") or that the module already holds ("A component named %s already
    // exists"); nothing is registered then.
    TvlxDBDataset& DodajTablicu(TClientDataSet* table, const String& name);

    // The table adapter named `name` (without case), or nullptr; other components do not count.
    TvlxDBDataset* FindTableAdapter(StringView name) const;

    // Makes the table of `detail` follow the table of `master`: indexed by `detailField` and
    // "__id", showing the rows whose `detailField` values equal `masterField` of the master's
    // current record. Several fields are separated by ";". Throws Exception
    // ("Datamodul za izvještaj nema tablicu mastera '%s'" / "... detalja '%s'") for a name that
    // is no table, and the table's EDatabaseError for bad fields or a circular link; nothing is
    // linked then.
    void Mapiraj(const String& master,
                 const String& masterField,
                 const String& detailField,
                 const String& detail);

    // Prepares the report and writes it as PDF into `output`; the filter writes into `output`
    // only during the call.
    void Export2PDF(Stream& output);

private:
    std::vector<std::unique_ptr<TDataSource>> FDataSources;
    std::unique_ptr<TvlxPDFExport> FPDFExport;
    std::unique_ptr<TvlxReport> FReport;
    // Destroyed first: an adapter may read through a data source above.
    std::vector<std::unique_ptr<TvlxDBDataset>> FTableAdapters;
};

// The data module registered under `name` (without case), or nullptr.
TReportGenerator* FindReportGenerator(StringView name);

} // namespace vl
