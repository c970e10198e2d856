#include "layout/preview_pages.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "platform/component/class_registry.h"
#include "support/report_fixtures.h"
#include "template/report_variables.h"

#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <string>

namespace vl {
namespace {

constexpr const char* Template = R"(<?xml version="1.0" encoding="utf-8"?>
<TvlxReport Version="4.15.13">
  <TvlxReportPage Name="Page1" PaperWidth="210" PaperHeight="297" PaperSize="9">
    <TvlxReportTitle Name="Band1" Top="20" Height="40" Width="700">
      <TvlxMemoView Name="Memo1" Left="10" Top="5" Width="200" Height="20" Text="one"/>
      <TvlxMemoView Name="Memo2" Left="220" Top="5" Width="100" Height="20" HAlign="haRight"/>
    </TvlxReportTitle>
  </TvlxReportPage>
</TvlxReport>)";

// A loaded report whose script runs against a test engine: every case starts from the template.
class ScriptClassesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModelClasses(ClassRegistry::Global());
        Report.SetEngine(std::make_unique<FakeEngine>());
        Report.EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
        Load();
    }

    void Load()
    {
        MemoryStream stream;
        stream.Write(std::string(Template));
        stream.SetPosition(0);
        Report.LoadFromStream(stream);
    }

    // Runs `statements` as the main block, then gives the text of `expr`; a failure gives
    // "error: " and its message.
    std::string Run(const std::string& statements, const std::string& expr)
    {
        Load();
        Report.Errors().Clear();
        Report.ScriptText().SetText(FromUtf8("begin " + statements + " end."));
        try {
            if (!Report.PrepareScript()) return "error: " + ToUtf8(Report.Errors().Text());
            if (Report.Script().HasStatements()) Report.Script().Execute();
            return ToUtf8(Report.Calc(FromUtf8(expr)).ToText());
        } catch (const Exception& e) {
            return std::string("error: ") + e.what();
        }
    }

    TvlxComponent& Object(StringView name) { return *Report.FindObject(name); }

    TvlxReport Report;
};

struct Case
{
    const char* Statements;
    const char* Expr;
    const char* Expected;
};

