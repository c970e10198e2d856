#include "base/exception.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"
#include "template/xml_serializer.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

// Request tables built by the real table builder from a "datasets" JSON text.
std::vector<BuiltTable> Tables(const std::string& datasetsJson)
{
    auto document = JsonDocument::Parse(datasetsJson);
    if (!document) throw std::runtime_error("bad test JSON: " + datasetsJson);
    return BuildTables(document->Root().GetObject(), 8000);
}

// The message `fn` fails with, "" when it succeeds.
template <class Fn>
std::string ErrorOf(Fn fn)
{
    try {
        fn();
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.what();
    }
    return "";
}

std::string Text(const Variant& v)
{
    return v.IsNull() ? "<null>" : ToUtf8(v.ToText());
}

// Values of `field` over a walk of `adapter` from First to Eof.
std::string Walk(TvlxDataSet& adapter, StringView field)
{
    std::string out;
    for (adapter.First(); !adapter.Eof(); adapter.Next()) {
        if (!out.empty()) out += ",";
        out += Text(adapter.FieldValue(field));
    }
    return out;
}

// One table "T" of every request field kind, with a full row and a row of nulls.
const char* AllKinds = R"({"T":{"fields":[["s","string_20"],["t","text"],["b","boolean"],
    ["d","date"],["n","number"],["blob","stream"]],
  "data":[["abc","long text",true,"2015-04-22T13:45:00",12.5,"H4sIAAAAAAACA0tMYvgPALm/j8QEAAAA"],
          [null,null,null,null,null,null]]}})";

// Orders with customers: customer 1 has three orders whose "n" values come as 3, 1, 2;
// customer 2 has none.
const char* Shop = R"({
  "Customers":{"fields":[["id","number"],["name","string"]],"data":[[1,"Ana"],[2,"Ivo"],[3,"Eva"]]},
  "Orders":{"fields":[["customer_id","number"],["n","number"]],
            "data":[[1,3],[3,9],[1,1],[1,2],[3,8]]}})";

struct Module
{
    explicit Module(const char* datasets)
        : BuiltTables(Tables(datasets))
    {
        RegisterTables(Generator, BuiltTables);
    }
    TvlxDBDataset& Adapter(StringView name) { return *Generator.FindTableAdapter(name); }

    std::vector<BuiltTable> BuiltTables;
    TReportGenerator Generator;
};

} // namespace

TEST(DatasetAdapter, FieldValueByFieldKind)
{
    Module m(AllKinds);
    TvlxDBDataset& t = m.Adapter(u"T");
    t.Initialize();
    t.First();
    const struct
    {
        StringView Field;
        TVarType Type;
        std::string Full;
    } cases[] = {
        {u"s", varUString, "abc"},
        {u"t", varUString, "long text"},
        {u"b", varBoolean, "True"},
        {u"d", varDate, "2015-04-22 13:45:00"},
        {u"n", varDouble, "12.5"},
        {u"blob", varUString, std::string("ab\0\xC3\xBF", 5)}, // bytes as 8-bit characters
        {u"__id", varInteger, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Field));
        const Variant v = t.FieldValue(c.Field);
        EXPECT_EQ(v.Type(), c.Type);
        EXPECT_EQ(Text(v), c.Full);
    }
    EXPECT_DOUBLE_EQ(t.FieldValue(u"D").FloatValue(), 42116 + (13 * 60 + 45) / 1440.0);

    t.Next();
    for (const auto& c : cases) {
        if (c.Field == u"__id") continue;
        SCOPED_TRACE(ToUtf8(c.Field));
        EXPECT_TRUE(t.FieldValue(c.Field).IsNull()); // a null text column too, not ''
    }
    t.Finalize();
}

TEST(DatasetAdapter, DecimalAsCurrencyOnRequest)
{
    Module m(R"({"T":{"fields":[["n","number"]],"data":[[1.23456]]}})");
    TvlxDBDataset& t = m.Adapter(u"T");
    t.SetBCDToCurrency(true);
    t.First();
    const Variant v = t.FieldValue(u"n");
    EXPECT_EQ(v.Type(), varCurrency);
    EXPECT_EQ(v.CurrencyScaled(), 12346);
}

