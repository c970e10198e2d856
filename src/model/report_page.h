// The report page: paper, margins, page columns and the bands the engine runs.
//
// Contract:
// - Paper sizes and margins are millimetres; Width() and Height() are the paper in pixels
//   (PaperWidth * PixelsPerMm, rounded to a whole number, halves to even) after every change of
//   paper or orientation.
// - PaperSize 256 (CustomPaperSize) and above is a custom size; a smaller known code takes its
//   size from the paper table (exchanged in landscape); an unknown code keeps the size.
// - Changing Orientation exchanges the paper's sides and rotates the margins with the paper.
#pragma once

#include "model/page.h"
#include "model/paper_size.h"
#include "platform/component/string_list.h"
#include "template/xml_serializer.h"

#include <array>
#include <memory>

namespace vl {

class TvlxBand;
class TvlxDataSet;
class TvlxFrame;
class TvlxPictureView;
class TvlxSubreport;

enum class TPrinterOrientation
{
    poPortrait,
    poLandscape
};
inline constexpr std::array<StringView, 2> PrinterOrientationNames{u"poPortrait", u"poLandscape"};
constexpr std::span<const StringView> EnumNames(TPrinterOrientation)
{
    return PrinterOrientationNames;
}

enum class TDuplexMode
{
    dmNone,
    dmVertical,
    dmHorizontal,
    dmSimplex
};
inline constexpr std::array<StringView, 4> DuplexModeNames{
    u"dmNone", u"dmVertical", u"dmHorizontal", u"dmSimplex"};
constexpr std::span<const StringView> EnumNames(TDuplexMode)
{
    return DuplexModeNames;
}

class TvlxReportPage : public TvlxPage, public CustomPropData
{
public:
    TvlxReportPage();
    ~TvlxReportPage() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // ---- Paper (millimetres)
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation value);
    double PaperWidth() const { return FPaperWidth; }
    double PaperHeight() const { return FPaperHeight; }
    // Rounded to 8 decimals; the paper becomes custom (PaperSize 256).
    void SetPaperWidth(double value);
    void SetPaperHeight(double value);
    int32_t PaperSize() const { return FPaperSize; }
    void SetPaperSize(int32_t value);
    // Stores code and size at once, as given.
    void SetSizeAndDimensions(int32_t size, double width, double height);

    double LeftMargin() const { return FLeftMargin; }
    double RightMargin() const { return FRightMargin; }
    double TopMargin() const { return FTopMargin; }
    double BottomMargin() const { return FBottomMargin; }
    void SetLeftMargin(double value) { FLeftMargin = value; }
    void SetRightMargin(double value) { FRightMargin = value; }
    void SetTopMargin(double value) { FTopMargin = value; }
    void SetBottomMargin(double value) { FBottomMargin = value; }

    // ---- Page columns
    int32_t Columns() const { return FColumns; }
    // Clears ColumnPositions; above 0 it divides the printable width into equal columns and
    // lists their left offsets. Throws ELimitExceeded past limits::PageMaxColumns.
    void SetColumns(int32_t value);
    // Width of a page column, millimetres.
    double ColumnWidth() const { return FColumnWidth; }
    void SetColumnWidth(double value) { FColumnWidth = value; }
    // Left offsets of the page columns, millimetres as decimal text.
    const StringList& ColumnPositions() const { return FColumnPositions; }
    void SetColumnPositions(const StringList& value) { FColumnPositions.Assign(value); }
    // Left offset of column `index` (0-based), millimetres: the listed position, or
    // index * ColumnWidth when the list lacks it or it is no number.
    double ColumnPositionMm(size_t index) const;

