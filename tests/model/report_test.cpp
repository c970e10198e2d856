#include "model/model_classes.h"
#include "model/picture_view.h"
#include "model/report.h"
#include "platform/component/class_builder.h"
#include "platform/component/class_registry.h"
#include "request/dataset_adapter.h"
#include "support/report_fixtures.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace vl {
namespace {

std::string Utf8(const String& s)
{
    return ToUtf8(s);
}

// A plain child object with a position, standing in for pages and bands.
class TestBox : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestBox, TvlxReportComponent>(u"TvlxTestBox")
                .Prop<&TvlxComponent::Left, &TvlxComponent::SetLeft>(u"Left")
                .Prop<&TvlxComponent::Visible, &TvlxComponent::SetVisible>(u"Visible", true)
                .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class ReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModelClasses(ClassRegistry::Global());
        ClassRegistry::Global().Register(TestBox::StaticClass());
        auto engine = std::make_unique<FakeEngine>();
        Engine = engine.get();
        Report.SetEngine(std::move(engine));
        Report.EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
    }

    void Load(const std::string& xml)
    {
        MemoryStream stream;
        stream.Write("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>" + xml);
        stream.SetPosition(0);
        Report.LoadFromStream(stream);
    }

    // The message of the Exception `fn` raises ("" when it raises none).
    static std::string ErrorOf(const std::function<void()>& fn)
    {
        try {
            fn();
        } catch (const Exception& e) {
            return e.what();
        }
        return {};
    }

    TvlxReport Report;
    FakeEngine* Engine = nullptr;
};

TEST_F(ReportTest, StartsWithItsDefaults)
{
    EXPECT_EQ(Report.Version(), u"4.15.13");
    EXPECT_EQ(Report.ScriptLanguage(), u"PascalScript");
    EXPECT_EQ(Report.ScriptText().Lines(), (std::vector<String>{u"begin", u"", u"end."}));
    EXPECT_EQ(Report.SysVariables().Lines(),
              (std::vector<String>{u"Date",
                                   u"Time",
                                   u"Page",
                                   u"Page#",
                                   u"TotalPages",
                                   u"TotalPages#",
                                   u"Line",
                                   u"Line#",
                                   u"CopyName#"}));
    EXPECT_TRUE(Report.ShowProgress);
    EXPECT_TRUE(Report.StoreInDFM);
    EXPECT_TRUE(Report.EngineOptions().DestroyForms);
    EXPECT_TRUE(Report.EngineOptions().UseGlobalDataSetList);
}

TEST_F(ReportTest, ClearResetsOnlyTheTemplatesEngineOptions)
{
    TvlxEngineOptions& o = Report.EngineOptions();
    o.ConvertNulls = false;
    o.IgnoreDevByZero = true;
    o.DoublePass = true;
    o.PrintIfEmpty = false;
    o.MaxMemSize = 99;
    o.TempDir = u"/tmp/x";
    o.NewSilentMode = TvlxSilentMode::simSilent;
    Report.ScriptText().SetText(u"begin x end.");
    Report.Variables().SetValue(u"A", Variant(u"1"));
    Report.OnStartReport = u"Start";

    Report.Clear();

    EXPECT_TRUE(o.ConvertNulls);
    EXPECT_FALSE(o.IgnoreDevByZero);
    EXPECT_FALSE(o.DoublePass);
    EXPECT_FALSE(o.PrintIfEmpty);
    EXPECT_EQ(o.MaxMemSize, 99);
    EXPECT_EQ(o.TempDir, u"/tmp/x");
    EXPECT_EQ(o.NewSilentMode, TvlxSilentMode::simSilent);
    EXPECT_EQ(Report.ScriptText().Count(), 3u);
    EXPECT_EQ(Report.Variables().Count(), 0u);
    EXPECT_TRUE(Report.OnStartReport.empty());
}

TEST_F(ReportTest, SilentModeIsABooleanViewOfNewSilentMode)
{
    TvlxEngineOptions o;
    o.SetSilentMode(true);
    EXPECT_EQ(o.NewSilentMode, TvlxSilentMode::simSilent);
    o.NewSilentMode = TvlxSilentMode::simReThrow;
    EXPECT_FALSE(o.SilentMode());
    o.SetSilentMode(false);
    EXPECT_EQ(o.NewSilentMode, TvlxSilentMode::simMessageBoxes);
}

