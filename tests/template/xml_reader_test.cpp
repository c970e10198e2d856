#include "base/limits.h"
#include "template/xml_test_util.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

using test::InvalidFormat;
using test::LoadDump;

const std::string Header = test::XmlHeader;

TEST(XMLReader, ReadsElementsAndSkipsWhatIsNotATag)
{
    const struct
    {
        const char* Name;
        std::string Bytes;
        std::string Expected;
    } cases[] = {
        {"nested", Header + "<a><b/></a>", "a(b)"},
        {"indented with CR LF", Header + "\r\n<a>\r\n  <b x=\"1\"/>\r\n</a>\r\n", "a(b{x=\"1\"})"},
        {"byte-order mark", "\xEF\xBB\xBF" + Header + "<a/>", "a"},
        {"comment before the header", "<!-- made by hand -->" + Header + "<a/>", "a"},
        {"mark and comment", "\xEF\xBB\xBF<!--x-->" + Header + "<a/>", "a"},
        {"text content is dropped", Header + "<a>hello<b/>world</a>", "a(b)"},
        {"missing closes at the end", Header + "<a><b/>", "a(b)"},
        {"missing closes of open children", Header + "<a><b><c>", "a(b(c))"},
        {"closing tag without case", Header + "<Abc><d/></aBC>", "Abc(d)"},
        {"closing tag with attributes", Header + "<a><b/></a junk>", "a(b)"},
        {"only a header", Header, ""},
        {"bytes after the root are not read", Header + "<a/><b/><", "a"},
        {"root that closes a list", Header + "</a>", "/a"},
        {"doctype reads as an element", Header + "<!DOCTYPE x><a/>", "!DOCTYPE{x}(a)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LoadDump(c.Bytes), c.Expected);
    }
}

TEST(XMLReader, KeepsTheAttributeTextAsItStood)
{
    const struct
    {
        std::string Tag;
        std::string Text;
    } cases[] = {
        {"<a x=\"1\" y=\"2\"/>", "x=\"1\" y=\"2\""},
        {"<a x=\"1\" />", "x=\"1\" "}, // only the final "/" goes
        {"<a />", ""},
        {"<a >", ""},
        {"<a  x=\"1\">", " x=\"1\""},
        {"<a x=\"&#60;&amp;\">", "x=\"&#60;&amp;\""}, // not unescaped
        {"<a x=y z>", "x=y z"},                       // syntax is not checked
        {"<a x=\"\xC5\xA0\xE2\x82\xAC\"/>", "x=\"\u0160\u20ac\""},
        {"<a x=\"\xFF\"/>", "x=\"\uFFFD\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Tag);
        TvlxXMLDocument doc;
        MemoryStream stream(Header + c.Tag);
        doc.LoadFromStream(stream);
        EXPECT_EQ(doc.Root().Name(), u"a");
        EXPECT_EQ(ToUtf8(doc.Root().Text()), c.Text);
        EXPECT_EQ(doc.Root().Count(), 0);
    }
}

TEST(XMLReader, RaisesInvalidFileFormatOnlyForTheNamedFaults)
{
    const struct
    {
        const char* Name;
        std::string Bytes;
    } cases[] = {
        {"empty data", ""},
        {"no header", "<a/>"},
        {"text only", "hello"},
        {"header not first", "<a/>" + Header},
        {"less-than inside a tag", Header + "<a x=\"<\"/>"},
        {"less-than inside the header", "<?xml <a/>"},
        {"data ends inside a tag", Header + "<a><b x=\"1\""},
        {"data ends inside a comment start", Header + "<a><!-"},
        {"child not closed before the parent", Header + "<a><b></a>"},
        {"wrong closing tag", Header + "<a></b>"},
        {"empty tag ends the list", Header + "<a><></a>"},
        {"nameless tag ends the list", Header + "<a>< x=\"1\"></a>"},
        {"bare closing slash", Header + "<a></>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LoadDump(c.Bytes), InvalidFormat);
    }
}

TEST(XMLReader, CommentsEndOnlyAtTwoDashesBeforeTheGreaterThanSign)
{
    const struct
    {
        const char* Name;
        std::string Body;
        std::string Expected;
    } cases[] = {
        {"plain", "<!-- x --><b/>", "a(b)"},
        {"tags inside", "<!-- <b/> x > y --><c/>", "a(c)"},
        {"three dashes do not end it", "<!-- x ---><b/>--><c/>", "a(c)"},
        {"two dashes right after the start", "<!----><b/>", "a(b)"},
        {"a single dash", "<!-- - > --><b/>", "a(b)"},
        {"shortest form does not end", "<!--><b/>--><c/>", "a(c)"},
        {"unterminated at the end", "<b/><!-- <c/>", "a(b)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(LoadDump(Header + "<a>" + c.Body + "</a>"), c.Expected);
    }
}

TEST(XMLReader, ChoosesTheFormatFromTheHeader)
{
    const struct
    {
        std::string Header;
        bool Old;
    } cases[] = {
        {R"(<?xml version="1.0" encoding="utf-8" standalone="no"?>)", false},
        {R"(<?xml version="1.0"?>)", true},
        {R"(<?xml version="1.0" encoding="windows-1250"?>)", true},
        {R"(<?xml version='1.0'?>)", true},
        {R"(<?xml version="1.0" standalone="yes"?>)", false},
        {R"(<?xml version="1.1"?>)", false},
        {R"(<?xml encoding="utf-8"?>)", false},
        {R"(<?xml version=">)", false},
        {R"(<?xml?>)", false},
        {R"(<?xmlfoo?>)", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Header);
        TvlxXMLDocument doc;
        MemoryStream stream(c.Header + "<a/>");
        doc.LoadFromStream(stream);
        EXPECT_EQ(doc.OldVersion(), c.Old);
        EXPECT_EQ(doc.Root().Name(), u"a");
    }
}

TEST(XMLReader, OldFormatTakesAttributeBytesAsWindows1252)
{
    // "é" in UTF-8 is two bytes, so in the old format it reads as two characters; 0x80 and 0x9F
    // are the euro sign and Y with diaeresis, 0x81 (undefined) its C1 control.
    TvlxXMLDocument doc;
    MemoryStream stream(std::string(R"(<?xml version="1.0"?>)") +
                        "<a t=\"\xC3\xA9\" u=\"\x80\x9F\x81\xE9\"/>");
    doc.LoadFromStream(stream);
    ASSERT_TRUE(doc.OldVersion());
    EXPECT_EQ(doc.Root().Attribute(u"t"), u"\u00c3\u00a9");
    EXPECT_EQ(doc.Root().Attribute(u"u"), u"\u20ac\u0178\u0081\u00e9");
}

TEST(XMLReader, ElementNamesAreWindows1252InEitherFormat)
{
    TvlxXMLDocument doc;
    MemoryStream stream(Header + "<a\x80 x=\"\xE2\x82\xAC\"></A\x80>");
    doc.LoadFromStream(stream);
    EXPECT_EQ(doc.Root().Name(), u"a\u20ac");
    EXPECT_EQ(doc.Root().Attribute(u"X"), u"\u20ac");
}

std::string Nested(size_t depth)
{
    std::string bytes = Header;
    for (size_t i = 1; i < depth; ++i)
        bytes += "<a>";
    return bytes + "<b/>";
}

TEST(XMLReader, RefusesNestingBeyondTheLimit)
{
    EXPECT_NE(LoadDump(Nested(limits::XmlMaxDepth)), InvalidFormat);
    EXPECT_EQ(LoadDump(Nested(limits::XmlMaxDepth + 1)), InvalidFormat);
    // Far beyond it: refused without exhausting anything.
    EXPECT_EQ(LoadDump(Nested(1000000)), InvalidFormat);
}

TEST(XMLReader, ReadsTagsAcrossBufferBoundaries)
{
    // Tags, comment starts and long attribute texts placed on every offset around the 4096-byte
    // buffer edge must read the same as anywhere else.
    const std::string longValue(9000, 'v');
    for (size_t pad = 4030; pad < 4110; ++pad) {
        SCOPED_TRACE(pad);
        const std::string bytes = Header + "<a>" + std::string(pad - Header.size(), ' ') +
                                  "<!-- c --><b x=\"" + longValue + "\"/><c/></a>";
        TvlxXMLDocument doc;
        MemoryStream stream(bytes);
        doc.LoadFromStream(stream);
        ASSERT_EQ(doc.Root().Count(), 2);
        EXPECT_EQ(doc.Root()[0].Attribute(u"x").size(), longValue.size());
        EXPECT_EQ(doc.Root()[1].Name(), u"c");
    }
}

TEST(XMLReader, PutsTheStreamBackAfterTheLastByteItConsumed)
{
    const std::string document = Header + "<a><b/></a>";
    MemoryStream stream(document + "<tail/>" + std::string(10000, 'x'));
    TvlxXMLDocument doc;
    doc.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), document.size());
}

TEST(XMLReader, ReadsFromTheStreamsPosition)
{
    const std::string prefix = "prefix bytes <not a header>";
    MemoryStream stream(prefix + Header + "<a><b/></a>");
    stream.SetPosition(prefix.size());
    TvlxXMLDocument doc;
    doc.LoadFromStream(stream);
    EXPECT_EQ(test::Dump(doc.Root()), "a(b)");
}

TEST(XMLReader, KeepsWhatWasReadBeforeAnError)
{
    TvlxXMLDocument doc;
    MemoryStream stream(Header + "<a><b/><c><d/></e>");
    EXPECT_THROW(doc.LoadFromStream(stream), TvlxInvalidXMLException);
    EXPECT_EQ(test::Dump(doc.Root()), "a(b,c(d))");
}

TEST(XMLReader, DropsTheUnloadMarkOfItemsBelowTheRoot)
{
    const std::string bytes = Header + R"(<r ld="0"><p ld="0"><c/></p><q x="1" LD="0"/>)" +
                              R"(<s x="1" ld="0" y="2"/><t x="ld=&#34;0&#34;"/></r>)";
    EXPECT_EQ(LoadDump(bytes), R"(r{ld="0"}(p(c),q{x="1"},s{x="1" y="2"},t{x="ld=&#34;0&#34;"}))");
}

TEST(XMLReader, LeavesMarkedItemsUnloadedWithPartialLoading)
{
    const std::string page = R"(<p ld="0"><c/></p>)";
    const std::string bytes = Header + "<r>" + page + R"(<q x="1" ld="0"/><s/></r>)";
    TvlxXMLDocument doc;
    MemoryStream stream(bytes);
    doc.LoadFromStream(stream, true);
    const auto& root = doc.Root();
    EXPECT_EQ(test::Dump(root), R"(r(p,q{x="1"},s))");
    EXPECT_TRUE(root[0].Unloadable());
    EXPECT_FALSE(root[0].Loaded());
    EXPECT_EQ(root[0].Offset(), static_cast<int64_t>(bytes.find("<p")));
    EXPECT_TRUE(root[1].Unloadable());
    EXPECT_EQ(root[1].Offset(), static_cast<int64_t>(bytes.find("<q")));
    EXPECT_FALSE(root[2].Unloadable());
    EXPECT_TRUE(root[2].Loaded());
    EXPECT_FALSE(root.Unloadable());

    // Read fully, the mark only goes away.
    TvlxXMLDocument full;
    MemoryStream again(bytes);
    full.LoadFromStream(again);
    EXPECT_FALSE(full.Root()[0].Unloadable());
    EXPECT_EQ(full.Root()[0].Count(), 1);
}

} // namespace
} // namespace vl
