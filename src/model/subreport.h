// Subreports: a view in a band that prints another report page in its place (or, with
// PrintOnParent, moves that page's output into its band).
//
// Contract:
// - The link is kept on both sides: linking a page sets its SubReport; freeing either side
//   empties the other's reference, and linking another page releases the previous one.
// - Subreport links never loop: a page is refused when it holds this subreport, directly or
//   through the subreports of the pages it links, so printing a subreport always ends.
#pragma once

#include "model/view.h"

namespace vl {

class TvlxReportPage;

class TvlxSubreport : public TvlxView
{
public:
    TvlxSubreport();
    ~TvlxSubreport() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // The report page this subreport prints (the template property "Page"; TvlxComponent::Page
    // is the page that contains the subreport).
    TvlxReportPage* SubreportPage() const { return FPage.Get(); }
    // Throws Exception (resource "clCirRefNotAllow") for a page whose output would contain this
    // subreport again; the link is unchanged then.
    void SetSubreportPage(TvlxReportPage* page);

    // False: the output goes onto the output page at the subreport's position; True: its objects
    // are moved into the parent band, which then stretches.
    bool FPrintOnParent = false;

private:
    bool WouldLoop(const TvlxReportPage& page) const;

    ComponentLink<TvlxReportPage> FPage;
};

} // namespace vl