TEST_F(ReportTest, LoadKeepsTheProgramsEngineOptionsAndTakesTheTemplatesOwn)
{
    Report.EngineOptions().MaxMemSize = 20;
    Load(R"(<TvlxReport Version="1.0" ShowProgress="False" EngineOptions.PrintIfEmpty="False" )"
         R"(EngineOptions.ConvertNulls="False" EngineOptions.DoublePass="True" )"
         R"(EngineOptions.IgnoreDevByZero="True" EngineOptions.MaxMemSize="5" )"
         R"(EngineOptions.NewSilentMode="simSilent" EngineOptions.TempDir="/t" )"
         R"(EngineOptions.UseFileCache="True" PreviewOptions.OutlineVisible="True" )"
         R"(PreviewOptions.Modal="False" ScriptLanguage="C++Script"/>)");
    const TvlxEngineOptions& o = Report.EngineOptions();
    // The template's own settings stay ...
    EXPECT_FALSE(o.ConvertNulls);
    EXPECT_TRUE(o.DoublePass);
    EXPECT_TRUE(o.IgnoreDevByZero);
    EXPECT_TRUE(Report.PreviewOptions().OutlineVisible);
    EXPECT_EQ(Report.ScriptLanguage(), u"C++Script");
    // ... the program's come back.
    EXPECT_TRUE(o.PrintIfEmpty);
    EXPECT_EQ(o.MaxMemSize, 20);
    EXPECT_EQ(o.NewSilentMode, TvlxSilentMode::simReThrow);
    EXPECT_TRUE(o.TempDir.empty());
    EXPECT_FALSE(o.UseFileCache);
    EXPECT_TRUE(Report.PreviewOptions().Modal);
    EXPECT_TRUE(Report.ShowProgress);
    EXPECT_EQ(Report.Version(), u"4.15.13");
}

TEST_F(ReportTest, LoadReadsTheVariableListAndEmptiesTheOldOne)
{
    Report.Variables().SetValue(u"Old", Variant(u"1"));
    Load("<TvlxReport PropData=\"" +
         ListBlock(u"Variables",
                   {u"Name=\" Totals\"", u"Name=\"Sum\" Value=\"1 + 2\"", u"Name=\"Empty\""}) +
         "\"/>");
    const TvlxVariables& v = Report.Variables();
    ASSERT_EQ(v.Count(), 3u);
    EXPECT_EQ(v.Item(0).Name(), u" Totals");
    EXPECT_EQ(v.IndexOf(u"Old"), -1);
    const Variant sum = v.Value(u"Sum");
    ASSERT_TRUE(sum.IsString());
    EXPECT_EQ(sum.StringValue(), u"1 + 2");
    EXPECT_EQ(Utf8(Report.Calc(u"Sum").ToText()), "3");
}

