// Bounds of the script engine: each is tested at the limit and one past it.
#include "base/limits.h"
#include "script/script.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

String Wrap(StringView expr)
{
    return u"var r: Variant; begin r := " + String(expr) + u" end.";
}

// Empty when the program compiles and runs; otherwise the message.
std::string Outcome(StringView source, uint64_t steps = limits::ScriptMaxSteps)
{
    TsbScript script;
    script.SetLines(String(source));
    if (!script.Compile()) return ToUtf8(script.ErrorMsg());
    script.ResetStepBudget(steps);
    try {
        script.Execute();
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.what();
    }
    return "";
}

String Chain(size_t operators)
{
    String text = u"1";
    for (size_t i = 0; i < operators; ++i)
        text += u"+1";
    return text;
}

String Nested(size_t depth)
{
    return String(depth, u'(') + u"1" + String(depth, u')');
}

} // namespace

TEST(ScriptLimits, ExpressionDepth)
{
    // n operators of one level make a tree n + 1 deep.
    EXPECT_EQ(Outcome(Wrap(Chain(limits::ExpressionMaxDepth - 1))), "");
    EXPECT_EQ(Outcome(Wrap(Chain(limits::ExpressionMaxDepth))),
              "Expression too complex (more than 1000 levels)");
}

TEST(ScriptLimits, MillionCharacterExpressionIsAClearError)
{
    EXPECT_EQ(Outcome(Wrap(Chain(500000))), "Expression too complex (more than 1000 levels)");
}

TEST(ScriptLimits, GrammarDepth)
{
    // The deepest bracket nesting that compiles, found by bisection; one more is refused.
    size_t low = 1, high = limits::ScriptMaxGrammarDepth;
    while (low + 1 < high) {
        const size_t mid = (low + high) / 2;
        (Outcome(Wrap(Nested(mid))).empty() ? low : high) = mid;
    }
    EXPECT_GE(low, 200u);
    EXPECT_EQ(Outcome(Wrap(Nested(low))), "");
    EXPECT_EQ(Outcome(Wrap(Nested(low + 1))),
              "Source nested too deeply (more than 4000 grammar levels)");
    EXPECT_EQ(Outcome(Wrap(Nested(100000))),
              "Source nested too deeply (more than 4000 grammar levels)");
}

TEST(ScriptLimits, CallDepth)
{
    const auto program = [](size_t calls) {
        return u"var r: Integer; function Down(n: Integer): Integer; begin if n = 0 then Result := "
               u"0 "
               u"else Result := Down(n - 1) + 1 end; begin r := Down(" +
               IntToStr(static_cast<int64_t>(calls) - 1) + u") end.";
    };
    EXPECT_EQ(Outcome(program(limits::ScriptMaxCallDepth)), "");
    EXPECT_EQ(Outcome(program(limits::ScriptMaxCallDepth + 1)),
              "ELimitExceeded: Script calls nested too deeply (more than 400 levels)");
}

TEST(ScriptLimits, StepBudgetEndsEndlessLoops)
{
    // One for statement, three rounds, three assignments: seven steps.
    const String program = u"var i, r: Integer; begin for i := 1 to 3 do r := i end.";
    EXPECT_EQ(Outcome(program, 7), "");
    EXPECT_EQ(Outcome(program, 6),
              "ELimitExceeded: Script stopped after 6 steps: it does not seem to end");
    // Not even try ... except keeps an endless loop alive.
    EXPECT_EQ(Outcome(u"begin while True do try except end end.", 1000),
              "ELimitExceeded: Script stopped after 1000 steps: it does not seem to end");
    EXPECT_EQ(Outcome(u"begin repeat until False end.", 1000),
              "ELimitExceeded: Script stopped after 1000 steps: it does not seem to end");
}

} // namespace vl
