// Band preparation: growth of stretching views, the shift tree, Stretched bands, un-preparing,
// splitting across pages and suppressed values printed again after a page break.
#include "base/limits.h"
#include "engine/engine.h"
#include "engine/shift_tree.h"
#include "layout/preview_pages.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/units.h"
#include "platform/component/class_builder.h"
#include "platform/component/class_registry.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"
#include "template/prop_data.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {
namespace {

// A text view the engine would add to a band for one output; counts the live ones.
class TestTemporaryView : public TvlxMemoView
{
public:
    TestTemporaryView() { ++Live; }
    ~TestTemporaryView() override { --Live; }
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestTemporaryView, TvlxMemoView>(u"TvlxTestTemporaryView").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }

    static inline int Live = 0;
};

// What TestAdder saw when its band was prepared; reset by the fixture.
std::vector<std::string> Seen;

// Placed in a band: when prepared it notes how many temporary views live and the band's
// original object count, and with Add it adds a temporary view to its band as the engine
// does for one output.
class TestAdder : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestAdder, TvlxReportComponent>(u"TvlxTestAdder")
                .Prop<&TestAdder::FAdd>(u"Add", false)
                .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }

    void GetData() override
    {
        auto* band = static_cast<TvlxBand*>(Parent());
        Seen.push_back(std::to_string(TestTemporaryView::Live) + "/" +
                       std::to_string(band->FOriginalObjectsCount));
        if (!FAdd) return;
        band->FOriginalObjectsCount = static_cast<int32_t>(band->ObjectCount());
        auto* view = TvlxComponent::Create<TestTemporaryView>(band);
        view->SetBounds(0, 100, 50, 20);
    }

    bool FAdd = false;
};

const char* Tables = R"({
  "Sales":{"fields":[["g","string"],["n","number"]],"data":[["A",1],["A",2],["B",3]]}})";

std::string DataSetsBlock()
{
    PropDataWriter writer;
    writer.WriteName(u"Datasets");
    writer.WriteListBegin();
    writer.WriteListBegin();
    writer.WriteWideString(u"DataSet=\"Sales\" DataSetName=\"Sales\"");
    writer.WriteListEnd();
    writer.WriteListEnd();
    return ToUtf8(BytesToHex(writer.Bytes()));
}

// A text view element; `attrs` adds attributes.
std::string Memo(const std::string& name,
                 double left,
                 double top,
                 double width,
                 double height,
                 const std::string& text,
                 const std::string& attrs = "")
{
    char bounds[160];
    std::snprintf(bounds,
                  sizeof bounds,
                  "Left=\"%g\" Top=\"%g\" Width=\"%g\" Height=\"%g\"",
                  left,
                  top,
                  width,
                  height);
    return "<TvlxMemoView Name=\"" + name + "\" " + bounds + " Text=\"" + text + "\" " + attrs +
           "/>";
}

// A shape element: a view that cannot be cut into parts.
std::string Shape(const std::string& name,
                  double left,
                  double top,
                  double width,
                  double height,
                  const std::string& attrs = "")
{
    char bounds[160];
    std::snprintf(bounds,
                  sizeof bounds,
                  "Left=\"%g\" Top=\"%g\" Width=\"%g\" Height=\"%g\"",
                  left,
                  top,
                  width,
                  height);
    return "<TvlxShapeView Name=\"" + name + "\" " + bounds + " " + attrs + "/>";
}

// Lines joined by line breaks, as a template attribute holds them.
std::string Lines(int from, int to)
{
    std::string text;
    for (int i = from; i <= to; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "Line %02d", i);
        text += (text.empty() ? "" : "&#13;&#10;") + std::string(line);
    }
    return text;
}

// Where a stored view ended up.
struct Placed
{
    int Page = -1;
    double BandTop = 0;
    double BandHeight = 0;
    double Top = 0;
    double Height = 0;
    std::string Text;
};

class BandPrepareTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModelClasses(ClassRegistry::Global());
        ClassRegistry::Global().Register(TestTemporaryView::StaticClass());
        ClassRegistry::Global().Register(TestAdder::StaticClass());
        auto document = JsonDocument::Parse(Tables);
        Built = BuildTables(document->Root().GetObject(), 8000);
        RegisterTables(Generator, Built);
        Report().EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
        Seen.clear();
    }

    TvlxReport& Report() { return Generator.vlxReport1(); }
    TvlxPreviewPages& Store() { return Report().PreviewPages(); }

    // A report of one page, 100 mm wide, without margins, holding `bands`.
    void
    Load(const std::string& bands, double paperHeightMm = 100, const std::string& reportAttrs = "")
    {
        char page[200];
        std::snprintf(page,
                      sizeof page,
                      "<TvlxReportPage Name=\"Page1\" PaperWidth=\"100\" PaperHeight=\"%g\">",
                      paperHeightMm);
        const std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"
                                "<TvlxReport " +
                                reportAttrs + " PropData=\"" + DataSetsBlock() + "\">" + page +
                                bands + "</TvlxReportPage></TvlxReport>";
        MemoryStream stream;
        stream.Write(xml);
        stream.SetPosition(0);
        Report().LoadFromStream(stream);
    }

    // Prepares the report; the error message, "" on success.
    std::string Prepare()
    {
        try {
            Report().PrepareReport();
        } catch (const Exception& e) {
            return e.what();
        }
        return {};
    }

    // Every stored copy of the object named `name`, in page and placing order.
    std::vector<Placed> Find(const std::string& name)
    {
        std::vector<Placed> found;
        for (int32_t i = 0; i < Store().Count(); ++i) {
            for (const auto& band : Store().Page(i)->Objects()) {
                if (ToUtf8(band->Name()) == name)
                    found.push_back(
                        {i, band->Top(), band->Height(), band->Top(), band->Height(), {}});
                for (const auto& obj : band->Objects()) {
                    if (ToUtf8(obj->Name()) != name) continue;
                    Placed placed{i, band->Top(), band->Height(), obj->Top(), obj->Height(), {}};
                    if (auto* memo = dynamic_cast<TvlxCustomMemoView*>(obj.get()))
                        placed.Text = ToUtf8(memo->Text());
                    found.push_back(placed);
                }
            }
        }
        return found;
    }

    Placed FindOne(const std::string& name)
    {
        std::vector<Placed> found = Find(name);
        EXPECT_EQ(found.size(), 1u) << name;
        return found.empty() ? Placed{} : found.front();
    }

    // The height a text view of 200 x 20 needs for `text` (the default font).
    double ContentHeight(const std::string& text)
    {
        Load("<TvlxMasterData Name=\"Probe\" Top=\"0\" Height=\"20\" RowCount=\"1\">" +
             Memo("Measured", 0, 0, 200, 20, text) + "</TvlxMasterData>");
        auto* memo = static_cast<TvlxCustomMemoView*>(Report().FindObject(u"Measured"));
        return memo->CalcHeight();
    }

    std::vector<BuiltTable> Built;
    TReportGenerator Generator;
};

// A band printed once (a one-record data band) holding `objects`.
std::string OnceBand(const std::string& objects,
                     double height,
                     const std::string& attrs = "",
                     const std::string& name = "Band1",
                     double top = 20)
{
    char head[160];
    std::snprintf(head,
                  sizeof head,
                  "<TvlxMasterData Name=\"%s\" Top=\"%g\" Height=\"%g\" RowCount=\"1\" ",
                  name.c_str(),
                  top,
                  height);
    return head + attrs + ">" + objects + "</TvlxMasterData>";
}

// ---- Growth and shifting

