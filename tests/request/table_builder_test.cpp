#include "base/date_time.h"
#include "base/exception.h"
#include "request/table_builder.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

// Owns the parsed request text for as long as the values are looked at.
struct Datasets
{
    explicit Datasets(const std::string& json)
        : Document(JsonDocument::Parse(json))
    {
        if (!Document) throw std::runtime_error("bad test JSON: " + json);
    }
    JsonObject Object() const { return Document->Root().GetObject(); }
    std::unique_ptr<JsonDocument> Document;
};

std::vector<BuiltTable> Build(const std::string& datasetsJson, int32_t stringSize = 8000)
{
    const Datasets datasets(datasetsJson);
    return BuildTables(datasets.Object(), stringSize);
}

// The message the building of `datasetsJson` fails with, or "" when it succeeds.
std::string BuildError(const std::string& datasetsJson, int32_t stringSize = 8000)
{
    try {
        Build(datasetsJson, stringSize);
    } catch (const Exception& e) {
        return e.what();
    }
    return "";
}

// One table T with the given fields and rows, both written as JSON.
std::string OneTable(const std::string& fields, const std::string& data)
{
    return R"({"T":{"fields":)" + fields + R"(,"data":)" + data + "}}";
}

std::string Wrapped(const std::string& message)
{
    return "Greška pri stvaranju tablice T:\r\n" + message;
}

} // namespace

