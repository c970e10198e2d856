// The PDF export filter: its settings, the walk's calls and the document-level objects (pages,
// images, information, outline, link annotations, catalog, cross-reference table, trailer).
#include "pdf/pdf_export.h"

#include "base/exception.h"
#include "base/limits.h"
#include "layout/preview_pages.h"
#include "model/report.h"
#include "model/resources.h"
#include "pdf/md5.h"
#include "pdf/report_navigation.h"
#include "platform/component/class_builder.h"

#include <algorithm>
#include <cmath>

namespace vl {

namespace {

// The page-colour rectangle's component form: "0", "1", or "0." and two digits of v x 100 / 256.
std::string PageColorComponent(uint32_t v)
{
    if (v == 0) return "0";
    if (v == 255) return "1";
    const uint32_t hundredths = v * 100 / 256;
    return std::string("0.") + char('0' + hundredths / 10) + char('0' + hundredths % 10);
}

std::string PageColorOperands(TColor color)
{
    const uint32_t rgb = uint32_t(color) & 0xFFFFFF;
    return PageColorComponent(rgb & 0xFF) + " " + PageColorComponent((rgb >> 8) & 0xFF) + " " +
           PageColorComponent((rgb >> 16) & 0xFF);
}

double FloatProp(const Persistent& obj, StringView name, double fallback)
{
    const PropInfo* prop = obj.ClassType().FindProp(name);
    if (prop == nullptr) return fallback;
    const PropValue value = prop->Get(obj);
    if (const double* d = std::get_if<double>(&value)) return *d;
    if (const int64_t* i = std::get_if<int64_t>(&value)) return double(*i);
    return fallback;
}

int64_t OrdinalProp(const Persistent& obj, StringView name, int64_t fallback)
{
    const PropInfo* prop = obj.ClassType().FindProp(name);
    if (prop == nullptr) return fallback;
    const PropValue value = prop->Get(obj);
    if (const int64_t* i = std::get_if<int64_t>(&value)) return *i;
    return fallback;
}

int RoundInt(double value)
{
    return int(std::nearbyint(value));
}

// A URI as a PDF string: a literal string of printable ASCII. Other characters are written as
// percent-encoded UTF-8, the form a URI takes for them (a PDF URI is a 7-bit string).
std::string UriBytes(StringView url)
{
    std::string out;
    for (unsigned char c : ToUtf8(url)) {
        if (c >= 32 && c <= 126) {
            out += char(c);
        } else {
            static constexpr char Hex[] = "0123456789ABCDEF";
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 0xF];
        }
    }
    return out;
}

} // namespace

PdfPageSetup PageSetupOf(const TvlxComponent& page)
{
    PdfPageSetup setup;
    setup.WidthPx = page.Width();
    setup.HeightPx = page.Height();
    setup.LeftMarginMm = FloatProp(page, u"LeftMargin", 0);
    setup.TopMarginMm = FloatProp(page, u"TopMargin", 0);
    setup.RightMarginMm = FloatProp(page, u"RightMargin", 0);
    setup.BottomMarginMm = FloatProp(page, u"BottomMargin", 0);
    setup.Color = TColor(OrdinalProp(page, u"Color", clNone));
    return setup;
}

struct TvlxPDFExport::OutlineNode
{
    uint32_t Number = 0;
    const PdfOutlineItem* Item = nullptr;
    std::vector<OutlineNode> Children;
};

TvlxPDFExport::TvlxPDFExport() = default;

TvlxPDFExport::TvlxPDFExport(NoRegister tag)
    : TvlxCustomExportFilter(tag)
{}

TvlxPDFExport::~TvlxPDFExport() = default;

