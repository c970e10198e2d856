#include "base/date_time.h"
#include "base/limits.h"
#include "base/number_text.h"
#include "platform/table/client_data_set.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <vector>

namespace vl {

namespace {

struct FieldSpec
{
    const char* Name;
    TFieldType Type;
    int32_t Size = 0;
};

// A table filled through the fields' text conversion; nullptr in a row is a null value.
std::unique_ptr<TClientDataSet> MakeTable(std::vector<FieldSpec> fields,
                                          std::vector<std::vector<const char*>> rows)
{
    auto table = std::make_unique<TClientDataSet>();
    for (const auto& f : fields)
        table->AddField(FromUtf8(f.Name), f.Type, f.Size);
    table->CreateDataSet();
    for (const auto& row : rows) {
        table->Append();
        for (size_t c = 0; c < row.size(); ++c) {
            if (row[c])
                table->Field(static_cast<int32_t>(c)).SetText(FromUtf8(row[c]));
            else
                table->Field(static_cast<int32_t>(c)).Clear();
        }
        table->Post();
    }
    table->First();
    return table;
}

// The text form of one column over the visible records, walking from First to Eof.
std::string Walk(TClientDataSet& table, const char* fieldName)
{
    std::string out;
    TField& field = table.FieldByName(FromUtf8(fieldName));
    for (table.First(); !table.Eof(); table.Next()) {
        if (!out.empty()) out += ",";
        if (field.IsNull())
            out += "null";
        else if (field.IsText())
            out += ToUtf8(field.AsText());
        else
            out += ToUtf8(field.AsDecimal().ToText(FormatSettings::English()));
    }
    return out;
}

void ExpectMessage(const std::function<void()>& action, const char* message)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected: " << message;
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), message);
    }
}

} // namespace

TEST(ClientDataSet, FieldsInOrderFoundWithoutCase)
{
    auto table = MakeTable({{"Name", TFieldType::ftWideString, 10},
                            {"Amount", TFieldType::ftFMTBcd},
                            {"__id", TFieldType::ftInteger}},
                           {});
    EXPECT_EQ(table->GetFieldNames(), (std::vector<String>{u"Name", u"Amount", u"__id"}));
    EXPECT_EQ(&table->FieldByName(u"AMOUNT"), &table->Field(1));
    EXPECT_EQ(table->FindField(u"name")->FieldNo(), 0);
    EXPECT_EQ(table->FindField(u"missing"), nullptr);
    ExpectMessage([&] { table->FieldByName(u"missing"); }, "Field 'missing' not found");
}

TEST(ClientDataSet, RefusesDuplicateNamesAndBadSizes)
{
    TClientDataSet table;
    table.AddField(u"Name", TFieldType::ftWideString, limits::WideStringFieldMaxSize);
    ExpectMessage([&] { table.AddField(u"NAME", TFieldType::ftBoolean); },
                  "Duplicate field name 'NAME'");
    ExpectMessage([&] { table.AddField(u"a", TFieldType::ftWideString, 0); },
                  "Field 'a' cannot have the size 0: a text field holds 1 to 1073741823 "
                  "characters");
    EXPECT_THROW(table.AddField(u"b", TFieldType::ftWideString, limits::WideStringFieldMaxSize + 1),
                 EDatabaseError);
    EXPECT_THROW(table.AddField(u"c", TFieldType::ftWideString, -5), EDatabaseError);
    EXPECT_EQ(table.FieldCount(), 1);
    table.CreateDataSet();
    EXPECT_THROW(table.AddField(u"late", TFieldType::ftInteger), EDatabaseError);
}