TEST(TableBuilder, EveryDefinitionMessage)
{
    const struct
    {
        std::string Definition; // the value of member T
        std::string Message;    // inside the table error
    } cases[] = {
        {R"({"data":[]})", R"(Objekt nema obaveznu vrijednost "fields")"},
        {R"({"fields":{},"data":[]})", R"(Vrijednost "fields" je TJSONObject, treba biti array)"},
        {R"({"fields":"a","data":[]})", R"(Vrijednost "fields" je TJSONString, treba biti array)"},
        {R"({"fields":[],"data":[]})", R"(Array "fields" je prazan)"},
        {R"({"fields":[["a","string"],null]})",
         R"(Element 2 arraya "fields" je TJSONNull, treba biti array)"},
        {R"({"fields":[["a","string","x"]]})",
         R"(Element 1 arraya "fields" je array duljine 3, treba biti array duljine 2)"},
        {R"({"fields":[[]]})",
         R"(Element 1 arraya "fields" je array duljine 0, treba biti array duljine 2)"},
        {R"({"fields":[[true,"string"]]})",
         R"(Prvi podatak elementa 1 arraya "fields" je TJSONTrue, treba biti string)"},
        {R"({"fields":[["a",["string"]]]})",
         R"(Drugi podatak elementa 1 arraya "fields" je TJSONArray, treba biti string)"},
        {R"({"fields":[["a","integer"]]})", R"(Nepoznat tip "integer" za polje "a")"},
        {R"({"fields":[[1.5,2]]})", R"(Nepoznat tip "2" za polje "1.5")"},
        {R"({"fields":[["a","string_"]]})",
         R"(Duljina string tipa "string_" je prazna, treba biti cijeli broj)"},
        {R"({"fields":[["a","String_x"]]})",
         R"(Duljina string tipa "String_x" je "x", treba biti cijeli broj)"},
        {R"({"fields":[["a","string_99999999999"]]})",
         R"(Duljina string tipa "string_99999999999" je "9999999999", treba biti cijeli broj)"},
        {R"({"fields":[["a","string"],["A","text"]]})", "Duplicate field name 'A'"},
        {R"({"fields":[["__ID","text"]]})", "Duplicate field name '__id'"},
        {R"({"fields":[["a","string_0"]]})",
         "Field 'a' cannot have the size 0: a text field holds 1 to 1073741823 characters"},
        {R"({"fields":[["a","text"]]})", R"(Objekt nema obaveznu vrijednost "data")"},
        {R"({"fields":[["a","text"]],"data":{}})",
         R"(Vrijednost "data" je TJSONObject, treba biti array)"},
        {R"({"fields":[["a","text"]],"data":[["x"],5]})",
         R"(Element 2 arraya "data" je TJSONNumber, treba biti array)"},
        {R"({"fields":[["a","text"],["b","text"]],"data":[["x","y"],["x"]]})",
         R"(Element 2 arraya "data" je array duljine 1, mora biti array duljine 2)"},
        {R"({"fields":[["a","text"]],"data":[["x","y"]]})",
         R"(Element 1 arraya "data" je array duljine 2, mora biti array duljine 1)"},
        {R"({"fields":[["a","string_5"]],"data":[["123456"]]})",
         R"(Polje a ima maksimalnu duljinu 5 i ne može primiti string "123456" duljine 6)"},
        {R"({"fields":[["a","string_3"]],"data":[[1234]]})",
         R"(Polje a ima maksimalnu duljinu 3 i ne može primiti string "1234" duljine 4)"},
        {R"({"fields":[["a","string_4"]],"data":[[false]]})",
         R"(Polje a ima maksimalnu duljinu 4 i ne može primiti string "False" duljine 5)"},
        {R"({"fields":[["d","date"]],"data":[["2015-4-22"]]})",
         R"(Datum "2015-4-22" nije u dozvoljenom formatu (YYYY-MM-DD ili YYYY-MM-DDThh:mm:ss))"},
        {R"({"fields":[["d","date"]],"data":[["22.04.2015"]]})", "'22.0' is not an integer"},
        {R"({"fields":[["d","date"]],"data":[["2015-02-30"]]})",
         "There is no date with year 2015, month 2 and day 30"},
        {R"({"fields":[["d","DATE"]],"data":[["2015-04-22T24:00:00"]]})",
         "There is no time of day with hour 24, minute 0 and second 0"},
        {R"({"fields":[["d","date"]],"data":[[{}]]})",
         R"(Datum "" nije u dozvoljenom formatu (YYYY-MM-DD ili YYYY-MM-DDThh:mm:ss))"},
        {R"({"fields":[["t","time"]],"data":[["7:45:00"]]})",
         R"(Vrijeme "7:45:00" nije u dozvoljenom formatu (hh:mm:ss))"},
        {R"({"fields":[["t","time"]],"data":[["07:61:00"]]})",
         "There is no time of day with hour 7, minute 61 and second 0"},
        {R"({"fields":[["n","number"]],"data":[["abc"]]})",
         "'abc' is not a decimal number of at most 12 integer and 6 fraction digits"},
        {R"({"fields":[["n","number"]],"data":[[1e20]]})",
         "'1E20' is not a decimal number of at most 12 integer and 6 fraction digits"},
        {R"({"fields":[["b","boolean"]],"data":[["maybe"]]})", "'maybe' is not a boolean value"},
        {R"({"fields":[["d","date"]],"data":[[true]]})", "Field 'd' takes no boolean value"},
        {R"({"fields":[["d","date"]],"data":[[42116]]})",
         "'42116' is not a date and time (yyyy-mm-dd hh:nn:ss)"},
        {R"({"fields":[["s","stream"]],"data":[["YWJj"]]})",
         "gzip data is malformed: incorrect header check"},
        {R"({"fields":[["s","stream"]],"data":[["H4sIAAAAAAACA0tMSgYAwkEk"]]})",
         "gzip data ends too early"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Definition);
        EXPECT_EQ(BuildError(R"({"T":)" + c.Definition + "}"), Wrapped(c.Message));
    }
}

TEST(TableBuilder, TableLevelMessages)
{
    EXPECT_EQ(BuildError(R"({"T":[]})"),
              R"(Definicija tablice "T" je tipa TJSONArray, treba biti objekt)");
    // The first failing table ends the building; later members are not looked at.
    EXPECT_EQ(BuildError(R"({"A":{"fields":[["a","text"]],"data":[]},"B":{"fields":[]},"C":1})"),
              "Greška pri stvaranju tablice B:\r\nArray \"fields\" je prazan");
    // A second member of the same name is refused after it is built.
    EXPECT_EQ(BuildError(R"({"T":{"fields":[["a","text"]],"data":[]},)"
                         R"("t":{"fields":[["a","text"]],"data":[]},)"
                         R"("T":{"fields":[["a","text"]],"data":[]}})"),
              Wrapped("Duplicate table name 'T'"));
    EXPECT_EQ(BuildError(R"({"T":{"fields":[["a","text"]],"data":[]},"T":{"fields":[]}})"),
              Wrapped(R"(Array "fields" je prazan)"));
}

