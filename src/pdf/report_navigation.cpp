#include "pdf/report_navigation.h"

#include "base/limits.h"
#include "layout/page_list.h"
#include "layout/preview_outline.h"
#include "layout/preview_pages.h"
#include "template/xml_document.h"

namespace vl {

namespace {

// The items of the outline's current level and, through LevelDown, of every level below it.
// The store's XML bounds the depth.
void AddLevel(TvlxCustomOutline& outline, std::vector<PdfOutlineItem>& items, size_t depth)
{
    Expects(depth <= limits::XmlMaxDepth, "outline depth is bounded by the store");
    const int32_t count = outline.Count();
    items.reserve(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        const TvlxOutlineEntry entry = outline.GetItem(i);
        PdfOutlineItem& item = items.emplace_back();
        item.Title = entry.Text;
        item.Page = entry.Page;
        item.Top = entry.Top;
        outline.LevelDown(i);
        AddLevel(outline, item.Children, depth + 1);
        outline.LevelUp();
    }
}

} // namespace

std::vector<PdfOutlineItem> OutlineItemsOf(TvlxCustomOutline& outline)
{
    std::vector<PdfOutlineItem> items;
    outline.LevelRoot();
    AddLevel(outline, items, 0);
    outline.LevelRoot();
    return items;
}

std::optional<PdfAnchor> PreviewAnchorSource::FindAnchor(StringView name) const
{
    const TvlxXMLItem* anchor = FPages.FindAnchor(name);
    if (anchor == nullptr) return std::nullopt;
    return PdfAnchor{anchor->IntAttribute(u"page"), double(anchor->IntAttribute(u"top"))};
}

std::vector<int> ExportedPagesOf(StringView pageNumbers, int32_t pageCount)
{
    std::vector<int> pages;
    for (int32_t number : ParsePageList(pageNumbers, pageCount))
        pages.push_back(number - 1);
    return pages;
}

} // namespace vl
