#include "template/xml_test_util.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vl {
namespace {

namespace fs = std::filesystem;

const std::string Header = test::XmlHeader;

// A folder of its own for each test, removed afterwards.
class XMLPartialLoading : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FDir = fs::temp_directory_path() /
               ("vl_xml_test_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FDir);
        fs::create_directories(FDir);
    }
    void TearDown() override { fs::remove_all(FDir); }

    size_t FilesInDir() const
    {
        return static_cast<size_t>(std::distance(fs::directory_iterator(FDir), {}));
    }

    // preparedreport(page0..pageN, each unloadable with a few objects).
    static void BuildPages(TvlxXMLItem& root, int pages)
    {
        root.SetName(u"preparedreport");
        for (int p = 0; p < pages; ++p) {
            auto& page = root.Add(u"page" + IntToStr(p));
            page.SetAttribute(u"n", IntToStr(p));
            page.SetUnloadable(true);
            for (int i = 0; i < 3; ++i) {
                auto& object = page.Add(u"m" + IntToStr(i));
                object.SetAttribute(u"x", u"<page " + IntToStr(p) + u">");
                object.Add(u"deep").SetAttribute(u"y", IntToStr(i));
            }
        }
    }

    fs::path FDir;
};

TEST_F(XMLPartialLoading, UnloadsAndLoadsItemsBack)
{
    TvlxXMLDocument doc;
    doc.SetTempDir(FDir.string());
    BuildPages(doc.Root(), 4);
    const std::string whole = test::Dump(doc.Root());
    const std::string saved = test::SaveToBytes(doc);

    for (int p : {2, 0, 3})
        doc.UnloadItem(doc.Root()[p]);
    EXPECT_EQ(test::Dump(doc.Root()),
              R"(preparedreport(page0{n="0"},page1{n="1"}(m0{x="&#60;page 1&#62;"}(deep{y="0"}),)"
              R"(m1{x="&#60;page 1&#62;"}(deep{y="1"}),m2{x="&#60;page 1&#62;"}(deep{y="2"})),)"
              R"(page2{n="2"},page3{n="3"}))");
    EXPECT_FALSE(doc.Root()[0].Loaded());
    EXPECT_LT(doc.Root()[2].Offset(), doc.Root()[3].Offset());
    // The temporary file has no name in the folder, so nothing can be left behind.
    EXPECT_EQ(FilesInDir(), 0u);

    // Saving reads unloaded items back for the moment it writes them.
    EXPECT_EQ(test::SaveToBytes(doc), saved);
    EXPECT_FALSE(doc.Root()[2].Loaded());

    for (int p : {3, 0, 2})
        doc.LoadItem(doc.Root()[p]);
    EXPECT_EQ(test::Dump(doc.Root()), whole);
    EXPECT_TRUE(doc.Root()[2].Loaded());

    // Unloading again appends a fresh copy that reads back the same.
    doc.Root()[2][0].SetAttribute(u"x", u"changed");
    doc.UnloadItem(doc.Root()[2]);
    doc.LoadItem(doc.Root()[2]);
    EXPECT_EQ(doc.Root()[2][0].Attribute(u"x"), u"changed");
}

TEST_F(XMLPartialLoading, LeavesOtherItemsAlone)
{
    TvlxXMLDocument doc;
    BuildPages(doc.Root(), 2);
    auto& plain = doc.Root()[0][0];
    doc.UnloadItem(plain); // not unloadable
    EXPECT_EQ(plain.Count(), 1);
    doc.LoadItem(doc.Root()[1]); // loaded already: nothing to read
    EXPECT_EQ(doc.Root()[1].Count(), 3);
}

TEST_F(XMLPartialLoading, UnloadsItemsThatHoldUnloadedItems)
{
    TvlxXMLDocument doc;
    BuildPages(doc.Root(), 1);
    auto& page = doc.Root()[0];
    auto& inner = page.Add(u"inner");
    inner.SetUnloadable(true);
    inner.Add(u"leaf").SetAttribute(u"z", u"1");
    doc.UnloadItem(inner);
    doc.UnloadItem(page);
    doc.LoadItem(page);
    ASSERT_EQ(page.Count(), 4);
    // Read back as a whole, the inner item came with its children.
    EXPECT_EQ(test::Dump(page[3]), "inner(leaf{z=\"1\"})");
}

