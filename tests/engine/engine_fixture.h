// The engine tests' fixture: a report over a small shop of tables, loaded from band elements,
// with probe objects that log what the engine prints, and the stored pages read back.
#pragma once

#include "base/exception.h"
#include "engine/band_tree.h"
#include "engine/engine.h"
#include "layout/preview_outline.h"
#include "layout/preview_pages.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "model/report_page.h"
#include "platform/component/class_builder.h"
#include "platform/component/class_registry.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"
#include "template/prop_data.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl::enginetest {

// What a probe saw while its band was prepared, in printing order.
inline std::vector<std::string> ProbeLog;

// A test object placed in bands: when its band is prepared it logs the band's name, the value
// of field `Field` of dataset `Source` (when set), the engine's Line and Line# (`Lines`), the
// logical page number (`Pages`) and a "!" when the band is re-printed (`Overflows`).
class TestProbe : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestProbe, TvlxReportComponent>(u"TvlxTestProbe")
                .Prop<&TestProbe::FSource>(u"Source")
                .Prop<&TestProbe::FField>(u"Field")
                .Prop<&TestProbe::FLines>(u"Lines", false)
                .Prop<&TestProbe::FPages>(u"Pages", false)
                .Prop<&TestProbe::FOverflows>(u"Overflows", false)
                .Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }

    void GetData() override
    {
        auto* report = static_cast<TvlxReport*>(Report());
        std::string entry = ToUtf8(Parent()->Name());
        if (!FSource.empty()) {
            TvlxDataSet* source = report->GetDataset(FSource);
            entry += ":" + (source == nullptr ? std::string("?")
                                              : ToUtf8(source->FieldValue(FField).ToText()));
        }
        if (FLines) {
            entry += "#" + std::to_string(report->Engine()->CurLine()) + "/" +
                     std::to_string(report->Engine()->CurLineThrough());
        }
        if (FPages) entry += "p" + std::to_string(report->Engine()->LogicalPage());
        if (FOverflows && static_cast<TvlxBand*>(Parent())->Overflow) entry += "!";
        if (auto* group = dynamic_cast<TvlxGroupHeader*>(Parent()); group && group->FDrillDown)
            entry += "=" + ToUtf8(group->FDrillName);
        ProbeLog.push_back(entry);
    }

    String FSource;
    String FField;
    bool FLines = false;
    bool FPages = false;
    bool FOverflows = false;
};

// Customers 1 and 3 have orders, customer 2 has none; Orders follow Customers. Sales and Items
// (two group levels g and h) stand alone.
inline const char* Shop = R"({
  "Customers":{"fields":[["id","number"],["name","string"]],"data":[[1,"Ana"],[2,"Ivo"],[3,"Eva"]]},
  "Orders":{"fields":[["customer_id","number"],["n","number"]],
            "data":[[1,3],[3,9],[1,1],[1,2],[3,8]]},
  "Empty":{"fields":[["x","number"]],"data":[]},
  "Sales":{"fields":[["g","string"],["n","number"]],"data":[["A",1],["A",2],["B",3]]},
  "Items":{"fields":[["g","string"],["h","string"],["n","number"]],
           "data":[["A","x",1],["A","x",2],["A","y",3],["B","y",4]]}})";

