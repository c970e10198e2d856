#include "template/report_variables.h"

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