TEST_F(XMLPartialLoading, ReadsUnloadedItemsFromTheLoadedStream)
{
    TvlxXMLDocument source;
    BuildPages(source.Root(), 3);
    source.SetAutoIndent(true);
    MemoryStream stream(test::SaveToBytes(source));

    TvlxXMLDocument doc;
    doc.LoadFromStream(stream, true);
    ASSERT_EQ(doc.Root().Count(), 3);
    for (int p = 0; p < 3; ++p) {
        EXPECT_FALSE(doc.Root()[p].Loaded());
        EXPECT_EQ(doc.Root()[p].Count(), 0);
    }
    doc.LoadItem(doc.Root()[1]);
    EXPECT_EQ(test::Dump(doc.Root()[1]), test::Dump(source.Root()[1]));
    // Saved again, unloaded and loaded items alike come out as they went in.
    doc.SetAutoIndent(true);
    EXPECT_EQ(test::SaveToBytes(doc), stream.Bytes());
}

TEST_F(XMLPartialLoading, SavesAndLoadsFiles)
{
    const std::string fileName = (FDir / "report.fp3").string();
    {
        std::ofstream old(fileName);
        old << "an older file";
    }
    TvlxXMLDocument doc;
    BuildPages(doc.Root(), 3);
    const std::string whole = test::Dump(doc.Root());
    doc.SaveToFile(fileName);
    EXPECT_FALSE(fs::exists(fileName + ".tmp"));
    EXPECT_EQ(FilesInDir(), 1u);
    // Loaded back partially from the file it wrote.
    EXPECT_FALSE(doc.Root()[0].Loaded());
    for (int p = 0; p < 3; ++p)
        doc.LoadItem(doc.Root()[p]);
    EXPECT_EQ(test::Dump(doc.Root()), whole);

    TvlxXMLDocument other;
    other.LoadFromFile(fileName);
    other.LoadItem(other.Root()[2]);
    EXPECT_EQ(test::Dump(other.Root()[2]), test::Dump(doc.Root()[2]));
}

TEST_F(XMLPartialLoading, FileErrorsLeaveNothingBehind)
{
    TvlxXMLDocument doc;
    EXPECT_THROW(doc.LoadFromFile((FDir / "missing.xml").string()), EFOpenError);

    const std::string bad = (FDir / "bad.xml").string();
    {
        std::ofstream out(bad);
        out << Header << "<a><b></a>";
    }
    EXPECT_THROW(doc.LoadFromFile(bad), TvlxInvalidXMLException);

    BuildPages(doc.Root(), 1);
    EXPECT_THROW(doc.SaveToFile((FDir / "no_such_folder" / "x.xml").string()), EFCreateError);
    EXPECT_EQ(FilesInDir(), 1u); // bad.xml only
}

TEST_F(XMLPartialLoading, FallsBackToTheSystemFolderWithoutATempDir)
{
    TvlxXMLDocument doc;
    doc.SetTempDir((FDir / "does_not_exist").string());
    BuildPages(doc.Root(), 2);
    doc.UnloadItem(doc.Root()[1]);
    doc.LoadItem(doc.Root()[1]);
    EXPECT_EQ(doc.Root()[1].Count(), 3);
    EXPECT_FALSE(fs::exists(FDir / "does_not_exist"));
}

TEST_F(XMLPartialLoading, ClearDropsTheTemporaryStream)
{
    TvlxXMLDocument doc;
    BuildPages(doc.Root(), 2);
    doc.UnloadItem(doc.Root()[0]);
    doc.Clear();
    EXPECT_EQ(doc.Root().Count(), 0);
    // A new page unloads into a fresh temporary file.
    BuildPages(doc.Root(), 1);
    doc.UnloadItem(doc.Root()[0]);
    doc.LoadItem(doc.Root()[0]);
    EXPECT_EQ(doc.Root()[0].Count(), 3);
}

} // namespace
} // namespace vl
