#include "script/script.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vl {

namespace {

// Registered procedure that raises its argument as an error.
Variant RaiseProc(TsbMethodCall& call)
{
    throw Exception(call.Args[0].ToText());
}

// Records every argument it receives, as text, joined with "|".
String gLog;
Variant LogProc(TsbMethodCall& call)
{
    if (!gLog.empty()) gLog += u"|";
    gLog += call.Args[0].ToText();
    return Variant::Null();
}

// Compiles and runs a program; returns the final value of its variable "r" as text, or
// "error: ..." with the compile or run-time message.
std::string RunProgram(StringView source, TsbScript* scriptOut = nullptr)
{
    TsbScript local;
    TsbScript& script = scriptOut ? *scriptOut : local;
    script.AddMethod(u"procedure RaiseException(Param: String)", RaiseProc);
    script.AddMethod(u"procedure Log(v: Variant)", LogProc);
    script.SetLines(String(source));
    if (!script.Compile())
        return "error: " + ToUtf8(script.ErrorMsg()) + " at " + ToUtf8(script.ErrorPos());
    try {
        script.Execute();
    } catch (const Exception& e) {
        return std::string("error: ") + e.what();
    }
    const TsbCustomVariable* r = script.Find(u"r");
    return r ? ToUtf8(r->Value().ToText(FormatSettings::English())) : "";
}

} // namespace

TEST(Program, Statements)
{
    const struct
    {
        const char* Name;
        const char* Source;
        const char* Expected;
    } cases[] = {
        {"for upwards leaves the last bound",
         "var i, r: Integer; begin r := 0; for i := 1 to 5 do r := r + i; r := r * 100 + i end.",
         "1505"},
        {"for with nothing to do",
         "var i, r: Integer; begin r := 0; i := 7; for i := 5 to 1 do r := r + 1; r := r * 10 + i "
         "end.",
         "7"},
        {"for one round",
         "var i, r: Integer; begin r := 0; for i := 1 to 1 do r := r + 1 end.",
         "1"},
        {"for downto",
         "var i: Integer; r: String; begin r := ''; for i := 3 downto 1 do r := r + IntToStr2(i) "
         "end.",
         "error: Undeclared identifier: 'IntToStr2' at 1:75"},
        {"break leaves only the inner loop",
         "var i, j, r: Integer; begin r := 0; for i := 1 to 3 do for j := 1 to 3 do begin if j = 2 "
         "then break; r := r + 1 end end.",
         "3"},
        {"continue",
         "var i, r: Integer; begin r := 0; for i := 1 to 5 do begin if i mod 2 = 0 then continue; "
         "r := r + i end end.",
         "9"},
        {"exit leaves the procedure from a loop",
         "var r: Integer; procedure P; var i: Integer; begin for i := 1 to 10 do begin r := i; if "
         "i "
         "= 4 then exit end; r := 100 end; begin P end.",
         "4"},
        {"while and repeat",
         "var i, r: Integer; begin i := 0; r := 0; while i < 4 do i := i + 1; repeat r := r + i; "
         "i := i - 1 until i = 0 end.",
         "10"},
        {"case values, ranges and else",
         "var r: String; x: Integer; begin r := ''; for x := 0 to 6 do case x of 1..3: r := r + "
         "'a'; 5, 6: r := r + 'b'; else r := r + '-' end end.",
         "-aaa-bb"},
        {"try finally runs on exit",
         "var r: Integer; procedure P; begin try r := 1; exit; r := 2 finally r := r * 10 end; r "
         ":= "
         "99 end; begin P end.",
         "10"},
        {"except gets the message",
         "var r: String; begin try RaiseException('boom'); r := 'no' except r := "
         "ExceptionClassName + ':' + ExceptionMessage end end.",
         "Exception:boom"},
        {"finally then the error goes on",
         "var r: Integer; begin r := 0; try try r := 1 div 0 finally r := 5 end except r := r + 1 "
         "end end.",
         "6"},
        {"recursion saves locals",
         "var r: Integer; function Fact(n: Integer): Integer; var k: Integer; begin k := n; if n "
         "<= "
         "1 then Result := 1 else Result := Fact(n - 1) * k end; begin r := Fact(10) end.",
         "3628800"},
        {"by-reference parameters",
         "var r, a: Integer; procedure Twice(var x: Integer; y: Integer); begin x := x * 2; y := 0 "
         "end; begin a := 21; Twice(a, a); r := a end.",
         "42"},
        {"default parameter values",
         "var r: Integer; function Add(a: Integer; b: Integer = 10): Integer; begin Result := a + "
         "b "
         "end; begin r := Add(1) + Add(1, 2) end.",
         "14"},
        {"arrays",
         "var a: array[1..3] of Integer; r, i: Integer; begin for i := 1 to 3 do a[i] := i * i; r "
         ":= a[1] + a[2] + a[3] end.",
         "14"},
        {"array of n elements from zero",
         "var a: array[3] of Variant; r: Integer; begin a[0] := 1; a[2] := 2; r := a[0] + a[2] "
         "end.",
         "3"},
        {"array index out of bounds",
         "var a: array[3] of Variant; r: Integer; begin a[3] := 1 end.",
         "error: Variant or safe array index out of bounds"},
        {"string index",
         "var s, r: String; begin s := 'abc'; s[2] := 'X'; r := s + s[3] end.",
         "aXcc"},
        {"constants", "const N = 6; M = N * 7; var r: Integer; begin r := M end.", "42"},
        {"initial values", "var r: Integer = 5; begin end.", "5"},
        {"procedure without arguments used as a value",
         "var r: Integer; function Two: Integer; begin Result := 2 end; begin r := Two * 3 end.",
         "6"},
        {"comments", "var r: Integer; { block } (* other *) begin // line\n r := 1 end.", "1"},
        {"main block exit", "var r: Integer; begin r := 1; exit; r := 2 end.", "1"},
        {"division by zero propagates",
         "var r: Double; begin r := 1 / 0 end.",
         "error: Floating point division by zero"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RunProgram(U(c.Source)), c.Expected);
    }
}