TEST(DatasetAdapter, CategoriesAndWidthsByFieldKind)
{
    Module m(AllKinds);
    TvlxDBDataset& t = m.Adapter(u"T");
    const struct
    {
        StringView Field;
        TvlxFieldCategory Category;
        int32_t Width;
    } cases[] = {
        {u"s", TvlxFieldCategory::Text, 20},
        {u"t", TvlxFieldCategory::Numeric, 10}, // a null memo becomes 0, not ''
        {u"B", TvlxFieldCategory::Boolean, 10},
        {u"d", TvlxFieldCategory::Numeric, 20},
        {u"n", TvlxFieldCategory::Numeric, 10},
        {u"blob", TvlxFieldCategory::Numeric, 10},
        {u"missing", TvlxFieldCategory::Numeric, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Field));
        EXPECT_EQ(t.FieldCategory(c.Field), c.Category);
        EXPECT_EQ(t.FieldDisplayWidth(c.Field), c.Width);
    }
}

TEST(DatasetAdapter, DisplayTextByFieldKind)
{
    Module m(AllKinds);
    TvlxDBDataset& t = m.Adapter(u"T");
    t.First();
    EXPECT_EQ(ToUtf8(t.FieldDisplayText(u"s")), "abc");
    EXPECT_EQ(ToUtf8(t.FieldDisplayText(u"b")), "True");
    EXPECT_EQ(ToUtf8(t.FieldDisplayText(u"n")), "12.5");
    t.Next();
    EXPECT_EQ(ToUtf8(t.FieldDisplayText(u"s")), "");

    // A closed table shows the reference itself.
    t.Close();
    t.SetOpenDataSource(false);
    EXPECT_EQ(ToUtf8(t.FieldDisplayText(u"s")), "T.\"s\"");
}

TEST(DatasetAdapter, MissingFieldGivesNullAndOneErrorLine)
{
    Module m(AllKinds);
    TvlxDBDataset& t = m.Adapter(u"T");
    TvlxReport& report = m.Generator.vlxReport1();
    t.SetReportRef(&report);
    report.FCurObject = u"Memo1";
    t.First();

    EXPECT_TRUE(t.FieldValue(u"nope").IsNull());
    t.Next();
    EXPECT_TRUE(t.FieldValue(u"nope").IsNull()); // every row: still one line
    EXPECT_EQ(ToUtf8(t.FieldDisplayText(u"other")), "Field not found: T.\"other\"");
    ASSERT_EQ(report.Errors().Count(), 2u);
    EXPECT_EQ(ToUtf8(report.Errors().Lines()[0]), "Memo1: Field not found: T.\"nope\"");
    EXPECT_EQ(ToUtf8(report.Errors().Lines()[1]), "Memo1: Field not found: T.\"other\"");
}

TEST(DatasetAdapter, WalksInRequestOrderWithRecordCounter)
{
    Module m(Shop);
    TvlxDBDataset& orders = m.Adapter(u"orders"); // any case finds it
    orders.Initialize();
    EXPECT_EQ(orders.RecordCount(), 5);
    EXPECT_EQ(Walk(orders, u"n"), "3,9,1,2,8");
    EXPECT_EQ(orders.RecNo(), 5);
    orders.Prior();
    EXPECT_EQ(orders.RecNo(), 4);
    EXPECT_EQ(Text(orders.FieldValue(u"n")), "2"); // the table stood on its last record
    orders.Finalize();
}

