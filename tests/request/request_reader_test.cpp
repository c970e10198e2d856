#include "base/exception.h"
#include "request/request_reader.h"

#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>

namespace vl {

namespace {

// A stream that hands out its bytes a few at a time, as a pipe may.
class TrickleStream : public Stream
{
public:
    explicit TrickleStream(std::string bytes)
        : FBytes(std::move(bytes))
    {}
    size_t Read(void* buffer, size_t count) override
    {
        const size_t n = std::min({count, FBytes.size() - FPos, size_t(3)});
        std::memcpy(buffer, FBytes.data() + FPos, n);
        FPos += n;
        return n;
    }
    void Write(const void*, size_t) override {}

private:
    std::string FBytes;
    size_t FPos = 0;
};

std::string ErrorOf(std::string_view request)
{
    try {
        MemoryStream input{std::string(request)};
        auto doc = ReadRequest(input);
        const JsonObject object = doc->Root().GetObject();
        OptionalObjectMember(object, "datasets");
        OptionalObjectMember(object, "links");
        TemplateText(object);
        OptionalObjectMember(object, "variables");
        return "";
    } catch (const Exception& e) {
        return std::string(e.ClassName()) + ": " + e.what();
    }
}

} // namespace

TEST(RequestReader, ChecksInPipelineOrder)
{
    const struct
    {
        const char* Request;
        const char* Error;
    } cases[] = {
        {"", "Exception: Ulaz je prazan"},
        {"  ", "Exception: Ulaz nije JSON"},
        {"{}\n{}", "Exception: Ulaz nije JSON"},
        {"[1]", "Exception: Poslani JSON je TJSONArray, treba biti objekt"},
        {"true", "Exception: Poslani JSON je TJSONTrue, treba biti objekt"},
        {"{}", "Exception: Poslani JSON objekt nema vrijednost \"report\""},
        {R"({"datasets":[], "report":1})",
         "Exception: Vrijednost \"datasets\" u poslanom JSON objektu je TJSONArray, treba biti "
         "objekt"},
        {R"({"links":"x", "datasets":{}})",
         "Exception: Vrijednost \"links\" u poslanom JSON objektu je TJSONString, treba biti "
         "objekt"},
        {R"({"report":null})",
         "Exception: Vrijednost \"report\" u poslanom JSON objektu je TJSONNull, treba biti "
         "string"},
        {R"({"report":{}})",
         "Exception: Vrijednost \"report\" u poslanom JSON objektu je TJSONObject, treba biti "
         "string"},
        {R"({"report":"x", "variables":[]})",
         "Exception: Vrijednost \"variables\" u poslanom JSON objektu je TJSONArray, treba biti "
         "objekt"},
        {R"({"report":"x", "Report":1, "variables":{}})", ""},
        {R"({"report":12.5})", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Request);
        EXPECT_EQ(ErrorOf(c.Request), c.Error);
    }
}

TEST(RequestReader, ReadsUntilTheEndWhateverASingleReadReturns)
{
    TrickleStream input(R"({"report":"<TvlxReport/>"})");
    auto doc = ReadRequest(input);
    EXPECT_EQ(ToUtf8(TemplateText(doc->Root().GetObject())), "<TvlxReport/>");
}

TEST(RequestReader, ValuesAsText)
{
    const struct
    {
        const char* Json;
        const char* Text;
    } cases[] = {
        {R"("Ab\u010d")", "Abč"},
        {"12.5", "12.5"},
        {"1e20", "1E20"},
        {"-0.1", "-0.1"},
        {"3", "3"},
        {"true", ""},
        {"false", ""},
        {"null", ""},
        {"[1]", ""},
        {"{}", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Json);
        auto doc = JsonDocument::Parse(c.Json);
        ASSERT_NE(doc, nullptr);
        EXPECT_EQ(ToUtf8(JsonValueAsText(doc->Root())), c.Text);
    }
}

TEST(QuoteAsExpression, QuotesRunsAndSpellsOutControlCharacters)
{
    const struct
    {
        const char16_t* Text;
        const char16_t* Quoted;
    } cases[] = {
        {u"", u"''"},
        {u"It's", u"'It''s'"},
        {u"a\r\nb", u"'a'#13#10'b'"},
        {u"\t", u"#9"},
        {u"\t\t", u"#9#9"},
        {u"x\n", u"'x'#10"},
        {u"''", u"''''''"},
        {u"čć €", u"'čć €'"},
        {u"[a] + 1", u"'[a] + 1'"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.Text));
        EXPECT_EQ(QuoteAsExpression(c.Text), c.Quoted);
    }
}

} // namespace vl
