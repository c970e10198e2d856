// Calc, name resolution, Get and Set, and the report-level macro functions.
#include "script/report_evaluator.h"

#include "base/format.h"
#include "base/limits.h"
#include "platform/unicode/text_case.h"

#include <array>

namespace vl {

namespace {

// An error that Calc has already entered into the report's error list; an enclosing Calc (a
// report variable evaluated inside an expression) passes it on instead of entering it again.
class ECalcError : public Exception
{
public:
    using Exception::Exception;
};

struct SystemName
{
    StringView Name;
    TsbSystemVariable Variable;
};

constexpr std::array<SystemName, 9> SystemNames = {{
    {u"Date", TsbSystemVariable::Date},
    {u"Time", TsbSystemVariable::Time},
    {u"Page", TsbSystemVariable::Page},
    {u"Page#", TsbSystemVariable::PagePhysical},
    {u"TotalPages", TsbSystemVariable::TotalPages},
    {u"TotalPages#", TsbSystemVariable::TotalPagesPhysical},
    {u"Line", TsbSystemVariable::Line},
    {u"Line#", TsbSystemVariable::LinePhysical},
    {u"CopyName#", TsbSystemVariable::CopyName},
}};

String Trimmed(StringView text)
{
    while (!text.empty() && text.front() <= u' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() <= u' ')
        text.remove_suffix(1);
    return String(text);
}

TsbReportEvaluator& Self(TsbMethodCall& call)
{
    return *static_cast<TsbReportEvaluator*>(call.Context);
}

Variant GetProc(TsbMethodCall& call)
{
    const Variant& name = call.Args[0];
    return name.IsString() ? Self(call).Get(name.StringValue()) : Self(call).Get(name.ToText());
}

Variant SetProc(TsbMethodCall& call)
{
    Self(call).Host().SetReportVariable(call.Args[0].ToText(), call.Args[1]);
    return Variant::Null();
}

Variant IifProc(TsbMethodCall& call)
{
    TsbReportEvaluator& self = Self(call);
    try {
        const Variant condition = self.Calc(call.Args[0].ToText(), &call.Script);
        const bool chosen = condition.IsBoolean() && condition.BoolValue();
        return self.Calc(call.Args[chosen ? 1 : 2].ToText(), &call.Script);
    } catch (const ELimitExceeded&) {
        throw;
    } catch (const Exception&) {
        // IIF drops its errors on purpose: Calc has entered them into the error list already.
        return Variant::Null();
    }
}

// Band and Flags arguments: evaluated when not blank, otherwise 0.
Variant OptionalArgument(TsbReportEvaluator& self, const Variant& text, TsbScript& script)
{
    const String trimmed = Trimmed(text.ToText());
    return trimmed.empty() ? Variant(int32_t(0)) : self.Calc(trimmed, &script);
}

Variant AggregateProc(TsbMethodCall& call)
{
    TsbReportEvaluator& self = Self(call);
    const bool isCount = call.Name == u"COUNT";
    const size_t first = isCount ? 0 : 1;
    const String expr = isCount ? String() : call.Args[0].ToText();
    const Variant band = OptionalArgument(self, call.Args[first], call.Script);
    const Variant flags = OptionalArgument(self, call.Args[first + 1], call.Script);
    return self.Host().Aggregate(call.Name, expr, band, flags.ToInt64());
}

} // namespace

TsbReportEvaluator::TsbReportEvaluator(TsbReportHost& host, TsbScript& reportScript)
    : FHost(host)
    , FScript(reportScript)
{}

void TsbReportEvaluator::PrepareScript(StringView language, StringView selfClass)
{
    FCache.Clear(language);
    FScript.ClearItems(this);
    FScript.SetSyntaxType(String(language));
    const void* previousMark = nullptr;
    FScript.SetOwnerMark(this);
    FValueItem = &FScript.AddVariable(u"Value", u"Variant", Variant::Null());
    FSelfItem = &FScript.AddVariable(u"Self", selfClass, Variant::Null());
    FScript.AddMethod(u"function Get(Name: String): Variant", GetProc, this, u"ctOther");
    FScript.AddMethod(u"procedure Set(Name: String; Value: Variant)", SetProc, this, u"ctOther");
    FScript.AddMethod(u"macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
                      IifProc,
                      this,
                      u"ctOther");
    for (StringView name : {u"SUM", u"AVG", u"MIN", u"MAX"})
        FScript.AddMethod(u"macrofunction " + String(name) +
                              u"(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant",
                          AggregateProc,
                          this,
                          u"ctAggregate");
    FScript.AddMethod(u"macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant",
                      AggregateProc,
                      this,
                      u"ctAggregate");
    FScript.SetOwnerMark(previousMark);
}

void TsbReportEvaluator::SetSelf(const void* object)
{
    if (FSelfItem) FSelfItem->SetValue(Variant::FromObject(object));
}

void TsbReportEvaluator::SetValue(const Variant& value)
{
    if (FValueItem) FValueItem->SetValue(value);
}

bool TsbReportEvaluator::ResolveName(StringView name, Variant& value)
{
    value = Variant::Null();
    // A field reference is Dataset."Field" as a whole: the text must end with the field's closing
    // quote, so that a larger expression is never read as a field with a strange name.
    const size_t quote = name.find(u".\"");
    if (quote != StringView::npos && name.size() > quote + 2 && name.back() == u'"' &&
        name.find(u'"', quote + 2) == name.size() - 1) {
        const StringView dataset = name.substr(0, quote);
        StringView field = name.substr(quote + 2);
        field.remove_suffix(1);
        Variant typeDefault;
        if (!field.empty() && FHost.ReadField(dataset, field, value, typeDefault)) {
            if (value.IsNull() && FHost.ConvertNulls()) value = typeDefault;
            return true;
        }
    }
    for (const auto& s : SystemNames) {
        if (SameText(s.Name, name)) {
            value = FHost.SystemValue(s.Variable);
            return true;
        }
    }
    if (FHost.HostValue(name, value) && !value.IsEmpty()) return true;
    if (FHost.ReportVariable(name, value)) {
        if (value.IsString() && value.StringValue().find(u"\r\n") == String::npos)
            value = Calc(value.StringValue());
        return true;
    }
    if (FHost.GlobalVariable(name, value)) return true;
    // Script items as the running program sees them (a procedure's locals while it runs).
    TsbScript* running = FScript.ProgRunning();
    if (const TsbCustomVariable* item = (running ? running : &FScript)->Find(name)) {
        if (item->ItemKind() != TsbItemKind::Proc && item->ItemKind() != TsbItemKind::Method) {
            value = item->Value();
            return true;
        }
    }
    value = Variant::Null();
    return false;
}

Variant TsbReportEvaluator::Get(StringView name)
{
    Variant value;
    if (ResolveName(name, value)) return value;
    const size_t paren = name.find(u'(');
    if (paren != StringView::npos) {
        const String head = UpperCase(Trimmed(name.substr(0, paren)));
        if (head == u"SUM" || head == u"MIN" || head == u"MAX" || head == u"AVG" ||
            head == u"COUNT")
            return Calc(name);
    }
    FHost.AddError(u"Unknown variable or datafield: " + String(name));
    return Variant::Null();
}

Variant TsbReportEvaluator::Calc(StringView expr, TsbScript* script, bool fromScript)
{
    if (FCalcDepth >= limits::ExpressionMaxCalcNesting)
        throw ELimitExceeded(Format(
            u"Expressions nested too deeply (more than %d levels); a variable may refer to itself",
            {static_cast<int64_t>(limits::ExpressionMaxCalcNesting)}));
    ++FCalcDepth;
    struct Depth
    {
        size_t& D;
        ~Depth() { --D; }
    } depth{FCalcDepth};

    Variant value;
    if (ResolveName(expr, value)) return value;

    TsbScript* running = FScript.ProgRunning();
    TsbScript& scope = script ? *script : running ? *running : FScript;
    FCache.SetCaseSensitive(FHost.CaseSensitiveExpressions());
    String error;
    Variant result = Variant::Null();
    if (TsbProcVariable* function = FCache.Find(expr, scope, error)) {
        const bool wasMain = FScript.IsMainProgram();
        FScript.SetMainProgram(false);
        try {
            result = scope.CallProc(*function, {});
        } catch (const ECalcError&) {
            FScript.SetMainProgram(wasMain);
            throw;
        } catch (const Exception& e) {
            error = fromScript ? u"Error in expression '" + String(expr) + u"': " + e.Message()
                               : e.Message();
        }
        FScript.SetMainProgram(wasMain);
    }
    if (error.empty()) return result;
    if (error == u"Floating point division by zero" && FHost.IgnoreDevByZero())
        return Variant::Null();
    if (fromScript) throw Exception(error);
    const String object = FHost.CurrentObjectName();
    if (!object.empty()) error = object + u": " + error;
    FHost.AddError(error);
    throw ECalcError(error);
}

} // namespace vl