TEST(ClientDataSet, StoresEveryKindAndNull)
{
    TClientDataSet table;
    TField& text = table.AddField(u"text", TFieldType::ftWideString, 5);
    TField& memo = table.AddField(u"memo", TFieldType::ftWideMemo);
    TField& flag = table.AddField(u"flag", TFieldType::ftBoolean);
    TField& when = table.AddField(u"when", TFieldType::ftDateTime);
    TField& amount = table.AddField(u"amount", TFieldType::ftFMTBcd);
    TField& blob = table.AddField(u"blob", TFieldType::ftBlob);
    TField& id = table.AddField(u"id", TFieldType::ftInteger);
    table.CreateDataSet();

    table.Append();
    text.SetText(u"Šef");           // needs 16 bits
    memo.SetText(U("caf\xC3\xA9")); // fits in 8 bits
    flag.SetBoolean(true);
    when.SetDateTime(42116.5);
    amount.SetDecimal(Decimal::Parse(u"-12.345678", FormatSettings::English()));
    blob.SetBytes(std::string("\0\xFFz", 3));
    id.SetInteger(-7);
    table.Post();
    table.Append(); // all null
    table.Post();
    table.Append();
    text.SetText(u"");
    memo.SetText(u"x");
    memo.SetText(u"replaced");
    blob.SetBytes("");
    table.Post();

    table.First();
    EXPECT_EQ(text.AsText(), u"Šef");
    EXPECT_EQ(memo.AsText(), U("caf\xC3\xA9"));
    EXPECT_TRUE(flag.AsBoolean());
    EXPECT_EQ(when.AsDateTime(), 42116.5);
    EXPECT_EQ(amount.AsDecimal().Units(), -12345678);
    EXPECT_DOUBLE_EQ(amount.AsFloat(), -12.345678);
    EXPECT_EQ(blob.AsBytes(), std::string("\0\xFFz", 3));
    EXPECT_EQ(id.AsInteger(), -7);
    EXPECT_EQ(id.AsDecimal().Units(), -7000000);

    table.Next();
    for (int32_t i = 0; i < table.FieldCount(); ++i)
        EXPECT_TRUE(table.Field(i).IsNull()) << i;
    EXPECT_EQ(text.AsText(), u"");
    EXPECT_EQ(id.AsInteger(), 0);
    EXPECT_FALSE(flag.AsBoolean());

    table.Next();
    EXPECT_FALSE(text.IsNull()); // the empty text is a value, not null
    EXPECT_EQ(text.AsText(), u"");
    EXPECT_EQ(memo.AsText(), u"replaced");
    EXPECT_FALSE(blob.IsNull());
    EXPECT_TRUE(id.IsNull());
    EXPECT_THROW(id.AsText(), EInternalError);
}

TEST(ClientDataSet, TextKeepsEveryCodeUnitAndSortsByCodePoint)
{
    // An unpaired surrogate (JSON can escape one) survives; texts compare by code point.
    const String lone = String(u"a") + char16_t(0xD800) + u"b";
    const String texts[] = {u"\U0001F600", lone, u"\uE000", u"a", u"Šef", u""};
    TClientDataSet table;
    TField& text = table.AddField(u"t", TFieldType::ftWideMemo);
    TField& id = table.AddField(u"id", TFieldType::ftInteger);
    table.CreateDataSet();
    for (int32_t i = 0; i < 6; ++i) {
        table.Append();
        text.SetText(texts[i]);
        id.SetInteger(i);
        table.Post();
    }
    table.SetIndexFieldNames(u"t");
    std::vector<int32_t> order;
    for (table.First(); !table.Eof(); table.Next()) {
        EXPECT_EQ(text.AsText(), texts[id.AsInteger()]);
        order.push_back(id.AsInteger());
    }
    EXPECT_EQ(order, (std::vector<int32_t>{5, 3, 1, 4, 2, 0}));
}

TEST(ClientDataSet, AColumnRefusesDataPastItsByteBound)
{
    // One byte past the bound, from untouched mapped pages: the write is refused before any
    // byte is copied. (Reaching the bound itself would take 4 GiB of memory.)
    const size_t size = limits::TableColumnMaxBytes + size_t(1);
    void* pages =
        mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(pages, MAP_FAILED);
    TClientDataSet table;
    TField& blob = table.AddField(u"blob", TFieldType::ftBlob);
    table.CreateDataSet();
    table.Append();
    blob.SetBytes("abc");
    ExpectMessage([&] { blob.SetBytes(std::string_view(static_cast<const char*>(pages), size)); },
                  "Field 'blob' would hold more than 4294967295 bytes of data");
    munmap(pages, size);
    table.Post();
    EXPECT_EQ(blob.AsBytes(), "abc");
}

