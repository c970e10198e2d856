// The page list of an export.
#include "layout/page_list.h"

#include "base/exception.h"
#include "base/format.h"
#include "base/number_text.h"

#include <algorithm>

namespace vl {
namespace {

int32_t PageNumber(StringView item)
{
    int32_t value = 0;
    if (!TryStrToInt(item, value))
        throw EConvertError(Format(u"'%s' is not a valid integer value", {String(item)}));
    return value;
}

} // namespace

std::vector<int32_t> ParsePageList(StringView text, int32_t pageCount)
{
    String s;
    for (char16_t c : text)
        if (c != u' ') s += c;
    std::vector<int32_t> pages;
    if (s.empty()) return pages;
    if (s.back() == u'-') s += IntToStr(pageCount);

    size_t start = 0;
    while (start <= s.size()) {
        size_t comma = s.find(u',', start);
        if (comma == String::npos) comma = s.size();
        StringView item = StringView(s).substr(start, comma - start);
        size_t dash = item.find(u'-');
        if (dash != StringView::npos && dash > 0) {
            // Pages past the count are never exported, so a range stops there.
            int32_t from = std::max(PageNumber(item.substr(0, dash)), 1);
            int32_t to = std::min(PageNumber(item.substr(dash + 1)), pageCount);
            for (int32_t page = from; page <= to; ++page)
                pages.push_back(page);
        } else {
            pages.push_back(PageNumber(item));
        }
        start = comma + 1;
    }
    std::sort(pages.begin(), pages.end());
    pages.erase(std::unique(pages.begin(), pages.end()), pages.end());
    return pages;
}

} // namespace vl