const ClassInfo& TvlxPDFExport::StaticClass()
{
    using F = TvlxPDFExport;
    static const ClassInfo info =
        DescribeClass<F, TvlxCustomExportFilter>(u"TvlxPDFExport")
            .Prop<&F::Compressed, &F::SetCompressed>(u"Compressed", true)
            .Prop<&F::EmbeddedFonts, &F::SetEmbeddedFonts>(u"EmbeddedFonts", false)
            .Prop<&F::EmbedFontsIfProtected, &F::SetEmbedFontsIfProtected>(u"EmbedFontsIfProtected",
                                                                           true)
            .Prop<&F::OpenAfterExport, &F::SetOpenAfterExport>(u"OpenAfterExport", false)
            .Prop<&F::PrintOptimized, &F::SetPrintOptimized>(u"PrintOptimized", false)
            .Prop<&F::Outline, &F::SetOutline>(u"Outline", false)
            .Prop<&F::Background, &F::SetBackground>(u"Background", false)
            .Prop<&F::HTMLTags, &F::SetHTMLTags>(u"HTMLTags", true)
            .Prop<&F::Quality, &F::SetQuality>(u"Quality", 95)
            .Prop<&F::Title, &F::SetTitle>(u"Title")
            .Prop<&F::Author, &F::SetAuthor>(u"Author")
            .Prop<&F::Subject, &F::SetSubject>(u"Subject")
            .Prop<&F::Keywords, &F::SetKeywords>(u"Keywords")
            .Prop<&F::Creator, &F::SetCreator>(u"Creator")
            .Prop<&F::Producer, &F::SetProducer>(u"Producer")
            .Prop<&F::UserPassword, &F::SetUserPassword>(u"UserPassword")
            .Prop<&F::OwnerPassword, &F::SetOwnerPassword>(u"OwnerPassword")
            .Prop<&F::ProtectionFlags, &F::SetProtectionFlags>(
                u"ProtectionFlags", TvlxPDFEncBitsSet::FromMask(AllEncBits))
            .Prop<&F::HideToolbar, &F::SetHideToolbar>(u"HideToolbar", false)
            .Prop<&F::HideMenubar, &F::SetHideMenubar>(u"HideMenubar", false)
            .Prop<&F::HideWindowUI, &F::SetHideWindowUI>(u"HideWindowUI", false)
            .Prop<&F::FitWindow, &F::SetFitWindow>(u"FitWindow", false)
            .Prop<&F::CenterWindow, &F::SetCenterWindow>(u"CenterWindow", false)
            .Prop<&F::PrintScaling, &F::SetPrintScaling>(u"PrintScaling", false)
            .Prop<&F::CheckboxAsShape, &F::SetCheckboxAsShape>(u"CheckboxAsShape", false)
            .Build();
    return info;
}

String TvlxPDFExport::GetDescription() const
{
    return ResourceText(u"PDFexport");
}

int TvlxPDFExport::ShowModal()
{
    if (OutputStream() == nullptr && FTitle.empty() && Report() != nullptr)
        FTitle = Report()->Name();
    return ModalResultOk;
}

std::string TvlxPDFExport::ByteString(const String& text) const
{
    std::string bytes;
    bytes.reserve(text.size());
    for (char16_t c : text)
        bytes += char(uint8_t(c));
    return bytes;
}

void TvlxPDFExport::ClearState()
{
    FPagesRef.clear();
    FPageHeights.clear();
    FFonts.clear();
    FAnnots.clear();
    FPageAnnots.clear();
    FXObjects.clear();
    FUsedXObjects.clear();
    FPicTotalSize = 0;
    FContent.Reset(0, 0, 0);
    FInPage = false;
}

bool TvlxPDFExport::Start()
{
    Stream* out = OutputStream();
    if (FileName().empty() && out == nullptr) return false;
    if (out == nullptr) {
        String fileName = FileName();
        if (fileName.find(u'/') == String::npos && !DefaultPath().empty())
            fileName = DefaultPath() + u"/" + fileName;
        FOwnedFile = std::make_unique<FileStream>(ToUtf8(fileName), FileStream::Mode::Create);
        out = FOwnedFile.get();
    }
    FProtection = !FUserPassword.empty() || !FOwnerPassword.empty();
    ClearState();
    Clock& clock = FClock ? *FClock : SystemClock();
    FFileID = FileIdentifier(clock.NewGuid());
    FSecurity.reset();
    if (FProtection) {
        FSecurity = std::make_unique<PdfSecurity>(ByteString(FUserPassword),
                                                  ByteString(FOwnerPassword),
                                                  FProtectionFlags.Mask(),
                                                  FFileID);
        FEmbeddedFonts = FEmbedFontsIfProtected;
    }
    TakeReportNavigation();
    pdf = std::make_unique<PdfObjectWriter>(*out);
    pdf->EmitLine("%PDF-1.5");
    pdf->ReserveObject(); // object 1: the page tree, written by Finish
    return true;
}

