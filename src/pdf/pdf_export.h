// The PDF export filter: writes the prepared pages as a PDF 1.5 document, strictly front to back
// into one output stream. Images and page content go out as soon as each is complete; fonts,
// the page tree, document information, outline, link annotations, catalog, cross-reference
// table and trailer are written by Finish. Object 1 is always the page tree (reserved by Start,
// written last); a font's Type0 dictionary number is reserved by the first page that uses it.
//
// Units: report geometry arrives in pixels at 96 per inch and is written in points
// (pixels x 0.75). Page content operators are built by page_content.h and view_export.cpp,
// fonts by pdf_fonts.h, encryption by security.h.
//
// Besides the walk's calls (Start, StartPage, ExportObject, FinishPage, Finish) the filter offers
// the page-level operations the view renderer uses (BeginPage, Content, FindFont, AddImage,
// AddLink, EndPage), so documents can be written without report objects.
#pragma once

#include "base/string.h"
#include "model/font.h"
#include "pdf/export_filter.h"
#include "pdf/page_content.h"
#include "pdf/pdf_fonts.h"
#include "pdf/pdf_objects.h"
#include "pdf/security.h"
#include "platform/clock.h"
#include "platform/component/enum_set.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vl {

class TvlxView;

inline constexpr std::array<StringView, 4> PDFEncBitNames{
    u"ePrint", u"eModify", u"eCopy", u"eAnnot"};
constexpr std::span<const StringView> EnumNames(TvlxPDFEncBits)
{
    return PDFEncBitNames;
}
using TvlxPDFEncBitsSet = EnumSet<TvlxPDFEncBits>;

// One item of the report's outline: its title, the zero-based index of its output page and its
// position on that page (pixels from the top).
struct PdfOutlineItem
{
    String Title;
    int Page = 0;
    double Top = 0;
    std::vector<PdfOutlineItem> Children;
};

// Where a "#name" link points: an anchor of the prepared pages.
struct PdfAnchor
{
    int Page = 0;   // zero-based output page
    double Top = 0; // pixels from the top of the page
};

class PdfAnchorSource
{
public:
    virtual ~PdfAnchorSource() = default;
    virtual std::optional<PdfAnchor> FindAnchor(StringView name) const = 0;
};

// The geometry of one output page: size in pixels, margins in millimetres, the page colour.
struct PdfPageSetup
{
    double WidthPx = 0;
    double HeightPx = 0;
    double LeftMarginMm = 0;
    double TopMarginMm = 0;
    double RightMarginMm = 0;
    double BottomMarginMm = 0;
    TColor Color = clNone;
};

// Reads the page setup from a report page through its published properties (Width, Height,
// LeftMargin, TopMargin, RightMargin, BottomMargin, Color); missing ones keep their defaults.
PdfPageSetup PageSetupOf(const TvlxComponent& page);

// A link annotation recorded while a page is rendered and written by Finish.
struct TvlxPDFAnnot
{
    uint32_t Number = 0;   // reserved object number
    std::string Rect;      // "left bottom right top" in points
    std::string Hyperlink; // URI in PDF string syntax; empty for a page link
    int DestPage = 0;      // zero-based page index of a page link
    int DestY = 0;         // points from the bottom of the destination page
};

class TvlxPDFExport : public TvlxCustomExportFilter
{
public:
    TvlxPDFExport();
    explicit TvlxPDFExport(NoRegister);
    ~TvlxPDFExport() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    String GetDescription() const override;
    // With an empty Title the report's name becomes the Title (as the settings dialog does).
    int ShowModal() override;
    // False when neither a file name nor a stream is set. Throws EFCreateError when the file
    // cannot be created.
    bool Start() override;
    void StartPage(TvlxComponent* page, int index) override;
    // Renders printable views (all views with ExportNotPrintable); ignores other components.
    void ExportObject(TvlxComponent* obj) override;
    void FinishPage(TvlxComponent* page, int index) override;
    void Finish() override;

