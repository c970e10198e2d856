// Subreports and their page link.
#include "model/subreport.h"

#include "base/exception.h"
#include "model/report_page.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"

#include <unordered_set>
#include <vector>

namespace vl {

namespace {

// The designer's light grey.
constexpr TColor SubreportColor = 12632256;

} // namespace

const ClassInfo& TvlxSubreport::StaticClass()
{
    static const ClassInfo info =
        DescribeClass<TvlxSubreport, TvlxView>(u"TvlxSubreport")
            .Prop<&TvlxSubreport::SubreportPage, &TvlxSubreport::SetSubreportPage>(u"Page")
            .Prop<&TvlxSubreport::FPrintOnParent>(u"PrintOnParent", false)
            .Build();
    return info;
}

TvlxSubreport::TvlxSubreport()
{
    TvlxComponentStyles style = vlComponentStyle();
    style.Exclude(TvlxComponentStyle::csPreviewVisible);
    SetComponentStyle(style);
    TvlxFrame frame;
    frame.SetTyp({TvlxFrameType::ftLeft,
                  TvlxFrameType::ftRight,
                  TvlxFrameType::ftTop,
                  TvlxFrameType::ftBottom});
    SetFrame(frame);
    TvlxFont font;
    font.SetName(u"Tahoma");
    font.SetSize(8);
    SetFont(font);
    SetColor(SubreportColor);
}

TvlxSubreport::~TvlxSubreport()
{
    // The page's link empties by itself when this object goes.
}

bool TvlxSubreport::WouldLoop(const TvlxReportPage& page) const
{
    // Walk the pages whose output `page` would include: its own, then those of the subreports
    // on it, and so on. Reaching the page that holds this subreport closes a loop.
    const TvlxComponent* home = Page();
    std::vector<const TvlxComponent*> pending{&page};
    std::unordered_set<const TvlxComponent*> seen{&page};
    while (!pending.empty()) {
        const TvlxComponent* current = pending.back();
        pending.pop_back();
        if (current == home) return true;
        for (TvlxComponent* object : const_cast<TvlxComponent*>(current)->AllObjects()) {
            if (object == this) return true;
            auto* sub = dynamic_cast<TvlxSubreport*>(object);
            if (sub == nullptr || sub->SubreportPage() == nullptr) continue;
            if (seen.insert(sub->SubreportPage()).second) pending.push_back(sub->SubreportPage());
        }
    }
    return false;
}

void TvlxSubreport::SetSubreportPage(TvlxReportPage* page)
{
    if (page == FPage.Get()) return;
    if (page != nullptr && WouldLoop(*page)) throw Exception(ResourceText(u"clCirRefNotAllow"));
    if (TvlxReportPage* previous = FPage.Get())
        if (previous->SubReport() == this) previous->SetSubReport(nullptr);
    FPage.Set(page);
    if (page != nullptr) page->SetSubReport(this);
}

} // namespace vl
