// The prepared-page store: filling it during a run (source pages, pages, objects, anchors,
// logical page numbers, passes, cut and paste).
#include "layout/preview_pages.h"

#include "base/number_text.h"
#include "layout/preview_pages_internal.h"
#include "model/band.h"
#include "model/band_kinds.h"
#include "model/picture_view.h"
#include "model/report.h"
#include "platform/canvas/raster_surface.h"
#include "platform/component/class_registry.h"
#include "platform/unicode/text_case.h"
#include "template/xml_document.h"
#include "template/xml_serializer.h"

#include <algorithm>
#include <cmath>

namespace vl {
namespace preview {

bool IsCompletePageName(StringView name)
{
    return SameText(name, u"TvlxReportPage") || SameText(name, u"TvlxDMPPage");
}

std::unique_ptr<TvlxComponent> CreateLike(const TvlxComponent& like)
{
    std::unique_ptr<Persistent> made = like.ClassType().Create();
    auto* object = dynamic_cast<TvlxComponent*>(made.get());
    Expects(object != nullptr, "a report object's class creates report objects");
    made.release();
    return std::unique_ptr<TvlxComponent>(object);
}

void CopyProperties(TvlxComponent& target, const TvlxComponent& source)
{
    target.Assign(source);
}

double FloatAttribute(const TvlxXMLItem& item, StringView name, double fallback)
{
    std::optional<StringView> text = item.FindAttribute(name);
    if (!text) return fallback;
    // A stored value that is no number counts as absent: the position falls back to the source.
    try {
        return TemplateTextToFloat(*text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

String StoredAllDiff(TvlxComponent& obj, TvlxComponent* source)
{
    return obj.AllDiff(source);
}

String StoredDiff(TvlxComponent& obj, TvlxComponent& source, bool finalPass)
{
    if (!finalPass) return obj.TvlxComponent::Diff(source);
    if (obj.vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff))
        return obj.AllDiff(&source);
    return obj.Diff(source);
}

String FloatText(double value)
{
    return FloatToStr(value);
}

} // namespace preview

namespace {

using preview::FloatAttribute;

constexpr StringView PagesName = u"previewpages";
constexpr StringView AnchorsName = u"anchors";
constexpr StringView LogicalName = u"logicalpagenumbers";
constexpr StringView OutlineName = u"outline";
constexpr StringView CuttedName = u"cutted";

// Bookkeeping bytes counted per stored element besides its name and attributes.
constexpr int64_t ElementOverhead = static_cast<int64_t>(sizeof(TvlxXMLItem)) + 16;

bool IsA(const ClassInfo* cls, const ClassInfo& base)
{
    return cls != nullptr && cls->InheritsFrom(base);
}

} // namespace

TvlxPreviewPages::TvlxPreviewPages(TvlxReport* report)
    : TvlxCustomPreviewPages(report)
{
    Clear();
}

TvlxPreviewPages::~TvlxPreviewPages() = default;

TvlxXMLItem& TvlxPreviewPages::RootChild(StringView name)
{
    return FXMLDoc.Root().FindItem(name);
}

void TvlxPreviewPages::Clear()
{
    ClearCache();
    FOutline.reset();
    FXMLDoc.Clear();
    FXMLDoc.Root().SetName(u"preparedreport");
    FPagesItem = &RootChild(PagesName);
    FOutline = std::make_unique<TvlxOutline>(RootChild(OutlineName), FCurPage);
    FSourcePages.clear();
    FDictionary.Clear();
    FPictureCache.clear();
    FAddPageAction = TvlxAddPageAction::apAdd;
    FCurPage = -1;
    FXMLSize = 0;
    FFirstPageIndex = -1;
    FFirstObjectIndex = 0;
    FFirstOutlineIndex = 0;
    FLogicalPageN = 0;
    FLastY = 0;
}

void TvlxPreviewPages::Initialize()
{
    FXMLDoc.SetTempDir(Options.TempDir);
}

void TvlxPreviewPages::Finish()
{
    FLastY = 0;
    ClearCache();
}

void TvlxPreviewPages::AddError(const String& text)
{
    if (FReport != nullptr) FReport->Errors().Add(text);
}

bool TvlxPreviewPages::InFinalPassOfTwo() const
{
    return FHost->DoublePass() && FHost->FinalPass();
}

int32_t TvlxPreviewPages::Count()
{
    return FPagesItem->Count();
}

TvlxXMLItem* TvlxPreviewPages::CurPageItem()
{
    if (FCurPage < 0 || FCurPage >= Count()) return nullptr;
    TvlxXMLItem& item = (*FPagesItem)[FCurPage];
    if (!item.Loaded()) FXMLDoc.LoadItem(item);
    return &item;
}

TvlxXMLItem& TvlxPreviewPages::LogicalItem()
{
    return RootChild(LogicalName);
}

// ---- Source pages

void TvlxPreviewPages::AddSourcePage(TvlxComponent& page)
{
    const size_t index = FSourcePages.size();
    std::unique_ptr<TvlxComponent> copy = preview::CreateLike(page);
    preview::CopyProperties(*copy, page);
    copy->SetName(page.Name());
    copy->FOriginalComponent = &page;
    page.FOriginalComponent = copy.get();
    TvlxComponent& pageCopy = *FSourcePages.emplace_back(std::move(copy));
    for (const auto& child : page.Objects())
        MakeSourceCopy(*child, pageCopy, index);
}

TvlxComponent*
TvlxPreviewPages::MakeSourceCopy(TvlxComponent& design, TvlxComponent& parent, size_t pageIndex)
{
    if (!design.vlComponentStyle().Contains(TvlxComponentStyle::csPreviewVisible)) {
        design.AddSourceObjects();
        return nullptr;
    }
    TvlxComponent* copy = TvlxComponent::Create(design.ClassType(), &parent);
    preview::CopyProperties(*copy, design);
    // Images reach pages through the picture cache, never through the source copy.
    if (auto* picture = dynamic_cast<TvlxPictureView*>(copy)) picture->ClearImage();
    copy->SetName(design.Name());
    RegisterSourceCopy(*copy, design, pageIndex);
    for (const auto& child : design.Objects())
        MakeSourceCopy(*child, *copy, pageIndex);
    return copy;
}

void TvlxPreviewPages::RegisterSourceCopy(TvlxComponent& copy,
                                          TvlxComponent& design,
                                          size_t pageIndex)
{
    copy.FOriginalComponent = &design;
    design.FOriginalComponent = &copy;
    String base = dynamic_cast<const TvlxBand*>(&copy) != nullptr ? String(u"b")
                  : copy.BaseName().empty()                       ? String(u"o")
                                            : LowerCase(copy.BaseName().substr(0, 1));
    // A text view's copy keeps no data binding: the stored differences carry its text.
    if (dynamic_cast<const XMLTextObject*>(&copy) != nullptr) {
        if (const PropInfo* p = copy.ClassType().FindProp(u"DataField"); p && !p->IsReadOnly())
            p->Set(copy, String());
        if (const PropInfo* p = copy.ClassType().FindProp(u"DataSet"); p && !p->IsReadOnly())
            p->Set(copy, static_cast<Persistent*>(nullptr));
    }
    String sourceName = u"Page" + IntToStr(static_cast<int64_t>(pageIndex)) + u"." + copy.Name();
    String alias = FDictionary.AddUnique(base, sourceName, &copy);
    FDictionary.Find(alias)->BaseName = SourceBaseName(copy);
    copy.FAliasName = alias;
    design.FAliasName = alias;
}

String TvlxPreviewPages::SourceBaseName(TvlxComponent& copy) const
{
    if (copy.vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff))
        return String(copy.ClassType().Name());
    TvlxXMLSerializer serializer;
    return serializer.WriteComponentStr(copy);
}

void TvlxPreviewPages::AddToSourcePage(TvlxComponent& obj)
{
    if (FSourcePages.empty()) return;
    if (!obj.FAliasName.empty() && FDictionary.Find(obj.FAliasName) != nullptr) return;
    const size_t pageIndex = FSourcePages.size() - 1;
    TvlxComponent& sourcePage = *FSourcePages.back();
    TvlxComponent* parent =
        obj.Parent() != nullptr ? obj.Parent()->FOriginalComponent.Get() : nullptr;
    if (parent == nullptr || parent->Page() != &sourcePage) parent = &sourcePage;

    TvlxComponent* copy = TvlxComponent::Create(obj.ClassType(), parent);
    preview::CopyProperties(*copy, obj);
    // Made while running, the object may share its name with others: the copy gets a name of
    // its own on the source page, so its source name is unique.
    const String& stem = copy->BaseName();
    for (int64_t n = 1;; ++n) {
        String candidate = stem + IntToStr(n);
        if (sourcePage.FindObject(candidate) == nullptr) {
            copy->SetName(candidate);
            break;
        }
    }
    RegisterSourceCopy(*copy, obj, pageIndex);
}

// ---- Pages and objects

void TvlxPreviewPages::UnloadOldPages()
{
    for (int32_t i = Count() - 2; i >= 0; --i) {
        TvlxXMLItem& item = (*FPagesItem)[i];
        if (!item.Loaded()) break;
        FXMLDoc.UnloadItem(item);
    }
}

void TvlxPreviewPages::AddPage(TvlxComponent& page)
{
    if (Options.UseFileCache && FXMLSize > int64_t(Options.MaxMemSize) * 1048576) {
        UnloadOldPages();
        FXMLSize = 0;
    }
    ++FCurPage;
    if (FCurPage < Count() && FAddPageAction == TvlxAddPageAction::apWriteOver) return;

    auto source = std::find_if(FSourcePages.begin(), FSourcePages.end(), [&](const auto& p) {
        return p.get() == &page || p->FOriginalComponent.Get() == &page;
    });
    Expects(source != FSourcePages.end(), "a page is added after its source page");
    const auto sourceIndex = static_cast<int64_t>(source - FSourcePages.begin());
    TvlxXMLItem& item = FPagesItem->Add(u"page" + IntToStr(sourceIndex));
    if (Count() > 2) item.SetUnloadable(true);
    FAddPageAction = TvlxAddPageAction::apWriteOver;
    FCurPage = Count() - 1;
    IncLogicalPageNumber();
}

void TvlxPreviewPages::AddObject(TvlxComponent& obj)
{
    TvlxXMLItem* page = CurPageItem();
    Expects(page != nullptr, "objects are added to a page");
    std::erase_if(FPageCache, [&](const CachedPage& c) { return c.Index == FCurPage; });
    AddObjectTo(*page, obj, preview::IsCompletePageName(page->Name()), FHost->FinalPass());
}

void TvlxPreviewPages::AddObjectTo(TvlxXMLItem& parent,
                                   TvlxComponent& obj,
                                   bool complete,
                                   bool finalPass)
{
    if (!obj.Visible() || !obj.vlComponentStyle().Contains(TvlxComponentStyle::csPreviewVisible))
        return;
    const TvlxSourceEntry* entry =
        obj.FAliasName.empty() ? nullptr : FDictionary.Find(obj.FAliasName);
    String name;
    String attributes;
    if (entry == nullptr || complete) {
        name = String(obj.ClassType().Name());
        attributes = preview::StoredAllDiff(obj, nullptr);
    } else {
        name = obj.FAliasName;
        attributes = preview::StoredDiff(obj, *entry->Object, finalPass);
    }
    FXMLSize += static_cast<int64_t>(name.size() + attributes.size()) + ElementOverhead;
    TvlxXMLItem& item = parent.Add(name);
    item.SetText(std::move(attributes));
    for (const auto& child : obj.Objects())
        AddObjectTo(item, *child, complete, finalPass);
}

int32_t TvlxPreviewPages::AddPicture(TvlxComponent& picture)
{
    auto* view = dynamic_cast<TvlxPictureView*>(&picture);
    if (view == nullptr || !view->HasImage()) return -1;
    FPictureCache.push_back(view->ImageBytes());
    const auto index = static_cast<int32_t>(FPictureCache.size() - 1);
    view->SetImageIndex(index);
    return index;
}

// ---- Questions of the engine

double TvlxPreviewPages::GetLastY(double columnPosition)
{
    double result = 0;
    if (TvlxXMLItem* page = CurPageItem()) {
        for (int32_t i = 0; i < page->Count(); ++i) {
            const TvlxXMLItem& item = (*page)[i];
            const TvlxComponent* source = FDictionary.GetObject(item.Name());
            const ClassInfo* cls = source != nullptr ? &source->ClassType()
                                                     : ClassRegistry::Global().Find(item.Name());
            if (!IsA(cls, TvlxBand::StaticClass()) || IsA(cls, TvlxPageFooter::StaticClass()) ||
                IsA(cls, TvlxOverlay::StaticClass()))
                continue;
            const double left = FloatAttribute(item, u"l", source ? source->Left() : 0);
            const bool always =
                IsA(cls, TvlxPageHeader::StaticClass()) || IsA(cls, TvlxReportTitle::StaticClass());
            if (!always && columnPosition != 0 && std::abs(left - columnPosition) >= 0.001)
                continue;
            const double bottom = FloatAttribute(item, u"t", source ? source->Top() : 0) +
                                  FloatAttribute(item, u"h", source ? source->Height() : 0);
            result = std::max(result, bottom);
        }
    }
    if (result == 0 && FLastY > 0) return FLastY;
    return result;
}

bool TvlxPreviewPages::BandExists(const TvlxComponent& band)
{
    TvlxXMLItem* page = CurPageItem();
    if (page == nullptr) return false;
    const bool pageFooter = band.InheritsFrom(TvlxPageFooter::StaticClass());
    const bool columnFooter = band.InheritsFrom(TvlxColumnFooter::StaticClass());
    for (int32_t i = 0; i < page->Count(); ++i) {
        const TvlxComponent* source = FDictionary.GetObject((*page)[i].Name());
        if (source == nullptr) continue;
        if (source == &band || source == band.FOriginalComponent.Get()) return true;
        if (pageFooter && source->InheritsFrom(TvlxPageFooter::StaticClass())) return true;
        if (columnFooter && source->InheritsFrom(TvlxColumnFooter::StaticClass())) return true;
    }
    return false;
}

int32_t TvlxPreviewPages::GetCurPosition()
{
    TvlxXMLItem* page = CurPageItem();
    return page != nullptr ? page->Count() : 0;
}

// ---- Cut and paste

void TvlxPreviewPages::CutObjects(int32_t position)
{
    TvlxXMLItem* page = CurPageItem();
    if (page == nullptr) return;
    std::erase_if(FPageCache, [&](const CachedPage& c) { return c.Index == FCurPage; });
    TvlxXMLItem& cutted = RootChild(CuttedName);
    for (int32_t i = std::max(position, 0); i < page->Count();)
        cutted.AddItem(page->Extract(i));
}

void TvlxPreviewPages::PasteObjects(double x, double y)
{
    const int index = FXMLDoc.Root().Find(CuttedName);
    if (index < 0) return;
    std::unique_ptr<TvlxXMLItem> cutted = FXMLDoc.Root().Extract(index);
    TvlxXMLItem* page = CurPageItem();
    if (page == nullptr || cutted->Count() == 0) return;
    std::erase_if(FPageCache, [&](const CachedPage& c) { return c.Index == FCurPage; });
    const double dx = x - FloatAttribute((*cutted)[0], u"l", 0);
    const double dy = y - FloatAttribute((*cutted)[0], u"t", 0);
    while (cutted->Count() > 0) {
        std::unique_ptr<TvlxXMLItem> item = cutted->Extract(0);
        // An absent position is the source object's; it moves like any other.
        const TvlxComponent* source = FDictionary.GetObject(item->Name());
        const double left = FloatAttribute(*item, u"l", source ? source->Left() : 0);
        const double top = FloatAttribute(*item, u"t", source ? source->Top() : 0);
        item->SetAttribute(u"l", preview::FloatText(left + dx));
        item->SetAttribute(u"t", preview::FloatText(top + dy));
        page->AddItem(std::move(item));
    }
}

// ---- Anchors

void TvlxPreviewPages::AddAnchor(const String& text)
{
    TvlxXMLItem& item = RootChild(AnchorsName).Add(u"item");
    item.SetAttribute(u"text", text);
    item.SetAttribute(u"page", IntToStr(FCurPage));
    item.SetAttribute(u"top", IntToStr(static_cast<int64_t>(std::nearbyint(FHost->CurY()))));
}

TvlxXMLItem* TvlxPreviewPages::FindAnchor(StringView text)
{
    TvlxXMLItem& anchors = RootChild(AnchorsName);
    for (int32_t i = anchors.Count() - 1; i >= 0; --i)
        if (SameText(anchors[i].Attribute(u"text"), text)) return &anchors[i];
    return nullptr;
}

int32_t TvlxPreviewPages::GetAnchorPage(StringView text)
{
    TvlxXMLItem* anchor = FindAnchor(text);
    return anchor != nullptr ? anchor->IntAttribute(u"page") + 1 : 1;
}

int32_t TvlxPreviewPages::GetAnchorCurPosition()
{
    return RootChild(AnchorsName).Count() - 1;
}

void TvlxPreviewPages::ShiftAnchors(int32_t from, int32_t newTop)
{
    TvlxXMLItem& anchors = RootChild(AnchorsName);
    const int32_t first = std::max(from, -1) + 1;
    if (first < anchors.Count()) {
        const int32_t delta = newTop - anchors[first].IntAttribute(u"top");
        for (int32_t i = first; i < anchors.Count(); ++i) {
            anchors[i].SetAttribute(u"page", IntToStr(anchors[i].IntAttribute(u"page") + 1));
            anchors[i].SetAttribute(u"top", IntToStr(anchors[i].IntAttribute(u"top") + delta));
        }
    }
    // The outline moves by its own position (TvlxCustomOutline::ShiftItems): anchors and
    // outline entries are counted apart.
}

// ---- Logical page numbers

void TvlxPreviewPages::IncLogicalPageNumber()
{
    if (InFinalPassOfTwo()) return;
    ++FLogicalPageN;
    LogicalItem().Add(u"page").SetAttribute(u"n", IntToStr(FLogicalPageN));
}

void TvlxPreviewPages::ResetLogicalPageNumber()
{
    if (InFinalPassOfTwo()) return;
    TvlxXMLItem& numbers = LogicalItem();
    const int32_t first = std::max(FFirstPageIndex, 0);
    for (int32_t i = std::min(FCurPage, numbers.Count() - 1); i >= first; --i) {
        numbers[i].SetAttribute(u"t", IntToStr(FLogicalPageN));
        if (numbers[i].Attribute(u"n") == u"1") break;
    }
    FLogicalPageN = 0;
}

int32_t TvlxPreviewPages::GetLogicalPageNo()
{
    TvlxXMLItem& numbers = LogicalItem();
    if (FCurPage >= 0 && FCurPage < numbers.Count()) return numbers[FCurPage].IntAttribute(u"n");
    return FCurPage - FFirstPage + 1;
}

int32_t TvlxPreviewPages::GetLogicalTotalPages()
{
    TvlxXMLItem& numbers = LogicalItem();
    if (FCurPage >= 0 && FCurPage < numbers.Count()) return numbers[FCurPage].IntAttribute(u"t");
    return FHost->TotalPages() - FFirstPage;
}

// ---- Passes

void TvlxPreviewPages::BeginPass()
{
    FFirstPageIndex = Count() - 1;
    if (FFirstPageIndex >= 0) {
        TvlxXMLItem& page = (*FPagesItem)[FFirstPageIndex];
        if (!page.Loaded()) FXMLDoc.LoadItem(page);
        FFirstObjectIndex = page.Count();
        FFirstOutlineIndex = RootChild(OutlineName).Count();
    }
    ResetLogicalPageNumber();
}

void TvlxPreviewPages::ClearFirstPassPages()
{
    ClearCache();
    if (FFirstPageIndex == -1) {
        TvlxXMLItem& root = FXMLDoc.Root();
        for (int32_t i = 0; i < root.Count(); ++i)
            if (!SameText(root[i].Name(), AnchorsName) && !SameText(root[i].Name(), LogicalName))
                root[i].Clear();
    } else {
        TvlxXMLItem& page = (*FPagesItem)[FFirstPageIndex];
        if (!page.Loaded()) FXMLDoc.LoadItem(page);
        while (page.Count() > FFirstObjectIndex)
            page.Delete(page.Count() - 1);
        while (Count() > FFirstPageIndex + 1)
            FPagesItem->Delete(Count() - 1);
        TvlxXMLItem& outline = RootChild(OutlineName);
        while (outline.Count() > FFirstOutlineIndex)
            outline.Delete(outline.Count() - 1);
    }
    FOutline->LevelRoot();
    ResetLogicalPageNumber();
    FCurPage = FFirstPageIndex;
    FXMLSize = 0;
}

} // namespace vl
