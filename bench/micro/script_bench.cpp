// Costs of the expression engine on its hot paths: Calc of a cached field reference (the name
// shortcut), Calc of a cached expression over two fields, and compiling a 1000-line program.
#include "platform/unicode/text_case.h"
#include "script/report_evaluator.h"

#include <benchmark/benchmark.h>

namespace vl {

namespace {

// A report with one dataset "Orders" holding the fields Total and Qty.
class BenchReport : public TsbReportHost
{
public:
    bool
    ReadField(StringView dataset, StringView field, Variant& value, Variant& typeDefault) override
    {
        if (!SameText(dataset, u"Orders")) return false;
        typeDefault = Variant(int32_t(0));
        value = SameText(field, u"Total") ? Variant(12.5) : Variant(int32_t(3));
        return true;
    }
    Variant SystemValue(TsbSystemVariable) override { return Variant(int32_t(1)); }
    bool ReportVariable(StringView, Variant&) override { return false; }
    bool GlobalVariable(StringView, Variant&) override { return false; }
    void SetReportVariable(StringView, const Variant&) override {}
    Variant Aggregate(StringView, StringView, const Variant&, int64_t) override
    {
        return Variant();
    }
    void AddError(const String&) override {}
    String CurrentObjectName() override { return String(); }
    bool ConvertNulls() override { return true; }
    bool IgnoreDevByZero() override { return false; }
    bool CaseSensitiveExpressions() override { return false; }
};

struct Fixture
{
    Fixture()
        : Evaluator(Report, Script)
    {
        Evaluator.PrepareScript(u"PascalScript");
        Script.SetLines(u"begin end.");
        Script.Compile();
    }
    BenchReport Report;
    TsbScript Script;
    TsbReportEvaluator Evaluator;
};

void CalcFieldName(benchmark::State& state)
{
    Fixture f;
    const String expr = U("Orders.\"Total\"");
    for (auto _ : state)
        benchmark::DoNotOptimize(f.Evaluator.Calc(expr));
}
BENCHMARK(CalcFieldName);

void CalcCachedExpression(benchmark::State& state)
{
    Fixture f;
    const String expr = U("<Orders.\"Total\"> * <Orders.\"Qty\"> + 1 - 2");
    f.Evaluator.Calc(expr);
    for (auto _ : state)
        benchmark::DoNotOptimize(f.Evaluator.Calc(expr));
}
BENCHMARK(CalcCachedExpression);

String ThousandLineProgram()
{
    String text = u"var Total, i: Integer;\nvar Names: array[0..99] of String;\n";
    for (int p = 0; p < 90; ++p) {
        const String n = IntToStr(p);
        text += u"function F" + n + u"(a: Integer; var b: Integer): Integer;\n";
        text += u"var k: Integer;\nbegin\n";
        text += u"  k := a * 2 + " + n + u";\n";
        text += u"  if k > 10 then b := b + k else b := b - 1;\n";
        text += u"  for i := 1 to 3 do Total := Total + i;\n";
        text += u"  Names[" + IntToStr(p % 100) + u"] := 'x' + 'y';\n";
        text += u"  Result := k\nend;\n";
    }
    text += u"begin\n";
    while (std::count(text.begin(), text.end(), u'\n') < 999)
        text += u"  Total := F1(Total, i) + (Total div 3) * 2;\n";
    text += u"end.\n";
    return text;
}

void Compile1000LineProgram(benchmark::State& state)
{
    const String source = ThousandLineProgram();
    for (auto _ : state) {
        TsbScript script;
        script.SetLines(source);
        if (!script.Compile())
            state.SkipWithError(ToUtf8(script.ErrorMsg() + u" at " + script.ErrorPos()).c_str());
    }
}
BENCHMARK(Compile1000LineProgram)->Unit(benchmark::kMillisecond);

} // namespace

} // namespace vl