inline std::string ListBlock(StringView name, const std::vector<String>& items)
{
    PropDataWriter writer;
    writer.WriteName(name);
    writer.WriteListBegin();
    for (const String& item : items) {
        writer.WriteListBegin();
        writer.WriteWideString(item);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
    return ToUtf8(BytesToHex(writer.Bytes()));
}

// A band element with a probe inside; `attrs` are further band attributes.
inline std::string Band(const std::string& cls,
                        const std::string& name,
                        int top,
                        const std::string& attrs = "",
                        const std::string& probe = "")
{
    return "<Tvlx" + cls + " Name=\"" + name + "\" Top=\"" + std::to_string(top) +
           "\" Height=\"20\" " + attrs + "><TvlxTestProbe Name=\"" + name + "Probe\" " + probe +
           "/></Tvlx" + cls + ">";
}

// A data band over `source` whose probe logs field `field`.
inline std::string Data(const std::string& cls,
                        const std::string& name,
                        int top,
                        const std::string& source,
                        const std::string& field,
                        const std::string& attrs = "")
{
    return Band(cls,
                name,
                top,
                "DataSetName=\"" + source + "\" " + attrs,
                "Source=\"" + source + "\" Field=\"" + field + "\"");
}

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModelClasses(ClassRegistry::Global());
        ClassRegistry::Global().Register(TestProbe::StaticClass());
        auto document = JsonDocument::Parse(Shop);
        Tables = BuildTables(document->Root().GetObject(), 8000);
        RegisterTables(Generator, Tables);
        Generator.Mapiraj(u"Customers", u"id", u"customer_id", u"Orders");
        Report().EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
        ProbeLog.clear();
    }

    TvlxReport& Report() { return Generator.vlxReport1(); }
    TvlxPreviewPages& Store() { return Report().PreviewPages(); }

    // Loads a report of one page holding `bands`; `pageAttrs` and `reportAttrs` are added to
    // the page's and the report's elements.
    void Load(const std::string& bands,
              const std::string& pageAttrs = "",
              const std::string& reportAttrs = "")
    {
        LoadPages(Page("Page1", pageAttrs, bands), reportAttrs);
    }

    // A page element of 100 x 100 mm paper; `attrs` may override the paper.
    static std::string
    Page(const std::string& name, const std::string& attrs, const std::string& bands)
    {
        return "<TvlxReportPage Name=\"" + name + "\" PaperWidth=\"100\" PaperHeight=\"100\" " +
               attrs + ">" + bands + "</TvlxReportPage>";
    }

    // Loads a report holding the page elements `pages`.
    void LoadPages(const std::string& pages, const std::string& reportAttrs = "")
    {
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TvlxReport " +
            reportAttrs + " PropData=\"" +
            ListBlock(u"Datasets",
                      {u"DataSet=\"Customers\" DataSetName=\"Customers\"",
                       u"DataSet=\"Orders\" DataSetName=\"Orders\"",
                       u"DataSet=\"Empty\" DataSetName=\"Empty\"",
                       u"DataSet=\"Sales\" DataSetName=\"Sales\"",
                       u"DataSet=\"Items\" DataSetName=\"Items\""}) +
            "\">" + pages + "</TvlxReport>";
        MemoryStream stream;
        stream.Write(xml);
        stream.SetPosition(0);
        Report().LoadFromStream(stream);
    }

    // Prepares the report; the error message, "" on success.
    std::string Prepare()
    {
        try {
            Report().PrepareReport();
        } catch (const Exception& e) {
            return e.what();
        }
        return {};
    }

    std::string Log() const
    {
        std::string out;
        for (const std::string& entry : ProbeLog)
            out += (out.empty() ? "" : " ") + entry;
        return out;
    }

    // The bands stored on each output page, in placing order, with their tops (and lefts).
    std::vector<std::string> StoredPages(bool withLeft = false)
    {
        std::vector<std::string> pages;
        for (int32_t i = 0; i < Store().Count(); ++i) {
            std::string line;
            TvlxComponent* page = Store().Page(i);
            for (const auto& obj : page->Objects()) {
                if (!line.empty()) line += " ";
                line += ToUtf8(obj->Name()) + "@";
                if (withLeft) line += std::to_string(int(obj->Left())) + ",";
                line += std::to_string(int(obj->Top()));
            }
            pages.push_back(line);
        }
        return pages;
    }

    // The store's outline as text: "text@page/top", children in parentheses.
    std::string OutlineText()
    {
        auto& outline = dynamic_cast<TvlxOutline&>(Store().Outline());
        const auto walk = [](const auto& self, const TvlxXMLItem& item) -> std::string {
            std::string out;
            for (int32_t i = 0; i < item.Count(); ++i) {
                const TvlxXMLItem& child = item[i];
                if (!out.empty()) out += " ";
                out += ToUtf8(child.Attribute(u"text")) + "@" + ToUtf8(child.Attribute(u"page")) +
                       "/" + ToUtf8(child.Attribute(u"top"));
                if (child.Count() > 0) out += "(" + self(self, child) + ")";
            }
            return out;
        };
        return walk(walk, outline.Root());
    }

    std::vector<BuiltTable> Tables;
    TReportGenerator Generator;
};

} // namespace vl::enginetest
