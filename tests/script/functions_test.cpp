#include "base/format_settings.h"
#include "base/limits.h"
#include "script/functions.h"
#include "script/script.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

struct Case
{
    const char* Expr;
    const char* Expected; // "Type:text" (text in English settings) or "error: message"
};

std::string Show(const Variant& v)
{
    return ToUtf8(VarTypeName(v.Type())) + ":" + ToUtf8(v.ToText(FormatSettings::English()));
}

// A script with the library registered for `fs`, evaluating expressions and function bodies the
// way the report's expression cache compiles them.
class Library
{
public:
    explicit Library(const FormatSettings& fs)
    {
        RegisterSysFunctions(FScript, fs);
        RegisterReportFunctions(FScript, fs);
    }

    TsbScript& Script() { return FScript; }

    // `declarations` are local variables ("s: String; i: Integer;"), `body` statements ending
    // with an assignment to Result.
    std::string Body(const std::string& declarations, const std::string& body)
    {
        const std::string var = declarations.empty() ? "" : "var " + declarations + " ";
        FScript.SetLines(U("function f" + std::to_string(++FCount) + ": Variant; " + var +
                           "begin " + body + " end; begin end."));
        if (!FScript.Compile())
            return "compile error: " + ToUtf8(FScript.ErrorMsg()) + " at " +
                   ToUtf8(FScript.ErrorPos());
        try {
            return Show(FScript.CallFunction(U("f" + std::to_string(FCount)), {}));
        } catch (const Exception& e) {
            return std::string("error: ") + e.what();
        }
    }

    std::string Eval(const std::string& expr) { return Body("", "Result := " + expr); }

    void Check(std::span<const Case> cases)
    {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Expr);
            EXPECT_EQ(Eval(c.Expr), c.Expected);
        }
    }

private:
    TsbScript FScript;
    int FCount = 0;
};

const FormatSettings& English()
{
    static const FormatSettings fs = FormatSettings::FromLocale("C.UTF-8");
    return fs;
}

// Croatian conventions (decimal comma, day-first dates); null when the locale is not generated.
const FormatSettings* Croatian()
{
    static const FormatSettings fs = FormatSettings::FromLocale("hr_HR.UTF-8");
    return fs.DecimalSeparator == u',' ? &fs : nullptr;
}

} // namespace

