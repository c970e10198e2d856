// The prepared-page store: source pages and aliases, stored differences and rebuilt pages,
// passes, anchors, logical page numbers, cut and paste.
#include "base/string.h"
#include "layout/preview_pages.h"
#include "preview_fixture.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

TEST(PreviewPages, SourcePageGivesBandsAliasesAndSourceNames)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    ASSERT_EQ(f.Store->SourcePageCount(), 1u);
    EXPECT_EQ(ToUtf8(f.Header->FAliasName), "b1");
    EXPECT_EQ(ToUtf8(f.Data->FAliasName), "b2");
    EXPECT_EQ(ToUtf8(f.Footer->FAliasName), "b3");
    EXPECT_EQ(ToUtf8(f.Store->Dictionary().GetSourceName(u"b2")), "Page0.MasterData1");
    TvlxComponent* copy = f.Store->Dictionary().GetObject(u"B2");
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->FOriginalComponent.Get(), f.Data);
    EXPECT_EQ(f.Data->FOriginalComponent.Get(), copy);
    EXPECT_EQ(ToUtf8(copy->Name()), "MasterData1");
}

TEST(PreviewPages, StoredRowsRebuildAtTheirPositions)
{
    PreviewFixture f;
    f.Store->AddSourcePage(*f.Page);
    f.Store->AddPage(*f.Page);
    f.StoreRows({40, 60, 80});
    ASSERT_EQ(f.Store->Count(), 1);
    EXPECT_EQ(ToUtf8(f.Store->PagesItem()[0].Name()), "page0");

    TvlxComponent* page = f.Store->Page(0);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->ObjectCount(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ToUtf8(page->Object(i)->Name()), "MasterData1");
        EXPECT_TRUE(page->Object(i)->InheritsFrom(TvlxMasterData::StaticClass()));
        EXPECT_DOUBLE_EQ(page->Object(i)->Top(), 40 + 20.0 * static_cast<double>(i));
        EXPECT_DOUBLE_EQ(page->Object(i)->Height(), 20);
    }
}

} // namespace
} // namespace vl
