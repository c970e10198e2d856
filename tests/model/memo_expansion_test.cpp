#include "base/exception.h"
#include "model/memo_expansion.h"
#include "model/memo_view.h"
#include "model/report.h"
#include "platform/json/json_reader.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"
#include "template/report_variables.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {
namespace {

std::string Utf8(StringView s)
{
    return ToUtf8(String(s));
}

// ---- FormatData

TEST(DisplayFormat, FormatDataUnderBothLocales)
{
    const FormatSettings english = FormatSettings::FromLocale("C.UTF-8");
    const FormatSettings croatian = FormatSettings::FromLocale("hr_HR.UTF-8");
    ASSERT_EQ(croatian.DecimalSeparator, u',') << "the test set-up generates hr_HR.UTF-8";
    struct Case
    {
        Variant Value;
        TvlxFormatKind Kind;
        const char16_t* FormatStr;
        const char16_t* Decimal;
        const char16_t* Thousand;
        const char* English;
        const char* Croatian;
    };
    using K = TvlxFormatKind;
    const Case cases[] = {
        {Variant::Null(), K::fkNumeric, u"#,##0.00", u"", u"", "", ""},
        {Variant(1234.5), K::fkText, u"", u"", u"", "1234.5", "1234,5"},
        {Variant(1234.5), K::fkNumeric, u"#,##0.00", u"", u"", "1,234.50", "1.234,50"},
        // Own separators: swapped in one pass, so "." and "," may trade places.
        {Variant(1234.5), K::fkNumeric, u"#,##0.00", u",", u".", "1.234,50", "1.234,50"},
        {Variant(1234567.5), K::fkNumeric, u"#,##0.00", u"", u" ", "1 234 567.50", "1 234 567,50"},
        {Variant(0.5), K::fkNumeric, u"0.000", u"", u"", "0.500", "0,500"},
        {Variant(2.5), K::fkNumeric, u"%2.2f", u"", u"", "2.50", "2,50"},
        {Variant(7.0), K::fkNumeric, u"%3d", u"", u"", "  7", "  7"},
        {Variant(u"12.5"), K::fkNumeric, u"%.1f", u"", u"", "12.5", "12,5"},
        // A text that is no number prints as it is.
        {Variant(u"n/a"), K::fkNumeric, u"#,##0.00", u"", u"", "n/a", "n/a"},
        {Variant::FromDate(45298.5),
         K::fkDateTime,
         u"dd.mm.yyyy hh:nn",
         u"",
         u"",
         "07.01.2024 12:00",
         "07.01.2024 12:00"},
        {Variant(true), K::fkBoolean, u"False,True", u"", u"", "True", "True"},
        {Variant(int32_t{0}), K::fkBoolean, u"False,True", u"", u"", "False", "False"},
        {Variant(true), K::fkBoolean, u"No,Yes", u"", u"", "Yes", "Yes"},
        {Variant(false), K::fkBoolean, u"No,Yes", u"", u"", "No", "No"},
        {Variant(u"maybe"), K::fkBoolean, u"No,Yes", u"", u"", "maybe", "maybe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.FormatStr) + " " + c.English);
        TvlxFormat format;
        format.SetKind(c.Kind);
        format.SetFormatStr(c.FormatStr);
        format.SetDecimalSeparator(c.Decimal);
        format.SetThousandSeparator(c.Thousand);
        EXPECT_EQ(Utf8(FormatData(c.Value, format, english)), c.English);
        EXPECT_EQ(Utf8(FormatData(c.Value, format, croatian)), c.Croatian);
    }
}

TEST(MemoExpansion, SplitInlineFormat)
{
    struct Case
    {
        const char16_t* Text;
        bool Split;
        const char16_t* Expression;
        TvlxFormatKind Kind;
        const char16_t* FormatStr;
        const char16_t* Decimal;
    };
    using K = TvlxFormatKind;
    const Case cases[] = {
        {u"<T.\"n\"> #n%2,2f", true, u"<T.\"n\">", K::fkNumeric, u"%2.2f", u","},
        {u"x #N#,##0.00", true, u"x", K::fkNumeric, u"#.##0.00", u"."},
        {u"x #n%d", true, u"x", K::fkNumeric, u"%d", u""},
        {u"x #Ddd.mm.yyyy", true, u"x", K::fkDateTime, u"dd.mm.yyyy", u""},
        {u"x #tt", true, u"x", K::fkDateTime, u"t", u""},
        {u"x #bNo,Yes", true, u"x", K::fkBoolean, u"No,Yes", u""},
        {u"x #s", true, u"x", K::fkText, u"", u""},
        // A ")" after the mark: the "#" belongs to the expression.
        {u"Copy('a #b', 1, 2)", false, u"", K::fkText, u"", u""},
        {u"x#n0", false, u"", K::fkText, u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.Text));
        StringView expression;
        TvlxFormat format;
        ASSERT_EQ(SplitInlineFormat(c.Text, expression, format), c.Split);
        if (!c.Split) continue;
        EXPECT_EQ(Utf8(expression), Utf8(c.Expression));
        EXPECT_EQ(format.Kind(), c.Kind);
        EXPECT_EQ(Utf8(format.FormatStr()), Utf8(c.FormatStr));
        EXPECT_EQ(Utf8(format.DecimalSeparator()), Utf8(c.Decimal));
    }
}

// ---- Memos in a real report over a real table

// Rows of "T": name, n, d (date), flag.
const char* Rows = R"({"T":{"fields":[["name","string"],["n","number"],["flag","boolean"]],
  "data":[["A",1234.5,true],["A",0,false],["B",null,null]]}})";

class MemoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto document = JsonDocument::Parse(Rows);
        ASSERT_TRUE(document);
        Tables = BuildTables(document->Root().GetObject(), 8000);
        RegisterTables(Generator, Tables);
        Table = Generator.FindTableAdapter(u"T");
        ASSERT_NE(Table, nullptr);
        Report.DataSets().Add().SetDataSet(Table);
        ASSERT_TRUE(Report.PrepareScript());
        Table->First();
    }

    TvlxMemoView& AddMemo(StringView name, StringView text)
    {
        auto memo = std::make_unique<TvlxMemoView>();
        TvlxMemoView& ref = *memo;
        Report.AddChild(std::move(memo));
        ref.SetName(String(name));
        ref.SetText(text);
        ref.SetBounds(0, 0, 200, 100);
        return ref;
    }

    // One output of `memo` as the engine makes it: the expanded text, without the final line end.
    static std::string Print(TvlxCustomMemoView& memo)
    {
        memo.BeforePrint();
        memo.GetData();
        String text = memo.Text();
        memo.AfterPrint();
        while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r'))
            text.pop_back();
        return Utf8(text);
    }

    std::vector<BuiltTable> Tables;
    TReportGenerator Generator;
    TvlxDataSet* Table = nullptr;
    TvlxReport Report;
};

TEST_F(MemoTest, ExpandsBracketedExpressions)
{
    struct Case
    {
        const char16_t* Text;
        const char16_t* Delimiters;
        const char* Printed;
    };
    const Case cases[] = {
        {u"no brackets ] here", u"[,]", "no brackets ] here"},
        {u"[<T.\"name\">]-[1 + 2]", u"[,]", "A-3"},
        {u"Sum: <%1 + 2%>!", u"<%,%>", "Sum: 3!"},
        // Quoted brackets and a bracketed field reference inside one expression.
        {u"[IIF(<T.\"flag\">, '[yes]', ']no[')]", u"[,]", "[yes]"},
        // Nested pairs belong to the outer one; a replacement is not scanned again.
        {u"['[ab]' + 'c']", u"[,]", "[ab]c"},
        {u"[<T.\"n\"> #n%2,2f] EUR", u"[,]", "1234,50 EUR"},
        {u"[TotalPages#] / [copyname#]", u"[,]", "[TotalPages#] / [CopyName#]"},
        {u"line 1\r\n[1 * 2]", u"[,]", "line 1\r\n2"},
    };
    TvlxMemoView& memo = AddMemo(u"Memo1", u"");
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.Text));
        memo.SetText(c.Text);
        memo.SetExpressionDelimiters(c.Delimiters);
        EXPECT_EQ(Print(memo), c.Printed);
        EXPECT_EQ(Utf8(memo.Text()), Utf8(String(c.Text) + u"\r\n")) << "template text is back";
    }
}

TEST_F(MemoTest, ErrorsNameTheMemoAndEndThePrint)
{
    TvlxMemoView& memo = AddMemo(u"Total", u"[1 +]");
    memo.BeforePrint();
    EXPECT_THROW(memo.GetData(), Exception);
    memo.AfterPrint();
    ASSERT_EQ(Report.Errors().Count(), 1u);
    EXPECT_EQ(Utf8(Report.Errors().Lines()[0]).rfind("Total: ", 0), 0u)
        << Utf8(Report.Errors().Lines()[0]);
    EXPECT_EQ(Utf8(memo.Text()), "[1 +]\r\n");
}

TEST_F(MemoTest, SuppressesRepeatedTextsAndSetsValue)
{
    TvlxMemoView& memo = AddMemo(u"Name", u"[<T.\"name\">]");
    memo.SetSuppressRepeated(true);
    std::vector<std::string> printed;
    for (Table->First(); !Table->Eof(); Table->Next())
        printed.push_back(Print(memo));
    EXPECT_EQ(printed, (std::vector<std::string>{"A", "", "B"}));
    EXPECT_EQ(Utf8(Report.Calc(u"Value").ToText()), "B");
    memo.ResetSuppress();
    Table->First();
    EXPECT_EQ(Print(memo), "A");
}

