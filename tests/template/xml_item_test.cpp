#include "template/xml_test_util.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using test::Dump;

TEST(XMLItem, BuildsAndSearchesTheTree)
{
    TvlxXMLItem root;
    root.SetName(u"root");
    auto& a = root.Add(u"Alpha");
    auto& b = root.Add(u"beta");
    a.Add(u"leaf");
    EXPECT_EQ(Dump(root), "root(Alpha(leaf),beta)");
    EXPECT_EQ(root.Find(u"ALPHA"), 0);
    EXPECT_EQ(root.Find(u"Beta"), 1);
    EXPECT_EQ(root.Find(u"gamma"), -1);
    EXPECT_EQ(&root.FindItem(u"BETA"), &b);
    auto& gamma = root.FindItem(u"gamma");
    EXPECT_EQ(root.IndexOf(gamma), 2);
    EXPECT_EQ(root.IndexOf(a[0]), -1);
    EXPECT_EQ(&a[0].Root(), &root);
    EXPECT_EQ(a[0].Parent(), &a);
}

TEST(XMLItem, MovesItemsBetweenParents)
{
    TvlxXMLItem root;
    auto& a = root.Add(u"a");
    auto& b = root.Add(u"b");
    auto& leaf = a.Add(u"leaf");
    b.AddItem(leaf);
    EXPECT_EQ(Dump(root), "(a,b(leaf))");
    EXPECT_EQ(leaf.Parent(), &b);
    root.InsertItem(0, leaf);
    EXPECT_EQ(Dump(root), "(leaf,a,b)");
    root.InsertItem(2, std::make_unique<TvlxXMLItem>()).SetName(u"new");
    EXPECT_EQ(Dump(root), "(leaf,a,new,b)");
    auto taken = root.Extract(1);
    EXPECT_EQ(taken->Parent(), nullptr);
    root.Delete(0);
    EXPECT_EQ(Dump(root), "(new,b)");
    // An item cannot go below itself.
    auto& child = b.Add(u"c");
    EXPECT_THROW(child.AddItem(b), EInternalError);
    EXPECT_EQ(Dump(root), "(new,b(c))");
}

TEST(XMLItem, ClearLeavesAnUnloadableItemUnloaded)
{
    TvlxXMLItem item;
    item.Add();
    item.Clear();
    EXPECT_EQ(item.Count(), 0);
    EXPECT_TRUE(item.Loaded());
    item.Add();
    item.SetUnloadable(true);
    item.Clear();
    EXPECT_FALSE(item.Loaded());
}

TEST(XMLItemAttribute, ReadsWithoutCaseAndUnescapes)
{
    TvlxXMLItem item;
    item.SetText(u"x=\"1\" y=\"2\" Name=\"a&#34;b\" e=\"\" ax=\"3\" open=\"to the end");
    const struct
    {
        const char16_t* Name;
        const char16_t* Expected;
        bool Exists;
    } cases[] = {
        {u"x", u"1", true},
        {u"Y", u"2", true},
        {u"NAME", u"a\"b", true},
        {u"e", u"", true},
        {u"open", u"to the end", true},
        {u"ax", u"3", true},
        {u"a", u"", false}, // only whole names after a space or the start
        {u"1", u"", false}, // values are not names
        {u"x=", u"", false},
        {u"z", u"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Name));
        EXPECT_EQ(item.Attribute(c.Name), c.Expected);
        EXPECT_EQ(item.PropExists(c.Name), c.Exists);
    }
    ASSERT_TRUE(item.FindAttribute(u"name"));
    EXPECT_EQ(*item.FindAttribute(u"name"), u"a&#34;b");
    // Non-ASCII names compare without case as well.
    item.SetText(u"\u0160ifra=\"7\"");
    EXPECT_EQ(item.Attribute(u"\u0161IFRA"), u"7");
}

TEST(XMLItemAttribute, WritesInPlaceOrAtTheEnd)
{
    const struct
    {
        const char16_t* Text;
        const char16_t* Name;
        const char16_t* Value;
        const char16_t* Expected;
    } cases[] = {
        {u"", u"x", u"1", u"x=\"1\""},
        {u"a=\"1\"", u"x", u"2", u"a=\"1\" x=\"2\""},
        {u"a=\"1\" ", u"x", u"2", u"a=\"1\" x=\"2\""},
        {u"a=\"1\" x=\"old\" b=\"3\"", u"X", u"new", u"a=\"1\" X=\"new\" b=\"3\""},
        {u"x=\"old\" b=\"3\"", u"x", u"new", u"x=\"new\" b=\"3\""},
        {u"a=\"1\" x=\"unclosed", u"x", u"v", u"a=\"1\" x=\"v\""},
        {u"a=\"1\"", u"x", u"<\"&\r\n>", u"a=\"1\" x=\"&#60;&#34;&#38;&#13;&#10;&#62;\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        TvlxXMLItem item;
        item.SetText(c.Text);
        item.SetAttribute(c.Name, c.Value);
        EXPECT_EQ(ToUtf8(item.Text()), ToUtf8(c.Expected));
        EXPECT_EQ(item.Attribute(c.Name), c.Value);
    }
}

TEST(XMLItemAttribute, DeletesNameValueAndOneSeparator)
{
    const struct
    {
        const char16_t* Text;
        const char16_t* Name;
        const char16_t* Expected;
    } cases[] = {
        {u"x=\"1\" y=\"2\"", u"x", u"y=\"2\""},
        {u"x=\"1\" y=\"2\"", u"Y", u"x=\"1\" "},
        {u"x=\"1\" y=\"2\" z=\"3\"", u"y", u"x=\"1\" z=\"3\""},
        {u"x=\"1\"", u"q", u"x=\"1\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        TvlxXMLItem item;
        item.SetText(c.Text);
        item.DeleteProp(c.Name);
        EXPECT_EQ(ToUtf8(item.Text()), ToUtf8(c.Expected));
        EXPECT_FALSE(item.PropExists(c.Name));
    }
}

} // namespace
} // namespace vl