TEST(Functions, Conversions)
{
    const Case cases[] = {
        {"IntToStr(42)", "UnicodeString:42"},
        {"IntToStr(-9000000000)", "UnicodeString:-9000000000"},
        {"IntToStr('17')", "UnicodeString:17"},
        {"FloatToStr(1 / 3)", "UnicodeString:0.333333333333333"},
        {"FloatToStr(1E20)", "UnicodeString:1E20"},
        {"FloatToStr(2)", "UnicodeString:2"},
        {"DateToStr(EncodeDate(2024, 1, 7))", "UnicodeString:2024-01-07"},
        {"TimeToStr(EncodeTime(13, 5, 9, 0))", "UnicodeString:13:05:09"},
        {"DateTimeToStr(EncodeDate(2024, 1, 7))", "UnicodeString:2024-01-07"},
        {"DateTimeToStr(EncodeDate(2024, 1, 7) + EncodeTime(13, 5, 9, 0))",
         "UnicodeString:2024-01-07 13:05:09"},
        {"BoolToStr(True)", "UnicodeString:-1"},
        {"BoolToStr(False)", "UnicodeString:0"},
        {"BoolToStr(1 > 2)", "UnicodeString:0"},
        {"VarToStr(Null)", "UnicodeString:"},
        {"VarToStr(1.5)", "UnicodeString:1.5"},
        {"VarToStr(True)", "UnicodeString:True"},
        {"StrToInt('123')", "Integer:123"},
        {"StrToInt(' -12')", "Integer:-12"},
        {"StrToInt('$1F')", "Integer:31"},
        {"StrToInt('12x')", "error: ''12x'' is not a valid integer value"},
        {"StrToInt('')", "error: '''' is not a valid integer value"},
        {"StrToInt('3000000000')", "error: ''3000000000'' is not a valid integer value"},
        {"StrToInt64('9000000000')", "Int64:9000000000"},
        {"StrToInt64('1.5')", "error: ''1.5'' is not a valid integer value"},
        {"StrToFloat('1.5')", "Double:1.5"},
        {"StrToFloat('-2.5E3')", "Double:-2500"},
        {"StrToFloat('1x')", "error: '1x' is not a valid floating point value"},
        {"StrToDate('2024-01-07')", "Date:2024-01-07"},
        {"StrToDate('2024-02-30')", "error: ''2024-02-30'' is not a valid date"},
        {"StrToDate('tomorrow')", "error: ''tomorrow'' is not a valid date"},
        {"StrToTime('13:05')", "Date:1899-12-30 13:05:00"},
        {"StrToTime('1:05:09 PM')", "Date:1899-12-30 13:05:09"},
        {"StrToTime('12 AM')", "Date:1899-12-30"},
        {"StrToTime('25:00')", "error: ''25:00'' is not a valid time"},
        {"StrToDateTime('2024-01-07 13:05:09')", "Date:2024-01-07 13:05:09"},
        {"StrToDateTime('2024-01-07')", "Date:2024-01-07"},
        {"StrToDateTime('2024-01-07 x')", "error: ''2024-01-07 x'' is not a valid date and time"},
        {"StrToBool('true')", "Boolean:True"},
        {"StrToBool('FALSE')", "Boolean:False"},
        {"StrToBool('0')", "Boolean:False"},
        {"StrToBool('5')", "Boolean:True"},
        {"StrToBool('yes')", "error: ''yes'' is not a valid boolean value"},
        {"IntToStr(Null)", "error: Could not convert variant of type (Null) into type (Int64)"},
    };
    Library(English()).Check(cases);
}

TEST(Functions, Pictures)
{
    const Case cases[] = {
        {"Format('%d-%s', [3, 'a'])", "UnicodeString:3-a"},
        {"Format('%5.2f|%-4d|%x', [3.14159, 7, 255])", "UnicodeString: 3.14|7   |FF"},
        {"Format('%1:s %0:s', ['a', 'b'])", "UnicodeString:b a"},
        {"Format('%*d', [4, 9])", "UnicodeString:   9"},
        {"Format('%d%%', [50])", "UnicodeString:50%"},
        {"Format('%s', 'one')", "UnicodeString:one"},
        {"Format('%d', ['x'])", "error: Format '%d' invalid or incompatible with argument"},
        {"Format('%d', [True])", "error: Format '%d' invalid or incompatible with argument"},
        {"FormatFloat('#,##0.00', 1234.5)", "UnicodeString:1,234.50"},
        {"FormatFloat('0', 2.5)", "UnicodeString:3"},
        {"FormatFloat('0', -2.5)", "UnicodeString:-3"},
        {"FormatFloat('0.00;(0.00);''zero''', -5)", "UnicodeString:(5.00)"},
        {"FormatFloat('0.00E+00', 1234.5)", "UnicodeString:1.23E+03"},
        {"FormatFloat('', 1.5)", "UnicodeString:1.5"},
        {"FormatFloat('0.0', '2.25')", "UnicodeString:2.3"},
        {"FormatDateTime('dd.mm.yyyy hh:nn:ss.zzz', EncodeDate(2024, 1, 7) + "
         "EncodeTime(13, 5, 9, 45))",
         "UnicodeString:07.01.2024 13:05:09.045"},
        {"FormatDateTime('d/m/yy h:m am/pm', EncodeDate(2024, 1, 7) + EncodeTime(13, 5, 0, 0))",
         "UnicodeString:7-1-24 1:5 pm"},
        {"FormatDateTime('ddd dddd mmm mmmm', EncodeDate(2024, 1, 7))",
         "UnicodeString:Sun Sunday Jan January"},
        {"FormatDateTime('\"Day\" d', EncodeDate(2024, 1, 7))", "UnicodeString:Day 7"},
        {"FormatMaskText('(000) 000-0000;0;_', '5551234567')", "UnicodeString:(555) 123-4567"},
        {"FormatMaskText('>LL-000;0;_', 'ab12')", "UnicodeString:AB-12_"},
    };
    Library(English()).Check(cases);
}

