#include "base/exception.h"
#include "base/limits.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/report.h"
#include "model/report_page.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

struct PaperCase
{
    const char* What;
    int32_t Code;
    TPrinterOrientation Orientation;
    double WidthMm;
    double HeightMm;
    double WidthPx;
    double HeightPx;
};

TEST(TvlxReportPage, PaperCodesTakeTheirSizeTurnedForLandscape)
{
    const PaperCase cases[] = {
        {"A4", 9, TPrinterOrientation::poPortrait, 210, 297, 794, 1123},
        {"A4 landscape", 9, TPrinterOrientation::poLandscape, 297, 210, 1123, 794},
        {"letter", 1, TPrinterOrientation::poPortrait, 215.9, 279.4, 816, 1056},
        {"A3 landscape", 8, TPrinterOrientation::poLandscape, 420, 297, 1587, 1123},
        {"last code", 68, TPrinterOrientation::poPortrait, 322, 445, 1217, 1682},
        {"after the gap", 50, TPrinterOrientation::poPortrait, 235.5, 304.8, 890, 1152},
    };
    for (const PaperCase& c : cases) {
        SCOPED_TRACE(c.What);
        TvlxReportPage page;
        page.SetOrientation(c.Orientation);
        page.SetPaperSize(c.Code);
        EXPECT_EQ(page.PaperSize(), c.Code);
        EXPECT_DOUBLE_EQ(page.PaperWidth(), c.WidthMm);
        EXPECT_DOUBLE_EQ(page.PaperHeight(), c.HeightMm);
        EXPECT_EQ(page.Width(), c.WidthPx);
        EXPECT_EQ(page.Height(), c.HeightPx);
    }
}

TEST(TvlxReportPage, UnknownAndCustomCodesKeepTheSize)
{
    for (int32_t code : {0, -3, 48, 49, 69, 255, 256, 300}) {
        SCOPED_TRACE(code);
        TvlxReportPage page;
        page.SetPaperSize(11); // A5
        page.SetPaperSize(code);
        EXPECT_EQ(page.PaperSize(), code);
        EXPECT_EQ(page.PaperWidth(), 148);
        EXPECT_EQ(page.PaperHeight(), 210);
    }
}

TEST(TvlxReportPage, PaperSidesAreRoundedAndMakeTheSizeCustom)
{
    TvlxReportPage page;
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.Width(), 794);
    EXPECT_EQ(page.Height(), 1123);
    page.SetPaperWidth(100.123456789);
    EXPECT_EQ(page.PaperSize(), CustomPaperSize);
    EXPECT_DOUBLE_EQ(page.PaperWidth(), 100.12345679);
    page.SetPaperHeight(50);
    EXPECT_EQ(page.Width(), 378);  // 378.419...
    EXPECT_EQ(page.Height(), 189); // 188.9765
    page.SetSizeAndDimensions(9, 210, 297);
    EXPECT_EQ(page.PaperSize(), 9);
    EXPECT_EQ(page.Height(), 1123);
}

TEST(TvlxReportPage, OrientationRotatesPaperAndMargins)
{
    TvlxReportPage page;
    page.SetLeftMargin(1);
    page.SetRightMargin(2);
    page.SetTopMargin(3);
    page.SetBottomMargin(4);
    page.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(page.PaperWidth(), 297);
    EXPECT_EQ(page.PaperHeight(), 210);
    EXPECT_EQ(page.Width(), 1123);
    // Towards landscape: left <- top, right <- bottom, top <- right, bottom <- left.
    EXPECT_EQ(page.LeftMargin(), 3);
    EXPECT_EQ(page.RightMargin(), 4);
    EXPECT_EQ(page.TopMargin(), 2);
    EXPECT_EQ(page.BottomMargin(), 1);
    page.SetOrientation(TPrinterOrientation::poLandscape); // no change: nothing turns
    EXPECT_EQ(page.PaperWidth(), 297);
    page.SetOrientation(TPrinterOrientation::poPortrait);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.LeftMargin(), 1);
    EXPECT_EQ(page.RightMargin(), 2);
    EXPECT_EQ(page.TopMargin(), 3);
    EXPECT_EQ(page.BottomMargin(), 4);
}

TEST(TvlxReportPage, ColumnsDivideThePrintableWidth)
{
    TvlxReportPage page;
    page.SetLeftMargin(10);
    page.SetRightMargin(10);
    page.SetColumns(3);
    EXPECT_DOUBLE_EQ(page.ColumnWidth(), 190.0 / 3);
    ASSERT_EQ(page.ColumnPositions().Count(), 3u);
    EXPECT_EQ(page.ColumnPositions()[0], u"0");
    EXPECT_EQ(page.ColumnPositions()[1].substr(0, 6), u"63.333");
    EXPECT_EQ(page.ColumnPositions()[2].substr(0, 7), u"126.666");
    EXPECT_NEAR(page.ColumnPositionMm(2), 2 * 190.0 / 3, 1e-9);

    page.SetColumns(0);
    EXPECT_TRUE(page.ColumnPositions().Empty());
    EXPECT_DOUBLE_EQ(page.ColumnWidth(), 190.0 / 3); // kept: only a count above 0 recomputes
}

