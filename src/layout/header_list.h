// The bands the engine repeats at the top of each continuation page or column (data headers,
// group headers), with where they stood.
#pragma once

#include "model/component.h"

#include <algorithm>
#include <vector>

namespace vl {

struct TvlxHeaderListItem
{
    TvlxComponent* Band; // not owned
    double Left;         // pixels
    bool IsInKeepList;   // the band waits in the engine's keep list
};

class TvlxHeaderList
{
public:
    void AddItem(TvlxComponent* band, double left, bool inKeepList)
    {
        FItems.push_back({band, left, inKeepList});
    }
    // Removes every entry of `band`; True when there was one.
    bool RemoveItem(const TvlxComponent* band)
    {
        return std::erase_if(FItems,
                             [band](const TvlxHeaderListItem& i) { return i.Band == band; }) > 0;
    }
    void Clear() { FItems.clear(); }
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    const TvlxHeaderListItem& operator[](int32_t index) const
    {
        return FItems.at(static_cast<size_t>(index));
    }

private:
    std::vector<TvlxHeaderListItem> FItems;
};

} // namespace vl