void TvlxPDFExport::TakeReportNavigation()
{
    auto* report = dynamic_cast<TvlxReport*>(Report());
    if (report == nullptr) return;
    TvlxPreviewPages& pages = report->PreviewPages();
    if (FOutline) FOutlineItems = OutlineItemsOf(pages.Outline());
    FReportAnchors = std::make_unique<PreviewAnchorSource>(pages);
    FAnchors = FReportAnchors.get();
    FExportedPages = ExportedPagesOf(PageNumbers(), pages.Count());
}

void TvlxPDFExport::StartPage(TvlxComponent* page, int index)
{
    (void)index;
    BeginPage(page != nullptr ? PageSetupOf(*page) : PdfPageSetup{});
}

void TvlxPDFExport::BeginPage(const PdfPageSetup& setup)
{
    Expects(pdf != nullptr, "BeginPage follows Start");
    FUsedXObjects.clear();
    FPageAnnots.clear();
    FWidth = setup.WidthPx * 0.75;
    const double height = setup.HeightPx * 0.75;
    FPageHeights.push_back(height);
    FContent.Reset(height, setup.LeftMarginMm * 0.05, setup.TopMarginMm * 0.05);
    FInPage = true;
    if (setup.Color == clNone) return;

    constexpr double PointsPerMm = 72 / 25.4;
    const double left = setup.LeftMarginMm * PointsPerMm;
    const double bottom = setup.BottomMarginMm * PointsPerMm;
    const double right = FWidth - setup.RightMarginMm * PointsPerMm;
    const double top = height - setup.TopMarginMm * PointsPerMm;
    const std::string color = PageColorOperands(setup.Color);
    FContent.Line("0.00 w");
    FContent.Line(color + " RG");
    FContent.Line(color + " rg");
    FContent.MoveTo(left, bottom);
    FContent.LineTo(right, bottom);
    FContent.LineTo(right, top);
    FContent.LineTo(left, top);
    FContent.Line("B");
}

void TvlxPDFExport::ExportObject(TvlxComponent* obj)
{
    if (obj == nullptr || !obj->IsView() || !FInPage) return;
    if (OrdinalProp(*obj, u"Printable", 1) == 0 && !ExportNotPrintable()) return;
    RenderView(*obj);
}

TvlxPDFFont& TvlxPDFExport::FindFont(const TvlxFont& font)
{
    const bool simulated = IsSimulatedFace(font.Name());
    const auto styleBits = [](const TvlxFont& f) {
        return f.Style().Mask() & (TFontStyles{TFontStyle::fsBold, TFontStyle::fsItalic}.Mask());
    };
    for (const auto& candidate : FFonts) {
        const TvlxFont& source = candidate->SourceFont();
        if (source.Name() == font.Name() && (simulated || styleBits(source) == styleBits(font)))
            return *candidate;
    }
    FFonts.push_back(std::make_unique<TvlxPDFFont>(font, FFonts.size()));
    return *FFonts.back();
}

int TvlxPDFExport::AddImage(std::string jpeg, int width, int height)
{
    const Md5Digest digest = Md5(jpeg);
    int index = -1;
    for (size_t k = 0; k < FXObjects.size(); ++k)
        if (FXObjects[k].ObjId != 0 && FXObjects[k].Hash == digest) index = int(k);
    if (index < 0) {
        const uint32_t number = pdf->ReserveObject();
        index = int(FXObjects.size());
        FXObjects.push_back({number, digest});
        FPicTotalSize += jpeg.size();
        if (FSecurity) FSecurity->Crypt(number, jpeg);
        pdf->BeginObject(number);
        pdf->EmitLine("<<");
        pdf->EmitLine("/Type /XObject");
        pdf->EmitLine("/Subtype /Image");
        pdf->EmitLine("/ColorSpace /DeviceRGB");
        pdf->EmitLine("/BitsPerComponent 8");
        pdf->EmitLine("/Filter /DCTDecode");
        pdf->EmitLine("/Width " + IntText(width));
        pdf->EmitLine("/Height " + IntText(height));
        pdf->EmitLine("/Length " + IntText(int64_t(jpeg.size())));
        pdf->EmitLine(">>");
        pdf->EmitLine("stream");
        pdf->EmitRaw(jpeg);
        pdf->EmitLine("");
        pdf->EmitLine("endstream");
        pdf->EmitLine("endobj");
    }
    FUsedXObjects.push_back(index);
    return index;
}

