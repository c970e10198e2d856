// The export filter interface: what the prepared-page walk calls to turn pages into an output
// format, and the process-wide list of filters. The PDF writer (pdf_export.h) is the one filter
// this system has.
//
// Calling order, driven by the walk: Start; for each exported page StartPage, ExportObject for
// the page background and then every band and view, FinishPage; then Finish. Nothing else is
// called when Start returns false. Report objects reach a filter as TvlxComponent pointers; the
// filter owns none of them.
#pragma once

#include "base/stream.h"
#include "base/string.h"
#include "model/component.h"
#include "platform/component/component.h"

#include <vector>

namespace vl {

// The OK result of ShowModal.
inline constexpr int ModalResultOk = 1;

class TvlxCustomExportFilter : public Component
{
public:
    // Registers the filter in TvlxExportFilterCollection; the NoRegister form does not.
    TvlxCustomExportFilter();
    struct NoRegister
    {
    };
    explicit TvlxCustomExportFilter(NoRegister);
    ~TvlxCustomExportFilter() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // Display name of the format; empty for the base.
    virtual String GetDescription() const { return {}; }
    // The settings dialog is not part of this system: the result is always OK.
    virtual int ShowModal() { return ModalResultOk; }
    virtual bool Start() { return true; }
    virtual void ExportObject(TvlxComponent* obj) { (void)obj; }
    virtual void Finish() {}
    virtual void FinishPage(TvlxComponent* page, int index)
    {
        (void)page;
        (void)index;
    }
    virtual void StartPage(TvlxComponent* page, int index)
    {
        (void)page;
        (void)index;
    }

    // ---- Published settings
    bool ShowDialog() const { return FShowDialog; }
    void SetShowDialog(bool value) { FShowDialog = value; }
    const String& FileName() const { return FFileName; }
    void SetFileName(const String& value) { FFileName = value; }
    bool ExportNotPrintable() const { return FExportNotPrintable; }
    void SetExportNotPrintable(bool value) { FExportNotPrintable = value; }
    bool UseFileCache() const { return FUseFileCache; }
    void SetUseFileCache(bool value) { FUseFileCache = value; }
    const String& DefaultPath() const { return FDefaultPath; }
    void SetDefaultPath(const String& value) { FDefaultPath = value; }
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool value) { FShowProgress = value; }
    bool OverwritePrompt() const { return FOverwritePrompt; }
    void SetOverwritePrompt(bool value) { FOverwritePrompt = value; }
    double CreationTime() const { return FCreationTime; } // days since 30 December 1899
    void SetCreationTime(double value) { FCreationTime = value; }
    bool DataOnly() const { return FDataOnly; }
    void SetDataOnly(bool value) { FDataOnly = value; }
    // Name of the report script procedure run before the export starts.
    const String& OnBeginExport() const { return FOnBeginExport; }
    void SetOnBeginExport(const String& value) { FOnBeginExport = value; }

    // ---- State set by the caller and the walk (not published)
    // The caller's output; when set, no file is opened. Not owned.
    Stream* OutputStream() const { return FStream; }
    void SetStream(Stream* stream) { FStream = stream; }
    TvlxComponent* Report() const { return FReport.Get(); }
    void SetReport(TvlxComponent* report) { FReport = report; }
    // Page-range text ("1,3-5"); empty means every page.
    const String& PageNumbers() const { return FPageNumbers; }
    void SetPageNumbers(const String& value) { FPageNumbers = value; }
    bool CurPage = false;
    bool SuppressPageHeadersFooters = false;

private:
    bool FShowDialog = true;
    String FFileName;
    bool FExportNotPrintable = false;
    bool FUseFileCache = true;
    String FDefaultPath;
    bool FShowProgress = true;
    bool FOverwritePrompt = false;
    double FCreationTime = 0;
    bool FDataOnly = false;
    String FOnBeginExport;
    Stream* FStream = nullptr;
    ComponentLink<TvlxComponent> FReport;
    String FPageNumbers;
    bool FRegistered = false;
};

// The filters that exist in the process, in order of creation.
class TvlxExportFilterCollection
{
public:
    static TvlxExportFilterCollection& Global();
    const std::vector<TvlxCustomExportFilter*>& Filters() const { return FFilters; }
    void Add(TvlxCustomExportFilter* filter) { FFilters.push_back(filter); }
    void Remove(TvlxCustomExportFilter* filter);

private:
    std::vector<TvlxCustomExportFilter*> FFilters;
};

} // namespace vl
