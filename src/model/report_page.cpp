// The report page: paper and orientation rules, page columns and band geometry.
#include "model/report_page.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/format_settings.h"
#include "base/limits.h"
#include "base/number_text.h"
#include "base/variant.h"
#include "model/band.h"
#include "model/band_kinds.h"
#include "model/picture_view.h"
#include "model/subreport.h"
#include "platform/component/class_builder.h"
#include "request/dataset_adapter.h"
#include "template/prop_data.h"

#include <cmath>
#include <utility>

namespace vl {

const ClassInfo& TvlxReportPage::StaticClass()
{
    using P = TvlxReportPage;
    static const ClassInfo info =
        DescribeClass<P, TvlxPage>(u"TvlxReportPage")
            .Prop<&P::Orientation, &P::SetOrientation>(u"Orientation",
                                                       TPrinterOrientation::poPortrait)
            .Prop<&P::PaperWidth, &P::SetPaperWidth>(u"PaperWidth")
            .Prop<&P::PaperHeight, &P::SetPaperHeight>(u"PaperHeight")
            .Prop<&P::PaperSize, &P::SetPaperSize>(u"PaperSize")
            .Prop<&P::LeftMargin, &P::SetLeftMargin>(u"LeftMargin")
            .Prop<&P::RightMargin, &P::SetRightMargin>(u"RightMargin")
            .Prop<&P::TopMargin, &P::SetTopMargin>(u"TopMargin")
            .Prop<&P::BottomMargin, &P::SetBottomMargin>(u"BottomMargin")
            .Prop<&P::FMirrorMargins>(u"MirrorMargins", false)
            .Prop<&P::Columns, &P::SetColumns>(u"Columns", 0)
            .Prop<&P::ColumnWidth, &P::SetColumnWidth>(u"ColumnWidth")
            .Prop<&P::ColumnPositions, &P::SetColumnPositions>(u"ColumnPositions")
            .Prop<&P::FBin>(u"Bin", 7)
            .Prop<&P::FBinOtherPages>(u"BinOtherPages", 7)
            .Prop<&P::FBackPictureVisible>(u"BackPictureVisible", true)
            .Prop<&P::FBackPicturePrintable>(u"BackPicturePrintable", true)
            .Prop<&P::PageCount, &P::SetPageCount>(u"PageCount", 1)
            .Prop<&P::Color, &P::SetColor>(u"Color", clNone)
            .Prop<&P::Frame, &P::SetFrame>(u"Frame")
            .Prop<&P::DataSet, &P::SetDataSet>(u"DataSet")
            .Prop<&P::DataSetName, &P::SetDataSetName>(u"DataSetName")
            .Prop<&P::FDuplex>(u"Duplex", TDuplexMode::dmNone)
            .Prop<&P::FEndlessHeight>(u"EndlessHeight", false)
            .Prop<&P::FEndlessWidth>(u"EndlessWidth", false)
            .Prop<&P::FLargeDesignHeight>(u"LargeDesignHeight", false)
            .Prop<&P::FOutlineText>(u"OutlineText")
            .Prop<&P::FPrintIfEmpty>(u"PrintIfEmpty", true)
            .Prop<&P::FPrintOnPreviousPage>(u"PrintOnPreviousPage", false)
            .Prop<&P::FResetPageNumbers>(u"ResetPageNumbers", false)
            .Prop<&P::FTitleBeforeHeader>(u"TitleBeforeHeader", true)
            .Prop<&P::FHGuides>(u"HGuides")
            .Prop<&P::FVGuides>(u"VGuides")
            .Prop<&P::FOnAfterPrint>(u"OnAfterPrint")
            .Prop<&P::FOnBeforePrint>(u"OnBeforePrint")
            .Prop<&P::FOnManualBuild>(u"OnManualBuild")
            .Build();
    return info;
}

TvlxReportPage::TvlxReportPage()
    : FBackground(std::make_unique<TvlxPictureView>())
{
    FBackground->SetKeepAspectRatio(false);
    FBackground->SetColor(clNone);
    SetBaseName(u"Page");
    UpdateDimensions();
}

TvlxReportPage::~TvlxReportPage() = default;

// ---- Background

TColor TvlxReportPage::Color() const
{
    return FBackground->Color();
}

void TvlxReportPage::SetColor(TColor value)
{
    FBackground->SetColor(value);
}

const TvlxFrame& TvlxReportPage::Frame() const
{
    return FBackground->Frame();
}

void TvlxReportPage::SetFrame(const TvlxFrame& value)
{
    FBackground->SetFrame(value);
}

namespace {

constexpr StringView BackPictureProp = u"BackPicture.Data";
constexpr StringView PictureProp = u"Picture.Data";

} // namespace

bool TvlxReportPage::ReadCustomProp(StringView name,
                                    PropDataReader& reader,
                                    TvlxXMLSerializer& serializer)
{
    if (name != BackPictureProp) return false;
    return FBackground->ReadCustomProp(PictureProp, reader, serializer);
}

void TvlxReportPage::WriteCustomProps(PropDataWriter& writer) const
{
    // The holder writes its picture under its own name; the page renames it.
    PropDataWriter picture;
    FBackground->WriteCustomProps(picture);
    if (picture.Bytes().empty()) return;
    PropDataReader reader(picture.Bytes());
    if (reader.ReadName() != PictureProp) return;
    writer.WriteName(BackPictureProp);
    writer.WriteBinary(reader.ReadBinary());
}

// ---- Paper

void TvlxReportPage::UpdateDimensions()
{
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    SetWidth(std::nearbyint(FPaperWidth * PixelsPerMm));
    SetHeight(std::nearbyint(FPaperHeight * PixelsPerMm));
}

void TvlxReportPage::SetOrientation(TPrinterOrientation value)
{
    if (value == FOrientation) return;
    FOrientation = value;
    std::swap(FPaperWidth, FPaperHeight);
    double left = FLeftMargin;
    double right = FRightMargin;
    double top = FTopMargin;
    double bottom = FBottomMargin;
    if (value == TPrinterOrientation::poLandscape) {
        FLeftMargin = top;
        FRightMargin = bottom;
        FTopMargin = right;
        FBottomMargin = left;
    } else {
        FLeftMargin = bottom;
        FRightMargin = top;
        FTopMargin = left;
        FBottomMargin = right;
    }
    UpdateDimensions();
}

namespace {

double RoundTo8Decimals(double value)
{
    constexpr double Scale = 1e8;
    double scaled = value * Scale;
    // Beyond this magnitude a double has no fraction left to round.
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 0x1p52) return value;
    return std::nearbyint(scaled) / Scale;
}

} // namespace