TEST_F(BandPrepareTest, GrowingViewsPushTheViewsBelowThemAsTheirShiftModeSays)
{
    const std::string three = "a&#13;&#10;b&#13;&#10;c";
    const double grown = ContentHeight(three);
    ASSERT_GT(grown, 40);
    const double growth = grown - 20;
    const std::string grower =
        Memo("Grower", 0, 0, 200, 20, three, "StretchMode=\"smActualHeight\"");

    const struct
    {
        const char* Name;
        std::string Below; // a view named Below
        double Top;        // where it ends
    } cases[] = {
        {"smAlways moves by the growth",
         Memo("Below", 0, 20, 200, 20, "x", "ShiftMode=\"smAlways\""),
         20 + growth},
        {"smDontShift stays", Memo("Below", 0, 20, 200, 20, "x", "ShiftMode=\"smDontShift\""), 20},
        {"smWhenOverlapped moves to the grown bottom when reached",
         Memo("Below", 0, 30, 200, 20, "x", "ShiftMode=\"smWhenOverlapped\""),
         grown},
        {"smWhenOverlapped stays when not reached",
         Memo("Below", 0, grown + 5, 200, 20, "x", "ShiftMode=\"smWhenOverlapped\""),
         grown + 5},
        {"a view beside the grown one stays", Memo("Below", 210, 20, 100, 20, "x"), 20},
        {"a view below a view below moves too",
         Memo("Middle", 0, 20, 200, 20, "x") + Memo("Below", 50, 45, 20, 20, "x"),
         45 + growth},
        {"smWhenOverlapped passes on how far it moved",
         Memo("Middle", 0, 30, 200, 20, "x", "ShiftMode=\"smWhenOverlapped\"") +
             Memo("Below", 0, 50, 200, 20, "x"),
         50 + grown - 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(OnceBand(grower + c.Below, 400));
        ASSERT_EQ(Prepare(), "");
        EXPECT_DOUBLE_EQ(FindOne("Grower").Height, grown);
        EXPECT_NEAR(FindOne("Below").Top, c.Top, 1e-9);
    }
}

TEST_F(BandPrepareTest, AStretchedBandEndsAtItsLowestObject)
{
    const std::string three = "a&#13;&#10;b&#13;&#10;c";
    const double grown = ContentHeight(three);
    const struct
    {
        const char* Name;
        std::string Objects;
        std::string Attrs;
        double Height;
    } cases[] = {
        {"it grows with a grown view and the view pushed below it",
         Memo("Grower", 0, 0, 200, 20, three, "StretchMode=\"smActualHeight\"") +
             Memo("Below", 0, 20, 200, 20, "x"),
         "Stretched=\"True\"",
         grown + 20},
        {"it shrinks to objects that end 10 pixels above its bottom",
         Memo("Short", 0, 0, 200, 30, "x"),
         "Stretched=\"True\"",
         30},
        {"without Stretched it keeps its height",
         Memo("Grower", 0, 0, 200, 20, three, "StretchMode=\"smActualHeight\""),
         "",
         40},
        {"a view never shrinks to its content",
         Memo("Tall", 0, 0, 200, grown + 30, "x", "StretchMode=\"smActualHeight\""),
         "Stretched=\"True\"",
         grown + 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(OnceBand(c.Objects, 40, c.Attrs));
        ASSERT_EQ(Prepare(), "");
        EXPECT_NEAR(FindOne("Band1").BandHeight, c.Height, 1e-9);
    }
}

TEST_F(BandPrepareTest, MaxHeightViewsReachTheLowestBottom)
{
    const std::string three = "a&#13;&#10;b&#13;&#10;c";
    const double grown = ContentHeight(three);
    Load(OnceBand(Memo("Grower", 0, 0, 200, 20, three, "StretchMode=\"smActualHeight\"") +
                      Memo("Side", 210, 5, 100, 20, "x", "StretchMode=\"smMaxHeight\""),
                  40,
                  "Stretched=\"True\""));
    ASSERT_EQ(Prepare(), "");
    EXPECT_DOUBLE_EQ(FindOne("Side").Height, grown - 5);
    EXPECT_DOUBLE_EQ(FindOne("Band1").BandHeight, grown);
}

TEST_F(BandPrepareTest, AViewBelowTwoGrowingViewsMovesOnceForEach)
{
    const double two = ContentHeight("a&#13;&#10;b");
    const double three = ContentHeight("a&#13;&#10;b&#13;&#10;c");
    Load(OnceBand(Memo("Left", 0, 0, 100, 20, "a&#13;&#10;b", "StretchMode=\"smActualHeight\"") +
                      Memo("Right",
                           150,
                           0,
                           100,
                           20,
                           "a&#13;&#10;b&#13;&#10;c",
                           "StretchMode=\"smActualHeight\"") +
                      Memo("Below", 0, 20, 250, 20, "x"),
                  40));
    ASSERT_EQ(Prepare(), "");
    EXPECT_NEAR(FindOne("Below").Top, 20 + (two - 20) + (three - 20), 1e-9);
}

TEST_F(BandPrepareTest, ShiftingAGridOfCellsVisitsEachCellOnce)
{
    // Rows alternate between one wide cell and two narrow ones: every wide cell hangs below both
    // narrow cells above it, so the number of paths down the tree doubles with every row pair.
    const int pairs = 40;
    const double last = ContentHeight("a&#13;&#10;b");
    std::string cells;
    double top = 0;
    for (int i = 0; i < pairs; ++i) {
        const std::string n = std::to_string(i);
        cells += Memo("Wide" + n, 0, top, 300, 10, "x");
        cells += Memo("Left" + n, 0, top + 10, 100, 10, "x");
        cells += Memo("Right" + n, 150, top + 10, 100, 10, "x");
        top += 20;
    }
    cells += Memo("Last", 0, top, 300, 10, "a&#13;&#10;b", "StretchMode=\"smActualHeight\"");
    Load(OnceBand(cells, top + 10, "Stretched=\"True\""), 400);
    ASSERT_EQ(Prepare(), "");
    EXPECT_DOUBLE_EQ(FindOne("Wide39").Top, 780);
    EXPECT_DOUBLE_EQ(FindOne("Band1").BandHeight, top + last);
}

TEST_F(BandPrepareTest, TheShiftTreeLinksEachViewToTheNearestViewsAboveIt)
{
    Load(OnceBand(Memo("A", 0, 0, 200, 20, "") + Memo("B", 0, 30, 100, 20, "") +
                      Memo("C", 120, 30, 80, 20, "") + Memo("D", 0, 60, 200, 20, "") +
                      Memo("E", 300, 60, 50, 20, "") +
                      // Overlaps A vertically: no child of A, though below A's top.
                      Memo("F", 210, 10, 50, 20, ""),
                  100));
    auto& band = static_cast<TvlxBand&>(*Report().FindObject(u"Band1"));
    Report().FindObject(u"Page1")->AlignChildren();
    BuildShiftTree(band);
    auto names = [](const std::vector<TvlxReportComponent*>& list) {
        std::string out;
        for (const TvlxReportComponent* obj : list)
            out += ToUtf8(obj->Name());
        return out;
    };
    auto children = [&](const char16_t* name) {
        return names(static_cast<TvlxReportComponent*>(Report().FindObject(name))->FShiftChildren);
    };
    EXPECT_EQ(names(band.FShiftChildren), "AFE");
    EXPECT_EQ(children(u"A"), "BC");
    EXPECT_EQ(children(u"B"), "D");
    EXPECT_EQ(children(u"C"), "D");
    EXPECT_EQ(children(u"F"), "");
    EXPECT_EQ(children(u"D"), "");
}

TEST_F(BandPrepareTest, OnAfterCalcHeightRunsForEachPrintedBand)
{
    const struct
    {
        const char* Name;
        std::string Attrs;
        int Calls;
    } cases[] = {
        {"a visible band of three records", "", 3},
        {"an invisible band", "Visible=\"False\"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load("<TvlxMasterData Name=\"Band1\" Top=\"20\" Height=\"20\" RowCount=\"3\" "
             "OnAfterCalcHeight=\"Counted\" " +
                 c.Attrs + "/>",
             100,
             "ScriptText.Text=\"procedure Counted(Sender: Variant); begin Set('Calls', "
             "Get('Calls') + 1) end; begin end.\"");
        Report().Variables().SetValue(u"Calls", Variant(int32_t(0)));
        Report().EngineOptions().DestroyForms = false;
        ASSERT_EQ(Prepare(), "");
        EXPECT_EQ(ToUtf8(Report().Variables().Value(u"Calls").ToText()), std::to_string(c.Calls));
    }
}

// ---- Un-preparing

TEST_F(BandPrepareTest, ObjectsAddedForOneOutputArePrintedAndFreedAfterIt)
{
    Load(OnceBand("<TvlxTestAdder Name=\"Adder\" Add=\"True\"/>", 40) +
         OnceBand("<TvlxTestAdder Name=\"Watcher\"/>", 20, "", "Band2", 80));
    ASSERT_EQ(Prepare(), "");
    // The first band saw no temporary view yet; the second saw it gone and the count unset.
    EXPECT_EQ(Seen, (std::vector<std::string>{"0/-1", "0/-1"}));
    std::vector<Placed> stored;
    for (const auto& band : Store().Page(0)->Objects())
        for (const auto& obj : band->Objects())
            if (obj->ClassType().Name() == u"TvlxTestTemporaryView")
                stored.push_back({0, band->Top(), band->Height(), obj->Top(), obj->Height(), {}});
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_DOUBLE_EQ(stored[0].Top, 100);
}

// ---- Splitting

// A band with AllowSplit holding one long text: the text continues on the following pages,
// each part ending with a whole line, and nothing is lost or repeated.
TEST_F(BandPrepareTest, ASplitTextContinuesOnTheNextPagesInWholeLines)
{
    const struct
    {
        const char* Name;
        std::string Extra; // further bands
        double FirstTop;   // where the band's first part starts
    } cases[] = {
        {"alone on the page", "", 0},
        {"below a page header",
         "<TvlxPageHeader Name=\"Header\" Top=\"0\" Height=\"30\">" +
             Memo("HeaderText", 0, 0, 100, 20, "H") + "</TvlxPageHeader>",
         30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(c.Extra +
             OnceBand(Memo("Text", 0, 0, 200, 20, Lines(1, 60), "StretchMode=\"smActualHeight\"") +
                          Memo("After", 0, 20, 200, 20, "End"),
                      40,
                      "AllowSplit=\"True\" Stretched=\"True\""));
        ASSERT_EQ(Prepare(), "");
        std::vector<Placed> parts = Find("Text");
        ASSERT_GE(parts.size(), 2u);
        const double pageHeight = 100 * PixelsPerMm;
        std::string all;
        for (size_t i = 0; i < parts.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(parts[i].Page, static_cast<int>(i));
            EXPECT_DOUBLE_EQ(parts[i].BandTop, c.FirstTop);
            EXPECT_LE(parts[i].BandTop + parts[i].Height, pageHeight + 1e-6);
            // "Line NN" and a line break, nine characters a line: a cut line would break the
            // pattern.
            const std::string& text = parts[i].Text;
            ASSERT_EQ(text.size() % 9, 0u) << text;
            for (size_t at = 0; at < text.size(); at += 9)
                EXPECT_EQ(text.substr(at, 5) + text.substr(at + 7, 2), "Line \r\n") << text;
            all += text;
        }
        std::string expected;
        for (int i = 1; i <= 60; ++i)
            expected += (i < 10 ? "Line 0" : "Line ") + std::to_string(i) + "\r\n";
        EXPECT_EQ(all, expected);
        // The view below the text follows its last line on the last page.
        const Placed after = FindOne("After");
        EXPECT_EQ(after.Page, parts.back().Page);
        EXPECT_NEAR(after.Top, parts.back().Height, 1e-9);
    }
}

TEST_F(BandPrepareTest, ViewsThatCannotBeCutMoveWholeToTheNextPart)
{
    // The page is 377.95 pixels high.
    const struct
    {
        const char* Name;
        std::string Objects;
        std::string Attrs;
        double BandHeight;
        std::vector<std::string> Pages; // per stored copy: name@page:top
    } cases[] = {
        {"a view crossing the page end starts the next page, the view below it follows",
         Shape("First", 0, 0, 200, 20) + Shape("Crossing", 0, 340, 200, 60) +
             Shape("Next", 0, 410, 200, 20),
         "AllowSplit=\"True\"",
         430,
         {"First@0:0", "Crossing@1:0", "Next@1:70"}},
        {"a band taller than a page splits without AllowSplit",
         Shape("First", 0, 0, 200, 20) + Shape("Crossing", 0, 340, 200, 60) +
             Shape("Next", 0, 410, 200, 20),
         "",
         430,
         {"First@0:0", "Crossing@1:0", "Next@1:70"}},
        {"a view taller than a page is placed as it is, cut by the page end",
         Shape("Giant", 0, 10, 200, 500) + Shape("Next", 0, 520, 200, 20),
         "",
         560,
         {"Giant@0:10", "Next@1:142"}},
        {"a bottom-aligned view goes to the bottom of the last part",
         Shape("Crossing", 0, 340, 200, 60) +
             Shape("Bottom", 250, 360, 50, 20, "Align=\"baBottom\""),
         "AllowSplit=\"True\"",
         430,
         {"Bottom@1:40", "Crossing@1:0"}},
        {"a text far down waits for its page",
         Memo("Far", 0, 2 * 100 * PixelsPerMm + 10, 200, 20, "far"),
         "AllowSplit=\"True\"",
         2 * 100 * PixelsPerMm + 30,
         {"Far@2:10"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(OnceBand(c.Objects, c.BandHeight, c.Attrs));
        ASSERT_EQ(Prepare(), "");
        std::vector<std::string> seen;
        for (const std::string& expected : c.Pages) {
            const std::string name = expected.substr(0, expected.find('@'));
            for (const Placed& p : Find(name)) {
                seen.push_back(name + "@" + std::to_string(p.Page) + ":" +
                               std::to_string(int(p.Top + 0.5)));
            }
        }
        EXPECT_EQ(seen, c.Pages);
    }
}

TEST_F(BandPrepareTest, ALaterRecordTallerThanAPageStartsOnAFreshPage)
{
    // 380 pixels a record on a page of 377.95: the first record is cut where it stands and
    // ends 180 down the second page; the second record would find room for its upper views
    // there, but starts a page of its own.
    Load("<TvlxMasterData Name=\"Band1\" Top=\"20\" Height=\"380\" RowCount=\"2\">" +
         Shape("Upper", 0, 0, 200, 100) + Shape("Middle", 0, 100, 200, 100) +
         Shape("Lower", 0, 200, 200, 180) + "</TvlxMasterData>");
    ASSERT_EQ(Prepare(), "");
    std::vector<std::string> seen;
    for (const char* name : {"Upper", "Middle", "Lower"})
        for (const Placed& p : Find(name))
            seen.push_back(std::string(name) + "@" + std::to_string(p.Page) + ":" +
                           std::to_string(int(p.BandTop + p.Top + 0.5)));
    EXPECT_EQ(
        seen,
        (std::vector<std::string>{
            "Upper@0:0", "Upper@2:0", "Middle@0:100", "Middle@2:100", "Lower@1:0", "Lower@3:0"}));
}

TEST_F(BandPrepareTest, AKeptBandMovesOnInsteadOfSplitting)
{
    // The second record of 300 pixels finds 77.95 left on the first page.
    const struct
    {
        const char* Name;
        std::string Attrs;
        std::vector<std::string> Seen;
    } cases[] = {
        {"AllowSplit cuts it", "", {"Upper@0:0", "Upper@0:300", "Lower@0:50", "Lower@1:0"}},
        {"inside a keep it moves whole",
         "KeepTogether=\"True\"",
         {"Upper@0:0", "Upper@1:0", "Lower@0:50", "Lower@1:50"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load("<TvlxMasterData Name=\"Band1\" Top=\"20\" Height=\"300\" RowCount=\"2\" "
             "AllowSplit=\"True\" " +
             c.Attrs + ">" + Shape("Upper", 0, 0, 200, 50) + Shape("Lower", 0, 50, 200, 250) +
             "</TvlxMasterData>");
        ASSERT_EQ(Prepare(), "");
        std::vector<std::string> seen;
        for (const char* name : {"Upper", "Lower"})
            for (const Placed& p : Find(name))
                seen.push_back(std::string(name) + "@" + std::to_string(p.Page) + ":" +
                               std::to_string(int(p.BandTop + p.Top + 0.5)));
        EXPECT_EQ(seen, c.Seen);
    }
}

TEST_F(BandPrepareTest, ABandThatNeverFitsEndsTheRunWithAnError)
{
    // Below a page header of 100 pixels a view of 300 never fits, though it is lower than a
    // page: each page would take nothing of the band.
    Load("<TvlxPageHeader Name=\"Header\" Top=\"0\" Height=\"100\"/>" +
         OnceBand(Shape("Block", 0, 0, 200, 300), 300, "AllowSplit=\"True\""));
    EXPECT_EQ(Prepare(),
              "The following error(s) have occured:\r\nBand Band1 cannot be placed: nothing of "
              "it fits on 100 pages or columns in a row\r\n");
}

TEST_F(BandPrepareTest, ASplitMayLeaveUpToTheLimitOfEmptyPages)
{
    // A view far down a band: each page before it takes nothing of the band.
    const double page = 100 * PixelsPerMm;
    const struct
    {
        const char* Name;
        int EmptyPages;
        bool Fails;
    } cases[] = {
        {"at the limit", limits::BandSplitMaxEmptyParts, false},
        {"one past it", limits::BandSplitMaxEmptyParts + 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const double top = c.EmptyPages * page + 10;
        Load(OnceBand(Shape("Far", 0, top, 200, 20), top + 20, "AllowSplit=\"True\""));
        const std::string error = Prepare();
        if (c.Fails) {
            EXPECT_NE(error.find("Band Band1 cannot be placed"), std::string::npos) << error;
        } else {
            ASSERT_EQ(error, "");
            const Placed far = FindOne("Far");
            EXPECT_EQ(far.Page, c.EmptyPages);
        }
    }
}

// ---- Suppressed values

TEST_F(BandPrepareTest, ASuppressedValuePrintsAgainAtTheTopOfANewPage)
{
    // Sales: A, A, B. One record per page when the page holds one band.
    const struct
    {
        const char* Name;
        double PaperHeightMm;
        std::vector<std::string> Texts;
    } cases[] = {
        {"on one page the repeated value is suppressed", 100, {"A", "", "B"}},
        {"after a page break it prints again", 10, {"A", "A", "B"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        Load(
            "<TvlxMasterData Name=\"Band1\" Top=\"20\" Height=\"30\" DataSetName=\"Sales\">" +
                Memo("Group", 0, 0, 100, 20, "[Sales.&quot;g&quot;]", "SuppressRepeated=\"True\"") +
                "</TvlxMasterData>",
            c.PaperHeightMm);
        ASSERT_EQ(Prepare(), "");
        std::vector<std::string> texts;
        for (const Placed& p : Find("Group")) {
            std::string text = p.Text;
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                text.pop_back();
            texts.push_back(text);
        }
        EXPECT_EQ(texts, c.Texts);
    }
}

} // namespace
} // namespace vl
