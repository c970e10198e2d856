// Registered functions, classes and objects as scripts see them.
#include "script/script.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

struct Point
{
    int64_t X = 0;
    int64_t Items[3] = {10, 20, 30};
};

Point& PointOf(TsbMethodCall& call)
{
    return *const_cast<Point*>(static_cast<const Point*>(call.Instance));
}

Variant GetX(TsbMethodCall& call)
{
    return VarFromInt(PointOf(call).X);
}

Variant SetX(TsbMethodCall& call)
{
    PointOf(call).X = call.Args[0].ToInt64();
    return Variant();
}

Variant GetItem(TsbMethodCall& call)
{
    return VarFromInt(PointOf(call).Items[call.Args[0].ToInt64() % 3]);
}

Variant Shifted(TsbMethodCall& call)
{
    return VarFromInt(PointOf(call).X + call.Args[0].ToInt64());
}

// One callback for a group, dispatching on the upper-cased name.
Variant Group(TsbMethodCall& call)
{
    if (call.Name == u"TWICE") return VarMul(call.Args[0], Variant(int32_t(2)));
    if (call.Name == u"SWAP") {
        std::swap(call.Args[0], call.Args[1]);
        return Variant::Null();
    }
    if (call.Name == u"TEXTOF") // a macro: receives the argument's source text
        return call.Args[0];
    return VarAdd(call.Args[0], call.Args[1]);
}

bool IsPoint(void*, const void*, StringView className)
{
    return className == u"TPoint" || className == u"TObject";
}

class ClassesTest : public ::testing::Test
{
protected:
    // A fresh script for each program, with the registrations.
    void Register(TsbScript& script)
    {
        TsbScript& Script = script;
        TsbClassItem& base = Script.AddClass(u"TObject", u"");
        (void)base;
        TsbClassItem& cls = Script.AddClass(u"TPoint", u"TObject");
        cls.AddProperty({u"X", TsbVarType::vtInt, u"Integer", 0, GetX, SetX, nullptr});
        cls.AddProperty({u"Items", TsbVarType::vtInt, u"Integer", 1, GetItem, nullptr, nullptr},
                        true);
        cls.AddMethod(u"function Shifted(d: Integer): Integer", Shifted, nullptr);
        Script.AddObject(u"P", &Pt, u"TPoint");
        Script.AddMethod(u"function Twice(v: Variant): Variant", Group, nullptr, u"ctOther");
        Script.AddMethod(u"procedure Swap(var a, b: Variant)", Group, nullptr, u"ctOther");
        Script.AddMethod(u"macrofunction TextOf(Expr: Variant): String", Group);
        Script.AddMethod(u"function AddUp(a: Variant; b: Variant = 5): Variant", Group);
        Script.SetInstanceOf(IsPoint, nullptr);
    }

    std::string Run(StringView source)
    {
        TsbScript Script;
        Register(Script);
        for (const auto& [name, object] : Extra)
            Script.AddObject(name, object, u"TPlain");
        if (!Extra.empty()) Script.AddClass(u"TPlain", u"");
        Script.SetLines(String(source));
        if (!Script.Compile())
            return "error: " + ToUtf8(Script.ErrorMsg()) + " at " + ToUtf8(Script.ErrorPos());
        try {
            Script.Execute();
        } catch (const Exception& e) {
            return std::string("error: ") + e.what();
        }
        return ToUtf8(Script.Find(u"r")->Value().ToText());
    }

    Point Pt;
    std::vector<std::pair<String, const void*>> Extra;
};

} // namespace

TEST_F(ClassesTest, MembersMethodsAndDefaultProperty)
{
    EXPECT_EQ(Run(u"var r: Integer; begin P.X := 4; r := P.X * 10 + P.Shifted(1) + P[1] end."),
              "65");
    EXPECT_EQ(Pt.X, 4);
}

TEST_F(ClassesTest, WithStatementFindsMembersFirst)
{
    EXPECT_EQ(Run(u"var r: Integer; begin with P do begin X := 7; r := X + Items[2] end end."),
              "37");
}