TEST(Functions, Dates)
{
    const Case cases[] = {
        {"EncodeDate(2024, 2, 29)", "Date:2024-02-29"},
        {"EncodeDate(2023, 2, 29)", "error: Invalid argument to date encode"},
        {"EncodeDate(2024, 13, 1)", "error: Invalid argument to date encode"},
        {"EncodeTime(6, 30, 0, 0)", "Date:1899-12-30 06:30:00"},
        {"EncodeTime(24, 0, 0, 0)", "error: Invalid argument to time encode"},
        {"DayOfWeek(EncodeDate(2024, 1, 7))", "Integer:1"},
        {"DayOfWeek(EncodeDate(2024, 1, 13))", "Integer:7"},
        {"DayOfWeek(0)", "Integer:7"},
        {"DayOfWeek(-1)", "Integer:6"},
        {"DaysInMonth(2024, 2)", "Integer:29"},
        {"DaysInMonth(2023, 2)", "Integer:28"},
        {"DaysInMonth(2023, 4)", "Integer:30"},
        {"IsLeapYear(1900)", "Boolean:False"},
        {"IsLeapYear(2000)", "Boolean:True"},
        {"Trunc(Date) = Date", "Boolean:True"},
        {"(Time >= 0) and (Time < 1)", "Boolean:True"},
        {"Abs(Now - (Date + Time)) < 0.001", "Boolean:True"},
        {"VarType(Now)", "Integer:7"},
        {"DayOf(EncodeDate(2024, 1, 7))", "Integer:7"},
        {"MonthOf(EncodeDate(2024, 11, 7))", "Integer:11"},
        {"YearOf(EncodeDate(987, 1, 7))", "Integer:987"},
    };
    Library lib(English());
    lib.Check(cases);
    EXPECT_EQ(lib.Body("y, m, d: Integer;",
                       "DecodeDate(EncodeDate(2024, 3, 9), y, m, d); Result := y * 10000 + m * "
                       "100 + d"),
              "Integer:20240309");
    EXPECT_EQ(lib.Body("h, n, s, z: Integer;",
                       "DecodeTime(EncodeTime(13, 5, 9, 45), h, n, s, z); "
                       "Result := Format('%d:%d:%d.%d', [h, n, s, z])"),
              "UnicodeString:13:5:9.45");
}