    // ---- Page-level operations (between StartPage/BeginPage and FinishPage/EndPage)
    void BeginPage(const PdfPageSetup& setup);
    void EndPage();
    PdfPageContent& Content() { return FContent; }
    // The document font for a report font (matching name and, except for the simulated faces,
    // style), registered on first use.
    TvlxPDFFont& FindFont(const TvlxFont& font);
    // Places a JPEG on the current page: writes it as an image object unless the same bytes are
    // already on this page, and returns its image index k for "/Im{k} Do".
    int AddImage(std::string jpeg, int width, int height);
    // A link annotation over `rect` (points: "left bottom right top" as formatted for the view).
    // "#name" links to an anchor, "@N" to page N, anything else is an external URI.
    void AddLink(const std::string& rect, StringView url);

    // ---- Services (not owned; defaults: the system clock, no outline, no anchors). Start takes
    // the outline, the anchors and the exported pages from the report being exported, when
    // there is one; without a report they are what these setters gave.
    void SetClock(Clock* clock) { FClock = clock; }
    void SetOutlineItems(std::vector<PdfOutlineItem> items) { FOutlineItems = std::move(items); }
    void SetAnchorSource(const PdfAnchorSource* anchors) { FAnchors = anchors; }
    // Zero-based indexes of the pages the walk exports, when only some are; empty means all.
    void SetExportedPages(std::vector<int> pages) { FExportedPages = std::move(pages); }

    // ---- Published settings
    bool Compressed() const { return FCompressed; }
    void SetCompressed(bool value) { FCompressed = value; }
    bool EmbeddedFonts() const { return FEmbeddedFonts; }
    void SetEmbeddedFonts(bool value) { FEmbeddedFonts = value; }
    bool EmbedFontsIfProtected() const { return FEmbedFontsIfProtected; }
    void SetEmbedFontsIfProtected(bool value) { FEmbedFontsIfProtected = value; }
    bool OpenAfterExport() const { return FOpenAfterExport; }
    void SetOpenAfterExport(bool value) { FOpenAfterExport = value; }
    bool PrintOptimized() const { return FPrintOptimized; }
    void SetPrintOptimized(bool value) { FPrintOptimized = value; }
    bool Outline() const { return FOutline; }
    void SetOutline(bool value) { FOutline = value; }
    bool Background() const { return FBackground; }
    void SetBackground(bool value) { FBackground = value; }
    bool HTMLTags() const { return FHTMLTags; }
    void SetHTMLTags(bool value) { FHTMLTags = value; }
    int32_t Quality() const { return FQuality; }
    void SetQuality(int32_t value) { FQuality = value; }
    const String& Title() const { return FTitle; }
    void SetTitle(const String& value) { FTitle = value; }
    const String& Author() const { return FAuthor; }
    void SetAuthor(const String& value) { FAuthor = value; }
    const String& Subject() const { return FSubject; }
    void SetSubject(const String& value) { FSubject = value; }
    const String& Keywords() const { return FKeywords; }
    void SetKeywords(const String& value) { FKeywords = value; }
    const String& Creator() const { return FCreator; }
    void SetCreator(const String& value) { FCreator = value; }
    const String& Producer() const { return FProducer; }
    void SetProducer(const String& value) { FProducer = value; }
    // Byte strings: each UTF-16 unit below 256 is one byte.
    const String& UserPassword() const { return FUserPassword; }
    void SetUserPassword(const String& value) { FUserPassword = value; }
    const String& OwnerPassword() const { return FOwnerPassword; }
    void SetOwnerPassword(const String& value) { FOwnerPassword = value; }
    TvlxPDFEncBitsSet ProtectionFlags() const { return FProtectionFlags; }
    void SetProtectionFlags(TvlxPDFEncBitsSet value) { FProtectionFlags = value; }
    bool HideToolbar() const { return FHideToolbar; }
    void SetHideToolbar(bool value) { FHideToolbar = value; }
    bool HideMenubar() const { return FHideMenubar; }
    void SetHideMenubar(bool value) { FHideMenubar = value; }
    bool HideWindowUI() const { return FHideWindowUI; }
    void SetHideWindowUI(bool value) { FHideWindowUI = value; }
    bool FitWindow() const { return FFitWindow; }
    void SetFitWindow(bool value) { FFitWindow = value; }
    bool CenterWindow() const { return FCenterWindow; }
    void SetCenterWindow(bool value) { FCenterWindow = value; }
    bool PrintScaling() const { return FPrintScaling; }
    void SetPrintScaling(bool value) { FPrintScaling = value; }
    bool CheckboxAsShape() const { return FCheckboxAsShape; }
    void SetCheckboxAsShape(bool value) { FCheckboxAsShape = value; }

private:
    struct PdfXObject
    {
        uint32_t ObjId = 0;
        std::array<uint8_t, 16> Hash{};
    };
    struct OutlineNode;

