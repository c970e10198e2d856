#include "platform/unicode/text_case.h"
#include "script/report_evaluator.h"

#include <gtest/gtest.h>
#include <map>

namespace vl {

namespace {

// A report with one dataset "Orders" (fields Total and Missing, Missing is a numeric Null), a few
// variables and a recording aggregate lookup.
class FakeReport : public TsbReportHost
{
public:
    bool
    ReadField(StringView dataset, StringView field, Variant& value, Variant& typeDefault) override
    {
        if (!SameText(dataset, u"Orders")) return false;
        typeDefault = Variant(int32_t(0));
        value = SameText(field, u"Total") ? Variant(int32_t(21)) : Variant::Null();
        return true;
    }
    Variant SystemValue(TsbSystemVariable v) override
    {
        return v == TsbSystemVariable::PagePhysical ? Variant(int32_t(3)) : Variant(int32_t(1));
    }
    bool ReportVariable(StringView name, Variant& value) override
    {
        const auto it = Variables.find(String(name));
        if (it == Variables.end()) return false;
        value = it->second;
        return true;
    }
    bool GlobalVariable(StringView, Variant&) override { return false; }
    void SetReportVariable(StringView name, const Variant& value) override
    {
        Variables[String(name)] = value;
    }
    Variant Aggregate(StringView name, StringView expr, const Variant& band, int64_t flags) override
    {
        AggregateCall = ToUtf8(name) + "(" + ToUtf8(expr) + "," + ToUtf8(band.ToText()) + "," +
                        std::to_string(flags) + ")";
        return Variant(int32_t(100));
    }
    void AddError(const String& text) override { Errors.push_back(ToUtf8(text)); }
    String CurrentObjectName() override { return ObjectName; }
    bool ConvertNulls() override { return Convert; }
    bool IgnoreDevByZero() override { return IgnoreZero; }
    bool CaseSensitiveExpressions() override { return false; }

    std::map<String, Variant, std::less<>> Variables;
    std::vector<std::string> Errors;
    std::string AggregateCall;
    String ObjectName;
    bool Convert = true;
    bool IgnoreZero = false;
};

class ReportEvaluatorTest : public ::testing::Test
{
protected:
    ReportEvaluatorTest()
        : Evaluator(Report, Script)
    {
        Evaluator.PrepareScript(u"PascalScript");
        Script.SetLines(u"begin end.");
        EXPECT_TRUE(Script.Compile());
    }

    // "Kind:text" of Calc, or "error: ..." when it raises.
    std::string Calc(StringView expr)
    {
        try {
            const Variant v = Evaluator.Calc(expr);
            return ToUtf8(VarTypeName(v.Type())) + ":" +
                   ToUtf8(v.ToText(FormatSettings::English()));
        } catch (const Exception& e) {
            return std::string("error: ") + e.what();
        }
    }

