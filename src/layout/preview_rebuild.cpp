// Reading an output page back from the store: source copies plus stored differences become real
// objects again, kept in a small most-recently-used cache.
#include "base/number_text.h"
#include "layout/preview_pages.h"
#include "layout/preview_pages_internal.h"
#include "model/picture_view.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_registry.h"
#include "template/xml_serializer.h"

#include <algorithm>
#include <cmath>

namespace vl {
namespace {

// The source page index of a page element named "page" + digits; -1 for any other name.
int32_t SourcePageIndex(StringView name)
{
    if (name.size() <= 4 || name.substr(0, 4) != u"page") return -1;
    int32_t index = -1;
    StringView digits = name.substr(4);
    if (!std::all_of(
            digits.begin(), digits.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
        return -1;
    return TryStrToInt(digits, index) ? index : -1;
}

} // namespace

void TvlxPreviewPages::ClearCache()
{
    FPageCache.clear();
}

TvlxComponent* TvlxPreviewPages::Page(int32_t index)
{
    if (index < 0 || index >= Count()) return nullptr;
    auto cached = std::find_if(FPageCache.begin(), FPageCache.end(), [&](const CachedPage& c) {
        return c.Index == index;
    });
    if (cached != FPageCache.end()) {
        if (!FHost->EngineRunning()) {
            std::rotate(FPageCache.begin(), cached, cached + 1);
            return FPageCache.front().Page.get();
        }
        // While the engine runs the page may have grown since it was rebuilt.
        FPageCache.erase(cached);
    }
    std::unique_ptr<TvlxComponent> page = RebuildPage((*FPagesItem)[index]);
    FPageCache.insert(FPageCache.begin(), CachedPage{index, std::move(page)});
    const size_t limit = static_cast<size_t>(std::max(Options.PagesInCache, 1));
    while (FPageCache.size() > limit) {
        const int32_t dropped = FPageCache.back().Index;
        FPageCache.pop_back();
        if (Options.UseFileCache && dropped < Count()) FXMLDoc.UnloadItem((*FPagesItem)[dropped]);
    }
    return FPageCache.front().Page.get();
}

TvlxPageSize TvlxPreviewPages::PageSize(int32_t index)
{
    TvlxComponent* page = Page(index);
    if (page == nullptr) return {};
    return {static_cast<int32_t>(std::nearbyint(page->Width())),
            static_cast<int32_t>(std::nearbyint(page->Height()))};
}

std::unique_ptr<TvlxComponent> TvlxPreviewPages::RebuildPage(TvlxXMLItem& pageItem)
{
    if (!pageItem.Loaded()) FXMLDoc.LoadItem(pageItem);
    TvlxXMLSerializer serializer;
    std::unique_ptr<TvlxComponent> page;
    if (preview::IsCompletePageName(pageItem.Name())) {
        const ClassInfo* cls = ClassRegistry::Global().Find(pageItem.Name());
        if (cls != nullptr) {
            std::unique_ptr<Persistent> made = cls->Create();
            if (auto* component = dynamic_cast<TvlxComponent*>(made.get())) {
                made.release();
                page.reset(component);
                serializer.ReadRootComponent(*page, &pageItem);
            }
        }
    } else {
        const int32_t source = SourcePageIndex(pageItem.Name());
        if (source >= 0 && static_cast<size_t>(source) < FSourcePages.size()) {
            const TvlxComponent& sourcePage = *FSourcePages[static_cast<size_t>(source)];
            page = preview::CreateLike(sourcePage);
            preview::CopyProperties(*page, sourcePage);
            page->SetName(sourcePage.Name());
            RebuildObjects(pageItem, *page, serializer);
        }
    }
    for (const String& error : serializer.Errors())
        AddError(error);
    if (page == nullptr) {
        // A page element that names no page still exports as an empty page.
        AddError(u"Cannot rebuild prepared page " + pageItem.Name());
        page = std::make_unique<TvlxReportPage>();
    }
    return page;
}

void TvlxPreviewPages::RebuildObjects(const TvlxXMLItem& item,
                                      TvlxComponent& parent,
                                      TvlxXMLSerializer& serializer)
{
    for (int32_t i = 0; i < item.Count(); ++i) {
        const TvlxXMLItem& child = item[i];
        const TvlxSourceEntry* entry = FDictionary.Find(child.Name());
        String text = entry != nullptr ? entry->BaseName : child.Name();
        text += u' ';
        text += child.Text();
        TvlxComponent* obj = nullptr;
        // An element naming no usable class costs only itself and its children.
        try {
            obj = serializer.ReadComponentStr(&parent, text, true);
            if (obj != nullptr && entry != nullptr) obj->SetName(entry->Object->Name());
        } catch (const Exception& e) {
            AddError(e.Message());
            continue;
        }
        if (obj == nullptr) continue;
        RestorePicture(*obj);
        RebuildObjects(child, *obj, serializer);
    }
}

void TvlxPreviewPages::RestorePicture(TvlxComponent& obj)
{
    auto* view = dynamic_cast<TvlxPictureView*>(&obj);
    if (view == nullptr || view->HasImage()) return;
    const int32_t index = view->ImageIndex();
    if (index < 0 || static_cast<size_t>(index) >= FPictureCache.size()) return;
    view->LoadPictureFromBytes(FPictureCache[static_cast<size_t>(index)]);
}

} // namespace vl
