#include "template/report_variables.h"
#include "template/xml_document.h"

#include <gtest/gtest.h>

namespace vl {

namespace {

// The header of Totals, Sum and Avg, the header of Misc, X.
TvlxVariables CategoryExample()
{
    TvlxVariables list;
    for (const char16_t* name : {u" Totals", u"Sum", u"Avg", u" Misc", u"X"}) {
        TvlxVariable& v = list.Add();
        v.SetName(name);
        v.SetValue(Variant(String(u"1")));
    }
    return list;
}

std::string Names(const TvlxVariables& list)
{
    std::string out;
    for (size_t i = 0; i < list.Count(); ++i)
        out += (i ? "|" : "") + ToUtf8(list.Item(i).Name());
    return out;
}

std::string Joined(const StringList& list)
{
    std::string out;
    for (size_t i = 0; i < list.Count(); ++i)
        out += (i ? "|" : "") + ToUtf8(list[i]);
    return out;
}

} // namespace

TEST(ReportVariables, CategoriesAndTheirVariables)
{
    const TvlxVariables list = CategoryExample();
    StringList names;
    list.GetCategoriesList(names);
    EXPECT_EQ(Joined(names), "Totals|Misc");
    list.GetVariablesList(u"totals", names);
    EXPECT_EQ(Joined(names), "Sum|Avg");
    list.GetVariablesList(u"", names);
    EXPECT_EQ(Joined(names), ""); // the list starts with a header
    list.GetVariablesList(u"Nowhere", names);
    EXPECT_EQ(Joined(names), "");
}

TEST(ReportVariables, AddingDeletingAndWritingByName)
{
    TvlxVariables list = CategoryExample();
    list.AddVariable(u"Totals", u"Max", Variant(1));
    EXPECT_EQ(Names(list), " Totals|Sum|Avg|Max| Misc|X");
    list.AddVariable(u"Misc", u"avg", Variant(2)); // exists elsewhere: only the value changes
    EXPECT_EQ(Names(list), " Totals|Sum|Avg|Max| Misc|X");
    EXPECT_EQ(list.Value(u"AVG").ToInt32(), 2);
    list.AddVariable(u"Nowhere", u"Y", Variant(3));
    EXPECT_EQ(list.IndexOf(u"Y"), -1);

    list.SetValue(u"sum", Variant(String(u"new")));
    EXPECT_EQ(list.Item(1).Value().ToText(), u"new");
    list.SetValue(u"Z", Variant(5)); // appended at the end, inside the last category
    EXPECT_EQ(Names(list), " Totals|Sum|Avg|Max| Misc|X|Z");

    list.DeleteCategory(u"Totals");
    EXPECT_EQ(Names(list), " Misc|X|Z");
    list.DeleteVariable(u"x");
    EXPECT_EQ(Names(list), " Misc|Z");
    EXPECT_TRUE(list.Value(u"missing").IsNull());
}

TEST(ReportVariables, ArrayKeysCompareAsText)
{
    TvlxArray map;
    map.SetValue(Variant(12), Variant(String(u"twelve")));
    map.SetValue(Variant(String(u"Key")), Variant(1));
    EXPECT_EQ(map.Value(Variant(String(u"12"))).ToText(), u"twelve");
    EXPECT_EQ(map.IndexOf(Variant(String(u"KEY"))), 1);
    map.SetValue(Variant(String(u"key")), Variant(2));
    EXPECT_EQ(map.Count(), 2u);
    EXPECT_TRUE(map.Value(Variant(7)).IsNull());
}

TEST(ReportVariables, PublishesNameAndValue)
{
    const ClassInfo& cls = TvlxVariable::StaticClass();
    ASSERT_NE(cls.FindProp(u"name"), nullptr);
    ASSERT_NE(cls.FindProp(u"Value"), nullptr);
    EXPECT_EQ(cls.FindProp(u"Value")->Kind, PropKind::VariantValue);
}

} // namespace vl

namespace vl {

namespace {

std::string SavedXml(const TvlxVariables& list)
{
    MemoryStream stream;
    list.SaveToStream(stream);
    return stream.Bytes();
}

TvlxVariables LoadedXml(const std::string& xml)
{
    MemoryStream stream;
    stream.Write(xml);
    stream.SetPosition(0);
    TvlxVariables list;
    list.SetValue(u"Stale", Variant(u"x"));
    list.LoadFromStream(stream);
    return list;
}

} // namespace

TEST(ReportVariablesXml, WritesOneItemPerVariable)
{
    TvlxVariables list;
    list.Add().SetName(u" Totals");
    list.SetValue(u"Sum", Variant(u"<A> & \"B\"\r\n"));
    list.SetValue(u"Count", Variant(int32_t(3)));
    list.Add(); // no name: only the value is written
    EXPECT_EQ(SavedXml(list),
              "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\r\n"
              "<variables>\r\n"
              "  <item Name=\" Totals\" Value=\"\"/>\r\n"
              "  <item Name=\"Sum\" Value=\"&#60;A&#62; &#38; &#34;B&#34;&#13;&#10;\"/>\r\n"
              "  <item Name=\"Count\" Value=\"3\"/>\r\n"
              "  <item Value=\"\"/>\r\n"
              "</variables>\r\n");
}

TEST(ReportVariablesXml, ReadsBackNamesAndTextValues)
{
    TvlxVariables list;
    list.Add().SetName(u" Totals");
    list.SetValue(u"Sum", Variant(u"<A> & \"B\"\r\nč"));
    list.SetValue(u"Count", Variant(int32_t(3)));
    const TvlxVariables back = LoadedXml(SavedXml(list));
    ASSERT_EQ(back.Count(), 3u);
    EXPECT_EQ(back.Item(0).Name(), u" Totals");
    EXPECT_EQ(back.Value(u"Sum").StringValue(), u"<A> & \"B\"\r\nč");
    // Values come back as text.
    EXPECT_EQ(back.Value(u"Count").StringValue(), u"3");
    EXPECT_EQ(back.IndexOf(u"Stale"), -1);
}

TEST(ReportVariablesXml, ReadsOnlyItemsOfAVariablesRoot)
{
    struct Case
    {
        const char* Body;
        const char* Names;
    };
    const Case cases[] = {
        {"<variables><item Name=\"A\"/><other Name=\"B\"/><ITEM Name=\"C\"/></variables>", "A|C"},
        {"<Variables><item Name=\"A\"/></Variables>", "A"},
        {"<values><item Name=\"A\"/></values>", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Body);
        const TvlxVariables list = LoadedXml(
            std::string("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>") + c.Body);
        EXPECT_EQ(Names(list), c.Names);
    }
}

TEST(ReportVariablesXml, BrokenDocumentsRaiseInvalidFileFormat)
{
    EXPECT_THROW(LoadedXml("<variables><item Name=\"A\"></variables>"), TvlxInvalidXMLException);
}

} // namespace vl
