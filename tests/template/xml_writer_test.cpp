#include "template/xml_test_util.h"

#include <functional>
#include <gtest/gtest.h>

namespace vl {
namespace {

const std::string Header = test::XmlHeader;

// report(page{Name="P1"}(band{x="1"}(memo{Text="a&#60;b"}),band)) with a value and an unloadable
// leaf.
void BuildSample(TvlxXMLItem& root)
{
    root.SetName(u"report");
    auto& page = root.Add(u"page");
    page.SetAttribute(u"Name", u"P1");
    auto& band = page.Add(u"band");
    band.SetText(u"x=\"1\"");
    band.Add(u"memo").SetAttribute(u"Text", u"a<b \u0160");
    page.Add(u"band");
    root.Add(u"value").SetValue(u"v<1>");
    root.Add(u"later").SetUnloadable(true);
}

TEST(XMLWriter, WritesCompactTags)
{
    TvlxXMLDocument doc;
    BuildSample(doc.Root());
    EXPECT_EQ(test::SaveToBytes(doc),
              Header + R"(<report><page Name="P1"><band x="1"><memo Text="a&#60;b )" + "\xC5\xA0" +
                  R"("/></band><band/></page><value>v<1></value><later ld="0"/>)" + "</report>");
}

TEST(XMLWriter, IndentsByDepthWithCRLF)
{
    TvlxXMLDocument doc;
    doc.SetAutoIndent(true);
    BuildSample(doc.Root());
    EXPECT_EQ(test::SaveToBytes(doc),
              Header + "\r\n"
                       "<report>\r\n"
                       "  <page Name=\"P1\">\r\n"
                       "    <band x=\"1\">\r\n"
                       "      <memo Text=\"a&#60;b \xC5\xA0\"/>\r\n"
                       "    </band>\r\n"
                       "    <band/>\r\n"
                       "  </page>\r\n"
                       "  <value>v<1></value>\r\n"
                       "  <later ld=\"0\"/>\r\n"
                       "</report>\r\n");
}

TEST(XMLWriter, WritesNamesAsWindows1252)
{
    TvlxXMLDocument doc;
    doc.Root().SetName(u"a\u20ac\u4e00");
    EXPECT_EQ(test::SaveToBytes(doc), Header + "<a\x80?/>");
}

// Structure, names and attribute texts of two trees are the same.
void ExpectSameTree(const TvlxXMLItem& a, const TvlxXMLItem& b)
{
    ASSERT_EQ(a.Name(), b.Name());
    EXPECT_EQ(ToUtf8(a.Text()), ToUtf8(b.Text()));
    ASSERT_EQ(a.Count(), b.Count()) << ToUtf8(a.Name());
    for (int i = 0; i < a.Count(); ++i)
        ExpectSameTree(a[i], b[i]);
}

TEST(XMLWriter, WhatItWritesReadsBackTheSame)
{
    // A few thousand items with every kind of character, so the output crosses many flushes.
    TvlxXMLDocument doc;
    doc.Root().SetName(u"root");
    for (int p = 0; p < 20; ++p) {
        auto& page = doc.Root().Add(u"page" + IntToStr(p));
        for (int i = 0; i < 200; ++i) {
            auto& item = page.Add(u"m" + IntToStr(i));
            item.SetAttribute(u"Name", u"Memo" + IntToStr(i));
            item.SetAttribute(u"Text", u"line 1\r\nline \"2\" <&> \u0160\u010d \U0001F600 &quot;");
            if (i % 7 == 0) item.Add(u"sub").SetAttribute(u"l", u"1.5");
        }
    }
    for (const bool indent : {false, true}) {
        SCOPED_TRACE(indent);
        doc.SetAutoIndent(indent);
        TvlxXMLDocument copy;
        MemoryStream bytes(test::SaveToBytes(doc));
        copy.LoadFromStream(bytes);
        EXPECT_FALSE(copy.OldVersion());
        ExpectSameTree(copy.Root(), doc.Root());
        EXPECT_EQ(copy.Root()[3][14].Attribute(u"text"),
                  u"line 1\r\nline \"2\" <&> \u0160\u010d \U0001F600 &quot;");
    }
}

TEST(XMLWriter, DoesNotDoubleALeadingSpace)
{
    TvlxXMLDocument doc;
    doc.Root().SetName(u"a");
    doc.Root().SetText(u" x=\"1\"");
    EXPECT_EQ(test::SaveToBytes(doc), Header + R"(<a x="1"/>)");
}

} // namespace
} // namespace vl