TEST(Program, SyntaxErrorsWithPositions)
{
    const struct
    {
        const char* Source;
        const char* Expected;
    } cases[] = {
        {"begin x := end.", "error: Expression expected at 1:12"},
        {"begin x := 1 end.", "error: Undeclared identifier: 'x' at 1:7"},
        {"var x: Integer; begin x := end.", "error: Expression expected at 1:28"},
        {"var x: Integer; begin x := 1", "error: 'END' expected at 1:29"},
        {"var x: Integer; begin x := 1 end", "error: '.' expected at 1:33"},
        {"var x: Integer; begin x := (1 + 2 end.", "error: ')' expected at 1:35"},
        {"var x Integer; begin end.", "error: ':' expected at 1:7"},
        {"var x: Integer begin end.", "error: ';' expected at 1:16"},
        {"const X 1; begin end.", "error: '=' expected at 1:9"},
        {"var x: Integer;\nbegin\n  x := 'a'\nend.", "error: Incompatible types at 3:8"},
        {"var x: Boolean; begin if x x := 1 end.", "error: 'THEN' expected at 1:28"},
        {"var x: Integer; begin case x 1: ; end end.", "error: 'OF' expected at 1:30"},
        {"var x: Integer; begin repeat x := 1; end.", "error: 'UNTIL' expected at 1:38"},
        {"var x: Integer; begin for x := 1 too 2 do ; end.",
         "error: 'TO' or 'DOWNTO' expected at 1:34"},
        {"var x: Integer; begin while True x := 1 end.", "error: 'DO' expected at 1:34"},
        {"begin try ; end.", "error: 'FINALLY' or 'EXCEPT' expected at 1:13"},
        {"var a: array[1..2 of Integer; begin end.", "error: ']' expected at 1:19"},
        {"x := 1", "error: 'BEGIN' expected at 1:1"},
        {"var s: String; begin s := 'open\n end.", "error: Expression expected at 1:27"},
        {"var x: Integer; x: String; begin end.", "error: Identifier redeclared: x at 1:17"},
        {"var x: TNoSuchType; begin end.", "error: Unknown type: TNoSuchType at 1:8"},
        {"var x: Integer; begin x := 1.5 end.", "error: Incompatible types at 1:28"},
        {"var s: String; begin s := 'a' - 'b' end.", "error: Incompatible types at 1:31"},
        {"begin True := False end.", "error: Left side cannot be assigned to at 1:7"},
        {"var s: String; begin for s := 1 to 2 do ; end.",
         "error: For loop variable must be numeric variable at 1:26"},
        {"var s: String; begin s := s.Length end.",
         "error: Strings doesn't have properties or methods at 1:29"},
        {"var i: Integer; begin i := i[1] end.", "error: Array type required at 1:29"},
        {"procedure P(a: Integer); begin end; begin P end.",
         "error: Not enough actual parameters at 1:43"},
        {"procedure P(a: Integer); begin end; begin P(1, 2) end.",
         "error: Too many actual parameters at 1:44"},
        {"procedure P(var a: Integer); begin end; begin P(1) end.",
         "error: Variable required at 1:49"},
        {"var x: Integer; begin x := 99999999999999999999999e999 end.",
         "error: '99999999999999999999999e999' is not a valid floating point value at 1:28"},
        {"{ open comment begin end.", "error: 'BEGIN' expected at 1:1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Source);
        EXPECT_EQ(RunProgram(U(c.Source)), c.Expected);
    }
}

TEST(Program, UnknownLanguage)
{
    TsbScript script;
    script.SetSyntaxType(u"BasicScript");
    script.SetLines(u"begin end.");
    EXPECT_FALSE(script.Compile());
    EXPECT_EQ(ToUtf8(script.ErrorMsg()), "Language 'BasicScript' not found");
}

TEST(Program, EventHandlers)
{
    TsbScript script;
    gLog.clear();
    ASSERT_EQ(RunProgram(u"var r: Integer; procedure OnIt(Sender: Variant); begin Log(Sender) end; "
                         u"function F(x: Integer): Integer; begin Result := x end; begin end.",
                         &script),
              "");
    Variant args[] = {Variant(int32_t(7))};
    EXPECT_TRUE(script.DoEvent(u"OnIt", args));
    EXPECT_EQ(ToUtf8(gLog), "7");
    EXPECT_FALSE(script.DoEvent(u"Missing", args));
    EXPECT_FALSE(script.DoEvent(u"r", args)); // a variable: ignored
    EXPECT_FALSE(script.DoEvent(u"", args));
    try {
        script.DoEvent(u"F", args);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ToUtf8(e.Message()), "Event handler must be a procedure");
    }
}

} // namespace vl

