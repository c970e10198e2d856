// The item tree and attribute access on an item's attribute text.
#include "base/number_text.h"
#include "platform/unicode/text_case.h"
#include "template/xml_document.h"
#include "template/xml_escape.h"

namespace vl {

namespace {

char16_t AsciiUpper(char16_t c)
{
    return c >= u'a' && c <= u'z' ? c - (u'a' - u'A') : c;
}

// Names compare without case; ASCII (nearly every attribute name) takes a loop without copies.
bool SameName(StringView a, StringView b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        if (a[i] >= 0x80 || b[i] >= 0x80) return SameText(a, b);
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    }
    return true;
}

// Where `name` starts in `text` as an attribute: the first place where space + name + '="'
// stands in space + text, comparing without case. npos when absent.
size_t FindAttributeName(StringView text, StringView name)
{
    const size_t n = name.size();
    if (text.size() < n + 2) return StringView::npos;
    const size_t last = text.size() - n - 2;
    for (size_t p = 0; p <= last; ++p) {
        if (p > 0 && text[p - 1] != u' ') {
            // Jump to the next space; the candidate starts right after it.
            const size_t space = text.find(u' ', p);
            if (space == StringView::npos || space >= last) return StringView::npos;
            p = space; // the loop's ++p lands after the space
            continue;
        }
        if (text[p + n] == u'=' && text[p + n + 1] == u'"' && SameName(text.substr(p, n), name))
            return p;
    }
    return StringView::npos;
}

// The value that starts after the opening quote at `valueStart`: up to the next double quote or
// the end of the text.
StringView ValueAt(StringView text, size_t valueStart)
{
    const size_t close = text.find(u'"', valueStart);
    return text.substr(valueStart,
                       close == StringView::npos ? StringView::npos : close - valueStart);
}

} // namespace

TvlxXMLItem::~TvlxXMLItem() = default;

TvlxXMLItem& TvlxXMLItem::Root()
{
    TvlxXMLItem* item = this;
    while (item->FParent)
        item = item->FParent;
    return *item;
}

TvlxXMLItem& TvlxXMLItem::Adopt(size_t index, std::unique_ptr<TvlxXMLItem> item)
{
    Expects(item != nullptr, "an item to add");
    for (const TvlxXMLItem* up = this; up; up = up->FParent)
        Expects(up != item.get(), "an item is not put below itself");
    item->FParent = this;
    const auto at = FItems.begin() + static_cast<ptrdiff_t>(std::min(index, FItems.size()));
    return **FItems.insert(at, std::move(item));
}

std::unique_ptr<TvlxXMLItem> TvlxXMLItem::Release(size_t index)
{
    Expects(index < FItems.size(), "child index in range");
    auto item = std::move(FItems[index]);
    FItems.erase(FItems.begin() + static_cast<ptrdiff_t>(index));
    item->FParent = nullptr;
    return item;
}

TvlxXMLItem& TvlxXMLItem::Add()
{
    FItems.push_back(std::make_unique<TvlxXMLItem>());
    FItems.back()->FParent = this;
    return *FItems.back();
}

TvlxXMLItem& TvlxXMLItem::Add(StringView name)
{
    auto& item = Add();
    item.FName = name;
    return item;
}

TvlxXMLItem& TvlxXMLItem::AddItem(TvlxXMLItem& item)
{
    return InsertItem(Count(), item);
}

TvlxXMLItem& TvlxXMLItem::InsertItem(int index, TvlxXMLItem& item)
{
    Expects(item.FParent != nullptr, "an item taken from another parent has one");
    for (const TvlxXMLItem* up = this; up; up = up->FParent)
        Expects(up != &item, "an item is not put below itself");
    TvlxXMLItem& from = *item.FParent;
    return Adopt(static_cast<size_t>(std::max(index, 0)),
                 from.Release(static_cast<size_t>(from.IndexOf(item))));
}

TvlxXMLItem& TvlxXMLItem::AddItem(std::unique_ptr<TvlxXMLItem> item)
{
    return Adopt(FItems.size(), std::move(item));
}

TvlxXMLItem& TvlxXMLItem::InsertItem(int index, std::unique_ptr<TvlxXMLItem> item)
{
    Expects(item && item->FParent == nullptr, "a free item");
    return Adopt(static_cast<size_t>(std::max(index, 0)), std::move(item));
}

std::unique_ptr<TvlxXMLItem> TvlxXMLItem::Extract(int index)
{
    Expects(index >= 0, "child index in range");
    return Release(static_cast<size_t>(index));
}

void TvlxXMLItem::Delete(int index)
{
    Extract(index);
}

void TvlxXMLItem::Clear()
{
    FItems.clear();
    if (FUnloadable) FLoaded = false;
}

int TvlxXMLItem::Find(StringView name) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (SameName(FItems[i]->FName, name)) return static_cast<int>(i);
    }
    return -1;
}

TvlxXMLItem& TvlxXMLItem::FindItem(StringView name)
{
    const int index = Find(name);
    return index >= 0 ? *FItems[static_cast<size_t>(index)] : Add(name);
}

int TvlxXMLItem::IndexOf(const TvlxXMLItem& item) const
{
    for (size_t i = 0; i < FItems.size(); ++i) {
        if (FItems[i].get() == &item) return static_cast<int>(i);
    }
    return -1;
}

std::optional<StringView> TvlxXMLItem::FindAttribute(StringView name) const
{
    const StringView text = FText;
    const size_t at = FindAttributeName(text, name);
    if (at == StringView::npos) return std::nullopt;
    return ValueAt(text, at + name.size() + 2);
}

String TvlxXMLItem::Attribute(StringView name) const
{
    const auto value = FindAttribute(name);
    return value ? XMLUnescape(*value) : String();
}

int32_t TvlxXMLItem::IntAttribute(StringView name) const
{
    int32_t value = 0;
    return TryStrToInt(Attribute(name), value) ? value : 0;
}

void TvlxXMLItem::SetAttribute(StringView name, StringView value)
{
    size_t at = FindAttributeName(FText, name);
    if (at != StringView::npos) {
        const size_t close = FText.find(u'"', at + name.size() + 2);
        FText.erase(at, close == String::npos ? String::npos : close + 1 - at);
    } else {
        at = FText.size();
    }
    String form;
    form.reserve(name.size() + value.size() + 4);
    // At the start of the text there is no character before, so no space either.
    if (at > 0 && FText[at - 1] != u' ') form.push_back(u' ');
    form.append(name);
    form.append(u"=\"");
    AppendXMLEscaped(form, value);
    form.push_back(u'"');
    FText.insert(at, form);
}

void TvlxXMLItem::DeleteProp(StringView name)
{
    if (!PropExists(name)) return;
    SetAttribute(name, u"");
    // Now the attribute reads N="" followed by its separator, if any: remove both.
    const size_t at = FindAttributeName(FText, name);
    FText.erase(at, name.size() + 4);
}

} // namespace vl
