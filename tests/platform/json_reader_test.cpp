#include "base/exception.h"
#include "base/limits.h"
#include "platform/json/json_reader.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vl {

namespace {

std::unique_ptr<JsonDocument> Parse(std::string_view text)
{
    return JsonDocument::Parse(std::string(text));
}

} // namespace

TEST(JsonReader, AcceptsOneValueWithWhitespaceAndAnOptionalBom)
{
    const char* valid[] = {
        "{}",
        " {\"a\":1}\r\n",
        "\xEF\xBB\xBF{\"a\":[]}",
        "[1,-0.5e+3,true,false,null,\"x\"]",
        "\"\\u0041\\n\"",
        "0",
        "-0",
        "1E400",
        "123456789012345678901234567890",
        "{\"a\":{\"b\":{\"c\":[[],{}]}}}",
        "\"\xC5\xA1\xF0\x9F\x98\x80\"",
    };
    for (const char* text : valid) {
        SCOPED_TRACE(text);
        EXPECT_NE(Parse(text), nullptr);
    }
}

TEST(JsonReader, RefusesEverythingElse)
{
    const char* invalid[] = {
        "",
        " ",
        "\xEF\xBB\xBF",
        "{",
        "{}}",
        "{} {}",
        "{}x",
        "[1,]",
        "{\"a\" 1}",
        "{\"a\":1,}",
        "{a:1}",
        "[01]",
        "[1.]",
        "[.5]",
        "[+1]",
        "[1e]",
        "[-]",
        "[tru]",
        "[nul]",
        "'x'",
        "\"unterminated",
        "\"bad \\q escape\"",
        "\"\\u12\"",
        "\"tab\there\"",
        "[\"\xFF\"]",
        "[\"\xC0\xAF\"]",
        "[\"\xED\xA0\x80\"]",
        "\xEF\xBB\xBF\xEF\xBB\xBF{}",
        "[1 2]",
        "[NaN]",
    };
    for (const char* text : invalid) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Parse(text), nullptr);
    }
}

TEST(JsonReader, NamesEveryKind)
{
    const struct
    {
        const char* Text;
        const char* Name;
    } cases[] = {
        {"{}", "TJSONObject"},
        {"[]", "TJSONArray"},
        {"\"\"", "TJSONString"},
        {"1", "TJSONNumber"},
        {"true", "TJSONTrue"},
        {"false", "TJSONFalse"},
        {"null", "TJSONNull"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        auto doc = Parse(c.Text);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(ToUtf8(JsonKindName(doc->Root().Kind())), c.Name);
    }
}

TEST(JsonReader, DecodesStringsIntoUtf16)
{
    auto doc = Parse(R"(["a\"b\\c\/d\b\f\n\r\t", "\u0161\ud83d\ude00", "š😀"])");
    ASSERT_NE(doc, nullptr);
    std::vector<String> strings;
    for (const auto& v : doc->Root().GetArray())
        strings.push_back(v.GetString());
    ASSERT_EQ(strings.size(), 3u);
    EXPECT_EQ(strings[0], u"a\"b\\c/d\b\f\n\r\t");
    EXPECT_EQ(strings[1], u"\u0161\U0001F600");
    EXPECT_EQ(strings[2], u"\u0161\U0001F600");
    EXPECT_EQ(strings[1].size(), 3u); // the emoji counts two UTF-16 units
}

TEST(JsonReader, NumbersOfAnySizeBecomeDoubles)
{
    const struct
    {
        const char* Text;
        double Value;
    } cases[] = {
        {"0", 0},
        {"-12.5", -12.5},
        {"1e3", 1000},
        {"123456789012345678901234567890", 1.2345678901234568e29},
        {"1e400", HUGE_VAL},
        {"-1e400", -HUGE_VAL},
        {"1e-400", 0},
        {"0.000000000000000000000000000000000000000000000000000000000000000001e-300", 0},
        {"12345678901234567890e300", HUGE_VAL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        auto doc = Parse(c.Text);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(doc->Root().GetNumber(), c.Value);
    }
}

TEST(JsonReader, ObjectsKeepMembersInOrderWithDuplicates)
{
    auto doc = Parse(R"({"b":1, "a":{"x":[1,{"y":"}"}]}, "b":"second", "\u0063":true})");
    ASSERT_NE(doc, nullptr);
    const JsonObject object = doc->Root().GetObject();
    ASSERT_EQ(object.Count(), 4u);
    EXPECT_EQ(object.Members()[0].Name.GetUtf8(), "b");
    EXPECT_EQ(object.Members()[2].Name.GetUtf8(), "b");
    EXPECT_EQ(object.Members()[1].Value.Raw(), R"({"x":[1,{"y":"}"}]})");
    ASSERT_NE(object.Find("b"), nullptr);
    EXPECT_TRUE(object.Find("b")->IsNumber()); // the first of duplicate names answers
    ASSERT_NE(object.Find("c"), nullptr);      // escaped names compare decoded
    EXPECT_EQ(object.Find("c")->Kind(), JsonKind::True);
    EXPECT_EQ(object.Find("B"), nullptr); // names compare with case
}

TEST(JsonReader, ArraysIterateInOrder)
{
    auto doc = Parse(R"([ "x\"]" , [1,2] ,{}, 3 ])");
    ASSERT_NE(doc, nullptr);
    const JsonArray array = doc->Root().GetArray();
    EXPECT_EQ(array.Count(), 4u);
    std::vector<std::string> raw;
    for (const auto& v : array)
        raw.emplace_back(v.Raw());
    EXPECT_EQ(raw, (std::vector<std::string>{R"("x\"]")", "[1,2]", "{}", "3"}));
    auto empty = Parse("[ ]");
    EXPECT_TRUE(empty->Root().GetArray().Empty());
    EXPECT_EQ(empty->Root().GetArray().Count(), 0u);
}

TEST(JsonReader, NestingIsBoundedAtTheLimit)
{
    const size_t depth = limits::JsonMaxDepth;
    EXPECT_NE(Parse(std::string(depth, '[') + std::string(depth, ']')), nullptr);
    try {
        Parse(std::string(depth + 1, '[') + std::string(depth + 1, ']'));
        FAIL() << "no limit error";
    } catch (const ELimitExceeded& e) {
        EXPECT_STREQ(e.what(), "JSON nesting is deeper than 512 levels");
    }
}

} // namespace vl