namespace vl {

TEST(Program, UsesReadsUnitsOnlyBesideTheTemplate)
{
    const std::string folder = ::testing::TempDir() + "vl_script_units";
    std::filesystem::create_directories(folder);
    {
        std::ofstream unit(folder + "/helpers.pas");
        unit << "function Triple(x: Integer): Integer; begin Result := x * 3 end; begin end.";
    }
    TsbScript script;
    script.SetUnitFolder(FromUtf8(folder));
    script.SetLines(u"uses 'helpers.pas'; var r: Integer; begin r := Triple(5) end.");
    ASSERT_TRUE(script.Compile()) << ToUtf8(script.ErrorMsg());
    script.Execute();
    EXPECT_EQ(script.Find(u"r")->Value().ToInt64(), 15);

    const struct
    {
        const char* Source;
        const char* Message;
    } refused[] = {
        {"uses '../helpers.pas'; begin end.",
         "Unit '../helpers.pas' not found: units are read only from the template's folder"},
        {"uses '/etc/passwd'; begin end.",
         "Unit '/etc/passwd' not found: units are read only from the template's folder"},
        {"uses 'absent.pas'; begin end.", "Unit 'absent.pas' not found"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.Source);
        TsbScript other;
        other.SetUnitFolder(FromUtf8(folder));
        other.SetLines(U(c.Source));
        EXPECT_FALSE(other.Compile());
        EXPECT_EQ(ToUtf8(other.ErrorMsg()), c.Message);
    }
    TsbScript noFolder;
    noFolder.SetLines(u"uses 'helpers.pas'; begin end.");
    EXPECT_FALSE(noFolder.Compile());
    std::filesystem::remove_all(folder);
}

} // namespace vl