    // ---- Background: colour, frame around the printable area and picture, held by a picture
    // view that stretches over the page without keeping the picture's aspect ratio.
    TColor Color() const;
    void SetColor(TColor value);
    const TvlxFrame& Frame() const;
    void SetFrame(const TvlxFrame& value);
    TvlxPictureView& Background() const { return *FBackground; }
    // The picture travels in the property data block as "BackPicture.Data", in the picture
    // view's own form.
    bool
    ReadCustomProp(StringView name, PropDataReader& reader, TvlxXMLSerializer& serializer) override;
    void WriteCustomProps(PropDataWriter& writer) const override;

    // ---- Records
    // The page is run once per record of this dataset (nullptr: PageCount times).
    TvlxDataSet* DataSet() const;
    void SetDataSet(TvlxDataSet* value);
    // The linked dataset's user name, or the name last assigned when none is linked.
    String DataSetName() const;
    // Stores the name and links the dataset of that user name (none when not found).
    void SetDataSetName(const String& value);

    // How many times the page is run when it has no dataset; values below 1 are ignored.
    int32_t PageCount() const { return FPageCount; }
    void SetPageCount(int32_t value);

    // ---- Subreports
    // The subreport that prints this page, or nullptr; such a page is not run on its own.
    TvlxSubreport* SubReport() const;
    // Kept in step by TvlxSubreport::SetSubreportPage.
    void SetSubReport(TvlxSubreport* value);
    bool IsSubReport() const { return bool(FSubReport); }

    // ---- Bands
    // The first child band of class `cls` (subclasses count), or nullptr.
    TvlxBand* FindBand(const ClassInfo& cls) const;
    template <class T>
    T* FindBand() const
    {
        return static_cast<T*>(FindBand(T::StaticClass()));
    }

    // Sizes the bands to the printable area (columns, vertical bands) and aligns their views;
    // the page keeps its paper size in pixels afterwards.
    void AlignChildren() override;

    // Printable area, pixels (not rounded).
    double PrintableWidthPx() const;
    double PrintableHeightPx() const;

    // ---- Template properties without behaviour
    bool FMirrorMargins = false;
    // Printer trays.
    int32_t FBin = 7;
    int32_t FBinOtherPages = 7;
    bool FBackPictureVisible = true;
    bool FBackPicturePrintable = true;
    TDuplexMode FDuplex = TDuplexMode::dmNone;
    // The page grows instead of breaking.
    bool FEndlessHeight = false;
    bool FEndlessWidth = false;
    bool FLargeDesignHeight = false;
    // Expression whose text becomes an outline entry at the start of each page run.
    String FOutlineText;
    bool FPrintIfEmpty = true;
    // The page run continues on the last prepared page.
    bool FPrintOnPreviousPage = false;
    // Logical page numbering restarts at each run of this page.
    bool FResetPageNumbers = false;
    // On the first output page the report title comes before the page header.
    bool FTitleBeforeHeader = true;
    // Designer guides.
    StringList FHGuides;
    StringList FVGuides;
    // Script procedures run after the page run, before it, and instead of the band run.
    String FOnAfterPrint;
    String FOnBeforePrint;
    String FOnManualBuild;

    // ---- Engine state
    // Top-level data bands in order, and the same for vertical bands; built by the engine.
    std::vector<TvlxBand*> FSubBands;
    std::vector<TvlxBand*> FVSubBands;

private:
    // Pixel size from the paper size.
    void UpdateDimensions();

    TPrinterOrientation FOrientation = TPrinterOrientation::poPortrait;
    double FPaperWidth = 210;
    double FPaperHeight = 297;
    int32_t FPaperSize = 9;
    double FLeftMargin = 0;
    double FRightMargin = 0;
    double FTopMargin = 0;
    double FBottomMargin = 0;
    int32_t FColumns = 0;
    double FColumnWidth = 0;
    StringList FColumnPositions;
    int32_t FPageCount = 1;
    std::unique_ptr<TvlxPictureView> FBackground;
    ComponentLink<TvlxDataSet> FDataSet;
    String FDataSetName;
    ComponentLink<TvlxSubreport> FSubReport;
};

} // namespace vl
