// The outline of a prepared report over the store's "outline" element.
#include "layout/preview_outline.h"

#include "base/number_text.h"
#include "platform/component/class_builder.h"
#include "template/xml_document.h"

#include <vector>

namespace vl {
namespace {

// Every entry below `root` in document order, without recursion (the tree may come from a file).
std::vector<TvlxXMLItem*> Flatten(TvlxXMLItem& root)
{
    std::vector<TvlxXMLItem*> out;
    std::vector<std::pair<TvlxXMLItem*, int>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto& [item, next] = stack.back();
        if (next >= item->Count()) {
            stack.pop_back();
            continue;
        }
        TvlxXMLItem& child = (*item)[next++];
        out.push_back(&child);
        stack.push_back({&child, 0});
    }
    return out;
}

} // namespace

const ClassInfo& TvlxCustomOutline::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxCustomOutline, Persistent>(u"TvlxCustomOutline").Build();
    return info;
}

TvlxOutline::TvlxOutline(TvlxXMLItem& root, const int32_t& curPage)
    : FRoot(root)
    , FCurPage(curPage)
    , FCurItem(&root)
{}

void TvlxOutline::AddItem(const String& text, int32_t top)
{
    TvlxXMLItem& item = FCurItem->Add(u"item");
    item.SetAttribute(u"text", text);
    item.SetAttribute(u"page", IntToStr(FCurPage));
    item.SetAttribute(u"top", IntToStr(top));
    FCurItem = &item;
}

void TvlxOutline::LevelUp()
{
    if (FCurItem != &FRoot && FCurItem->Parent() != nullptr) FCurItem = FCurItem->Parent();
}

void TvlxOutline::LevelRoot()
{
    FCurItem = &FRoot;
}

void TvlxOutline::LevelDown(int32_t index)
{
    if (index >= 0 && index < FCurItem->Count()) FCurItem = &(*FCurItem)[index];
}

int32_t TvlxOutline::Count() const
{
    return FCurItem->Count();
}

TvlxOutlineEntry TvlxOutline::GetItem(int32_t index) const
{
    if (index < 0 || index >= FCurItem->Count()) return {};
    const TvlxXMLItem& item = (*FCurItem)[index];
    return {item.Attribute(u"text"), item.IntAttribute(u"page"), item.IntAttribute(u"top")};
}

int32_t TvlxOutline::GetCurPosition() const
{
    return static_cast<int32_t>(Flatten(FRoot).size()) - 1;
}

void TvlxOutline::ShiftItems(int32_t from, int32_t newTop)
{
    std::vector<TvlxXMLItem*> items = Flatten(FRoot);
    if (from < -1) from = -1;
    size_t first = static_cast<size_t>(from + 1);
    if (first >= items.size()) return;
    const int32_t delta = newTop - items[first]->IntAttribute(u"top");
    for (size_t i = first; i < items.size(); ++i) {
        TvlxXMLItem& item = *items[i];
        item.SetAttribute(u"page", IntToStr(item.IntAttribute(u"page") + 1));
        item.SetAttribute(u"top", IntToStr(item.IntAttribute(u"top") + delta));
    }
}

} // namespace vl
