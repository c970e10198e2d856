#include "base/exception.h"
#include "model/model_classes.h"
#include "platform/component/class_registry.h"
#include "request/report_binding.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/request_reader.h"
#include "request/table_builder.h"
#include "support/report_fixtures.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

const char* Header = R"(<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>)";

std::string Text(const Variant& v)
{
    return v.IsNull() ? "<null>" : ToUtf8(v.ToText());
}

// A request taken through the pipeline's steps up to the export: tables, template, variables.
struct Request
{
    explicit Request(const std::string& json)
    {
        RegisterModelClasses(ClassRegistry::Global());
        MemoryStream input;
        input.Write(json);
        input.SetPosition(0);
        Document = ReadRequest(input);
        const JsonObject request = Document->Root().GetObject();
        if (const auto datasets = OptionalObjectMember(request, "datasets")) {
            Tables = BuildTables(*datasets, 8000);
            RegisterTables(Module, Tables);
        }
        LoadTemplate(Report(), request);
        ApplyVariables(Report(), request);
    }
    TvlxReport& Report() { return Module.vlxReport1(); }

    std::unique_ptr<JsonDocument> Document;
    std::vector<BuiltTable> Tables;
    TReportGenerator Module;
};

// A template that declares its datasets (as "DataSet=... DataSetName=..." items).
std::string TemplateWith(const std::vector<String>& datasets, const std::string& more = "")
{
    return std::string(Header) + R"(<TvlxReport PropData=\")" + ListBlock(u"Datasets", datasets) +
           R"(\")" + more + "/>";
}

const char* Shop = R"("datasets":{
  "Customers":{"fields":[["id","number"],["name","string"],["note","text"],["vip","boolean"]],
               "data":[[1,"Ana",null,null],[null,null,"x",true]]},
  "Orders":{"fields":[["n","number"]],"data":[[7]]}})";

} // namespace

TEST(ReportBinding, DeclaredDatasetsFindTheRequestTablesByName)
{
    Request r(std::string("{") + Shop + R"(,"report":")" +
              TemplateWith(
                  {u"DataSet=\"customers\" DataSetName=\"customers\"", u"DataSetName=\"ORDERS\""},
                  R"( DataSetName=\"Orders\")") +
              R"("})");
    TvlxReport& report = r.Report();
    ASSERT_EQ(report.DataSets().Count(), 2u);
    EXPECT_EQ(report.DataSets().Item(0).DataSet(), r.Module.FindTableAdapter(u"Customers"));
    EXPECT_EQ(report.DataSets().Item(1).DataSet(), r.Module.FindTableAdapter(u"Orders"));
    EXPECT_EQ(report.DataSet(), r.Module.FindTableAdapter(u"Orders"));
    EXPECT_EQ(report.GetDataset(u"CUSTOMERS"), r.Module.FindTableAdapter(u"Customers"));
    EXPECT_EQ(ToUtf8(report.GetAlias(r.Module.FindTableAdapter(u"Orders"))), "Orders");
    EXPECT_EQ(report.GetDataset(u"Nobody"), nullptr);
}

TEST(ReportBinding, FieldValuesReplaceNullsByFieldKind)
{
    Request r(std::string("{") + Shop + R"(,"report":")" +
              TemplateWith({u"DataSet=\"Customers\" DataSetName=\"Customers\""}) + R"("})");
    TvlxReport& report = r.Report();
    TvlxDataSet& customers = *report.GetDataset(u"Customers");
    customers.First();
    customers.Next(); // the row of nulls (except note and vip)
    struct Case
    {
        const char16_t* Expr;
        bool ConvertNulls;
        const char* Value;
    };
    const Case cases[] = {
        {u"Customers.\"id\"", true, "0"},
        {u"Customers.\"name\"", true, ""},
        {u"Customers.\"vip\"", true, "True"},
        {u"Customers.\"note\"", true, "x"},
        {u"Customers.\"id\"", false, "<null>"},
        {u"Customers.\"name\"", false, "<null>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Expr));
        report.EngineOptions().ConvertNulls = c.ConvertNulls;
        EXPECT_EQ(Text(report.Calc(c.Expr)), c.Value);
    }
    customers.First();
    EXPECT_EQ(Text(report.Calc(u"Customers.\"name\"")), "Ana");
}

TEST(ReportBinding, RequestVariablesOverrideTheTemplatesAndKeepTheirText)
{
    const std::string tmpl = std::string(Header) + R"(<TvlxReport PropData=\")" +
                             ListBlock(u"Variables",
                                       {u"Name=\" Main\"",
                                        u"Name=\"Title\" Value=\"'From template'\"",
                                        u"Name=\"Kept\" Value=\"1 + 1\""}) +
                             R"(\"/>)";
    Request r(R"({"report":")" + tmpl + R"(","variables":{
        "title":"It's","Multi":"a\r\n\tb","Flag":true,"Nothing":null,"Number":2.5,
        "Twice":"first","TWICE":"second"}})");
    TvlxReport& report = r.Report();
    const TvlxVariables& v = report.Variables();
    EXPECT_EQ(ToUtf8(v.Item(1).Name()), "Title"); // replaced in place, name kept
    struct Case
    {
        const char16_t* Name;
        const char* Stored;
        const char* Value;
    };
    const Case cases[] = {
        {u"Title", "'It''s'", "It's"},
        {u"Kept", "1 + 1", "2"},
        {u"Multi", "'a'#13#10#9'b'", "a\r\n\tb"},
        {u"Flag", "''", ""},
        {u"Nothing", "''", ""},
        {u"Number", "'2.5'", "2.5"},
        {u"Twice", "'second'", "second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Name));
        EXPECT_EQ(Text(v.Value(c.Name)), c.Stored);
        EXPECT_EQ(Text(report.Calc(c.Name)), c.Value);
    }
    EXPECT_EQ(v.Count(), 8u); // header, Title, Kept, and five appended
}

TEST(ReportBinding, PreparationKeepsTheBindingsOfTheReloadedTemplate)
{
    Request r(std::string("{") + Shop + R"(,"report":")" +
              TemplateWith({u"DataSet=\"Orders\" DataSetName=\"Orders\""}) + R"("})");
    TvlxReport& report = r.Report();
    auto engine = std::make_unique<FakeEngine>();
    std::string seen;
    engine->OnRun = [&] {
        TvlxDataSet& orders = *report.GetDataset(u"Orders");
        orders.First();
        seen = Text(report.Calc(u"<Orders.\"n\"> * 2"));
        return true;
    };
    report.SetEngine(std::move(engine));
    EXPECT_TRUE(report.PrepareReport());
    EXPECT_EQ(seen, "14");
    EXPECT_EQ(report.GetDataset(u"Orders"), r.Module.FindTableAdapter(u"Orders"));
}

TEST(ReportBinding, AFieldTheTableLacksIsAPreparationError)
{
    Request r(std::string("{") + Shop + R"(,"report":")" +
              TemplateWith({u"DataSet=\"Orders\" DataSetName=\"Orders\""}) + R"("})");
    TvlxReport& report = r.Report();
    auto engine = std::make_unique<FakeEngine>();
    engine->OnRun = [&] {
        report.FCurObject = u"Memo1";
        report.Calc(u"Orders.\"missing\"");
        return true;
    };
    report.SetEngine(std::move(engine));
    try {
        report.PrepareReport();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  "The following error(s) have occured:\r\n"
                  "Memo1: Field not found: Orders.\"missing\"\r\n");
    }
}

} // namespace vl
