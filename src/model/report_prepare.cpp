// Preparing the report: the dataset check, the script, the engine run, the template put back
// afterwards and the combined error at the end.
#include "base/exception.h"
#include "base/format.h"
#include "layout/preview_outline.h"
#include "model/picture_view.h"
#include "model/report.h"

namespace vl {

bool TvlxReport::PrepareScript()
{
    // The report's items carry the report as owner mark, the compiled program the script text.
    const void* programMark = &FScriptText;
    FScript.ClearItems(this);
    FScript.ClearItems(programMark);
    if (FEngine) FEngine->ClearNotifyList();

    FScript.SetOwnerMark(this);
    const std::vector<TvlxComponent*> all = AllObjects();
    for (TvlxComponent* c : all) {
        c->IsDesigning = false;
        c->BeforeStartReport();
        // The store is new for this run: every picture must reach it again, even one whose
        // image an earlier run already stored (a run without DestroyForms keeps the views).
        if (auto* picture = dynamic_cast<TvlxPictureView*>(c)) picture->FPictureChanged = true;
        if (!c->Name().empty())
            FScript.AddObject(c->Name(), static_cast<const Persistent*>(c), c->ClassType().Name());
    }
    FScript.AddObject(u"Report", static_cast<const Persistent*>(this), u"TvlxReport");
    // Every script object is a Persistent; the outline arrives as the store's TvlxCustomOutline.
    const Persistent* engine = FEngine ? FEngine->ScriptObject() : nullptr;
    const Persistent* outline =
        FEngine ? static_cast<const TvlxCustomOutline*>(FEngine->OutlineObject()) : nullptr;
    FScript.AddObject(u"Engine", engine, TvlxCustomEngine::StaticClass().Name());
    FScript.AddObject(u"Outline", outline, TvlxCustomOutline::StaticClass().Name());
    FScript.SetOwnerMark(nullptr);

    // Empties the expression cache and adds Value, Self, Get, Set and the macro functions.
    FEvaluator.PrepareScript(FScriptLanguage);

    FScript.SetLines(FScriptText.Text());
    FScript.SetSyntaxType(FScriptLanguage);
    FScript.SetOwnerMark(programMark);
    const bool compiled = FScript.Compile();
    FScript.SetOwnerMark(nullptr);
    if (!compiled) {
        FErrors.Add(Format(u"Script error at %s: %s", {FScript.ErrorPos(), FScript.ErrorMsg()}));
        return false;
    }
    return true;
}

bool TvlxReport::RunReport()
{
    if (!PrepareScript()) return false;
    if (FScript.HasStatements()) FScript.Execute();
    if (FTerminated) return false;
    if (!FEngine) throw Exception(u"The step \"band engine\" is not built yet");
    return FEngine->Run();
}

bool TvlxReport::PrepareReport(bool clearLastReport)
{
    if (clearLastReport && FEngine) FEngine->ClearPreparedPages();
    FErrors.Clear();
    FTerminated = false;
    bool result = false;

    CheckDatasets();
    if (FErrors.Empty()) {
        // The template is saved before the run and read back after it, so whatever the script
        // or the engine change in template objects is undone; prepared pages hold copies.
        const bool destroyForms = FEngineOptions.DestroyForms;
        String password;
        MemoryStream saved;
        if (destroyForms) {
            password = std::move(FReportOptions.Password);
            FReportOptions.Password.clear();
            SaveToStream(saved);
        }
        try {
            result = RunReport();
        } catch (const Exception& e) {
            FErrors.Add(e.Message());
            result = false;
        }
        if (destroyForms) {
            const TvlxErrorList errors = FErrors;
            saved.SetPosition(0);
            FReloading = true;
            struct Reloading
            {
                bool& Flag;
                ~Reloading() { Flag = false; }
            } reloading{FReloading};
            LoadTemplate(saved);
            FReportOptions.Password = std::move(password);
            FErrors = errors;
        }
    }
    if (!FErrors.Empty()) result = false;
    ReportErrors();
    return result;
}

} // namespace vl