TEST(DatasetAdapter, Ranges)
{
    const struct
    {
        const char* Name;
        TvlxRangeBegin Begin;
        TvlxRangeEnd End;
        int32_t Count;
        std::string Walked;
        std::string After; // "n" of the table's record after Finalize
    } cases[] = {
        {"all", TvlxRangeBegin::rbFirst, TvlxRangeEnd::reLast, 0, "3,9,1,2,8", "8"},
        {"from current", TvlxRangeBegin::rbCurrent, TvlxRangeEnd::reLast, 0, "1,2,8", "1"},
        {"to current", TvlxRangeBegin::rbFirst, TvlxRangeEnd::reCurrent, 0, "3,9,1", "1"},
        {"current only", TvlxRangeBegin::rbCurrent, TvlxRangeEnd::reCurrent, 0, "1", "1"},
        {"count 2", TvlxRangeBegin::rbFirst, TvlxRangeEnd::reCount, 2, "3,9", "1"},
        {"count 0", TvlxRangeBegin::rbFirst, TvlxRangeEnd::reCount, 0, "", "3"},
        {"count past end", TvlxRangeBegin::rbFirst, TvlxRangeEnd::reCount, 9, "3,9,1,2,8", "8"},
        {"count from current", TvlxRangeBegin::rbCurrent, TvlxRangeEnd::reCount, 2, "1,2", "1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Module m(Shop);
        TClientDataSet& table = *m.BuiltTables[1].Table;
        table.First();
        table.Next();
        table.Next(); // the current record: n = 1
        TvlxDBDataset& orders = m.Adapter(u"Orders");
        orders.SetRangeBegin(c.Begin);
        orders.SetRangeEnd(c.End);
        orders.SetRangeEndCount(c.Count);
        orders.Initialize();
        EXPECT_EQ(Walk(orders, u"n"), c.Walked);
        EXPECT_EQ(orders.RecordCount(), 5); // the table's count whatever the range
        // Walking twice gives the same records.
        EXPECT_EQ(Walk(orders, u"n"), c.Walked);
        // Back to the remembered record, or where the walk stopped.
        orders.Finalize();
        EXPECT_EQ(Text(Variant(table.FieldByName(u"n").AsDecimal().ToDouble())), c.After);
    }
}

TEST(DatasetAdapter, BaseCounterRules)
{
    TvlxUserDataSet counter;
    counter.SetRangeEnd(TvlxRangeEnd::reCount);
    counter.SetRangeEndCount(3);
    EXPECT_EQ(counter.RecordCount(), 3);
    int nextEvents = 0;
    counter.OnNext = [&](TvlxDataSet&) { ++nextEvents; };
    int rows = 0;
    for (counter.First(); !counter.Eof(); counter.Next())
        ++rows;
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(counter.RecNo(), 2); // stepped back onto the last record
    EXPECT_EQ(nextEvents, 2);

    counter.OnCheckEOF = [](TvlxDataSet& ds, bool& eof) { eof = ds.RecNo() >= 1; };
    counter.First();
    EXPECT_FALSE(counter.Eof());
    counter.Next();
    EXPECT_TRUE(counter.Eof());

    counter.SetRangeBegin(TvlxRangeBegin::rbCurrent);
    EXPECT_EQ(counter.RecordCount(), 0);
}

TEST(DatasetAdapter, UserDataSetValuesFromEvents)
{
    TvlxUserDataSet ds;
    ds.Fields().SetText(u"a\r\nb\r\n");
    EXPECT_EQ(ds.FieldsCount(), 2);
    EXPECT_TRUE(ds.HasField(u"B"));
    EXPECT_FALSE(ds.HasField(u"c"));
    EXPECT_TRUE(ds.FieldValue(u"a").IsNull());
    EXPECT_EQ(ToUtf8(ds.FieldDisplayText(u"a")), "");
    ds.OnGetValue = [](const String& name, Variant& value) { value = Variant(name + u"!"); };
    EXPECT_EQ(Text(ds.FieldValue(u"a")), "a!");
    EXPECT_EQ(ToUtf8(ds.FieldDisplayText(u"b")), "b!");
}

TEST(DatasetAdapter, MasterDetailWalkInIdOrder)
{
    Module m(Shop);
    m.Generator.Mapiraj(u"Customers", u"id", u"customer_id", u"Orders");
    TvlxDBDataset& customers = m.Adapter(u"Customers");
    TvlxDBDataset& orders = m.Adapter(u"Orders");
    customers.Initialize();
    orders.Initialize();
    std::string seen;
    for (customers.First(); !customers.Eof(); customers.Next()) {
        seen += Text(customers.FieldValue(u"name")) + ":" + Walk(orders, u"n") + "(" +
                std::to_string(orders.RecordCount()) + ") ";
    }
    EXPECT_EQ(seen, "Ana:3,1,2(3) Ivo:(0) Eva:9,8(2) ");
    EXPECT_EQ(m.BuiltTables[1].Table->PacketRecords(), 0);
}

TEST(DatasetAdapter, MasterDetailOnSeveralFields)
{
    Module m(R"({
      "M":{"fields":[["a","number"],["b","string"]],"data":[[1,"x"],[1,"y"]]},
      "D":{"fields":[["a2","number"],["b2","string"],["n","number"]],
           "data":[[1,"y",1],[1,"x",2],[2,"x",3],[1,"x",4]]}})");
    m.Generator.Mapiraj(u"M", u"a;b", u"a2;b2", u"D");
    TvlxDBDataset& master = m.Adapter(u"M");
    std::string seen;
    for (master.First(); !master.Eof(); master.Next())
        seen += Walk(m.Adapter(u"D"), u"n") + " ";
    EXPECT_EQ(seen, "2,4 1 ");
}

