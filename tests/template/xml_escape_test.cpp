#include "template/xml_escape.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(XMLEscape, ReplacesTheSixCharactersWithReferences)
{
    const String longPrefix(5000, u'a');
    const struct
    {
        String Text;
        String Expected;
    } cases[] = {
        {u"", u""},
        {u"plain text", u"plain text"},
        {u"<&>", u"&#60;&#38;&#62;"},
        {longPrefix + u"<&>", longPrefix + u"&#60;&#38;&#62;"},
        {u"a\r\nb", u"a&#13;&#10;b"},
        {u"say \"hi\"", u"say &#34;hi&#34;"},
        {u"tab\tand 'apostrophe' \u0160\u00e9\u20ac", u"tab\tand 'apostrophe' \u0160\u00e9\u20ac"},
        // A text that looks escaped already is escaped again, so it reads back as it was.
        {u"&quot;", u"&#38;quot;"},
        {u"&#34;", u"&#38;#34;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text.substr(0, 40)));
        EXPECT_EQ(ToUtf8(XMLEscape(c.Text)), ToUtf8(c.Expected));
    }
}

TEST(XMLUnescape, DecodesReferencesOnceFromTheLeft)
{
    const struct
    {
        String Text;
        String Expected;
    } cases[] = {
        {u"", u""},
        {u"no references", u"no references"},
        {u"&#60;&#38;&#62;", u"<&>"},
        {u"&amp;lt;", u"&lt;"}, // decoded once, never twice
        {u"&#38;#60;", u"&#60;"},
        {u"a&quot;b&amp;c&lt;d&gt;e", u"a\"b&c<d>e"},
        {u"&#65;&#x42;&#$43;", u"ABC"},
        {u"&#128512;", u"\U0001F600"},
        {u"&#13;&#10;", u"\r\n"},
        // Anything that is not a reference stays as it stands.
        {u"&", u"&"},
        {u"a & b", u"a & b"},
        {u"&apos;", u"&apos;"},
        {u"&#", u"&#"},
        {u"&#65", u"&#65"},
        {u"&#;", u"&#;"},
        {u"&#abc;", u"&#abc;"},
        {u"&#-1;", u"&#-1;"},
        {u"&#1114112;", u"&#1114112;"},
        {u"&#99999999999999999999;", u"&#99999999999999999999;"},
        {u"&#abc&amp;", u"&#abc&"},
        {u"&QUOT;", u"&QUOT;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        EXPECT_EQ(ToUtf8(XMLUnescape(c.Text)), ToUtf8(c.Expected));
    }
}

TEST(XMLEscape, EveryTextReadsBackUnchanged)
{
    const String texts[] = {
        u"<&>\"\r\n",
        u"&quot;&amp;&lt;&gt;&#34;&#x41;",
        u"&&#;&#",
        u"\U0001F600 \u0160",
        String(u"nul\0inside", 10),
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(ToUtf8(text));
        EXPECT_EQ(XMLUnescape(XMLEscape(text)), text);
    }
}

} // namespace
} // namespace vl