    FakeReport Report;
    TsbScript Script;
    TsbReportEvaluator Evaluator;
};

} // namespace

TEST_F(ReportEvaluatorTest, NamesAndExpressions)
{
    Report.Variables[u"Doubled"] = Variant(U("<Orders.\"Total\"> * 2"));
    Report.Variables[u"Quoted"] = Variant(u"'Hello'");
    Report.Variables[u"Plain"] = Variant(u"Hello");
    Report.Variables[u"Lines"] = Variant(u"a\r\nb");
    const struct
    {
        const char* Expr;
        const char* Expected;
    } cases[] = {
        {"Orders.\"Total\"", "Integer:21"},
        {"<Orders.\"Total\"> + 1", "Integer:22"},
        {"Orders.\"Missing\"", "Integer:0"},
        {"Page#", "Integer:3"},
        {"<Page#> + 1", "Integer:4"},
        {"Doubled", "Integer:42"},
        {"<Doubled> + 1", "Integer:43"},
        {"Quoted", "UnicodeString:Hello"},
        {"Lines", "UnicodeString:a\r\nb"},
        {"True", "Boolean:True"},
        {"Orders.\"Total\" * 2",
         "error: Error in expression 'Orders.\"Total\" * 2': 'END' expected"},
        {"IIF(<Orders.\"Total\"> > 20, 'big', 1 div 0)", "UnicodeString:big"},
        {"IIF(False, 1 div 0, 'no')", "UnicodeString:no"},
        {"SUM(<Orders.\"Total\"> * 2)", "Integer:100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expr);
        EXPECT_EQ(Calc(U(c.Expr)), c.Expected);
    }
    EXPECT_EQ(Report.AggregateCall, "SUM(<Orders.\"Total\"> * 2,0,0)");
    EXPECT_EQ(Report.Errors.size(), 1u); // the one expression with an error
}

TEST_F(ReportEvaluatorTest, NullFieldsWithoutConvertNulls)
{
    Report.Convert = false;
    EXPECT_EQ(Calc(U("Orders.\"Missing\"")), "Null:");
    EXPECT_EQ(Calc(U("<Orders.\"Missing\"> + 1")), "Null:");
}

TEST_F(ReportEvaluatorTest, ErrorsEnterTheListWithTheObjectName)
{
    Report.ObjectName = u"Memo1";
    Report.Variables[u"Plain"] = Variant(u"Hello");
    EXPECT_EQ(Calc(u"Page# + 1"), "error: Memo1: Error in expression 'Page# + 1': 'END' expected");
    EXPECT_EQ(Calc(u"1 / 0"), "error: Memo1: Floating point division by zero");
    EXPECT_EQ(Calc(u"Plain"),
              "error: Memo1: Error in expression 'Hello': Undeclared identifier: 'Hello'");
    EXPECT_EQ(Calc(u"<Nope> + 1"), "Null:");
    const std::vector<std::string> expected = {
        "Memo1: Error in expression 'Page# + 1': 'END' expected",
        "Memo1: Floating point division by zero",
        "Memo1: Error in expression 'Hello': Undeclared identifier: 'Hello'",
        "Unknown variable or datafield: Nope",
    };
    EXPECT_EQ(Report.Errors, expected);
}

TEST_F(ReportEvaluatorTest, IgnoreDevByZeroDropsOnlyThatError)
{
    Report.IgnoreZero = true;
    EXPECT_EQ(Calc(u"1 / 0"), "Null:");
    EXPECT_EQ(Calc(u"1 div 0"), "error: Division by zero");
    EXPECT_EQ(Report.Errors.size(), 1u);
}

TEST_F(ReportEvaluatorTest, IifDropsItsErrorsAfterListingThem)
{
    EXPECT_EQ(Calc(u"IIF(1 div 0 = 0, 1, 2)"), "Null:");
    ASSERT_EQ(Report.Errors.size(), 1u);
    EXPECT_EQ(Report.Errors[0], "Division by zero");
}

TEST_F(ReportEvaluatorTest, TextsDifferingInCaseShareOneFunction)
{
    EXPECT_EQ(Calc(u"'abc' + ''"), "UnicodeString:abc");
    EXPECT_EQ(Calc(u"'ABC' + ''"), "UnicodeString:abc");
    EXPECT_EQ(Evaluator.Cache().Count(), 1u);
}

TEST_F(ReportEvaluatorTest, SetCreatesAVariable)
{
    EXPECT_EQ(Calc(u"Set('Made', 5)"), "Null:");
    EXPECT_EQ(Calc(u"<Made> + 1"), "Integer:6");
}

TEST_F(ReportEvaluatorTest, AVariableNamingItselfEndsWithAnError)
{
    Report.Variables[u"Loop"] = Variant(u"<Loop> + 1");
    EXPECT_EQ(Calc(u"Loop"),
              "error: Expressions nested too deeply (more than 64 levels); a variable may refer "
              "to itself");
}

TEST_F(ReportEvaluatorTest, ExpressionsSeeTheLocalsOfTheRunningProcedure)
{
    TsbScript program;
    TsbReportEvaluator evaluator(Report, program);
    evaluator.PrepareScript(u"PascalScript");
    program.SetLines(u"var r: Variant; procedure P; var Local: Integer; begin Local := 7; "
                     u"r := Get('Local') end; begin P end.");
    ASSERT_TRUE(program.Compile()) << ToUtf8(program.ErrorMsg());
    program.Execute();
    EXPECT_EQ(ToUtf8(program.Find(u"r")->Value().ToText()), "7");
    EXPECT_TRUE(Report.Errors.empty());
}

} // namespace vl