TEST(TableBuilder, FieldKindsSizesAndId)
{
    const auto tables =
        Build(OneTable(R"([["s","String"],["s20","STRING_20"],["t","Text"],["b","boolean"],)"
                       R"(["d","date"],["h","time"],["n","Number"],["x","stream"],)"
                       R"(["pad","string_0000000007xyz"]])",
                       "[]"),
              12);
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].Name, u"T");
    const TClientDataSet& table = *tables[0].Table;
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.RecordCount(), 0);
    const struct
    {
        const char16_t* Name;
        TFieldType Type;
        int32_t Size;
    } expected[] = {
        {u"s", TFieldType::ftWideString, 12},
        {u"s20", TFieldType::ftWideString, 20},
        {u"t", TFieldType::ftWideMemo, 0},
        {u"b", TFieldType::ftBoolean, 0},
        {u"d", TFieldType::ftDateTime, 0},
        {u"h", TFieldType::ftDateTime, 0},
        {u"n", TFieldType::ftFMTBcd, 0},
        {u"x", TFieldType::ftBlob, 0},
        {u"pad", TFieldType::ftWideString, 7}, // characters past the tenth are ignored
        {u"__id", TFieldType::ftInteger, 0},
    };
    ASSERT_EQ(table.FieldCount(), static_cast<int32_t>(std::size(expected)));
    for (int32_t i = 0; i < table.FieldCount(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(table.Field(i).FieldName(), expected[i].Name);
        EXPECT_EQ(table.Field(i).DataType(), expected[i].Type);
        EXPECT_EQ(table.Field(i).Size(), expected[i].Size);
    }
}

TEST(TableBuilder, StringSizes)
{
    const std::string long8000(8000, 'a');
    EXPECT_EQ(BuildError(OneTable(R"([["s","string"]])", R"([[")" + long8000 + R"("]])")), "");
    EXPECT_EQ(BuildError(OneTable(R"([["s","string"]])", R"([[")" + long8000 + R"(a"]])")),
              Wrapped(R"(Polje s ima maksimalnu duljinu 8000 i ne može primiti string ")" +
                      long8000 + R"(a" duljine 8001)"));
    EXPECT_EQ(BuildError(OneTable(R"([["s","string"]])", R"([["abcdefghijk"]])"), 10),
              Wrapped(R"(Polje s ima maksimalnu duljinu 10 i ne može primiti string )"
                      R"("abcdefghijk" duljine 11)"));
    EXPECT_EQ(
        BuildError(OneTable(R"([["s","string_5"]])", R"([["abcde"],["ab\u0161\ud83d\ude00"]])")),
        ""); // lengths count UTF-16 units: the emoji is two
    EXPECT_EQ(BuildError(OneTable(R"([["s","string_5"]])", R"([["abcd\ud83d\ude00"]])")),
              Wrapped("Polje s ima maksimalnu duljinu 5 i ne može primiti string "
                      "\"abcd\xF0\x9F\x98\x80\" duljine 6"));
    EXPECT_EQ(BuildError(OneTable(R"([["t","text"]])", R"([[")" + long8000 + long8000 + R"("]])")),
              "");
    // The string-size option is bounded like string_N.
    EXPECT_EQ(BuildError(OneTable(R"([["s","string"]])", "[]"), 1073741823), "");
    EXPECT_EQ(BuildError(OneTable(R"([["s","string"]])", "[]"), 1073741824),
              Wrapped("Field 's' cannot have the size 1073741824: a text field holds 1 to "
                      "1073741823 characters"));
    EXPECT_EQ(BuildError(OneTable(R"([["s","string_1073741824"]])", "[]")),
              Wrapped("Field 's' cannot have the size 1073741824: a text field holds 1 to "
                      "1073741823 characters"));
    EXPECT_EQ(BuildError(OneTable(R"([["s","string"]])", "[]"), -1),
              Wrapped("Field 's' cannot have the size -1: a text field holds 1 to 1073741823 "
                      "characters"));
}