TEST(Functions, Strings)
{
    const Case cases[] = {
        {"Length('abc')", "Integer:3"},
        {"Length(123)", "Integer:3"},
        {"Length(VarArrayCreate([0, 4], varVariant))", "Integer:5"},
        {"Length(VarArrayCreate([3, 4], varInteger))", "Integer:2"},
        {"Length(Null)", "Integer:0"},
        {"Copy('abc', 2, 10)", "UnicodeString:bc"},
        {"Copy('abc', 0, 2)", "UnicodeString:ab"},
        {"Copy('abc', 5, 1)", "UnicodeString:"},
        {"Copy('abc', 2, -1)", "UnicodeString:"},
        {"Copy('abc', 2, 9999999999)", "UnicodeString:bc"},
        {"Pos('z', 'abc')", "Integer:0"},
        {"Pos('bc', 'abcbc')", "Integer:2"},
        {"Pos('', 'abc')", "Integer:0"},
        {"Uppercase('čaša')", "UnicodeString:ČAŠA"},
        {"Lowercase('ŽABA')", "UnicodeString:žaba"},
        {"Trim(#9' a b '#13#10)", "UnicodeString:a b"},
        {"NameCase('jOHN smith')", "UnicodeString:John Smith"},
        {"NameCase(' đuro  ĐAKOVIĆ ')", "UnicodeString: Đuro  Đaković "},
        {"CompareText('abc', 'ABC')", "Integer:0"},
        {"CompareText('abc', 'ABD') < 0", "Boolean:True"},
        {"CompareText('b', 'A') > 0", "Boolean:True"},
        {"Chr(65) + Chr(353)", "UnicodeString:Aš"},
        {"Ord(Chr(128512))", "Integer:128512"},
        {"Chr(-1)", "error: -1 is not a valid character code"},
        {"Ord('A')", "Integer:65"},
        {"Ord('')", "Integer:0"},
        {"Ord(7)", "Integer:55"},
        {"__StringHelper('abc', 2)", "UnicodeString:b"},
        {"__StringHelper('abc', 4)", "error: String index 4 is out of bounds"},
        {"__ArrayHelper([5, 6, 7], 2)", "Integer:7"},
        {"__ArrayHelper([5, 6, 7], 3)", "error: Variant or safe array index out of bounds"},
    };
    Library lib(English());
    lib.Check(cases);
    const struct
    {
        const char* Body;
        const char* Expected;
    } bodies[] = {
        {"s := 'abcdef'; Delete(s, 2, 3); Result := s", "UnicodeString:aef"},
        {"s := 'abcdef'; DeleteStr(s, 5, 10); Result := s", "UnicodeString:abcd"},
        {"s := 'abc'; Delete(s, 0, 1); Delete(s, 4, 1); Result := s", "UnicodeString:abc"},
        {"s := 'ad'; Insert('bc', s, 2); Result := s", "UnicodeString:abcd"},
        {"s := 'ab'; Insert('x', s, 0); Insert('y', s, 99); Result := s", "UnicodeString:xaby"},
        {"s := 'abcdef'; SetLength(s, 2); Result := s", "UnicodeString:ab"},
        {"s := 'ab'; SetLength(s, 4); Result := s + '|'", "UnicodeString:ab  |"},
        {"v := [1, 2, 3]; SetLength(v, 5); Result := Format('%d %d', [Length(v), v[2]])",
         "UnicodeString:5 3"},
        {"v := 0; SetLength(v, 2); Result := VarType(v)", "Integer:8204"},
    };
    for (const auto& b : bodies) {
        SCOPED_TRACE(b.Body);
        EXPECT_EQ(lib.Body("s: String; v: Variant;", b.Body), b.Expected);
    }
}

TEST(Functions, Math)
{
    const Case cases[] = {
        {"Round(2.5)", "Integer:2"},
        {"Round(3.5)", "Integer:4"},
        {"Round(-2.5)", "Integer:-2"},
        {"Round(2.6)", "Integer:3"},
        {"Round(1E12)", "Int64:1000000000000"},
        {"Round(1E300)", "error: Invalid floating point operation"},
        {"Trunc(-2.7)", "Integer:-2"},
        {"Trunc(2.7)", "Integer:2"},
        {"Int(2.7)", "Double:2"},
        {"Int(-2.7)", "Double:-2"},
        {"Frac(-2.75)", "Double:-0.75"},
        {"Sqrt(16)", "Double:4"},
        {"Sqrt(-1)", "error: Invalid floating point operation"},
        {"Abs(-3)", "Double:3"},
        {"Abs('-1.5')", "Double:1.5"},
        {"Sin(0)", "Double:0"},
        {"Cos(0)", "Double:1"},
        {"Round(ArcTan(1) * 4 * 1000)", "Integer:3142"},
        {"Tan(0)", "Double:0"},
        {"Exp(0)", "Double:1"},
        {"Ln(Exp(2))", "Double:2"},
        {"Ln(0)", "error: Invalid floating point operation"},
        {"Exp(1000)", "error: Invalid floating point operation"},
        {"Pi", "Double:3.14159265358979"},
        {"Round(Null)", "error: Could not convert variant of type (Null) into type (Double)"},
    };
    Library(English()).Check(cases);
}

