// What the PDF document takes from the prepared report besides its pages: the outline tree, the
// anchors that "#name" links point at, and the pages a page list selects.
#pragma once

#include "pdf/pdf_export.h"

#include <vector>

namespace vl {

class TvlxCustomOutline;
class TvlxPreviewPages;

// The outline as a tree of items, in stored order. Leaves the outline at its root level.
std::vector<PdfOutlineItem> OutlineItemsOf(TvlxCustomOutline& outline);

// The store's anchors for "#name" links; the store must outlive the source.
class PreviewAnchorSource : public PdfAnchorSource
{
public:
    explicit PreviewAnchorSource(TvlxPreviewPages& pages)
        : FPages(pages)
    {}
    std::optional<PdfAnchor> FindAnchor(StringView name) const override;

private:
    TvlxPreviewPages& FPages;
};

// Zero-based indexes of the pages `pageNumbers` names ("1,3-5"); empty for every page.
// Throws EConvertError for a text that is no page list.
std::vector<int> ExportedPagesOf(StringView pageNumbers, int32_t pageCount);

} // namespace vl