TEST_F(ReportTest, SaveAndLoadGiveBackTheSameTemplate)
{
    Load(
        R"(<TvlxReport EngineOptions.DoublePass="True" OnStartReport="Starting" )"
        R"(ReportOptions.Author="Ana &#38; Ivo" ReportOptions.Description.Text="a&#13;&#10;b" )"
        R"(ScriptText.Text="begin&#13;&#10;end."><TvlxTestBox Name="Box1" Left="12,5"/></TvlxReport>)");
    Report.Variables().SetValue(u"Greeting", Variant(u"'Hi'"));

    MemoryStream saved;
    Report.SaveToStream(saved);
    TvlxReport copy;
    saved.SetPosition(0);
    copy.LoadFromStream(saved);

    EXPECT_TRUE(copy.EngineOptions().DoublePass);
    EXPECT_EQ(copy.OnStartReport, u"Starting");
    EXPECT_EQ(copy.ReportOptions().Author, u"Ana & Ivo");
    EXPECT_EQ(copy.ReportOptions().Description.Lines(), (std::vector<String>{u"a", u"b"}));
    EXPECT_EQ(copy.ScriptText().Lines(), (std::vector<String>{u"begin", u"end."}));
    EXPECT_EQ(Utf8(copy.Variables().Value(u"Greeting").ToText()), "'Hi'");
    auto* box = dynamic_cast<TestBox*>(copy.FindObject(u"Box1"));
    ASSERT_NE(box, nullptr);
    EXPECT_DOUBLE_EQ(box->Left(), 12.5);
}

TEST_F(ReportTest, LoadErrorsAreCombinedAndRaisedOnce)
{
    struct Case
    {
        const char* Xml;
        const char* Message;
    };
    const Case cases[] = {
        {R"(<TvlxReport><NotAClass Name="a"><TvlxTestBox Name="b"/></NotAClass>)"
         R"(<NotAClass Name="c"/></TvlxReport>)",
         "The following error(s) have occured:\r\nCannot find class NotAClass\r\n"},
        {R"(<TvlxReport><TvlxTestBox Name="b" Left="abc"/></TvlxReport>)",
         "The following error(s) have occured:\r\n'abc' is not a valid floating point value\r\n"},
        {R"(<TvlxReport><TvlxTestBox Name="b"></TvlxReport>)",
         "The following error(s) have occured:\r\nInvalid file format\r\n"},
        {R"(<TvlxReport ReportOptions.Password="secret"/>)",
         "The following error(s) have occured:\r\n"
         "Templates protected by a password are not supported\r\n"},
        {R"(<TvlxReport ParentReport="base.vlx"/>)",
         "The following error(s) have occured:\r\nTemplates that inherit from a parent template "
         "(ParentReport \"base.vlx\") are not supported\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Xml);
        EXPECT_EQ(ErrorOf([&] { Load(c.Xml); }), c.Message);
    }
}

TEST_F(ReportTest, SilentLoadKeepsTheErrorsAndWhatWasRead)
{
    Report.EngineOptions().NewSilentMode = TvlxSilentMode::simSilent;
    Load(R"(<TvlxReport><TvlxTestBox Name="a"/><NotAClass Name="x"/><TvlxTestBox Name="b"/>)"
         R"(</TvlxReport>)");
    EXPECT_EQ(Report.Errors().Lines(), std::vector<String>{u"Cannot find class NotAClass"});
    EXPECT_NE(Report.FindObject(u"a"), nullptr);
    EXPECT_NE(Report.FindObject(u"b"), nullptr);
}

TEST_F(ReportTest, ValuesByNameComeFromTheReportsSources)
{
    Report.Variables().SetValue(u"Expr", Variant(u"2 * 3"));
    Report.Variables().SetValue(u"Literal", Variant(u"a\r\nb"));
    Report.Variables().SetValue(u"Chained", Variant(u"<Expr> + 1"));
    GlobalVariables().SetValue(u"CopyName0", Variant(u"Copy"));
    GlobalVariables().SetValue(u"GlobalOne", Variant(int32_t(11)));
    ASSERT_TRUE(Report.PrepareScript()); // adds the report functions (SUM)
    struct Case
    {
        const char16_t* Expr;
        const char* Text;
    };
    const Case cases[] = {
        {u"Expr", "6"},
        {u"expr", "6"},
        {u"Literal", "a\r\nb"},
        {u"<Chained> + 1", "8"},
        {u"GlobalOne", "11"},
        {u"[CopyName#]", "Copy"},
        {u"Page", "3"},
        {u"Page#", "4"},
        {u"TotalPages", "5"},
        {u"TotalPages#", "6"},
        {u"Line", "7"},
        {u"Line#", "8"},
        {u"SUM(1)", "42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.Expr));
        String expr = c.Expr;
        if (expr.front() == u'[') expr = expr.substr(1, expr.size() - 2);
        EXPECT_EQ(Utf8(Report.Calc(expr).ToText()), c.Text);
    }
    GlobalVariables().DeleteVariable(u"CopyName0");
    GlobalVariables().DeleteVariable(u"GlobalOne");
}

TEST_F(ReportTest, CalcErrorsNameTheCurrentObject)
{
    Report.FCurObject = u"Memo1";
    EXPECT_THROW(Report.Calc(u"1 +"), Exception);
    ASSERT_EQ(Report.Errors().Count(), 1u);
    EXPECT_EQ(Report.Errors().Lines()[0].rfind(u"Memo1: ", 0), 0u);
}

TEST_F(ReportTest, PrepareRunsTheMainBlockBeforeTheEngine)
{
    Report.ScriptText().SetText(u"begin Set('Total', 5) end.");
    Variant seen;
    Engine->OnRun = [&] {
        seen = Report.Calc(u"Total");
        return true;
    };
    EXPECT_TRUE(Report.PrepareReport());
    EXPECT_EQ(Engine->Runs, 1);
    EXPECT_EQ(Utf8(seen.ToText()), "5");
}

TEST_F(ReportTest, ScriptSyntaxErrorStopsBeforeTheEngine)
{
    Report.ScriptText().SetText(u"begin\r\n  x := ;\r\nend.");
    const std::string message = ErrorOf([&] { Report.PrepareReport(); });
    EXPECT_EQ(message.rfind("The following error(s) have occured:\r\nScript error at 2:", 0), 0u)
        << message;
    EXPECT_EQ(Engine->Runs, 0);
}

TEST_F(ReportTest, TheSameErrorInEveryRowIsListedOnce)
{
    Engine->OnRun = [&] {
        Report.FCurObject = u"Memo1";
        for (int row = 0; row < 3; ++row) {
            try {
                Report.Calc(u"1 div 0");
            } catch (const Exception&) {
            }
        }
        return true;
    };
    const std::string message = ErrorOf([&] { Report.PrepareReport(); });
    EXPECT_EQ(message, "The following error(s) have occured:\r\nMemo1: Division by zero\r\n");
}

TEST_F(ReportTest, AnEngineErrorEndsThePreparationWithItsMessage)
{
    Engine->OnRun = []() -> bool { throw Exception(u"Band trouble"); };
    EXPECT_EQ(ErrorOf([&] { Report.PrepareReport(); }),
              "The following error(s) have occured:\r\nBand trouble\r\n");
}

TEST_F(ReportTest, SilentPreparationReturnsFalseWithoutRaising)
{
    Report.EngineOptions().NewSilentMode = TvlxSilentMode::simSilent;
    Engine->OnRun = []() -> bool { throw Exception(u"Band trouble"); };
    EXPECT_FALSE(Report.PrepareReport());
    EXPECT_EQ(Report.Errors().Lines(), std::vector<String>{u"Band trouble"});
}

TEST_F(ReportTest, MissingDatasetsFailBeforeAnythingRuns)
{
    Load("<TvlxReport PropData=\"" +
         ListBlock(u"Datasets",
                   {u"DataSet=\"Orders\" DataSetName=\"Orders\"",
                    u"DataSet=\"Items\" DataSetName=\"Items\""}) +
         "\"/>");
    EXPECT_EQ(ErrorOf([&] { Report.PrepareReport(); }),
              "The following error(s) have occured:\r\nDataset \"Items\" does not exist\r\n"
              "Dataset \"Orders\" does not exist\r\n");
    EXPECT_EQ(Engine->Runs, 0);
}

TEST_F(ReportTest, TheTemplateComesBackAfterTheRun)
{
    Load(R"(<TvlxReport><TvlxTestBox Name="Box1" Left="10"/></TvlxReport>)");
    Report.Variables().SetValue(u"V", Variant(u"1"));
    Engine->OnRun = [&] {
        auto* box = static_cast<TestBox*>(Report.FindObject(u"Box1"));
        box->SetLeft(99);
        box->SetVisible(false);
        Report.Variables().SetValue(u"V", Variant(u"2"));
        Report.Variables().SetValue(u"New", Variant(u"3"));
        return true;
    };
    EXPECT_TRUE(Report.PrepareReport());
    auto* box = dynamic_cast<TestBox*>(Report.FindObject(u"Box1"));
    ASSERT_NE(box, nullptr);
    EXPECT_DOUBLE_EQ(box->Left(), 10);
    EXPECT_TRUE(box->Visible());
    EXPECT_EQ(Utf8(Report.Variables().Value(u"V").ToText()), "1");
    EXPECT_EQ(Report.Variables().IndexOf(u"New"), -1);
}

TEST_F(ReportTest, WithoutDestroyFormsTheRunsChangesStay)
{
    Report.EngineOptions().DestroyForms = false;
    Engine->OnRun = [&] {
        Report.Variables().SetValue(u"New", Variant(u"3"));
        return true;
    };
    EXPECT_TRUE(Report.PrepareReport());
    EXPECT_EQ(Report.Variables().IndexOf(u"New"), 0);
}

TEST_F(ReportTest, EveryRunStoresThePicturesAgain)
{
    Report.EngineOptions().DestroyForms = false;
    auto* picture = TvlxComponent::Create<TvlxPictureView>(&Report);
    picture->SetName(u"Picture1");
    picture->FPictureChanged = false; // as an earlier run leaves it
    EXPECT_TRUE(Report.PrepareReport());
    EXPECT_TRUE(picture->FPictureChanged);
}

TEST_F(ReportTest, EventsRunScriptProceduresWithTheObject)
{
    Load(R"(<TvlxReport><TvlxTestBox Name="Box1" Left="10"/></TvlxReport>)");
    Report.ScriptText().SetText(
        u"procedure Hit(Sender: Variant); begin Set('Hits', Get('Hits') + 1) end; begin end.");
    Report.Variables().SetValue(u"Hits", Variant(int32_t(0)));
    auto* box = static_cast<TvlxReportComponent*>(Report.FindObject(u"Box1"));
    box->FOnBeforePrint = u"Hit";
    Report.EngineOptions().DestroyForms = false;
    Engine->OnRun = [&] {
        Report.DoBeforePrint(*box);
        Report.DoNotifyEvent(box, u"Hit");
        return true;
    };
    ASSERT_TRUE(Report.PrepareReport());
    // Outside a run only runAlways calls the procedure.
    Report.DoNotifyEvent(box, u"Hit");
    Report.DoNotifyEvent(box, u"Hit", true);
    EXPECT_EQ(Utf8(Report.Variables().Value(u"Hits").ToText()), "3");
}

TEST_F(ReportTest, DatasetAndFieldNamesSplitAtTheQuotedField)
{
    struct Case
    {
        const char16_t* Name;
        const char* Field;
    };
    const Case cases[] = {
        {u"Orders.\"Total\"", "Total"},
        {u"Orders.\"Unit.Price\"", "Unit.Price"},
        {u"Orders.Total", ""},
        {u"Orders", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.Name));
        TvlxDataSet* dataset = nullptr;
        String field;
        Report.GetDatasetAndField(c.Name, dataset, field);
        EXPECT_EQ(Utf8(field), c.Field);
        EXPECT_EQ(dataset, nullptr);
    }
}

} // namespace
} // namespace vl