void TvlxPDFExport::AddLink(const std::string& rect, StringView url)
{
    if (url.empty()) return;
    TvlxPDFAnnot annot;
    annot.Rect = rect;
    const double pageTop = FContent.Height() - FContent.MarginTop();
    if (url[0] == u'#') {
        if (FAnchors == nullptr) return;
        const std::optional<PdfAnchor> anchor = FAnchors->FindAnchor(url.substr(1));
        if (!anchor) return;
        annot.DestPage = anchor->Page;
        annot.DestY = RoundInt(pageTop - anchor->Top * 0.75);
    } else if (url[0] == u'@') {
        int page = 0;
        for (char16_t c : url.substr(1)) {
            if (c < u'0' || c > u'9' || page > 1'000'000) return; // no page: no link
            page = page * 10 + (c - u'0');
        }
        annot.DestPage = page - 1;
        annot.DestY = RoundInt(pageTop);
    } else {
        annot.Hyperlink = UriBytes(url);
    }
    annot.Number = pdf->ReserveObject();
    FPageAnnots += ObjectRef(annot.Number) + "\r\n";
    FAnnots.push_back(std::move(annot));
}

void TvlxPDFExport::FinishPage(TvlxComponent* page, int index)
{
    (void)page;
    (void)index;
    EndPage();
}

void TvlxPDFExport::EndPage()
{
    if (!FInPage) return;
    FInPage = false;
    const uint32_t content = pdf->ReserveObject();
    WritePdfStream(
        *pdf, content, FContent.TakeBytes(), PdfStreamKind::Content, FCompressed, FSecurity.get());

    for (const auto& font : FFonts) {
        if (font->Saved) continue;
        font->Reference = pdf->ReserveObject();
        font->Saved = true;
    }

    const uint32_t pageNumber = pdf->BeginNewObject();
    FPagesRef.push_back(pageNumber);
    pdf->EmitLine("<<");
    pdf->EmitLine("/Type /Page");
    pdf->EmitLine("/Parent 1 0 R");
    pdf->EmitLine("/MediaBox [0 0 " + FormatCoord(FWidth) + " " + FormatCoord(FContent.Height()) +
                  " ]");
    if (!FPageAnnots.empty()) {
        pdf->EmitLine("/Annots [");
        pdf->EmitRaw(FPageAnnots);
        pdf->EmitLine("]");
        FPageAnnots.clear();
    }
    pdf->EmitLine("/Resources <<");
    std::string fonts = "/Font << ";
    for (const auto& font : FFonts)
        fonts += font->Name() + " " + ObjectRef(font->Reference) + " ";
    pdf->EmitLine(fonts + ">>");
    if (!FUsedXObjects.empty()) {
        // Each image once: a name listed twice would be a duplicate dictionary key.
        std::vector<int> used = FUsedXObjects;
        std::sort(used.begin(), used.end());
        used.erase(std::unique(used.begin(), used.end()), used.end());
        std::string images = "/XObject << ";
        for (int k : used)
            images += "/Im" + IntText(k) + " " + ObjectRef(FXObjects[size_t(k)].ObjId) + " ";
        pdf->EmitLine(images + ">>");
    }
    pdf->EmitLine("/ProcSet [/PDF /Text /ImageC ]");
    pdf->EmitLine(">>");
    pdf->EmitLine("/Contents " + ObjectRef(content));
    pdf->EmitLine(">>");
    pdf->EmitLine("endobj");

    // Identical images are shared within one page only; indexes keep growing over the document.
    for (PdfXObject& x : FXObjects)
        x = PdfXObject{};
}

std::optional<uint32_t> TvlxPDFExport::PageObject(int pageIndex) const
{
    size_t position = size_t(pageIndex);
    if (!FExportedPages.empty()) {
        const auto at = std::find(FExportedPages.begin(), FExportedPages.end(), pageIndex);
        if (at == FExportedPages.end()) return std::nullopt;
        position = size_t(at - FExportedPages.begin());
    }
    if (pageIndex < 0 || position >= FPagesRef.size()) return std::nullopt;
    return FPagesRef[position];
}

