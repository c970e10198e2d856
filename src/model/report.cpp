// The report object: properties, members, clearing, the evaluator's host side and script events.
#include "model/report.h"

#include "base/exception.h"
#include "engine/engine.h"
#include "layout/preview_pages.h"
#include "model/picture_view.h"
#include "model/resources.h"
#include "model/script_classes.h"
#include "platform/component/class_builder.h"
#include "platform/unicode/text_case.h"
#include "request/dataset_adapter.h"

#include <algorithm>
#include <array>

namespace vl {

namespace {

constexpr std::array<StringView, 9> SysVariableNames{u"Date",
                                                     u"Time",
                                                     u"Page",
                                                     u"Page#",
                                                     u"TotalPages",
                                                     u"TotalPages#",
                                                     u"Line",
                                                     u"Line#",
                                                     u"CopyName#"};

const std::vector<String>& DefaultScriptLines()
{
    static const std::vector<String> lines{u"begin", u"", u"end."};
    return lines;
}

// Script objects are Persistent pointers; a class name matches the object's class or a base.
bool IsInstanceOf(void*, const void* object, StringView className)
{
    const auto* p = static_cast<const Persistent*>(object);
    for (const ClassInfo* c = &p->ClassType(); c != nullptr; c = c->Parent())
        if (SameText(c->Name(), className)) return true;
    return false;
}

} // namespace

// ---- Error list

void TvlxErrorList::Add(const String& text)
{
    auto less = [](const String& a, const String& b) { return CompareText(a, b) < 0; };
    auto at = std::lower_bound(FLines.begin(), FLines.end(), text, less);
    if (at != FLines.end() && SameText(*at, text)) return;
    FLines.insert(at, text);
}

String TvlxErrorList::Text() const
{
    String text;
    for (const String& line : FLines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

String CombinedErrorText(const TvlxErrorList& errors)
{
    return ResourceText(u"clErrors") + u"\r\n" + errors.Text();
}

// ---- Report

const ClassInfo& TvlxReport::StaticClass()
{
    using T = TvlxReport;
    static const ClassInfo info =
        DescribeClass<T, TvlxComponent>(u"TvlxReport")
            .Prop<&T::Version, &T::SetVersion>(u"Version")
            .Prop<&T::ParentReport, &T::SetParentReport>(u"ParentReport")
            .Prop<&T::DataSet, &T::SetDataSet>(u"DataSet")
            .Prop<&T::DataSetName, &T::SetDataSetName>(u"DataSetName")
            .Prop<&T::DotMatrixReport>(u"DotMatrixReport", false)
            .Prop<&T::FEngineOptions>(u"EngineOptions")
            .Prop<&T::IniFile>(u"IniFile")
            .Prop<&T::OldStyleProgress>(u"OldStyleProgress", false)
            .Prop<&T::ShowProgress>(u"ShowProgress", true)
            .Prop<&T::FPreviewOptions>(u"PreviewOptions")
            .Prop<&T::FPrintOptions>(u"PrintOptions")
            .Prop<&T::FReportOptions>(u"ReportOptions")
            .Prop<&T::ScriptLanguage, &T::SetScriptLanguage>(u"ScriptLanguage")
            .Prop<&T::FScriptText>(u"ScriptText")
            .Prop<&T::StoreInDFM>(u"StoreInDFM", true)
            .Prop<&T::OnRunDialogs>(u"OnRunDialogs")
            .Prop<&T::OnStartReport>(u"OnStartReport")
            .Prop<&T::OnStopReport>(u"OnStopReport")
            .Build();
    return info;
}

TvlxReport::TvlxReport()
    : FDataSets(*this)
    , FEvaluator(*this, FScript)
    , FPreviewPages(std::make_unique<TvlxPreviewPages>(this))
    , FEngine(std::make_unique<TvlxEngine>(*this, *FPreviewPages))
{
    FScript.SetInstanceOf(IsInstanceOf, nullptr);
    FScript.SetHostObject(static_cast<const void*>(this));
    // The function library, the report classes and constants (registration modules).
    RegisterReportScriptModule();
    FScript.AddRTTI();
    Clear();
}

TvlxReport::~TvlxReport()
{
    // Pages go before the members their objects may still refer to.
    TvlxComponent::Clear();
}

void TvlxReport::SetEngine(std::unique_ptr<TvlxCustomEngine> engine)
{
    FEngine = std::move(engine);
}

void TvlxReport::SetParentReport(const String& name)
{
    if (!name.empty())
        throw Exception(u"Templates that inherit from a parent template (ParentReport \"" + name +
                        u"\") are not supported");
    FParentReport.clear();
    IsAncestor = false;
    for (TvlxComponent* c : AllObjects())
        c->IsAncestor = false;
}

void TvlxReport::SetTerminated(bool value)
{
    FTerminated = value;
    // A running program stops at its next statement.
    if (value && FScript.ProgRunning() != nullptr) FScript.Flags().Exit = true;
}

void TvlxReport::Clear()
{
    TvlxComponent::Clear();
    FDataSets.Clear();
    FVariables.Clear();
    FStyles.Clear();
    FEngineOptions.Clear();
    FPreviewOptions.Clear();
    FPrintOptions.Clear();
    FReportOptions.Clear();
    ResetProperties();
    FillSysVariables();
}

void TvlxReport::ResetProperties()
{
    FDataSet.Set(nullptr);
    FDataSetName.clear();
    DotMatrixReport = false;
    FParentReport.clear();
    FScriptLanguage = u"PascalScript";
    FScriptText.SetLines(DefaultScriptLines());
    OnRunDialogs.clear();
    OnStartReport.clear();
    OnStopReport.clear();
}

void TvlxReport::FillSysVariables()
{
    FSysVariables.Clear();
    for (StringView name : SysVariableNames)
        FSysVariables.Add(String(name));
}

void TvlxReport::SetCurrentView(TvlxView* view)
{
    FEvaluator.SetSelf(static_cast<const Persistent*>(view));
    FCurObject = view != nullptr ? view->Name() : String();
}

int32_t TvlxReport::StorePicture(TvlxPictureView& view)
{
    return FPreviewPages->AddPicture(view);
}

Variant TvlxReport::Calc(StringView expr, TsbScript* script)
{
    return FEvaluator.Calc(expr, script);
}

// ---- Script events

void TvlxReport::DoNotifyEvent(const Persistent* obj, StringView eventName, bool runAlways)
{
    if (eventName.empty()) return;
    if (!runAlways && !(FEngine && FEngine->Running())) return;
    Variant args[1] = {Variant::FromObject(obj)};
    FScript.DoEvent(eventName, args);
}

void TvlxReport::DoParamEvent(StringView eventName, std::span<Variant> params, bool runAlways)
{
    if (eventName.empty()) return;
    if (!runAlways && !(FEngine && FEngine->Running())) return;
    FScript.DoEvent(eventName, params);
}

void TvlxReport::DoBeforePrint(TvlxReportComponent& c)
{
    DoNotifyEvent(&c, c.FOnBeforePrint);
}

void TvlxReport::DoAfterPrint(TvlxReportComponent& c)
{
    DoNotifyEvent(&c, c.FOnAfterPrint);
}

// ---- Evaluator host

Variant TvlxReport::SystemValue(TsbSystemVariable variable)
{
    if (variable == TsbSystemVariable::CopyName) return GlobalVariables().Value(u"CopyName0");
    const TvlxCustomEngine* e = FEngine.get();
    if (e == nullptr) return Variant(int32_t(0));
    switch (variable) {
    case TsbSystemVariable::Date:
        return Variant::FromDate(e->StartDate());
    case TsbSystemVariable::Time:
        return Variant::FromDate(e->StartTime());
    case TsbSystemVariable::Page:
        return Variant(e->LogicalPage());
    case TsbSystemVariable::PagePhysical:
        return Variant(e->PhysicalPage());
    case TsbSystemVariable::TotalPages:
        return Variant(e->LogicalTotalPages());
    case TsbSystemVariable::TotalPagesPhysical:
        return Variant(e->TotalPages());
    case TsbSystemVariable::Line:
        return Variant(e->CurLine());
    case TsbSystemVariable::LinePhysical:
        return Variant(e->CurLineThrough());
    case TsbSystemVariable::CopyName:
        break;
    }
    return Variant::Null();
}

bool TvlxReport::ReportVariable(StringView name, Variant& value)
{
    const int i = FVariables.IndexOf(name);
    if (i < 0) return false;
    value = FVariables.Item(size_t(i)).Value();
    return true;
}

bool TvlxReport::GlobalVariable(StringView name, Variant& value)
{
    const TvlxVariables& globals = GlobalVariables();
    const int i = globals.IndexOf(name);
    if (i < 0) return false;
    value = globals.Item(size_t(i)).Value();
    return true;
}

void TvlxReport::SetReportVariable(StringView name, const Variant& value)
{
    FVariables.SetValue(name, value);
}

Variant
TvlxReport::Aggregate(StringView name, StringView expression, const Variant& band, int64_t flags)
{
    // Aggregates are collected by the engine's run; without an engine there is nothing to give.
    if (!FEngine) return Variant::Null();
    return FEngine->GetAggregateValue(name, expression, band, flags);
}

} // namespace vl