TEST_F(ClassesTest, IsAsksTheHost)
{
    EXPECT_EQ(Run(u"var r: Boolean; begin r := P is TObject end."), "True");
    EXPECT_EQ(Run(u"var r: Variant; begin r := 1; r := r is TObject end."), "False");
}

TEST_F(ClassesTest, RegisteredFunctions)
{
    EXPECT_EQ(Run(u"var r: Variant; begin r := Twice(21) end."), "42");
    EXPECT_EQ(Run(u"var r, s: Variant; begin r := 1; s := 2; Swap(r, s); r := r * 10 + s end."),
              "21");
    EXPECT_EQ(Run(u"var r: Variant; begin r := TextOf( 1 div 0 ) end."), "1 div 0");
    EXPECT_EQ(Run(u"var r: Variant; begin r := AddUp(1) + AddUp(1, 1) end."), "8");
    EXPECT_EQ(Run(u"var r: Variant; begin r := P.Nope end."),
              "error: Undeclared identifier: 'Nope' at 1:30");
    EXPECT_EQ(Run(u"var r: Variant; begin r := P.X[1] end."), "error: Array type required at 1:31");
}

TEST_F(ClassesTest, ClassesWithoutDefaultProperty)
{
    int plain = 0;
    Extra.emplace_back(u"Q", &plain);
    EXPECT_EQ(Run(u"var r: Variant; begin r := Q[1] end."),
              "error: Class TPlain does not have a default property at 1:29");
    EXPECT_EQ(Run(u"var r: Variant; begin r := Q.X end."),
              "error: Undeclared identifier: 'X' at 1:30");
}

TEST(MethodDeclaration, ParsesTheDeclarationForms)
{
    TsbScript script;
    const auto& m = script.AddMethod(
        u"function SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant", Group);
    EXPECT_TRUE(m.HasResult);
    EXPECT_EQ(m.Params.size(), 3u);
    EXPECT_EQ(m.RequiredCount(), 1u);
    EXPECT_EQ(ToUtf8(m.UpperName), "SUM");
    const auto& p = script.AddMethod(u"procedure DecodeDate(Date: TDateTime; var Year, Month, "
                                     u"Day: Word)",
                                     Group);
    EXPECT_FALSE(p.HasResult);
    ASSERT_EQ(p.Params.size(), 4u);
    EXPECT_TRUE(p.Params[3].ByRef);
    EXPECT_EQ(p.Params[0].Kind, TsbVarType::vtFloat);
    const auto& s = script.AddMethod(u"function StrToBool(const S: string): Boolean;", Group);
    EXPECT_EQ(s.Kind(), TsbVarType::vtBool);
    const auto& d = script.AddMethod(u"function F(a: Integer = -2; b: String = 'x'; c: Integer = "
                                     u"varString; e: Integer = Unknown): Integer",
                                     Group);
    EXPECT_EQ(ToUtf8(d.Params[0].Default.ToText()), "-2");
    EXPECT_EQ(ToUtf8(d.Params[1].Default.ToText()), "x");
    EXPECT_EQ(ToUtf8(d.Params[2].Default.ToText()), "256");
    EXPECT_TRUE(d.Params[3].Default.IsNull());
    EXPECT_FALSE(d.Params[3].Optional);
    EXPECT_THROW(script.AddMethod(u"func F", Group), Exception);
}

TEST(ScriptItems, LaterItemsWinAndOwnersClearTheirs)
{
    TsbScript parent, child;
    child.SetParent(&parent);
    parent.AddConst(u"Name", u"Integer", Variant(int32_t(1)));
    EXPECT_EQ(child.Find(u"name")->Value().ToInt64(), 1);
    int owner = 0;
    parent.SetOwnerMark(&owner);
    parent.AddConst(u"NAME", u"Integer", Variant(int32_t(2)));
    parent.SetOwnerMark(nullptr);
    EXPECT_EQ(child.Find(u"Name")->Value().ToInt64(), 2);
    EXPECT_EQ(child.FindLocal(u"Name"), nullptr);
    parent.ClearItems(&owner);
    EXPECT_EQ(child.Find(u"Name")->Value().ToInt64(), 1);
    EXPECT_EQ(child.Find(u"varArray")->Value().ToInt64(), 8192);
}

} // namespace vl