TEST(ClientDataSet, WritesOnlyWhileAppendingAndCancelDropsTheRecord)
{
    auto table = MakeTable({{"n", TFieldType::ftWideMemo}}, {{"one"}});
    TField& n = table->Field(0);
    ExpectMessage([&] { n.SetText(u"x"); }, "The table is not appending a record");
    table->Append();
    n.SetText(u"two");
    table->Cancel();
    table->Append();
    n.SetText(u"three");
    table->Post();
    EXPECT_EQ(Walk(*table, "n"), "one,three");
}

TEST(ClientDataSet, TextConversionOfEachKind)
{
    const struct
    {
        TFieldType Type;
        const char* Text;
        const char* Stored; // as read back through Walk; nullptr: the write fails
    } cases[] = {
        {TFieldType::ftWideString, "abcd", "abcd"},
        {TFieldType::ftWideString, "abcde", nullptr}, // size 4
        {TFieldType::ftFMTBcd, "12.5", "12.5"},
        {TFieldType::ftFMTBcd, "", "null"},
        {TFieldType::ftFMTBcd, "12,5", nullptr},
        {TFieldType::ftInteger, "$10", "16"},
        {TFieldType::ftInteger, "2147483648", nullptr},
        {TFieldType::ftInteger, "1.0", nullptr},
        {TFieldType::ftBoolean, "TRUE", "1"},
        {TFieldType::ftBoolean, "false", "0"},
        {TFieldType::ftBoolean, "2.5", "1"},
        {TFieldType::ftBoolean, "0", "0"},
        {TFieldType::ftBoolean, "yes", nullptr},
        {TFieldType::ftDateTime, "2015-04-22", "42116"},
        {TFieldType::ftDateTime, "1899-12-30T06:00:00", "0.25"},
        {TFieldType::ftDateTime, "2015-02-30", nullptr},
        {TFieldType::ftDateTime, "42116", nullptr},
        {TFieldType::ftBlob, "ab", "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.Type) << " " << c.Text);
        TClientDataSet table;
        TField& field = table.AddField(u"f", c.Type, c.Type == TFieldType::ftWideString ? 4 : 0);
        table.CreateDataSet();
        table.Append();
        if (!c.Stored) {
            EXPECT_THROW(field.SetText(FromUtf8(c.Text)), Exception);
            continue;
        }
        field.SetText(FromUtf8(c.Text));
        table.Post();
        table.First();
        std::string stored;
        if (field.IsNull())
            stored = "null";
        else if (c.Type == TFieldType::ftBoolean)
            stored = field.AsBoolean() ? "1" : "0";
        else if (c.Type == TFieldType::ftDateTime)
            stored = ToUtf8(FloatToStr(field.AsDateTime(), FormatSettings::English()));
        else if (c.Type == TFieldType::ftBlob)
            stored = field.AsBytes();
        else if (field.IsText())
            stored = ToUtf8(field.AsText());
        else
            stored = ToUtf8(field.AsDecimal().ToText(FormatSettings::English()));
        EXPECT_EQ(stored, c.Stored);
    }
}

TEST(ClientDataSet, BooleanConversionOfEachKind)
{
    TClientDataSet table;
    TField& text = table.AddField(u"text", TFieldType::ftWideString, 10);
    TField& amount = table.AddField(u"amount", TFieldType::ftFMTBcd);
    TField& id = table.AddField(u"id", TFieldType::ftInteger);
    TField& when = table.AddField(u"when", TFieldType::ftDateTime);
    TField& blob = table.AddField(u"blob", TFieldType::ftBlob);
    table.CreateDataSet();
    table.Append();
    text.SetBoolean(false);
    amount.SetBoolean(true);
    id.SetBoolean(true);
    ExpectMessage([&] { when.SetBoolean(true); }, "Field 'when' takes no boolean value");
    EXPECT_THROW(blob.SetBoolean(false), EConvertError);
    table.Post();
    EXPECT_EQ(text.AsText(), u"False");
    EXPECT_EQ(amount.AsDecimal().Units(), 1000000);
    EXPECT_EQ(id.AsInteger(), 1);
    EXPECT_TRUE(when.IsNull());
}

TEST(ClientDataSet, CursorWalksAndStopsAtBothEnds)
{
    auto empty = MakeTable({{"n", TFieldType::ftInteger}}, {});
    EXPECT_TRUE(empty->Eof());
    EXPECT_TRUE(empty->Bof());
    EXPECT_EQ(empty->RecordCount(), 0);
    EXPECT_EQ(empty->RecNo(), 0);
    EXPECT_TRUE(empty->Field(0).IsNull());
    empty->Next();
    empty->Prior();
    EXPECT_TRUE(empty->Eof());

    auto table = MakeTable({{"n", TFieldType::ftInteger}}, {{"1"}, {"2"}, {"3"}});
    TField& n = table->Field(0);
    EXPECT_EQ(table->RecordCount(), 3);
    EXPECT_FALSE(table->Eof());
    EXPECT_TRUE(table->Bof());
    table->Next();
    table->Next();
    EXPECT_EQ(n.AsInteger(), 3);
    EXPECT_FALSE(table->Eof());
    table->Next(); // past the last: Eof, still on it
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(n.AsInteger(), 3);
    EXPECT_EQ(table->RecNo(), 3);
    table->Prior();
    EXPECT_EQ(n.AsInteger(), 2);
    table->Prior();
    table->Prior();
    EXPECT_TRUE(table->Bof());
    EXPECT_EQ(n.AsInteger(), 1);
    table->Last();
    EXPECT_EQ(n.AsInteger(), 3);
}

TEST(ClientDataSet, CloseKeepsTheRecordsAndRunsTheHandlers)
{
    auto table = MakeTable({{"n", TFieldType::ftInteger}}, {{"1"}, {"2"}});
    std::string events;
    table->SetAfterOpen([&](TClientDataSet&) { events += "open;"; });
    table->SetBeforeClose([&](TClientDataSet& t) { events += t.Active() ? "close;" : "?"; });
    table->Next();
    table->Close();
    EXPECT_FALSE(table->Active());
    ExpectMessage([&] { table->First(); }, "Cannot perform this operation on a closed table");
    EXPECT_TRUE(table->Field(0).IsNull());
    table->Open();
    EXPECT_EQ(table->Field(0).AsInteger(), 1);
    EXPECT_EQ(Walk(*table, "n"), "1,2");
    EXPECT_EQ(events, "close;open;");
}

TEST(ClientDataSet, BookmarksReturnToARecord)
{
    auto table = MakeTable({{"k", TFieldType::ftInteger}}, {{"30"}, {"10"}, {"20"}});
    table->SetIndexFieldNames(u"k");
    table->Next();
    const TBookmark twenty = table->GetBookmark();
    EXPECT_EQ(table->Field(0).AsInteger(), 20);
    table->Last();
    const TBookmark thirty = table->GetBookmark();
    table->First();
    const TBookmark ten = table->GetBookmark();
    table->GotoBookmark(twenty);
    EXPECT_EQ(table->Field(0).AsInteger(), 20);
    EXPECT_EQ(table->RecNo(), 2);
    EXPECT_LT(table->CompareBookmarks(ten, twenty), 0); // by index position
    EXPECT_GT(table->CompareBookmarks(thirty, twenty), 0);
    EXPECT_EQ(table->CompareBookmarks(twenty, twenty), 0);
    TBookmark freed = twenty;
    table->FreeBookmark(freed);
    EXPECT_FALSE(table->BookmarkValid(freed));
    EXPECT_LT(table->CompareBookmarks(freed, ten), 0);
    ExpectMessage([&] { table->GotoBookmark(freed); }, "Record not found");
}

TEST(ClientDataSet, IndexOrdersByFieldsThenRecordOrder)
{
    auto table = MakeTable({{"customer", TFieldType::ftWideString, 10},
                            {"amount", TFieldType::ftFMTBcd},
                            {"__id", TFieldType::ftInteger}},
                           {{"b", "3", "0"},
                            {"a", "1", "1"},
                            {nullptr, "9", "2"},
                            {"b", "1", "3"},
                            {"B", "2", "4"},
                            {"a", "-1", "5"},
                            {"b", "2", "6"}});
    table->SetIndexFieldNames(u"customer;__id");
    EXPECT_EQ(Walk(*table, "__id"), "2,4,1,5,0,3,6"); // null first, then by code unit
    table->SetIndexFieldNames(u"customer");
    EXPECT_EQ(Walk(*table, "__id"), "2,4,1,5,0,3,6"); // equal keys keep record order
    table->SetIndexFieldNames(u" Amount ; customer ");
    EXPECT_EQ(Walk(*table, "__id"), "5,1,3,4,6,0,2");
    ExpectMessage([&] { table->SetIndexFieldNames(u"amount;nope"); }, "Field 'nope' not found");
    EXPECT_EQ(table->IndexFieldNames(), u" Amount ; customer ");
    // A record appended to an indexed table takes its place in the order and becomes current.
    table->SetIndexFieldNames(u"customer;__id");
    table->Append();
    table->Field(0).SetText(u"a");
    table->Field(2).SetInteger(7);
    table->Post();
    EXPECT_EQ(table->Field(2).AsInteger(), 7);
    EXPECT_EQ(table->RecNo(), 5);
    EXPECT_EQ(Walk(*table, "__id"), "2,4,1,5,7,0,3,6");
    table->SetIndexFieldNames(u"");
    EXPECT_EQ(Walk(*table, "__id"), "0,1,2,3,4,5,6,7");
}

// Customers, orders and order lines, linked the way the data module links request tables.
class MasterDetail : public testing::Test
{
protected:
    void SetUp() override
    {
        Customers = MakeTable({{"id", TFieldType::ftFMTBcd}, {"__id", TFieldType::ftInteger}},
                              {{"1", "0"}, {"2", "1"}, {"3", "2"}});
        Orders = MakeTable({{"order", TFieldType::ftWideString, 5},
                            {"customer", TFieldType::ftFMTBcd},
                            {"__id", TFieldType::ftInteger}},
                           {{"o3", "2", "0"},
                            {"o1", "1", "1"},
                            {"o2", "2", "2"},
                            {"o4", "1", "3"},
                            {"o5", "2", "4"}});
        Lines = MakeTable({{"order", TFieldType::ftWideMemo},
                           {"item", TFieldType::ftWideString, 5},
                           {"__id", TFieldType::ftInteger}},
                          {{"o2", "x", "0"}, {"o1", "y", "1"}, {"o2", "z", "2"}});
        Link(*Orders, "customer;__id", *CustomerSource, "id");
        Link(*Lines, "order;__id", *OrderSource, "order");
    }

    static void Link(TClientDataSet& detail,
                     const char* detailIndex,
                     TDataSource& source,
                     const char* masterField)
    {
        detail.SetIndexFieldNames(FromUtf8(detailIndex));
        detail.SetMasterFields(FromUtf8(masterField));
        detail.SetMasterSource(&source);
    }

    std::unique_ptr<TClientDataSet> Customers, Orders, Lines;
    std::unique_ptr<TDataSource> CustomerSource = std::make_unique<TDataSource>();
    std::unique_ptr<TDataSource> OrderSource = std::make_unique<TDataSource>();
};

TEST_F(MasterDetail, DetailShowsTheMatchingRowsInRequestOrder)
{
    CustomerSource->SetDataSet(Customers.get());
    OrderSource->SetDataSet(Orders.get());
    // Customer 1 is current: orders o1 and o4; customer 2 has o3, o2, o5 in request order,
    // not sorted by their names.
    EXPECT_EQ(Walk(*Orders, "order"), "o1,o4");
    Customers->Next();
    EXPECT_EQ(Orders->RecordCount(), 3);
    EXPECT_EQ(ToUtf8(Orders->FieldByName(u"order").AsText()), "o3"); // stands on its first match
    EXPECT_EQ(Walk(*Orders, "order"), "o3,o2,o5");
    // An order appended for the current customer joins the range; one for another does not.
    for (const char* customer : {"2", "1"}) {
        Orders->Append();
        Orders->FieldByName(u"order").SetText(FromUtf8(customer) + u"new");
        Orders->FieldByName(u"customer").SetText(FromUtf8(customer));
        Orders->FieldByName(u"__id").SetInteger(Orders->RecordCount() + 5);
        Orders->Post();
    }
    EXPECT_EQ(Walk(*Orders, "order"), "o3,o2,o5,2new");
    Customers->Next(); // customer 3 has no orders
    EXPECT_TRUE(Orders->Eof());
    EXPECT_EQ(Orders->RecordCount(), 0);
    EXPECT_TRUE(Orders->FieldByName(u"order").IsNull());
}

TEST_F(MasterDetail, ADetailThatIsAMasterFollowsInAChain)
{
    CustomerSource->SetDataSet(Customers.get());
    OrderSource->SetDataSet(Orders.get());
    Customers->Next(); // customer 2: orders o3, o2, o5; o3 has no lines
    EXPECT_EQ(Lines->RecordCount(), 0);
    Orders->Next(); // o2
    EXPECT_EQ(Walk(*Lines, "item"), "x,z");
    Customers->First(); // customer 1: orders o1, o4; lines follow the new first order o1
    EXPECT_EQ(Walk(*Lines, "item"), "y");
    // A second detail of the same master.
    auto notes = MakeTable({{"customer", TFieldType::ftInteger}, {"__id", TFieldType::ftInteger}},
                           {{"1", "0"}, {"3", "1"}, {"1", "2"}});
    Link(*notes, "customer;__id", *CustomerSource, "id");
    EXPECT_EQ(Walk(*notes, "__id"), "0,2");
    Customers->Last();
    EXPECT_EQ(Walk(*notes, "__id"), "1");
    EXPECT_EQ(Orders->RecordCount(), 0);
}

TEST_F(MasterDetail, CircularLinksAreRefusedAndChangeNothing)
{
    CustomerSource->SetDataSet(Customers.get());
    OrderSource->SetDataSet(Orders.get());
    TDataSource lineSource(Lines.get());
    const char* message =
        "Circular master/detail link: a table cannot follow itself through its masters";
    // Customers following Lines closes customers -> orders -> lines -> customers.
    Customers->SetIndexFieldNames(u"id;__id");
    Customers->SetMasterFields(u"__id");
    ExpectMessage([&] { Customers->SetMasterSource(&lineSource); }, message);
    EXPECT_EQ(Customers->MasterSource(), nullptr);
    EXPECT_EQ(Customers->RecordCount(), 3);
    // A table following itself.
    TDataSource self(Orders.get());
    ExpectMessage([&] { Orders->SetMasterSource(&self); }, message);
    EXPECT_EQ(Orders->MasterSource(), CustomerSource.get());
    // Pointing a data source with details at one of them.
    ExpectMessage([&] { CustomerSource->SetDataSet(Lines.get()); }, message);
    EXPECT_EQ(CustomerSource->DataSet(), Customers.get());
}

TEST_F(MasterDetail, BadLinksFailClearly)
{
    CustomerSource->SetDataSet(Customers.get());
    auto detail = MakeTable({{"a", TFieldType::ftInteger}}, {{"1"}});
    detail->SetMasterFields(u"missing");
    ExpectMessage([&] { detail->SetMasterSource(CustomerSource.get()); },
                  "Field 'missing' not found");
    EXPECT_EQ(detail->MasterSource(), nullptr);
    detail->SetMasterFields(u"id;__id");
    detail->SetIndexFieldNames(u"a");
    ExpectMessage([&] { detail->SetMasterSource(CustomerSource.get()); },
                  "A detail table needs an index field for each of its 2 master fields");
    EXPECT_EQ(detail->RecordCount(), 1);
}

TEST_F(MasterDetail, ValuesConvertToTheDetailKindAndNullMatchesNull)
{
    CustomerSource->SetDataSet(Customers.get());
    // Text keys against the decimal master field: "1" and " 1" convert, "x" never matches.
    auto detail = MakeTable({{"key", TFieldType::ftInteger}, {"text", TFieldType::ftWideMemo}},
                            {{"1", "one"}, {nullptr, "none"}, {"2", "two"}, {"1", "uno"}});
    Link(*detail, "key", *CustomerSource, "id");
    EXPECT_EQ(Walk(*detail, "text"), "one,uno");
    auto byText = MakeTable({{"key", TFieldType::ftWideString, 5}}, {{"2"}, {"x"}, {"2.0"}});
    Link(*byText, "key", *CustomerSource, "id");
    Customers->Next();
    EXPECT_EQ(Walk(*byText, "key"), "2");

    auto nullMaster = MakeTable({{"k", TFieldType::ftInteger}}, {{nullptr}, {"5"}});
    TDataSource source(nullMaster.get());
    auto nullDetail = MakeTable({{"k", TFieldType::ftInteger}, {"v", TFieldType::ftWideMemo}},
                                {{"5", "five"}, {nullptr, "null"}});
    Link(*nullDetail, "k", source, "k");
    nullMaster->Next();
    EXPECT_EQ(Walk(*nullDetail, "v"), "five");
    nullMaster->First();
    EXPECT_EQ(Walk(*nullDetail, "v"), "null");
}

TEST_F(MasterDetail, AnEmptyMasterShowsNoDetailRows)
{
    auto empty = MakeTable({{"id", TFieldType::ftFMTBcd}}, {});
    CustomerSource->SetDataSet(empty.get());
    EXPECT_EQ(Orders->RecordCount(), 0);
    EXPECT_TRUE(Orders->Eof());
    CustomerSource->SetDataSet(Customers.get());
    EXPECT_EQ(Orders->RecordCount(), 2);
}

TEST_F(MasterDetail, DetailsWaitWhileControlsAreDisabled)
{
    CustomerSource->SetDataSet(Customers.get());
    Customers->DisableControls();
    Customers->Next();
    EXPECT_EQ(Walk(*Orders, "order"), "o1,o4");
    Customers->EnableControls();
    EXPECT_EQ(Walk(*Orders, "order"), "o3,o2,o5");
}

TEST_F(MasterDetail, DestroyingEitherEndUnlinks)
{
    CustomerSource->SetDataSet(Customers.get());
    EXPECT_EQ(Orders->RecordCount(), 2);
    Customers.reset();
    EXPECT_EQ(CustomerSource->DataSet(), nullptr);
    EXPECT_EQ(Orders->MasterSource(), CustomerSource.get());
    EXPECT_EQ(Orders->RecordCount(), 5);
    // Master, then detail, then data source: nothing is left pointing at a destroyed table.
    auto master = MakeTable({{"id", TFieldType::ftFMTBcd}}, {{"1"}});
    auto detail = MakeTable({{"id", TFieldType::ftFMTBcd}}, {{"1"}, {"2"}});
    auto source = std::make_unique<TDataSource>(master.get());
    Link(*detail, "id", *source, "id");
    EXPECT_EQ(detail->RecordCount(), 1);
    master.reset();
    detail.reset();
    source.reset();
    OrderSource->SetDataSet(Orders.get());
    OrderSource.reset();
    EXPECT_EQ(Lines->MasterSource(), nullptr);
    EXPECT_EQ(Walk(*Lines, "item"), "y,x,z"); // the index order on "order;__id"
}

} // namespace vl