TEST(Functions, Other)
{
    const Case cases[] = {
        {"ValidInt('12')", "Boolean:True"},
        {"ValidInt('1.5')", "Boolean:False"},
        {"ValidFloat('1.5')", "Boolean:True"},
        {"ValidFloat('x')", "Boolean:False"},
        {"ValidDate('2024-01-07')", "Boolean:True"},
        {"ValidDate('2024-01-32')", "Boolean:False"},
        {"ValidDate(EncodeDate(2024, 1, 7))", "Boolean:True"},
        {"ExtractFilePath('/a/b/c.txt')", "UnicodeString:/a/b/"},
        {"ExtractFilePath('C:file.txt')", "UnicodeString:C:"},
        {"ExtractFilePath('c.txt')", "UnicodeString:"},
        {"VarType(1)", "Integer:3"},
        {"VarType(2147483648)", "Integer:20"},
        {"VarType('a')", "Integer:258"},
        {"VarType(Null)", "Integer:1"},
        {"VarType(1.5)", "Integer:5"},
        {"VarType(VarArrayCreate([0, 1], varInteger))", "Integer:8195"},
        {"VarArrayCreate([0, 1, 0, 1], varVariant)",
         "error: VarArrayCreate needs one low and one high bound"},
        {"(Random >= 0) and (Random < 1)", "Boolean:True"},
        {"CreateOleObject('Excel.Application')",
         "error: Cannot create the automation object 'Excel.Application': this program has no "
         "automation host"},
    };
    Library lib(English());
    lib.Check(cases);
    EXPECT_EQ(lib.Body("i: Integer;", "i := 1; Inc(i); Inc(i, 5); Dec(i, 2); Result := i"),
              "Integer:5");
    EXPECT_EQ(lib.Body("i: Variant;", "i := 'a'; Inc(i, 'b'); Result := i"), "UnicodeString:ab");
    EXPECT_EQ(lib.Body("", "ShowMessage('hello'); Result := 1"), "Integer:1");
    EXPECT_EQ(lib.Body("", "Randomize; Result := Random < 1"), "Boolean:True");
    EXPECT_EQ(lib.Body("", "RaiseException('boom'); Result := 1"), "error: boom");
    EXPECT_EQ(lib.Body("", "try RaiseException('boom') except Result := ExceptionMessage end"),
              "UnicodeString:boom");
}

TEST(Functions, SizesAreBounded)
{
    Library lib(English());
    const std::string limit = std::to_string(limits::ScriptMaxSizedLength);
    const std::string past = std::to_string(limits::ScriptMaxSizedLength + 1);
    EXPECT_EQ(lib.Body("v: Variant;", "SetLength(v, " + limit + "); Result := Length(v)"),
              "Integer:" + limit);
    EXPECT_EQ(lib.Body("v: Variant;", "SetLength(v, " + past + "); Result := 0"),
              "error: SetLength: a length of " + past + " is more than the " + limit + " allowed");
    EXPECT_EQ(lib.Eval("Length(VarArrayCreate([1, " + limit + "], varVariant))"),
              "Integer:" + limit);
    EXPECT_EQ(lib.Eval("Length(VarArrayCreate([0, " + limit + "], varVariant))"),
              "error: VarArrayCreate: an array of 0.." + limit + " is larger than the " + limit +
                  " elements allowed");
    EXPECT_EQ(lib.Eval("Length(VarArrayCreate([5, 4], varVariant))"), "Integer:0");
}

