#include "script/expression.h"
#include "script/script.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

// The expression's value, compiled the way the report's cache wraps expressions.
Variant Eval(TsbScript& script, StringView expr)
{
    script.SetLines(u"function f: Variant; begin Result := " + String(expr) + u" end; begin end.");
    if (!script.Compile()) throw Exception(script.ErrorMsg() + u" at " + script.ErrorPos());
    return script.CallFunction(u"f", {});
}

std::string Show(const Variant& v)
{
    return ToUtf8(VarTypeName(v.Type())) + ":" + ToUtf8(v.ToText(FormatSettings::English()));
}

std::string EvalText(StringView expr)
{
    TsbScript script;
    try {
        return Show(Eval(script, expr));
    } catch (const Exception& e) {
        return std::string("error: ") + e.what();
    }
}

} // namespace

TEST(Expression, PrioritiesAndGrouping)
{
    const struct
    {
        const char* Expr;
        const char* Expected;
    } cases[] = {
        {"2 + 3 * 4", "Integer:14"},
        {"(2 + 3) * 4", "Integer:20"},
        {"10 - 4 - 3", "Integer:3"},
        {"not True = False", "Boolean:True"},
        {"-2 * 3", "Integer:-6"},
        {"7 / 2", "Double:3.5"},
        {"7 div 2", "Integer:3"},
        {"7 mod 2", "Integer:1"},
        {"'ab' + 'cd'", "UnicodeString:abcd"},
        {"'1' + 2", "Integer:3"},
        {"2147483647", "Integer:2147483647"},
        {"2147483648", "Int64:2147483648"},
        {"1.5", "Double:1.5"},
        {"'It''s'", "UnicodeString:It's"},
        {"'A'#66'C'", "UnicodeString:ABC"},
        {"#$41", "UnicodeString:A"},
        {"1 + 2 > 2 * 1", "Boolean:True"},
        {"((((1))))", "Integer:1"},
        {"3 in [1, 2..4]", "Boolean:True"},
        {"5 in [1, 2..4]", "Boolean:False"},
        {"(1 < 2) and (2 < 3)", "Boolean:True"},
        {"$FF", "Integer:255"},
        {"1 shl 4", "Integer:16"},
        {"True or (1 div 0 = 0)", "Boolean:True"},
        {"False and (1 div 0 = 0)", "Boolean:False"},
        {"2 + '1'", "Integer:3"},
        {"'x' + 2", "error: Could not convert variant of type (UnicodeString) into type (Double)"},
        {"varString", "Integer:256"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expr);
        EXPECT_EQ(EvalText(U(c.Expr)), c.Expected);
    }
}

} // namespace vl
