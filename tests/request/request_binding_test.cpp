#include "base/exception.h"
#include "base/limits.h"
#include "request/request_binding.h"

#include <gtest/gtest.h>
#include <string>

namespace vl {

namespace {

const char* Shop = R"({
  "Customers":{"fields":[["id","number"],["name","string"]],"data":[[1,"Ana"],[2,"Ivo"]]},
  "Orders":{"fields":[["customer_id","number"],["n","number"]],"data":[[1,1],[2,2],[1,3]]}})";

// A "links" object with `count` members that all link Orders to Customers (JSON keeps
// repeated member names).
std::string RepeatedLinks(int count)
{
    std::string text = "{";
    for (int i = 0; i < count; ++i) {
        if (i) text += ",";
        text += R"("orders":{"master_source":"Customers","master_field":"id",)"
                R"("detail_field":"customer_id"})";
    }
    return text + "}";
}

struct Bound
{
    explicit Bound(const std::string& linksJson)
    {
        auto datasets = JsonDocument::Parse(Shop);
        Tables = BuildTables(datasets->Root().GetObject(), 8000);
        RegisterTables(Module, Tables);
        Links = JsonDocument::Parse(linksJson);
    }
    void Apply() { ApplyLinks(Module, Links->Root().GetObject()); }

    std::vector<BuiltTable> Tables;
    TReportGenerator Module;
    std::unique_ptr<JsonDocument> Links;
};

} // namespace

TEST(RequestBinding, LinksOfOneDetailAreBounded)
{
    Bound atLimit(RepeatedLinks(limits::LinksMaxPerDetail));
    atLimit.Apply();
    TvlxDBDataset& customers = *atLimit.Module.FindTableAdapter(u"Customers");
    TvlxDBDataset& orders = *atLimit.Module.FindTableAdapter(u"Orders");
    customers.First();
    EXPECT_EQ(orders.RecordCount(), 2);

    Bound pastLimit(RepeatedLinks(limits::LinksMaxPerDetail + 1));
    try {
        pastLimit.Apply();
        FAIL() << "no error";
    } catch (const ELimitExceeded& e) {
        EXPECT_STREQ(e.what(), "Table orders is linked to a master more than 16 times");
    }
}

TEST(RequestBinding, LinkNumbersReadAsText)
{
    // Member values are read as text: a number names no table.
    Bound b(R"({"Orders":{"master_source":12,"master_field":"id","detail_field":"customer_id"}})");
    try {
        b.Apply();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Datamodul za izvještaj nema tablicu mastera '12'");
    }
}

} // namespace vl