TEST(TvlxReportPage, ColumnPositionsReadBackWithEitherSeparatorOrFallBack)
{
    TvlxReportPage page;
    page.SetColumnWidth(50);
    StringList positions;
    positions.SetText(u"0\r\n12,5\r\nwide\r\n");
    page.SetColumnPositions(positions);
    EXPECT_EQ(page.ColumnPositionMm(0), 0);
    EXPECT_EQ(page.ColumnPositionMm(1), 12.5);
    EXPECT_EQ(page.ColumnPositionMm(2), 100); // no number: index * ColumnWidth
    EXPECT_EQ(page.ColumnPositionMm(7), 350); // past the list
}

TEST(TvlxReportPage, ColumnCountIsBounded)
{
    TvlxReportPage page;
    page.SetColumns(limits::PageMaxColumns);
    EXPECT_EQ(page.ColumnPositions().Count(), size_t(limits::PageMaxColumns));
    EXPECT_THROW(page.SetColumns(limits::PageMaxColumns + 1), ELimitExceeded);
    EXPECT_EQ(page.Columns(), limits::PageMaxColumns);
}

TEST(TvlxReportPage, PageCountBelowOneIsIgnored)
{
    TvlxReportPage page;
    page.SetPageCount(4);
    page.SetPageCount(0);
    page.SetPageCount(-2);
    EXPECT_EQ(page.PageCount(), 4);
}

struct PageTree
{
    TvlxReport Report;
    TvlxReportPage* Page = TvlxComponent::Create<TvlxReportPage>(&Report);

    template <class T>
    T* Band(double left, double top, double height)
    {
        auto* band = TvlxComponent::Create<T>(Page);
        band->SetBounds(left, top, 10, height);
        return band;
    }
};

TEST(TvlxReportPage, AlignChildrenSizesBandsToColumnsAndPrintableArea)
{
    PageTree t;
    t.Page->SetLeftMargin(10);
    t.Page->SetRightMargin(10);
    t.Page->SetTopMargin(20);
    t.Page->SetBottomMargin(17);
    t.Page->SetColumns(2);
    auto* title = t.Band<TvlxReportTitle>(0, 0, 20);
    auto* header = t.Band<TvlxPageHeader>(0, 30, 20);
    auto* data = t.Band<TvlxMasterData>(0, 60, 20);
    auto* footer = t.Band<TvlxFooter>(5, 90, 20);
    auto* vertical = t.Band<TvlxMasterData>(40, 0, 20);
    vertical->FVertical = true;
    auto* overlay = t.Band<TvlxOverlay>(0, 200, 20);

    t.Page->AlignChildren();
    double printableWidth = 190 * PixelsPerMm;
    double columnWidth = 95 * PixelsPerMm;
    EXPECT_DOUBLE_EQ(title->Width(), printableWidth);
    EXPECT_DOUBLE_EQ(header->Width(), printableWidth);
    EXPECT_DOUBLE_EQ(overlay->Width(), printableWidth);
    EXPECT_DOUBLE_EQ(data->Width(), columnWidth);
    EXPECT_DOUBLE_EQ(footer->Width(), columnWidth);
    EXPECT_DOUBLE_EQ(vertical->Width(), 10);
    EXPECT_DOUBLE_EQ(vertical->Height(), 260 * PixelsPerMm);
    EXPECT_EQ(t.Page->Width(), 794); // back to the paper in pixels
    EXPECT_EQ(t.Page->Height(), 1123);

    t.Page->SetColumns(1);
    t.Page->AlignChildren();
    EXPECT_DOUBLE_EQ(footer->Width(), printableWidth - 5); // one column: width less its left
}

TEST(TvlxReportPage, FindBandCountsSubclasses)
{
    PageTree t;
    auto* title = t.Band<TvlxReportTitle>(0, 0, 1);
    auto* detail = t.Band<TvlxDetailData>(0, 0, 1);
    t.Band<TvlxMasterData>(0, 0, 1);
    EXPECT_EQ(t.Page->FindBand<TvlxReportTitle>(), title);
    EXPECT_EQ(t.Page->FindBand<TvlxDataBand>(), detail);
    EXPECT_EQ(t.Page->FindBand<TvlxPageFooter>(), nullptr);
}

} // namespace
} // namespace vl