TEST(DatasetAdapter, LinkErrors)
{
    const struct
    {
        const char* Master;
        const char* MasterField;
        const char* DetailField;
        const char* Detail;
        std::string Error;
    } cases[] = {
        {"Nobody",
         "id",
         "customer_id",
         "Orders",
         "Exception: Datamodul za izvještaj nema tablicu mastera 'Nobody'"},
        {"Customers",
         "id",
         "customer_id",
         "Nobody",
         "Exception: Datamodul za izvještaj nema tablicu detalja 'Nobody'"},
        // Only table adapters count, not the module's other components.
        {"vlxReport1",
         "id",
         "customer_id",
         "Orders",
         "Exception: Datamodul za izvještaj nema tablicu mastera 'vlxReport1'"},
        {"Customers",
         "id",
         "customer_id",
         "PDFExport",
         "Exception: Datamodul za izvještaj nema tablicu detalja 'PDFExport'"},
        {"Orders",
         "customer_id",
         "customer_id",
         "Orders",
         "EDatabaseError: Circular master/detail link: a table cannot follow itself through "
         "its masters"},
        {"Customers", "id", "nope", "Orders", "EDatabaseError: Field 'nope' not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Error);
        Module m(Shop);
        EXPECT_EQ(ErrorOf([&] {
                      m.Generator.Mapiraj(
                          U(c.Master), U(c.MasterField), U(c.DetailField), U(c.Detail));
                  }).substr(0, c.Error.size()),
                  c.Error);
        // No link is left behind: the detail still shows all its rows.
        m.Adapter(u"Customers").First();
        EXPECT_EQ(m.Adapter(u"Orders").RecordCount(), 5);
    }
}

TEST(DatasetAdapter, TableNamesRefused)
{
    const struct
    {
        const char* Name;
        std::string Error;
    } cases[] = {
        {"PDFExport", "Exception: A component named PDFExport already exists"},
        {"pdfexport", "Exception: A component named pdfexport already exists"},
        {"VLXREPORT1", "Exception: A component named VLXREPORT1 already exists"},
        {"vlxDialogControls1", "Exception: A component named vlxDialogControls1 already exists"},
        {"orders", "Exception: A component named orders already exists"},
        {"1abc", "Exception: '1abc' is not a valid component name"},
        {"a-b", "Exception: 'a-b' is not a valid component name"},
        {"a b", "Exception: 'a b' is not a valid component name"},
        {"", "Exception: '' is not a valid component name"},
        {"_ok", ""},
        {"Čvor_2", ""},
        {"Табела", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Module m(Shop);
        const size_t adapters = GlobalDataSets().size();
        TClientDataSet& table = *m.BuiltTables[0].Table;
        EXPECT_EQ(ErrorOf([&] { m.Generator.DodajTablicu(&table, U(c.Name)); }), c.Error);
        const bool added = c.Error.empty();
        EXPECT_EQ(GlobalDataSets().size(), adapters + (added ? 1 : 0));
        if (added) {
            TvlxDBDataset* adapter = m.Generator.FindTableAdapter(U(c.Name));
            ASSERT_NE(adapter, nullptr);
            EXPECT_EQ(adapter->UserName(), U(c.Name));
            EXPECT_EQ(adapter->GetDataSet(), &table);
        }
    }
}

TEST(DatasetAdapter, FixedComponentsOfTheModule)
{
    TReportGenerator module;
    EXPECT_EQ(ToUtf8(module.Name()), "ReportGenerator");
    EXPECT_EQ(FindReportGenerator(u"reportgenerator"), &module);
    EXPECT_EQ(module.FindComponent(u"VLXREPORT1"), &module.vlxReport1());
    EXPECT_EQ(module.vlxReport1().Owner(), &module);
    EXPECT_EQ(module.FindComponent(u"pdfexport"), &module.PDFExport());
    EXPECT_EQ(module.FindTableAdapter(u"PDFExport"), nullptr);
    for (StringView name : {u"vlxChartObject1",
                            u"vlxBarCodeObject1",
                            u"vlxRichObject1",
                            u"vlxCrossObject1",
                            u"vlxCheckBoxObject1",
                            u"vlxGradientObject1",
                            u"vlxDialogControls1"}) {
        SCOPED_TRACE(ToUtf8(name));
        EXPECT_NE(module.FindComponent(name), nullptr);
    }

    // Stored settings that differ from the filter's own defaults.
    const TvlxPDFExport& filter = module.PDFExport();
    EXPECT_TRUE(filter.EmbeddedFonts());
    EXPECT_EQ(filter.Quality(), 100);
    EXPECT_FALSE(filter.ShowDialog());
    EXPECT_FALSE(filter.ShowProgress());
    EXPECT_EQ(ToUtf8(filter.Author()), "Vellum");
    EXPECT_EQ(ToUtf8(filter.Subject()), "Vellum PDF export");
    EXPECT_EQ(filter.ProtectionFlags().Mask(), 15u);
    EXPECT_TRUE(filter.UserPassword().empty());
    EXPECT_TRUE(filter.OwnerPassword().empty());

    // The filter writes into the caller's stream only while exporting.
    MemoryStream out;
    try {
        module.Export2PDF(out);
    } catch (const Exception&) {
        // Whether an empty report exports is not the point here.
    }
    EXPECT_EQ(module.PDFExport().OutputStream(), nullptr);
}

namespace {

// A report object with a dataset reference, as data bands and views have.
class ProbeView : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info = DescribeClass<ProbeView, TvlxComponent>(u"ProbeView")
                                          .Prop<&ProbeView::FDataSet>(u"DataSet")
                                          .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    ComponentLink<TvlxDataSet> FDataSet;
};

} // namespace

TEST(DatasetAdapter, TemplateReferencesReachTheModulesTables)
{
    Module m(Shop);
    ClassRegistry registry;
    registry.Register(ProbeView::StaticClass());
    const struct
    {
        const char* Reference;
        const char* Found; // user name of the adapter, "" for none
    } cases[] = {
        {"Orders", "Orders"},
        {"ReportGenerator.Orders", "Orders"},
        {"reportgenerator.CUSTOMERS", "Customers"},
        {"ReportGenerator.PDFExport", ""}, // no dataset: the reference is refused
        {"Other.Orders", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Reference);
        TvlxXMLSerializer serializer(registry);
        auto* probe = static_cast<ProbeView*>(serializer.ReadComponentStr(
            &m.Generator.vlxReport1(), u"ProbeView DataSet=\"" + U(c.Reference) + u"\""));
        const TvlxDataSet* found = probe->FDataSet.Get();
        EXPECT_EQ(found != nullptr ? ToUtf8(found->UserName()) : "", c.Found);
        m.Generator.vlxReport1().TakeChild(probe); // and destroyed
    }
}

TEST(DatasetAdapter, LookupByUserName)
{
    Module m(Shop);
    TvlxDBDataset& orders = m.Adapter(u"Orders");
    TvlxReport& report = m.Generator.vlxReport1();
    TvlxReport otherReport;
    auto& foreign = *TvlxComponent::Create<TvlxDBDataset>(&otherReport);
    foreign.SetUserName(u"Foreign");
    auto& own = *TvlxComponent::Create<TvlxDBDataset>(&report);
    own.SetUserName(u"ORDERS"); // created later: the request's adapter stays first
    TvlxUserDataSet previous;

    EXPECT_EQ(FindDataSetByUserName(u"orders", &report, nullptr), &orders);
    EXPECT_EQ(FindDataSetByUserName(u"orders", &otherReport, nullptr), &orders);
    EXPECT_EQ(FindDataSetByUserName(u"foreign", &report, &previous), &previous);
    EXPECT_EQ(FindDataSetByUserName(u"foreign", &otherReport, nullptr), &foreign);
    EXPECT_EQ(FindDataSetByUserName(u"nothing", &report, &previous), &previous);
    EXPECT_EQ(FindDataSetByUserName(u"", &report, &previous), nullptr);
}

TEST(DatasetAdapter, NameAndUserName)
{
    TvlxDBDataset ds;
    ds.SetName(u"First");
    EXPECT_EQ(ToUtf8(ds.UserName()), "First");
    ds.SetName(u"Second"); // a user name once set stays
    EXPECT_EQ(ToUtf8(ds.UserName()), "First");
    for (StringView blank : {u"", u"   ", u"\t"}) {
        EXPECT_EQ(ErrorOf([&] { ds.SetUserName(String(blank)); }),
                  "Exception: Invalid property value");
    }
    EXPECT_EQ(ToUtf8(ds.UserName()), "First");
}

TEST(DatasetAdapter, AliasesRenameAndHideFields)
{
    Module m(Shop);
    TvlxDBDataset& customers = m.Adapter(u"Customers");
    // Two aliases differing in case: the first one counts.
    customers.FieldAliases().SetText(u"name=Ime\r\nid=Sifra\r\nid=IME\r\n-__id=__id\r\n");
    StringList list;
    customers.GetFieldList(list);
    EXPECT_EQ(ToUtf8(list.Text()), "Ime\r\nSifra\r\nIME\r\n");
    EXPECT_EQ(customers.FieldsCount(), 3);
    EXPECT_EQ(ToUtf8(customers.ConvertAlias(u"IME")), "name");
    EXPECT_EQ(ToUtf8(customers.GetAlias(u"ID")), "Sifra");
    EXPECT_EQ(ToUtf8(customers.GetAlias(u"other")), "other");
    customers.First();
    EXPECT_EQ(Text(customers.FieldValue(u"ime")), "Ana");
    EXPECT_EQ(customers.FieldCategory(u"Ime"), TvlxFieldCategory::Text);
    EXPECT_TRUE(customers.FieldValue(u"name").IsNull()); // the field's own name is hidden
}

TEST(DatasetAdapter, NotConnectedAndForgottenTables)
{
    TvlxDBDataset ds;
    ds.SetName(u"Loose");
    EXPECT_EQ(ErrorOf([&] { ds.Initialize(); }),
              "Exception: DataSet Loose is not connected to data");
    EXPECT_EQ(ErrorOf([&] { ds.First(); }), "Exception: DataSet Loose is not connected to data");

    // A table that goes first is forgotten, hooks and all.
    auto tables = Tables(Shop);
    ds.SetDataSet(tables[0].Table.get());
    ds.Initialize();
    ds.First();
    tables.clear();
    EXPECT_EQ(ds.GetDataSet(), nullptr);
    EXPECT_EQ(ErrorOf([&] { ds.Initialize(); }),
              "Exception: DataSet Loose is not connected to data");
}

TEST(DatasetAdapter, DataSetAndDataSourceExcludeEachOther)
{
    auto tables = Tables(Shop);
    TDataSource source(tables[1].Table.get());
    TvlxDBDataset ds;
    ds.SetDataSet(tables[0].Table.get());
    ds.SetDataSource(&source);
    EXPECT_EQ(ds.DataSet(), nullptr);
    EXPECT_EQ(ds.GetDataSet(), tables[1].Table.get());
    ds.SetDataSet(tables[0].Table.get());
    EXPECT_EQ(ds.DataSource(), nullptr);
    EXPECT_EQ(ds.GetDataSet(), tables[0].Table.get());
}

TEST(DatasetAdapter, HooksKeepTheTablesOwnHandlers)
{
    auto tables = Tables(Shop);
    TClientDataSet& table = *tables[0].Table;
    int opened = 0;
    int closing = 0;
    table.SetAfterOpen([&](TClientDataSet&) { ++opened; });
    table.SetBeforeClose([&](TClientDataSet&) { ++closing; });
    {
        TvlxDBDataset ds;
        ds.SetDataSet(&table);
        ds.SetCloseDataSource(true);
        ds.Initialize();
        ds.Initialize(); // hooked once only
        ds.First();
        EXPECT_EQ(ds.RecordCount(), 3);
        ds.Finalize(); // closes the table: the table's handler still runs
        EXPECT_EQ(closing, 1);
        EXPECT_FALSE(table.Active());
        ds.Initialize();
        ds.First(); // opens it again
        EXPECT_EQ(opened, 1);
        EXPECT_EQ(Text(ds.FieldValue(u"name")), "Ana");
    } // destroyed while hooked: the table gets its handlers back
    table.Close();
    table.Open();
    EXPECT_EQ(closing, 2);
    EXPECT_EQ(opened, 2);
}

TEST(DatasetAdapter, BlobsIntoListsAndStreams)
{
    Module m(AllKinds);
    TvlxDBDataset& t = m.Adapter(u"T");
    t.First();
    EXPECT_TRUE(t.IsBlobField(u"t"));
    EXPECT_TRUE(t.IsBlobField(u"BLOB"));
    EXPECT_FALSE(t.IsBlobField(u"s"));
    EXPECT_FALSE(t.IsBlobField(u"missing"));

    StringList lines;
    t.AssignBlobTo(u"t", lines);
    EXPECT_EQ(ToUtf8(lines.Text()), "long text\r\n");
    MemoryStream bytes;
    bytes.Write(std::string("old"));
    t.AssignBlobTo(u"blob", bytes);
    EXPECT_EQ(bytes.Position(), 0u);
    EXPECT_EQ(bytes.Bytes(), std::string("oldab\0\xFF", 7)); // written at the position, as given
    MemoryStream untouched;
    t.AssignBlobTo(u"s", untouched);
    EXPECT_TRUE(untouched.Bytes().empty());
}

TEST(DatasetAdapter, TemplatesLoadAdapterProperties)
{
    RegisterDataClasses(ClassRegistry::Global());
    TvlxReport report;
    TvlxXMLSerializer serializer;
    TvlxComponent* made = serializer.ReadComponentStr(
        &report,
        uR"(TvlxDBDataset Name="Items" UserName="Stavke" RangeEnd="reCount" RangeEndCount="2" )"
        uR"(BCDToCurrency="True" OpenDataSource="False" FieldAliases.Text="a=b")");
    auto* ds = dynamic_cast<TvlxDBDataset*>(made);
    ASSERT_NE(ds, nullptr);
    EXPECT_TRUE(serializer.Errors().empty());
    EXPECT_EQ(ToUtf8(ds->Name()), "Items");
    EXPECT_EQ(ToUtf8(ds->UserName()), "Stavke");
    EXPECT_EQ(ds->RangeEnd(), TvlxRangeEnd::reCount);
    EXPECT_EQ(ds->RangeEndCount(), 2);
    EXPECT_TRUE(ds->BCDToCurrency());
    EXPECT_FALSE(ds->OpenDataSource());
    EXPECT_EQ(ToUtf8(ds->FieldAliases().Text()), "a=b\r\n");
    EXPECT_EQ(ds->Owner(), &report);
}

} // namespace vl
