// A small design report for the prepared-page store tests: one report page with a page header,
// a master data band and a page footer, and a store over it.
#pragma once

#include "layout/preview_pages.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_registry.h"

#include <memory>

namespace vl {

// Engine answers a test sets directly.
struct TestHost : TvlxPreviewPagesHost
{
    bool EngineRunning() const override { return Running; }
    bool DoublePass() const override { return Double; }
    bool FinalPass() const override { return Final; }
    double CurY() const override { return Y; }
    int32_t TotalPages() const override { return Total; }
    bool Terminated() const override { return Stop; }
    void SetTerminated(bool value) override { Stop = value; }

    bool Running = false;
    bool Double = false;
    bool Final = true;
    double Y = 0;
    int32_t Total = 0;
    bool Stop = false;
};

struct PreviewFixture
{
    PreviewFixture()
    {
        ClassRegistry& registry = ClassRegistry::Global();
        RegisterModelClasses(registry);
        Report = std::make_unique<TvlxReport>();
        Page = TvlxComponent::Create<TvlxReportPage>(Report.get());
        Page->SetName(u"Page1");
        Header = AddBand<TvlxPageHeader>(u"PageHeader1", 0, 30);
        Data = AddBand<TvlxMasterData>(u"MasterData1", 40, 20);
        Footer = AddBand<TvlxPageFooter>(u"PageFooter1", 1000, 30);
        Store = std::make_unique<TvlxPreviewPages>(Report.get());
        Store->SetHost(&Host);
    }

    template <class T>
    T* AddBand(const String& name, double top, double height)
    {
        T* band = TvlxComponent::Create<T>(Page);
        band->SetName(name);
        band->SetBounds(0, top, 700, height);
        return band;
    }

    // A text view on the data band.
    TvlxMemoView* AddMemo(const String& name, double left, double width)
    {
        auto* memo = TvlxComponent::Create<TvlxMemoView>(Data);
        memo->SetName(name);
        memo->SetBounds(left, 0, width, 20);
        return memo;
    }

    // Stores the data band once per top, one output page for all.
    void StoreRows(std::initializer_list<double> tops)
    {
        for (double top : tops) {
            Data->SetTop(top);
            Store->AddObject(*Data);
        }
    }

    std::unique_ptr<TvlxReport> Report;
    TvlxReportPage* Page = nullptr;
    TvlxPageHeader* Header = nullptr;
    TvlxMasterData* Data = nullptr;
    TvlxPageFooter* Footer = nullptr;
    TestHost Host;
    std::unique_ptr<TvlxPreviewPages> Store;
};

} // namespace vl
