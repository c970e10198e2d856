// The report: root of a template's object tree and the object the request pipeline drives.
//
// Contract:
// - The report owns its pages (children), its dataset list, variables, options, its script with
//   the expression machinery, and the band engine (through the TvlxCustomEngine seam). Dataset
//   adapters are not owned: the dataset list refers to them by ComponentLink.
// - Problems met while loading and preparing are collected in Errors() (sorted, each text once,
//   compared without case) and reported together at the end of the operation, as
//   EngineOptions.NewSilentMode says: raised as one Exception (simReThrow, the generator's
//   mode), dropped (simSilent), or shown (simMessageBoxes: nobody to show them to, so dropped).
// - Loading a template starts from Clear(): pages, datasets, variables and most options go. The
//   engine options that belong to the program rather than the template (memory, silent mode,
//   temporary files) survive a load; see LoadFromStream.
// - PrepareReport saves the template before the run and reloads it afterwards (DestroyForms), so
//   a script or the engine may change template objects freely; prepared pages hold copies.
// - Templates that need a user (a report password) or another file (ParentReport) are refused
//   with a clear message: this program runs unattended on one template.
#pragma once

#include "base/stream.h"
#include "model/component.h"
#include "model/custom_engine.h"
#include "model/report_options.h"
#include "model/styles.h"
#include "model/view.h"
#include "platform/component/string_list.h"
#include "script/report_evaluator.h"
#include "script/script.h"
#include "template/report_variables.h"
#include "template/xml_serializer.h"

#include <memory>
#include <span>
#include <vector>

namespace vl {

class TvlxDataSet;
class TvlxPreviewPages;

// The report's error list: kept sorted without regard to case; a text already present (without
// case) is not added again, so a failing expression met in every row is listed once.
class TvlxErrorList
{
public:
    void Add(const String& text);
    void Clear() { FLines.clear(); }
    bool Empty() const { return FLines.empty(); }
    size_t Count() const { return FLines.size(); }
    const std::vector<String>& Lines() const { return FLines; }
    // The lines joined with CR LF after every line.
    String Text() const;

private:
    std::vector<String> FLines;
};

// One entry of the report's dataset list: a dataset the template declares, by reference and
// by name. DataSetName resolves by user name when it is assigned.
class TvlxReportDataSet : public Persistent
{
public:
    explicit TvlxReportDataSet(TvlxComponent* report = nullptr)
        : FReport(report)
    {}

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    TvlxDataSet* DataSet() const;
    void SetDataSet(TvlxDataSet* value);
    bool HasDataSet() const { return FDataSet.Target() != nullptr; }
    const String& DataSetName() const { return FDataSetName; }
    // Stores the name and binds the dataset of that user name (a failed lookup keeps the
    // previous binding).
    void SetDataSetName(const String& name);

private:
    TvlxComponent* FReport;
    ComponentLink<TvlxDataSet> FDataSet;
    String FDataSetName;
};

// The template's dataset list, in template order.
class TvlxReportDataSets
{
public:
    explicit TvlxReportDataSets(TvlxComponent& report)
        : FReport(report)
    {}