TEST(Functions, DeclarationsAndCategories)
{
    Library lib(English());
    const struct
    {
        const char* Name;
        const char* Category;
        size_t Params;
        size_t Required;
    } cases[] = {
        {"IntToStr", "ctConv", 1, 1},
        {"StrToBool", "ctConv", 1, 1},
        {"Format", "ctFormat", 2, 2},
        {"FormatMaskText", "ctFormat", 2, 2},
        {"DecodeTime", "ctDate", 5, 5},
        {"Now", "ctDate", 0, 0},
        {"SetLength", "ctString", 2, 2},
        {"Pi", "ctMath", 0, 0},
        {"Inc", "ctOther", 2, 1},
        {"VarType", "ctOther", 1, 1},
        {"DayOf", "ctDate", 1, 1},
        {"IIF", "ctOther", 3, 3},
        {"SUM", "ctAggregate", 3, 1},
        {"COUNT", "ctAggregate", 2, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        auto* item = lib.Script().Find(U(c.Name));
        ASSERT_NE(item, nullptr);
        ASSERT_EQ(item->ItemKind(), TsbItemKind::Method);
        auto& method = static_cast<TsbMethodHelper&>(*item);
        EXPECT_EQ(ToUtf8(method.Category), c.Category);
        EXPECT_EQ(method.Params.size(), c.Params);
        EXPECT_EQ(method.RequiredCount(), c.Required);
    }
    EXPECT_EQ(lib.Eval("Copy('abc', 1)").rfind("compile error: Not enough actual parameters", 0),
              0u);
    EXPECT_EQ(lib.Eval("Pi(1)").rfind("compile error: Too many actual parameters", 0), 0u);
}

TEST(Functions, EveryScriptGetsTheLibraryThroughAddRTTI)
{
    TsbScript script;
    script.AddRTTI();
    script.SetLines(u"function f: Variant; begin Result := NameCase('ana') + IntToStr(DayOf("
                    u"EncodeDate(2024, 1, 7))) end; begin end.");
    ASSERT_TRUE(script.Compile()) << ToUtf8(script.ErrorMsg());
    EXPECT_EQ(Show(script.CallFunction(u"f", {})), "UnicodeString:Ana7");
}

TEST(Functions, CroatianConventions)
{
    const FormatSettings* hr = Croatian();
    if (!hr) GTEST_SKIP() << "hr_HR.UTF-8 is not generated on this machine";
    const Case cases[] = {
        {"FloatToStr(1.5)", "UnicodeString:1,5"},
        {"VarToStr(-0.25)", "UnicodeString:-0,25"},
        {"StrToFloat('1,5')", "Double:1.5"},
        {"StrToFloat('1x')", "error: '1x' is not a valid floating point value"},
        {"ValidFloat('2,75')", "Boolean:True"},
        {"StrToBool('0,0')", "Boolean:False"},
        {"FormatFloat('#,##0.00', 1234.5)", "UnicodeString:1.234,50"},
        {"FormatFloat('0.00E+00', 1234.5)", "UnicodeString:1,23E+03"},
        {"Format('%.2f|%n', [1.5, 1234.5])", "UnicodeString:1,50|1.234,50"},
        {"DateToStr(EncodeDate(2024, 1, 7))", "UnicodeString:07.01.2024"},
        {"StrToDate('7.1.2024.')", "Date:2024-01-07"},
        {"StrToDate('07. 01. 2024.')", "Date:2024-01-07"},
        {"StrToDate(DateToStr(EncodeDate(1999, 12, 31)))", "Date:1999-12-31"},
        {"StrToDateTime('7.1.2024. 13:05:09')", "Date:2024-01-07 13:05:09"},
        {"StrToDate('2024-01-07')", "error: ''2024-01-07'' is not a valid date"},
        {"FormatDateTime('dddd, d. mmmm', EncodeDate(2024, 1, 7))",
         "UnicodeString:nedjelja, 7. siječnja"},
        {"FormatDateTime('ddd mmm', EncodeDate(2024, 1, 7))", "UnicodeString:ned sij"},
        {"Uppercase('čćžšđ')", "UnicodeString:ČĆŽŠĐ"},
        {"NameCase('ivan ŠIMIĆ')", "UnicodeString:Ivan Šimić"},
        {"DayOf(EncodeDate(2024, 1, 7))", "Integer:7"},
        {"ValidDate(EncodeDate(2024, 1, 7))", "Boolean:True"},
    };
    Library(*hr).Check(cases);
}

} // namespace vl