TEST_F(MemoTest, HideZerosAndDisplayFormats)
{
    struct Case
    {
        const char16_t* Text;
        bool DataField;
        TvlxFormatKind Kind;
        const char16_t* FormatStr;
        bool HideZeros;
        int Row;
        const char* Printed;
    };
    using K = TvlxFormatKind;
    const Case cases[] = {
        {u"[<T.\"n\">]", false, K::fkNumeric, u"#,##0.00", false, 0, "1,234.50"},
        {u"[<T.\"n\">]", false, K::fkNumeric, u"#,##0.00", false, 1, "0.00"},
        {u"[<T.\"n\">]", false, K::fkNumeric, u"#,##0.00", true, 1, ""},
        // ConvertNulls: a null number arrives as 0.
        {u"[<T.\"n\">]", false, K::fkNumeric, u"#,##0.00", false, 2, "0.00"},
        {u"[<T.\"n\">]", false, K::fkNumeric, u"#,##0.00", true, 2, ""},
        {u"['0']", false, K::fkText, u"", true, 0, "0"},
        {u"[<T.\"flag\">]", false, K::fkBoolean, u"no,yes", false, 0, "yes"},
        {u"n", true, K::fkNumeric, u"%.1f", false, 0, "1234.5"},
        {u"n", true, K::fkText, u"", true, 1, ""},
        {u"n", true, K::fkNumeric, u"#,##0.00", false, 2, ""},
        {u"name", true, K::fkText, u"", false, 0, "A"},
    };
    TvlxMemoView& memo = AddMemo(u"Amount", u"");
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.Text) + " row " + std::to_string(c.Row));
        if (c.DataField) {
            memo.SetDataSet(Table);
            memo.SetDataField(c.Text);
        } else {
            memo.SetDataSet(nullptr);
            memo.SetText(c.Text);
        }
        memo.MutableDisplayFormat().SetKind(c.Kind);
        memo.MutableDisplayFormat().SetFormatStr(c.FormatStr);
        memo.SetHideZeros(c.HideZeros);
        Table->First();
        for (int i = 0; i < c.Row; ++i)
            Table->Next();
        EXPECT_EQ(Print(memo), c.Printed);
    }
}

TEST_F(MemoTest, HighlightFollowsItsCondition)
{
    TvlxMemoView& memo = AddMemo(u"Flagged", u"[<T.\"name\">]");
    memo.MutableHighlight().SetCondition(u"<T.\"n\"> > 100");
    std::vector<bool> active;
    for (Table->First(); !Table->Eof(); Table->Next()) {
        memo.BeforePrint();
        memo.GetData();
        active.push_back(memo.Highlight().Active());
        memo.AfterPrint();
    }
    EXPECT_EQ(active, (std::vector<bool>{true, false, false}));
}

TEST_F(MemoTest, PlaceholdersResolveAtOutput)
{
    GlobalVariables().SetValue(u"CopyName2", Variant(u"Original"));
    TvlxMemoView& memo = AddMemo(u"Footer", u"Page of [TotalPages#], [CopyName#]");
    memo.BeforePrint();
    memo.GetData();
    EXPECT_EQ(Utf8(memo.Text()), "Page of [TotalPages#], [CopyName#]\r\n");
    memo.FTotalPages = 12;
    memo.FCopyNo = 2;
    memo.ExtractMacros();
    EXPECT_EQ(Utf8(memo.Text()), "Page of 12, Original\r\n");
    memo.AfterPrint();

    memo.SetText(u"[totalpages#] [COPYNAME#]");
    memo.FCopyNo = 3; // no such variable
    memo.ExtractMacros();
    EXPECT_EQ(Utf8(memo.Text()), "12 \r\n");

    memo.SetText(u"[TotalPages#]");
    memo.SetAllowExpressions(false);
    memo.ExtractMacros();
    EXPECT_EQ(Utf8(memo.Text()), "[TotalPages#]\r\n");
    GlobalVariables().DeleteVariable(u"CopyName2");
}

TEST_F(MemoTest, TextThatDoesNotFitFlowsOn)
{
    TvlxMemoView& first = AddMemo(u"First", u"one\r\ntwo\r\nthree\r\n[1 + 1]");
    TvlxMemoView& next = AddMemo(u"Next", u"");
    first.SetHeight(20); // room for one line of Arial 10
    first.SetFlowTo(&next);
    first.BeforePrint();
    next.BeforePrint();
    first.GetData();
    EXPECT_EQ(Utf8(first.Text()), "one\r\n");
    EXPECT_EQ(Utf8(next.Text()), "two\r\nthree\r\n2\r\n");
    EXPECT_FALSE(next.AllowExpressions());
    first.AfterPrint();
    next.AfterPrint();
    EXPECT_EQ(Utf8(first.Text()), "one\r\ntwo\r\nthree\r\n[1 + 1]\r\n");
}

} // namespace
} // namespace vl