TEST(TableBuilder, ValuesOfEveryKindPerColumn)
{
    const auto tables = Build(OneTable(
        R"([["s","string"],["t","text"],["b","boolean"],["d","date"],["h","time"],)"
        R"(["n","number"],["x","stream"]])",
        R"([["abc","memo",true,"2015-04-22","13:45:00",12.5,"H4sIAAAAAAACA0tMSgYAwkEkNQMAAAA="],)"
        R"([null,null,null,null,null,null,null],)"
        R"([12.5,true,false,"2015-04-22T13:45:00","00:00:01",true,""],)"
        R"([false,1e21,"TRUE","2015-04-22","12:00:00",false,"  \nH4sI AAAA\r\nAAAC A0tM SgYA wkEk NQMA AAA= "],)"
        R"([[],{"a":1},1,"0001-01-01","23:59:59","-0.5",7],)"
        R"([{},"x",0,"9999-12-31T23:59:59","00:00:00",{},null]])"));
    TClientDataSet& table = *tables[0].Table;
    ASSERT_EQ(table.RecordCount(), 6);
    TField& s = table.FieldByName(u"s");
    TField& t = table.FieldByName(u"t");
    TField& b = table.FieldByName(u"b");
    TField& d = table.FieldByName(u"d");
    TField& h = table.FieldByName(u"h");
    TField& n = table.FieldByName(u"n");
    TField& x = table.FieldByName(u"x");
    TField& id = table.FieldByName(u"__id");

    table.First();
    EXPECT_EQ(s.AsText(), u"abc");
    EXPECT_EQ(t.AsText(), u"memo");
    EXPECT_TRUE(b.AsBoolean());
    EXPECT_EQ(d.AsDateTime(), 42116);
    EXPECT_EQ(h.AsDateTime(), EncodeTime(13, 45, 0, 0));
    EXPECT_EQ(n.AsDecimal().Units(), 12500000);
    EXPECT_EQ(x.AsBytes(), "abc");
    EXPECT_EQ(id.AsInteger(), 0);

    table.Next();
    for (int32_t i = 0; i < 7; ++i)
        EXPECT_TRUE(table.Field(i).IsNull()) << i;
    EXPECT_EQ(id.AsInteger(), 1);

    table.Next();
    EXPECT_EQ(s.AsText(), u"12.5"); // a number's general text form
    EXPECT_EQ(t.AsText(), u"True");
    EXPECT_FALSE(b.IsNull());
    EXPECT_FALSE(b.AsBoolean());
    EXPECT_EQ(d.AsDateTime(), 42116 + EncodeTime(13, 45, 0, 0));
    EXPECT_EQ(h.AsDateTime(), EncodeTime(0, 0, 1, 0));
    EXPECT_EQ(n.AsDecimal().Units(), 1000000); // true in a number column is 1
    EXPECT_FALSE(x.IsNull());
    EXPECT_EQ(x.AsBytes(), ""); // the empty text empties the blob

    table.Next();
    EXPECT_EQ(s.AsText(), u"False");
    EXPECT_EQ(t.AsText(), u"1E21");
    EXPECT_TRUE(b.AsBoolean());
    EXPECT_EQ(n.AsDecimal().Units(), 0);
    EXPECT_EQ(x.AsBytes(), "abc"); // foreign characters in base64 are skipped

    table.Next();
    EXPECT_EQ(s.AsText(), u"");
    EXPECT_EQ(t.AsText(), u"");
    EXPECT_TRUE(b.AsBoolean());
    EXPECT_EQ(d.AsDateTime(), -693593);
    EXPECT_EQ(n.AsDecimal().Units(), -500000);
    EXPECT_EQ(x.AsBytes(), "7"); // a number is the blob's text

    table.Next();
    EXPECT_FALSE(s.IsNull());
    EXPECT_FALSE(b.AsBoolean());
    EXPECT_EQ(d.AsDateTime(), 2958465 + EncodeTime(23, 59, 59, 0));
    EXPECT_TRUE(n.IsNull()); // an object is the empty text, which makes a number null
    EXPECT_EQ(id.AsInteger(), 5);
}

