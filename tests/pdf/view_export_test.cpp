#include "model/line_view.h"
#include "model/memo_view.h"
#include "model/picture_view.h"
#include "model/report_page.h"
#include "model/shape_view.h"
#include "pdf/pdf_document_fixture.h"

#include <gtest/gtest.h>
#include <memory>

namespace vl {

using test::CountOf;
using test::PdfDocumentTest;

namespace {

class ViewExportTest : public PdfDocumentTest
{
protected:
    ViewExportTest()
    {
        Export.SetCompressed(false);
        Start();
        Export.BeginPage(test::A4Page);
    }

    template <class V>
    V& Add(double left, double top, double width, double height)
    {
        auto view = std::make_unique<V>();
        view->SetBounds(left, top, width, height);
        V& ref = *view;
        FViews.push_back(std::move(view));
        return ref;
    }

    // The content written for `view` alone.
    std::string Render(TvlxView& view)
    {
        const size_t before = Export.Content().Bytes().size();
        Export.ExportObject(&view);
        return Export.Content().Bytes().substr(before);
    }

private:
    std::vector<std::unique_ptr<TvlxView>> FViews;
};

} // namespace

TEST_F(ViewExportTest, EachViewKindTakesItsPath)
{
    TvlxMemoView& plain = Add<TvlxMemoView>(10, 10, 100, 20);
    plain.SetText(u"Plain text");
    TvlxMemoView& tagged = Add<TvlxMemoView>(10, 40, 100, 20);
    tagged.SetText(u"<b>Bold</b>");
    tagged.SetAllowHTMLTags(true);
    TvlxMemoView& hatched = Add<TvlxMemoView>(10, 70, 100, 20);
    hatched.SetText(u"Hatched");
    hatched.SetBrushStyle(TBrushStyle::bsCross);
    TvlxPictureView& picture = Add<TvlxPictureView>(10, 100, 40, 30);
    picture.SetColor(0xFF);
    TvlxShapeView& shape = Add<TvlxShapeView>(10, 140, 40, 30);
    TvlxLineView& line = Add<TvlxLineView>(10, 180, 100, 0);
    line.SetArrowEnd(true);

    const struct
    {
        TvlxView* View;
        const char* Expected; // a piece of the view's content
        const char* Image;    // "/Width w\r\n/Height h" of a raster image, or empty
    } cases[] = {
        {&plain, "> Tj\r\n", ""},
        {&tagged, "/Im0 Do", "/Width 303\r\n/Height 63\r\n"},  // tags: three times its size
        {&hatched, "/Im1 Do", "/Width 101\r\n/Height 21\r\n"}, // hatch: scale 1
        {&picture, "/Im2 Do", "/Width 41\r\n/Height 31\r\n"},
        {&shape, " re\r\nS\r\n", ""},
        {&line, "\r\nS\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.View->ClassType().Name()));
        const std::string content = Render(*c.View);
        EXPECT_NE(content.find(c.Expected), std::string::npos) << content;
    }
    const std::string pdf = Written("views.pdf");
    ExpectValid();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Image);
        if (*c.Image != 0) {
            EXPECT_NE(pdf.find(c.Image), std::string::npos);
        }
    }
    EXPECT_NE(test::RunTool("pdftotext '" + Path + "' -").Output.find("Plain text"),
              std::string::npos);
    EXPECT_EQ(CountOf(Tool("pdfimages -list").Output, " jpeg "), 3);
}

TEST_F(ViewExportTest, SkippedViews)
{
    TvlxPictureView& background = Add<TvlxPictureView>(0, 0, 700, 1000);
    background.SetName(u"_pagebackground");
    EXPECT_EQ(Render(background), "");
    Export.SetBackground(true);
    EXPECT_NE(Render(background).find(" Do\r\n"), std::string::npos);

    TvlxMemoView& hidden = Add<TvlxMemoView>(10, 10, 100, 20);
    hidden.SetText(u"Hidden");
    hidden.SetPrintable(false);
    EXPECT_EQ(Render(hidden), "");
    Export.SetExportNotPrintable(true);
    EXPECT_NE(Render(hidden).find(" Tj\r\n"), std::string::npos);

    TvlxPictureView& empty = Add<TvlxPictureView>(10, 10, 0, 20);
    EXPECT_EQ(Render(empty), "");
}

TEST_F(ViewExportTest, HighlightReplacesFontAndFill)
{
    TvlxMemoView& memo = Add<TvlxMemoView>(10, 10, 100, 20);
    memo.SetText(u"Alert");
    memo.MutableHighlight().SetActive(true);
    memo.MutableHighlight().SetColor(0xFF);
    TvlxFont font = memo.Highlight().Font();
    font.SetColor(0xFF0000);
    memo.MutableHighlight().SetFont(font);
    const std::string content = Render(memo);
    EXPECT_NE(content.find("1.00 0.00 0.00 rg\r\n"), std::string::npos) << content; // fill
    EXPECT_NE(content.find("0.00 0.00 1.00 rg\r\n"), std::string::npos) << content; // text
}

TEST_F(ViewExportTest, UrlMakesALink)
{
    TvlxShapeView& shape = Add<TvlxShapeView>(100, 100, 40, 40);
    shape.SetURL(u"https://example.com/");
    Render(shape);
    const std::string pdf = Written("url.pdf");
    ExpectValid();
    EXPECT_NE(pdf.find("/Rect [75.50 736.75 105.50 766.75]"), std::string::npos);
    EXPECT_NE(pdf.find("/URI (https://example.com/)"), std::string::npos);
}

TEST_F(PdfDocumentTest, TheWalkWritesReportPages)
{
    TvlxReportPage page;
    page.SetLeftMargin(10);
    page.SetTopMargin(10);
    TvlxMemoView memo;
    memo.SetBounds(40, 40, 200, 20);
    memo.SetText(u"From the walk");
    ASSERT_TRUE(Export.Start());
    for (int i = 0; i < 2; ++i) {
        Export.StartPage(&page, i);
        Export.ExportObject(&memo);
        Export.ExportObject(&page); // not a view: ignored
        Export.FinishPage(&page, i);
    }
    Written("walk.pdf");
    ExpectValid();
    EXPECT_EQ(Tool("qpdf --show-npages").Output, "2\n");
    EXPECT_EQ(CountOf(test::RunTool("pdftotext '" + Path + "' -").Output, "From the walk"), 2);
}

} // namespace vl
