// A small report tree for view tests: a report that is a view host (Calc answers with a fixed
// text per expression), a page and a band, all registered with the view classes so that
// templates load through the real serializer.
#pragma once

#include "base/stream.h"
#include "model/component.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/styles.h"
#include "model/view.h"
#include "platform/component/class_builder.h"
#include "template/xml_serializer.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace vl::test {

class HostReport : public TvlxComponent, public TvlxViewHost
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<HostReport, TvlxComponent>(u"TvlxHostReport").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsReport() const override { return true; }

    void SetCurrentView(TvlxView* view) override { Current = view; }
    Variant CalcExpression(StringView expression) override
    {
        auto it = Values.find(String(expression));
        return it != Values.end() ? Variant(it->second) : Variant(u"?" + String(expression));
    }
    TvlxStyles* Styles() override { return &StyleList; }

    TvlxView* Current = nullptr;
    std::map<String, String> Values;
    TvlxStyles StyleList;
};

class TestPage : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestPage, TvlxComponent>(u"TvlxTestPage").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsPage() const override { return true; }
};

class TestBand : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestBand, TvlxReportComponent>(u"TvlxTestBand")
                .Prop<&TvlxComponent::Top, &TvlxComponent::SetTop>(u"Top")
                .Prop<&TvlxComponent::Width, &TvlxComponent::SetWidth>(u"Width")
                .Prop<&TvlxComponent::Height, &TvlxComponent::SetHeight>(u"Height")
                .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsBand() const override { return true; }
};

inline constexpr std::string_view XmlHeader =
    "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

struct ViewTree
{
    ViewTree()
    {
        ClassRegistry& registry = ClassRegistry::Global();
        RegisterModelClasses(registry);
        registry.Register(HostReport::StaticClass());
        registry.Register(TestPage::StaticClass());
        registry.Register(TestBand::StaticClass());
        Band->SetBounds(0, 100, 600, 200);
        Band->SetName(u"Band1");
    }

    // Loads views (element text inside the band) into the band; gives the serializer's errors.
    std::vector<String> LoadViews(std::string_view views)
    {
        std::string xml = std::string(XmlHeader) +
                          "<TvlxHostReport><TvlxTestPage Name=\"Page1\">"
                          "<TvlxTestBand Name=\"Band1\" Top=\"100\" Width=\"600\" Height=\"200\">" +
                          std::string(views) + "</TvlxTestBand></TvlxTestPage></TvlxHostReport>";
        MemoryStream stream{xml};
        TvlxXMLSerializer s;
        s.SetStream(&stream);
        s.ReadRootComponent(*Report);
        return s.Errors();
    }

    template <class T>
    T* Find(StringView name)
    {
        return dynamic_cast<T*>(Report->FindObject(name));
    }

    template <class T>
    T* Add(double left, double top, double width, double height)
    {
        T* view = TvlxComponent::Create<T>(Band);
        view->SetBounds(left, top, width, height);
        return view;
    }

    std::unique_ptr<HostReport> Report = std::make_unique<HostReport>();
    TestPage* Page = [this] {
        auto* p = TvlxComponent::Create<TestPage>(Report.get());
        p->SetName(u"Page1");
        return p;
    }();
    TestBand* Band = TvlxComponent::Create<TestBand>(Page);
};

} // namespace vl::test