    void ClearState();
    void WriteInfo(uint32_t number);
    // Outline, anchors and exported pages from the report being exported, if any.
    void TakeReportNavigation();
    uint32_t WriteOutline();
    void WriteAnnots();
    uint32_t WriteCatalog(uint32_t outlineRoot);
    std::string ByteString(const String& text) const;
    // The page object of a zero-based store page index, when that page was exported.
    std::optional<uint32_t> PageObject(int pageIndex) const;
    // One view on the current page: vector output or the raster fallback (view_export.cpp).
    void RenderView(TvlxComponent& view);
    void RenderRaster(TvlxView& view);

    // Settings
    bool FCompressed = true;
    bool FEmbeddedFonts = false;
    bool FEmbedFontsIfProtected = true;
    bool FOpenAfterExport = false;
    bool FPrintOptimized = false;
    bool FOutline = false;
    bool FBackground = false;
    bool FHTMLTags = true;
    int32_t FQuality = 95;
    String FTitle;
    String FAuthor = u"Vellum";
    String FSubject = u"Vellum PDF export";
    String FKeywords;
    String FCreator;
    String FProducer;
    String FUserPassword;
    String FOwnerPassword;
    TvlxPDFEncBitsSet FProtectionFlags = TvlxPDFEncBitsSet::FromMask(AllEncBits);
    bool FHideToolbar = false;
    bool FHideMenubar = false;
    bool FHideWindowUI = false;
    bool FFitWindow = false;
    bool FCenterWindow = false;
    bool FPrintScaling = false;
    bool FCheckboxAsShape = false;

    // Services
    Clock* FClock = nullptr;
    std::vector<PdfOutlineItem> FOutlineItems;
    const PdfAnchorSource* FAnchors = nullptr;
    std::vector<int> FExportedPages;
    // The anchors of the report being exported (FAnchors points here then).
    std::unique_ptr<PdfAnchorSource> FReportAnchors;

    // Writer state, emptied by Start and at the end of Finish
    std::unique_ptr<Stream> FOwnedFile;
    std::unique_ptr<PdfObjectWriter> pdf;
    std::unique_ptr<PdfSecurity> FSecurity;
    std::vector<uint32_t> FPagesRef;  // page object numbers, page order
    std::vector<double> FPageHeights; // points, page order
    std::vector<std::unique_ptr<TvlxPDFFont>> FFonts;
    std::vector<TvlxPDFAnnot> FAnnots;
    std::string FPageAnnots; // "{N} 0 R" lines of the current page
    std::vector<PdfXObject> FXObjects;
    std::vector<int> FUsedXObjects; // image indexes used on the current page
    uint64_t FPicTotalSize = 0;
    PdfPageContent FContent;
    double FWidth = 0; // page width, points
    std::string FFileID;
    bool FProtection = false;
    bool FInPage = false;
};

} // namespace vl