    size_t Count() const { return FItems.size(); }
    TvlxReportDataSet& Item(size_t index) const { return *FItems[index]; }
    TvlxReportDataSet& Add();
    void Clear() { FItems.clear(); }
    // The first item whose dataset has this user name (without case), or nullptr.
    TvlxReportDataSet* Find(StringView userName) const;

private:
    TvlxComponent& FReport;
    std::vector<std::unique_ptr<TvlxReportDataSet>> FItems;
};

class TvlxReport : public TvlxComponent,
                   public CustomPropData,
                   public TsbReportHost,
                   public TvlxViewHost
{
public:
    TvlxReport();
    ~TvlxReport() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsReport() const override { return true; }

    // ---- Members
    TvlxErrorList& Errors() { return FErrors; }
    TvlxReportDataSets& DataSets() { return FDataSets; }
    TvlxVariables& Variables() { return FVariables; }
    TsbScript& Script() { return FScript; }
    TsbReportEvaluator& Evaluator() { return FEvaluator; }
    TvlxEngineOptions& EngineOptions() { return FEngineOptions; }
    TvlxReportOptions& ReportOptions() { return FReportOptions; }
    TvlxPreviewOptions& PreviewOptions() { return FPreviewOptions; }
    TvlxPrintOptions& PrintOptions() { return FPrintOptions; }
    // "Date", "Time", "Page", "Page#", "TotalPages", "TotalPages#", "Line", "Line#", "CopyName#".
    const StringList& SysVariables() const { return FSysVariables; }

    // The prepared-page store: owned; the engine fills it, the export walks it.
    TvlxPreviewPages& PreviewPages() const { return *FPreviewPages; }
    // The band engine: owned; the report starts with the band engine over its store, and a
    // host or test may put another in its place (nullptr: none).
    TvlxCustomEngine* Engine() const { return FEngine.get(); }
    void SetEngine(std::unique_ptr<TvlxCustomEngine> engine);

    // ---- Published properties
    // Always "4.15.13": templates cannot change it.
    String Version() const { return String(u"4.15.13"); }
    void SetVersion(const String&) {}
    const String& ParentReport() const { return FParentReport; }
    // Empty clears the inherited mark of every object; a name is refused (Exception).
    void SetParentReport(const String& name);
    TvlxDataSet* DataSet() const;
    void SetDataSet(TvlxDataSet* value);
    const String& DataSetName() const { return FDataSetName; }
    void SetDataSetName(const String& name);
    const String& ScriptLanguage() const { return FScriptLanguage; }
    void SetScriptLanguage(const String& language) { FScriptLanguage = language; }
    StringList& ScriptText() { return FScriptText; }

    bool DotMatrixReport = false;
    String IniFile = u"\\Software\\Vellum Reports";
    bool OldStyleProgress = false;
    bool ShowProgress = true;
    bool StoreInDFM = true;
    String OnStartReport;
    String OnStopReport;
    String OnRunDialogs;

    // ---- Run state
    // Name of the object whose expressions are being evaluated ("" for none); error texts
    // found while it is set start with it and ": ".
    String FCurObject;
    // Set while PrepareReport reloads its saved template (no password question then).
    bool FReloading = false;
    bool Terminated() const { return FTerminated; }
    // True also ends the running script program.
    void SetTerminated(bool value);

    // ---- Operations
    // Frees pages and objects, empties datasets and variables, and resets the properties and
    // options a template sets (engine options only partly, see TvlxEngineOptions::Clear).
    void Clear() override;

    // Loads a template: Clear, read, make sure of a data page, restore the kept options, then
    // report collected errors by NewSilentMode. Throws Exception with the combined text under
    // simReThrow.
    void LoadFromStream(Stream& stream);
    // Writes the report (with its children) as template XML.
    void SaveToStream(Stream& stream, bool saveChildren = true, bool saveDefaultValues = false);

    // Creates the data page (named "Data", or a free name) in first place when there is none,
    // and moves non-visual components onto it.
    void CheckDataPage();

    // Evaluates an expression (see TsbReportEvaluator::Calc).
    Variant Calc(StringView expr, TsbScript* script = nullptr);

    // The first dataset of the list with this user name (without case), or nullptr.
    TvlxDataSet* GetDataset(StringView alias) const;
    // The dataset a data-bound property named `name` resolves to: with UseGlobalDataSetList the
    // process-wide list (adapters of other reports left out), else this list; `previous` when
    // nothing matches, nullptr for an empty name.
    TvlxDataSet* FindDataSet(TvlxDataSet* previous, StringView name) const;
    // Splits `Dataset."Field"` at the first full stop followed by a double quote; the field is
    // the rest less its last character. Without such a pair both are empty / nullptr.
    void GetDatasetAndField(StringView complexName, TvlxDataSet*& dataset, String& field) const;
    // The dataset's user name when it is in the list, "(dataset is not included in
    // Report.DataSets)" when not, empty for nullptr.
    String GetAlias(const TvlxDataSet* dataset) const;
    // The datasets of the list (that have one), leaving out user-defined ones when onlyDB.
    std::vector<TvlxDataSet*> GetDataSetList(bool onlyDB = false) const;
    // The process-wide list with UseGlobalDataSetList, else the enabled datasets of the list.
    std::vector<TvlxDataSet*> GetActiveDataSetList() const;

    // Calls script procedure `eventName` with `obj` when the name is set and the engine runs
    // (or runAlways).
    void DoNotifyEvent(const Persistent* obj, StringView eventName, bool runAlways = false);
    void DoParamEvent(StringView eventName, std::span<Variant> params, bool runAlways = false);
    // The object's OnBeforePrint / OnAfterPrint procedure.
    void DoBeforePrint(TvlxReportComponent& c);
    void DoAfterPrint(TvlxReportComponent& c);

    // Compiles the report script with the report's objects, "Report", "Engine", "Outline" and
    // the report functions; a compile error goes to Errors ("Script error at %s: %s") and
    // gives False.
    bool PrepareScript();
    // Checks datasets, runs the script and the engine, puts the template back, and reports the
    // errors by NewSilentMode. True on success.
    bool PrepareReport(bool clearLastReport = true);

    // ---- TsbReportHost
    bool
    ReadField(StringView dataset, StringView field, Variant& value, Variant& typeDefault) override;
    Variant SystemValue(TsbSystemVariable variable) override;
    bool ReportVariable(StringView name, Variant& value) override;
    bool GlobalVariable(StringView name, Variant& value) override;
    void SetReportVariable(StringView name, const Variant& value) override;
    Variant
    Aggregate(StringView name, StringView expression, const Variant& band, int64_t flags) override;
    void AddError(const String& text) override { FErrors.Add(text); }
    String CurrentObjectName() override { return FCurObject; }
    bool ConvertNulls() override { return FEngineOptions.ConvertNulls; }
    bool IgnoreDevByZero() override { return FEngineOptions.IgnoreDevByZero; }
    bool CaseSensitiveExpressions() override { return false; }

    // ---- TvlxViewHost
    // The view whose hooks run now becomes the script's Self and names its expressions' errors.
    void SetCurrentView(TvlxView* view) override;
    Variant CalcExpression(StringView expression) override { return Calc(expression); }
    void SetCurrentValue(const Variant& value) override { FEvaluator.SetValue(value); }
    TvlxStyles* Styles() override { return &FStyles; }
    // A changed picture's image goes to the prepared-page store once; its rows refer to it.
    int32_t StorePicture(TvlxPictureView& view) override;

    // ---- CustomPropData: "Datasets", "Variables" and "Style" lists
    bool
    ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer& serializer) override;
    void WriteCustomProps(PropDataWriter& writer) const override;

private:
    void ResetProperties();
    void FillSysVariables();
    // LoadFromStream without reporting the errors.
    void LoadTemplate(Stream& stream);
    // Clear + read under the template-reading lock; errors go to Errors.
    void ReadTemplate(Stream& stream);
    void CheckDatasets();
    // Steps 4-6 of a preparation: the script and the engine run.
    bool RunReport();
    // Raises, drops or "shows" the combined error text; False when there were errors.
    bool ReportErrors();

    TvlxErrorList FErrors;
    TvlxReportDataSets FDataSets;
    TvlxVariables FVariables;
    TvlxStyles FStyles;
    TvlxEngineOptions FEngineOptions;
    TvlxReportOptions FReportOptions;
    TvlxPreviewOptions FPreviewOptions;
    TvlxPrintOptions FPrintOptions;
    StringList FSysVariables;
    TsbScript FScript;
    TsbReportEvaluator FEvaluator;
    // Declared before the engine, which refers to it until it goes.
    std::unique_ptr<TvlxPreviewPages> FPreviewPages;
    std::unique_ptr<TvlxCustomEngine> FEngine;
    String FParentReport;
    ComponentLink<TvlxDataSet> FDataSet;
    String FDataSetName;
    String FScriptLanguage = u"PascalScript";
    StringList FScriptText;
    bool FTerminated = false;
};

// The combined text of an error list: "The following error(s) have occured:", CR LF, and each
// line followed by CR LF.
String CombinedErrorText(const TvlxErrorList& errors);

} // namespace vl