TEST(TableBuilder, EveryJsonKindInEveryColumnEndsCleanly)
{
    const char* types[] = {
        "string", "string_3", "text", "boolean", "date", "time", "number", "stream"};
    const char* values[] = {"null",
                            "true",
                            "false",
                            "0",
                            "-1.5e300",
                            "\"\"",
                            "\"x\"",
                            "\"2015-04-22\"",
                            "\"12:00:00\"",
                            "[1,[2]]",
                            "{\"a\":{}}",
                            "\"H4sIAAAAAAACA0tMSgYAwkEkNQMAAAA=\""};
    for (const char* type : types) {
        for (const char* value : values) {
            SCOPED_TRACE(std::string(type) + " " + value);
            const std::string error = BuildError(OneTable(
                std::string(R"([["c",")") + type + R"("]])", std::string("[[") + value + "]]"));
            if (!error.empty()) {
                EXPECT_EQ(error.rfind("Greška pri stvaranju tablice T:\r\n", 0), 0u) << error;
            }
        }
    }
}

TEST(TableBuilder, StreamValuesShareOneInflateBudget)
{
    // Three values of three bytes each against budgets at the limit and one short of it.
    const std::string json = OneTable(R"([["x","stream"]])",
                                      R"([["H4sIAAAAAAACA0tMSgYAwkEkNQMAAAA="],)"
                                      R"(["H4sIAAAAAAACA0tMSgYAwkEkNQMAAAA="],)"
                                      R"(["H4sIAAAAAAACA0tMSgYAwkEkNQMAAAA="]])");
    const Datasets datasets(json);
    InflateBudget atLimit{9, 9};
    EXPECT_NO_THROW(BuildTables(datasets.Object(), 10, atLimit));
    EXPECT_EQ(atLimit.Left, 0u);
    InflateBudget onePast{8, 8};
    try {
        BuildTables(datasets.Object(), 10, onePast);
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(std::string(e.what()),
                  Wrapped("The \"stream\" values of one request may inflate to at most 8 bytes "
                          "together"));
    }
}

TEST(TableBuilder, RequestDateAndTimeText)
{
    const struct
    {
        const char* Text;
        double Days;
    } dates[] = {
        {"2015-04-22", 42116},
        {"2015/04/22", 42116}, // separators are not looked at
        {"2015-04-22T13:45:00", 42116 + (13 * 60 + 45) / 1440.0},
        {"2015-04-22 06:00:00", 42116.25},
        {"1899-12-29T06:00:00", -1.25},
        {"$7DF-04-22", 42116}, // each part is a platform integer
    };
    for (const auto& c : dates) {
        SCOPED_TRACE(c.Text);
        EXPECT_DOUBLE_EQ(ParseRequestDate(FromUtf8(c.Text)), c.Days);
    }
    EXPECT_DOUBLE_EQ(ParseRequestTime(u"06:00:00"), 0.25);
    EXPECT_DOUBLE_EQ(ParseRequestTime(u"23.59.59"), (86400 - 1) / 86400.0);
    EXPECT_THROW(ParseRequestTime(u"24:00:00"), EConvertError);
    EXPECT_THROW(ParseRequestDate(u"2015-04-22T13:45"), Exception);
}

TEST(TableBuilder, LinkedRequestTablesKeepRequestOrderAmongEqualKeys)
{
    const auto tables = Build(R"({"customers":{"fields":[["id","number"]],"data":[[7],[8],[9]]},)"
                              R"("orders":{"fields":[["customer_id","number"],["no","number"]],)"
                              R"("data":[[7,3],[8,10],[7,1],[7,2],[8,11]]}})");
    ASSERT_EQ(tables.size(), 2u);
    TClientDataSet& customers = *tables[0].Table;
    TClientDataSet& orders = *tables[1].Table;
    TDataSource source(&customers);
    orders.SetIndexFieldNames(u"customer_id;__id");
    orders.SetMasterFields(u"id");
    orders.SetMasterSource(&source);
    auto walk = [&] {
        std::string out;
        for (orders.First(); !orders.Eof(); orders.Next())
            out += ToUtf8(orders.FieldByName(u"no").AsDecimal().ToText()) + ";";
        return out;
    };
    EXPECT_EQ(walk(), "3;1;2;"); // request order, not sorted by "no"
    customers.Next();
    EXPECT_EQ(walk(), "10;11;");
    customers.Next();
    EXPECT_EQ(walk(), "");
    EXPECT_EQ(orders.RecordCount(), 0);
}

} // namespace vl
