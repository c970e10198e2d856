// The report side of the expression engine: `Calc` (whole-text name shortcut, then the cache of
// compiled expressions), name resolution for fields, system variables, report and global
// variables, the script-visible Get and Set, and the report-level macro functions.
//
// The report object implements TsbReportHost and owns one TsbReportEvaluator; the evaluator never
// names report classes, so it builds before them and tests drive it with a small fake host.
//
// Order of a name's resolution (ResolveName): a field reference `Dataset."Field"` through the
// host's datasets (Null replaced by the field type's default while ConvertNulls is on), the
// system variables, the host's value callback, report variables (a String without CR LF is an
// expression and goes through Calc), global variables, then a script item that is not a
// procedure or function.
#pragma once

#include "base/string.h"
#include "base/variant.h"
#include "script/expression_cache.h"
#include "script/script.h"

#include <cstdint>

namespace vl {

enum class TsbSystemVariable
{
    Date,
    Time,
    Page,         // logical page number
    PagePhysical, // "Page#"
    TotalPages,
    TotalPagesPhysical, // "TotalPages#"
    Line,               // row of the current data band
    LinePhysical,       // "Line#": row counted through all data bands
    CopyName            // "CopyName#": the global variable "CopyName0"
};

// What the evaluator asks of the report. Every name comparison is without case.
class TsbReportHost
{
public:
    virtual ~TsbReportHost() = default;

    // The current value of Field in the dataset with this user name. False when there is no such
    // dataset; typeDefault receives the field type's default (0, '' or False) used for Null.
    virtual bool
    ReadField(StringView dataset, StringView field, Variant& value, Variant& typeDefault) = 0;
    virtual Variant SystemValue(TsbSystemVariable variable) = 0;
    // Host value callbacks (the generator assigns none): true with a value that is not Empty.
    virtual bool HostValue(StringView /*name*/, Variant& /*value*/) { return false; }
    virtual bool ReportVariable(StringView name, Variant& value) = 0;
    virtual bool GlobalVariable(StringView name, Variant& value) = 0;
    // Set(Name, Value): creates the report variable when it does not exist.
    virtual void SetReportVariable(StringView name, const Variant& value) = 0;
    // The aggregate lookup of the engine: name is SUM, AVG, MIN, MAX or COUNT.
    virtual Variant
    Aggregate(StringView name, StringView expression, const Variant& band, int64_t flags) = 0;
    // The report's error list.
    virtual void AddError(const String& text) = 0;
    // Name of the object whose expressions are evaluated now ("" for none).
    virtual String CurrentObjectName() = 0;
    virtual bool ConvertNulls() = 0;
    virtual bool IgnoreDevByZero() = 0;
    virtual bool CaseSensitiveExpressions() = 0;
};

class TsbReportEvaluator
{
public:
    TsbReportEvaluator(TsbReportHost& host, TsbScript& reportScript);
    TsbReportEvaluator(const TsbReportEvaluator&) = delete;
    TsbReportEvaluator& operator=(const TsbReportEvaluator&) = delete;

    // Before a run: empties the cache, removes what an earlier run added to the report script,
    // and adds Value, Self (of selfClass), Get, Set and the macro functions IIF, SUM, AVG, MIN,
    // MAX, COUNT, marked as this evaluator's items. The report then adds its objects and compiles
    // its ScriptText (its own owner mark).
    void PrepareScript(StringView language, StringView selfClass = u"TvlxView");

    // Evaluates an expression text. Errors become report errors (see the file comment); with
    // fromScript (Report.Calc inside a script) they are raised without entering the list.
    // Throws Exception with the error text; returns Null when a division by zero is ignored.
    Variant Calc(StringView expr, TsbScript* script = nullptr, bool fromScript = false);

    // Resolves a name by the rules above; false when nothing matches.
    bool ResolveName(StringView name, Variant& value);

    // The script's Get: unresolved names add "Unknown variable or datafield: Name" to the error
    // list and give Null.
    Variant Get(StringView name);

    void SetSelf(const void* object);
    void SetValue(const Variant& value);

    TsbScript& ReportScript() { return FScript; }
    TvlxExpressionCache& Cache() { return FCache; }
    TsbReportHost& Host() { return FHost; }

private:
    TsbReportHost& FHost;
    TsbScript& FScript;
    TvlxExpressionCache FCache;
    TsbCustomVariable* FValueItem = nullptr;
    TsbCustomVariable* FSelfItem = nullptr;
    size_t FCalcDepth = 0;
};

} // namespace vl