void TvlxPDFExport::Finish()
{
    if (pdf == nullptr) return;
    EndPage();
    for (const auto& font : FFonts)
        font->WriteObjects(*pdf, FEmbeddedFonts, FCompressed, FSecurity.get());

    pdf->BeginObject(1);
    pdf->EmitLine("<<");
    pdf->EmitLine("/Type /Pages");
    std::string kids = "/Kids [";
    for (uint32_t page : FPagesRef)
        kids += ObjectRef(page) + " ";
    pdf->EmitLine(kids + "]");
    pdf->EmitLine("/Count " + IntText(int64_t(FPagesRef.size())));
    pdf->EmitLine(">>");
    pdf->EmitLine("endobj");

    const uint32_t info = pdf->ReserveObject();
    WriteInfo(info);
    const uint32_t outlineRoot = FOutline ? WriteOutline() : 0;
    WriteAnnots();
    const uint32_t catalog = WriteCatalog(outlineRoot);
    pdf->WriteXrefAndTrailer(
        catalog, info, FFileID, FSecurity ? FSecurity->EncryptDictionary() : std::string());

    ClearState();
    pdf.reset();
    FSecurity.reset();
    FOwnedFile.reset();
}

void TvlxPDFExport::WriteInfo(uint32_t number)
{
    const PdfSecurity* security = FSecurity.get();
    pdf->BeginObject(number);
    pdf->EmitLine("<<");
    pdf->EmitLine("/Title " + EncodeTextString(FTitle, security, number));
    pdf->EmitLine("/Author " + EncodeTextString(FAuthor, security, number));
    pdf->EmitLine("/Subject " + EncodeTextString(FSubject, security, number));
    pdf->EmitLine("/Keywords " + EncodeTextString(FKeywords, security, number));
    pdf->EmitLine("/Creator " + EncodeTextString(FCreator, security, number));
    pdf->EmitLine("/Producer " + EncodeTextString(FProducer, security, number));
    Clock& clock = FClock ? *FClock : SystemClock();
    const std::string date = PdfDateText(clock.Now());
    if (security == nullptr) {
        pdf->EmitLine("/CreationDate (" + date + ")");
        pdf->EmitLine("/ModDate (" + date + ")");
    } else {
        const String text = FromUtf8(date);
        pdf->EmitLine("/CreationDate " + EncodeTextString(text, security, number));
        pdf->EmitLine("/ModDate " + EncodeTextString(text, security, number));
    }
    pdf->EmitLine(">>");
    pdf->EmitLine("endobj");
}

uint32_t TvlxPDFExport::WriteOutline()
{
    // Numbers are handed out depth first from the next free one, the root first, and the nodes
    // are written in the same order, so every reference is known before its target is written.
    uint32_t next = pdf->ObjectCount() + 1;
    const uint32_t root = next++;
    const auto build = [&](auto& self,
                           const std::vector<PdfOutlineItem>& items,
                           std::vector<OutlineNode>& nodes,
                           size_t depth) -> void {
        // The outline comes from the store's XML, whose depth is bounded.
        Expects(depth <= limits::XmlMaxDepth, "outline depth is bounded by the store");
        for (const PdfOutlineItem& item : items) {
            if (!FExportedPages.empty() &&
                std::find(FExportedPages.begin(), FExportedPages.end(), item.Page) ==
                    FExportedPages.end())
                continue;
            OutlineNode& node = nodes.emplace_back();
            node.Item = &item;
            node.Number = next++;
            self(self, item.Children, node.Children, depth + 1);
        }
    };
    std::vector<OutlineNode> top;
    build(build, FOutlineItems, top, 0);
    if (top.empty()) return 0;

    pdf->BeginObject(pdf->ReserveObject());
    pdf->EmitLine("<<");
    pdf->EmitLine("/Type /Outlines");
    pdf->EmitLine("/Count " + IntText(int64_t(top.size())));
    pdf->EmitLine("/First " + ObjectRef(top.front().Number));
    pdf->EmitLine("/Last " + ObjectRef(top.back().Number));
    pdf->EmitLine(">>");
    pdf->EmitLine("endobj");

    const auto write =
        [&](auto& self, const std::vector<OutlineNode>& nodes, uint32_t parent) -> void {
        for (size_t i = 0; i < nodes.size(); ++i) {
            const OutlineNode& node = nodes[i];
            const uint32_t number = pdf->ReserveObject();
            Expects(number == node.Number, "outline numbers follow the writing order");
            pdf->BeginObject(number);
            pdf->EmitLine("<<");
            pdf->EmitLine("/Title " + EncodeTextString(node.Item->Title, FSecurity.get(), number));
            pdf->EmitLine("/Parent " + ObjectRef(parent));
            if (i > 0) pdf->EmitLine("/Prev " + ObjectRef(nodes[i - 1].Number));
            if (i + 1 < nodes.size()) pdf->EmitLine("/Next " + ObjectRef(nodes[i + 1].Number));
            if (!node.Children.empty()) {
                pdf->EmitLine("/First " + ObjectRef(node.Children.front().Number));
                pdf->EmitLine("/Last " + ObjectRef(node.Children.back().Number));
                pdf->EmitLine("/Count " + IntText(int64_t(node.Children.size())));
            }
            if (const std::optional<uint32_t> page = PageObject(node.Item->Page)) {
                const size_t position = size_t(
                    std::find(FPagesRef.begin(), FPagesRef.end(), *page) - FPagesRef.begin());
                const int y = RoundInt(FPageHeights[position] - node.Item->Top * 0.75);
                pdf->EmitLine("/Dest [" + ObjectRef(*page) + " /XYZ 0 " + IntText(y) + " 0]");
            }
            pdf->EmitLine(">>");
            pdf->EmitLine("endobj");
            self(self, node.Children, number);
        }
    };
    write(write, top, root);
    return root;
}