TEST_F(ScriptClassesTest, PublishedPropertiesReadAndWrite)
{
    const Case cases[] = {
        {"", "Memo1.Text", "one\r\n"},
        {"Memo1.Text := 'x'", "Memo1.Text", "x\r\n"},
        {"Memo1.AnsiText := 'y'", "Memo1.Lines[0]", "y"},
        {"", "Memo1.Left + Memo1.Width", "210"},
        {"Memo1.Width := 12.5", "Memo1.Width", "12.5"},
        {"Band1.Visible := False", "Band1.Visible", "False"},
        {"", "Band1.Visible", "True"},
        {"", "Page1.Columns", "0"},
        {"Page1.Columns := 2", "Page1.Columns", "2"},
        {"", "Page1.PaperWidth", "210"},
        {"Memo1.Font.Size := 14", "Memo1.Font.Size", "14"},
        {"with Memo1 do Font.Size := 12", "Memo1.Font.Size", "12"},
        {"with Memo1.Font do begin Name := 'Courier New'; Size := 9 end",
         "Memo1.Font.Name + IntToStr(Memo1.Font.Size)",
         "Courier New9"},
        {"Memo1.Name := 'Renamed'", "TvlxMemoView(Report.FindObject('renamed')).Text", "one\r\n"},
        {"", "Memo1.Parent.Name", "Band1"},
        {"", "Memo1.Page.Name", "Page1"},
        {"", "Memo1.AbsTop", "25"},
        {"Memo1.SetBounds(1, 2, 3, 4)",
         "Memo1.Left + Memo1.Top + Memo1.Width + Memo1.Height",
         "10"},
        {"Memo1.Lines.Add('two'); Memo1.Lines.Insert(0, 'zero')",
         "Memo1.Lines.Text",
         "zero\r\none\r\ntwo\r\n"},
        {"Memo1.Lines.Delete(0)", "Memo1.Lines.Count", "0"},
        {"Memo1.Lines[0] := 'b'", "Memo1.Text", "b\r\n"},
        {"Memo1.Lines.Add('A'); Memo1.Lines.Add('b')", "Memo1.Lines.IndexOf('B')", "2"},
        {"Memo1.Lines.Clear", "Memo1.Lines.Count", "0"},
        {"Report.Variables['X'] := 5", "Report.Variables['X'] + 1", "6"},
        {"Set('Y', 'abc')", "Report.Variables['y']", "abc"},
        {"Report.Terminated := True", "Report.Terminated", "True"},
        {"", "Report.Calc('2 + 3')", "5"},
        {"", "Report.FindObject('Nothing') = nil", "True"},
        {"Memo1.Frame.Typ := [ftLeft, ftTop]", "Memo1.Frame.Typ", "5"},
        {"Memo1.Frame.Typ := ftRight or ftBottom", "Memo1.Frame.Typ and ftBottom", "8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Statements) + " | " + c.Expr);
        EXPECT_EQ(Run(c.Statements, c.Expr), c.Expected);
    }
}

TEST_F(ScriptClassesTest, EnumerationsConstantsAndClassTests)
{
    const Case cases[] = {
        {"", "haRight", "1"},
        {"", "Memo2.HAlign = haRight", "True"},
        {"Memo2.HAlign := haCenter", "Memo2.HAlign", "2"},
        {"Memo2.VAlign := vaBottom", "Memo2.VAlign = vaBottom", "True"},
        {"", "smActualHeight + smMaxHeight", "3"},
        {"", "fsDashDot", "3"},
        {"", "rfDontModify + rfDontEdit", "17"},
        {"", "skEllipse", "2"},
        {"", "fkDateTime", "2"},
        {"", "fftBoolean", "2"},
        {"", "dmSimplex", "3"},
        {"", "baClient", "6"},
        {"", "PixelsPerCm", "37.7953"},
        {"", "PixelsPerInch / PixelsPerTenthInch", "10"},
        {"", "DotMatrixCharHeight", "17"},
        {"", "clTransparent", "536870911"},
        {"", "Memo1 is TvlxMemoView", "True"},
        {"", "Memo1 is TvlxView", "True"},
        {"", "Memo1 is TvlxComponent", "True"},
        {"", "Band1 is TvlxMemoView", "False"},
        {"", "Band1 is TvlxBand", "True"},
        {"", "Report is TvlxReport", "True"},
        {"", "Engine is TvlxCustomEngine", "True"},
        {"", "Report.Variables is TvlxVariables", "True"},
        {"", "Memo1.Font is TFont", "True"},
        {"", "Report.Styles is TvlxStyles", "True"},
        {"", "Band1.Overflow", "False"},
        {"", "TvlxMemoView(Band1.FindObject('Memo2')).HAlign", "1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Statements) + " | " + c.Expr);
        EXPECT_EQ(Run(c.Statements, c.Expr), c.Expected);
    }
}

TEST_F(ScriptClassesTest, UnknownMembersAndMisuseGiveTheirMessages)
{
    const Case cases[] = {
        {"",
         "Memo1.Nope",
         "error: Error in expression 'Memo1.Nope': Undeclared identifier: 'Nope'"},
        {"",
         "Memo1[0]",
         "error: Error in expression 'Memo1[0]': Class TvlxMemoView does not have a default "
         "property"},
        {"",
         "Memo1.Text.Length",
         "error: Error in expression 'Memo1.Text.Length': Strings doesn't have properties or "
         "methods"},
        {"Memo1.Parent := Page1",
         "0",
         "error: Script error at 1:7: Left side cannot be assigned to\r\n"},
        {"Memo1.AbsTop := 1",
         "0",
         "error: Script error at 1:7: Left side cannot be assigned to\r\n"},
        {"",
         "Report.FindObject('Memo1').Text",
         "error: Error in expression 'Report.FindObject('Memo1').Text': Undeclared identifier: "
         "'Text'"},
        {"",
         "Memo1.FindObject",
         "error: Error in expression 'Memo1.FindObject': Not enough actual parameters"},
        // A type cast cannot reach the members of another class.
        {"", "TvlxMemoView(Report).Text", "error: Invalid class typecast"},
        {"", "TvlxMemoView(Memo1.Parent.Parent.Parent.Parent).Text", "error: Class type required"},
        {"Memo1.HAlign := 'haCenter'", "0", "error: Script error at 1:23: Incompatible types\r\n"},
        // A value of no static type takes an enumeration's value name.
        {"Set('A', 'haCenter'); Memo1.HAlign := Report.Variables['A']", "Memo1.HAlign", "2"},
        {"Set('A', 'haNone'); Memo1.HAlign := Report.Variables['A']",
         "0",
         "error: Invalid property value"},
        {"Memo1.Lines.Delete(5)", "0", "error: List index out of bounds (5)"},
        // Members that change the run wait for the engine to run.
        {"Engine.NewPage", "0", "error: Engine.NewPage can be called only while the report runs"},
        {"",
         "Engine.FreeSpace",
         "error: Engine.FreeSpace can be called only while the report runs"},
        {"Report.LoadFromFile('x.xml')",
         "0",
         "error: A report script cannot load a template (Report.LoadFromFile)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Statements) + " | " + c.Expr);
        EXPECT_EQ(Run(c.Statements, c.Expr), c.Expected);
    }
}

TEST_F(ScriptClassesTest, ScriptChangesReachTheTemplateObjects)
{
    Report.ScriptText().SetText(
        u"begin Memo1.Text := 'changed'; Band1.Visible := False; Memo2.Font.Size := 20 end.");
    ASSERT_TRUE(Report.PrepareScript()) << ToUtf8(Report.Errors().Text());
    Report.Script().Execute();
    EXPECT_EQ(static_cast<TvlxCustomMemoView&>(Object(u"Memo1")).Text(), u"changed\r\n");
    EXPECT_FALSE(Object(u"Band1").Visible());
    EXPECT_EQ(Object(u"Memo2").Font().Size(), 20);
}

TEST_F(ScriptClassesTest, GlobalVariablesAreAnObject)
{
    Report.ScriptText().SetText(u"begin vlxGlobalVariables['ScriptClassesTest'] := 7 end.");
    ASSERT_TRUE(Report.PrepareScript()) << ToUtf8(Report.Errors().Text());
    Report.Script().Execute();
    EXPECT_EQ(GlobalVariables().Value(u"ScriptClassesTest").ToText(), u"7");
    GlobalVariables().DeleteVariable(u"ScriptClassesTest");
}

TEST_F(ScriptClassesTest, EventHandlersSeeTheirSenderAsObject)
{
    Report.ScriptText().SetText(
        u"procedure Before(Sender: TvlxComponent);\n"
        u"begin\n"
        u"  if Sender is TvlxMemoView then TvlxMemoView(Sender).Text := 'seen';\n"
        u"end;\n"
        u"begin end.");
    ASSERT_TRUE(Report.PrepareScript()) << ToUtf8(Report.Errors().Text());
    auto& memo = static_cast<TvlxCustomMemoView&>(Object(u"Memo1"));
    Report.DoNotifyEvent(&Object(u"Band1"), u"Before", true);
    EXPECT_EQ(memo.Text(), u"one\r\n");
    Report.DoNotifyEvent(&memo, u"Before", true);
    EXPECT_EQ(memo.Text(), u"seen\r\n");
}

constexpr const char* EngineTemplate = R"(<?xml version="1.0" encoding="utf-8"?>
<TvlxReport Version="4.15.13" ScriptText.Text="%s">
  <TvlxReportPage Name="Page1" PaperWidth="210" PaperHeight="297" PaperSize="9">
    <TvlxReportTitle Name="Title1" Top="20" Height="40" Width="700" OnBeforePrint="TitleBefore">
      <TvlxMemoView Name="Memo1" Width="200" Height="20" Text="title"/>
    </TvlxReportTitle>
    <TvlxReportSummary Name="Summary1" Top="80" Height="40" Width="700" OnBeforePrint="SummaryBefore">
      <TvlxMemoView Name="Memo2" Width="200" Height="20" Text="summary"/>
    </TvlxReportSummary>
  </TvlxReportPage>
</TvlxReport>)";

// The engine's and the outline's members, called by event handlers while the real engine runs.
TEST(ScriptEngineMembers, WorkWhileTheReportRuns)
{
    RegisterModelClasses(ClassRegistry::Global());
    TvlxReport report;
    report.EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
    const std::string script =
        "procedure TitleBefore(Sender: TvlxComponent);&#10;"
        "begin&#10;"
        "  Engine.AddAnchor('title');&#10;"
        "  Outline.AddItem('Title entry');&#10;"
        "  Outline.LevelRoot;&#10;"
        "  if Engine.FreeSpace &lt;= 0 then RaiseException('no space');&#10;"
        "end;&#10;"
        "procedure SummaryBefore(Sender: TvlxComponent);&#10;"
        "begin&#10;"
        "  Engine.NewPage;&#10;"
        "  vlxGlobalVariables['ScriptAnchorPage'] := Engine.GetAnchorPage('title');&#10;"
        "end;&#10;"
        "begin end.";
    std::string xml = EngineTemplate;
    xml.replace(xml.find("%s"), 2, script);
    MemoryStream stream;
    stream.Write(xml);
    stream.SetPosition(0);
    report.LoadFromStream(stream);

    ASSERT_TRUE(report.PrepareReport()) << ToUtf8(report.Errors().Text());
    TvlxPreviewPages& pages = report.PreviewPages();
    EXPECT_EQ(pages.Count(), 2); // the summary moved to a new page
    EXPECT_EQ(pages.GetAnchorPage(u"title"), 1);
    // The template's own variables come back after the run; the global list keeps the value.
    EXPECT_EQ(GlobalVariables().Value(u"ScriptAnchorPage").ToText(), u"1");
    GlobalVariables().DeleteVariable(u"ScriptAnchorPage");
    ASSERT_EQ(pages.Outline().Count(), 1);
    const TvlxOutlineEntry entry = pages.Outline().GetItem(0);
    EXPECT_EQ(entry.Text, u"Title entry");
    EXPECT_EQ(entry.Page, 0);
}

} // namespace
} // namespace vl