namespace vl {
namespace {

// Class names of the report's children, in order, with their names.
std::string Children(const TvlxReport& report)
{
    std::string out;
    for (const auto& c : report.Objects())
        out +=
            (out.empty() ? "" : "|") + Utf8(String(c->ClassType().Name())) + ":" + Utf8(c->Name());
    return out;
}

TEST_F(ReportTest, LoadPutsADataPageFirst)
{
    RegisterDataClasses(ClassRegistry::Global());
    struct Case
    {
        const char* Body;
        const char* Children;
    };
    const Case cases[] = {
        {R"(<TvlxReportPage Name="Page1"/>)", "TvlxDataPage:Data|TvlxReportPage:Page1"},
        {R"(<TvlxReportPage Name="Data"/>)", "TvlxDataPage:DataPage1|TvlxReportPage:Data"},
        {R"(<TvlxReportPage Name="Page1"/><TvlxDataPage Name="D"/>)",
         "TvlxReportPage:Page1|TvlxDataPage:D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Body);
        Load(std::string("<TvlxReport>") + c.Body + "</TvlxReport>");
        EXPECT_EQ(Children(Report), c.Children);
    }
}

TEST_F(ReportTest, NonVisualObjectsMoveOntoTheNewDataPage)
{
    RegisterDataClasses(ClassRegistry::Global());
    Load(R"(<TvlxReport><TvlxReportPage Name="Page1"><TvlxUserDataSet Name="U1"/>)"
         R"(<TvlxTestBox Name="Box"/><TvlxUserDataSet Name="U2"/></TvlxReportPage></TvlxReport>)");
    TvlxComponent* page = Report.FindObject(u"Data");
    ASSERT_NE(page, nullptr);
    struct Case
    {
        const char16_t* Name;
        double Left;
    };
    for (const Case& c : {Case{u"U1", 60}, Case{u"U2", 124}}) {
        SCOPED_TRACE(Utf8(c.Name));
        TvlxComponent* d = Report.FindObject(c.Name);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Parent(), page);
        EXPECT_DOUBLE_EQ(d->Left(), c.Left);
        EXPECT_DOUBLE_EQ(d->Top(), 20);
    }
    EXPECT_NE(Report.FindObject(u"Box")->Parent(), page);
}

} // namespace
} // namespace vl