void TvlxPDFExport::WriteAnnots()
{
    for (const TvlxPDFAnnot& annot : FAnnots) {
        pdf->BeginObject(annot.Number);
        pdf->EmitLine("<<");
        pdf->EmitLine("/Type /Annot");
        pdf->EmitLine("/Subtype /Link");
        pdf->EmitLine("/Rect [" + annot.Rect + "]");
        if (!annot.Hyperlink.empty()) {
            std::string uri = annot.Hyperlink;
            // Readers decrypt every string of an encrypted file, so the URI is encrypted too.
            if (FSecurity) FSecurity->Crypt(annot.Number, uri);
            pdf->EmitLine("/BS << /W 0 >>");
            pdf->EmitLine("/A <<");
            pdf->EmitLine("/URI (" + EscapeLiteral(uri) + ")");
            pdf->EmitLine("/Type /Action");
            pdf->EmitLine("/S /URI");
            pdf->EmitLine(">>");
        } else {
            pdf->EmitLine("/Border [16 16 0]");
            // A link to a page that was not exported stays without a destination.
            if (const std::optional<uint32_t> page = PageObject(annot.DestPage))
                pdf->EmitLine("/Dest [" + ObjectRef(*page) + " /XYZ null " + IntText(annot.DestY) +
                              " null]");
        }
        pdf->EmitLine(">>");
        pdf->EmitLine("endobj");
    }
}

uint32_t TvlxPDFExport::WriteCatalog(uint32_t outlineRoot)
{
    const uint32_t number = pdf->BeginNewObject();
    pdf->EmitLine("<<");
    pdf->EmitLine("/Type /Catalog");
    pdf->EmitLine("/Pages 1 0 R");
    pdf->EmitLine(FOutline ? "/PageMode /UseOutlines" : "/PageMode /UseNone");
    if (outlineRoot != 0) pdf->EmitLine("/Outlines " + ObjectRef(outlineRoot));
    pdf->EmitLine("/ViewerPreferences <<");
    if (!FTitle.empty()) pdf->EmitLine("/DisplayDocTitle true");
    if (FHideToolbar) pdf->EmitLine("/HideToolbar true");
    if (FHideMenubar) pdf->EmitLine("/HideMenubar true");
    if (FHideWindowUI) pdf->EmitLine("/HideWindowUI true");
    if (FFitWindow) pdf->EmitLine("/FitWindow true");
    if (FCenterWindow) pdf->EmitLine("/CenterWindow true");
    if (!FPrintScaling) pdf->EmitLine("/PrintScaling /None");
    pdf->EmitLine(">>");
    pdf->EmitLine(">>");
    pdf->EmitLine("endobj");
    return number;
}

} // namespace vl