void TvlxReportPage::SetPaperWidth(double value)
{
    FPaperWidth = RoundTo8Decimals(value);
    FPaperSize = CustomPaperSize;
    UpdateDimensions();
}

void TvlxReportPage::SetPaperHeight(double value)
{
    FPaperHeight = RoundTo8Decimals(value);
    FPaperSize = CustomPaperSize;
    UpdateDimensions();
}

void TvlxReportPage::SetPaperSize(int32_t value)
{
    FPaperSize = value;
    if (value >= CustomPaperSize) return;
    std::optional<PaperDimensions> paper = FindPaperSize(value);
    if (!paper) return;
    FPaperWidth = paper->WidthMm;
    FPaperHeight = paper->HeightMm;
    if (FOrientation == TPrinterOrientation::poLandscape) std::swap(FPaperWidth, FPaperHeight);
    UpdateDimensions();
}

void TvlxReportPage::SetSizeAndDimensions(int32_t size, double width, double height)
{
    FPaperSize = size;
    FPaperWidth = width;
    FPaperHeight = height;
    UpdateDimensions();
}

// ---- Columns

void TvlxReportPage::SetColumns(int32_t value)
{
    if (value > limits::PageMaxColumns)
        throw ELimitExceeded(
            Format(u"A page may have at most %d columns", {limits::PageMaxColumns}));
    FColumns = value;
    FColumnPositions.Clear();
    if (value <= 0) return;
    FColumnWidth = (FPaperWidth - FLeftMargin - FRightMargin) / value;
    // Positions are written with "." whatever the locale, so they read back the same anywhere.
    const FormatSettings english = FormatSettings::English();
    for (int32_t i = 0; i < value; ++i)
        FColumnPositions.Add(FloatToStr(i * FColumnWidth, english));
}

double TvlxReportPage::ColumnPositionMm(size_t index) const
{
    if (index < FColumnPositions.Count()) {
        String text = FColumnPositions[index];
        for (char16_t& c : text)
            if (c == u',') c = u'.';
        double value = 0;
        if (TryTextToFloat(text, value, FormatSettings::English())) return value;
    }
    return double(index) * FColumnWidth;
}

TvlxDataSet* TvlxReportPage::DataSet() const
{
    return FDataSet.Get();
}

void TvlxReportPage::SetDataSet(TvlxDataSet* value)
{
    FDataSet.Set(value);
}

String TvlxReportPage::DataSetName() const
{
    return FDataSet ? FDataSet->UserName() : FDataSetName;
}

void TvlxReportPage::SetDataSetName(const String& value)
{
    FDataSetName = value;
    FDataSet.Set(FindDataSet(*this, value));
}

void TvlxReportPage::SetPageCount(int32_t value)
{
    if (value >= 1) FPageCount = value;
}

// ---- Subreports

TvlxSubreport* TvlxReportPage::SubReport() const
{
    return FSubReport.Get();
}

void TvlxReportPage::SetSubReport(TvlxSubreport* value)
{
    FSubReport.Set(value);
}

// ---- Bands

TvlxBand* TvlxReportPage::FindBand(const ClassInfo& cls) const
{
    for (const auto& child : Objects())
        if (child->InheritsFrom(cls)) return dynamic_cast<TvlxBand*>(child.get());
    return nullptr;
}

double TvlxReportPage::PrintableWidthPx() const
{
    return (FPaperWidth - FLeftMargin - FRightMargin) * PixelsPerMm;
}

double TvlxReportPage::PrintableHeightPx() const
{
    return (FPaperHeight - FTopMargin - FBottomMargin) * PixelsPerMm;
}

namespace {

// Bands that always span the whole printable width, whatever the page columns.
bool SpansPage(const TvlxBand& band)
{
    for (const ClassInfo* cls : {&TvlxNullBand::StaticClass(),
                                 &TvlxReportSummary::StaticClass(),
                                 &TvlxPageHeader::StaticClass(),
                                 &TvlxPageFooter::StaticClass(),
                                 &TvlxReportTitle::StaticClass(),
                                 &TvlxOverlay::StaticClass()})
        if (band.InheritsFrom(*cls)) return true;
    return false;
}

} // namespace

void TvlxReportPage::AlignChildren()
{
    SetWidth(PrintableWidthPx());
    SetHeight(PrintableHeightPx());
    TvlxPage::AlignChildren();
    for (const auto& child : Objects()) {
        auto* band = dynamic_cast<TvlxBand*>(child.get());
        if (band == nullptr) continue;
        if (band->FVertical)
            band->SetHeight(Height() - band->Top());
        else if (FColumns > 1 && !SpansPage(*band))
            band->SetWidth(FColumnWidth * PixelsPerMm);
        else
            band->SetWidth(Width() - band->Left());
        band->AlignChildren();
    }
    UpdateDimensions();
}

} // namespace vl
