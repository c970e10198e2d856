// A report over small request tables, prepared by the real engine, with the printed text views
// of each output page listed at their absolute positions.
#pragma once

#include "base/exception.h"
#include "base/stream.h"
#include "layout/preview_pages.h"
#include "model/memo_view.h"
#include "model/model_classes.h"
#include "model/report.h"
#include "platform/component/class_registry.h"
#include "request/report_module.h"
#include "request/request_binding.h"
#include "request/table_builder.h"
#include "support/report_fixtures.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vl {

class ReportRunTest : public ::testing::Test
{
protected:
    // `tables` is the request's "datasets" object; every table becomes a report dataset.
    void UseTables(const char* tables)
    {
        RegisterModelClasses(ClassRegistry::Global());
        auto document = JsonDocument::Parse(tables);
        Tables = BuildTables(document->Root().GetObject(), 8000);
        RegisterTables(Generator, Tables);
        Report().EngineOptions().NewSilentMode = TvlxSilentMode::simReThrow;
        for (const BuiltTable& table : Tables)
            DataSetNames.push_back(u"DataSet=\"" + table.Name + u"\" DataSetName=\"" + table.Name +
                                   u"\"");
    }

    TvlxReport& Report() { return Generator.vlxReport1(); }
    TvlxPreviewPages& Store() { return Report().PreviewPages(); }

    // Loads a report holding `pages` (TvlxReportPage elements).
    void Load(const std::string& pages)
    {
        const std::string xml =
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TvlxReport PropData=\"" +
            ListBlock(u"Datasets", DataSetNames) + "\">" + pages + "</TvlxReport>";
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

    // The text views of output page `index` in storing order: "text@left,top", positions
    // rounded to whole pixels and absolute on the page.
    std::string PrintedTexts(int32_t index)
    {
        std::string out;
        TvlxComponent* page = Store().Page(index);
        for (const auto& band : page->Objects()) {
            for (const auto& object : band->Objects()) {
                auto* memo = dynamic_cast<TvlxMemoView*>(object.get());
                if (memo == nullptr) continue;
                if (!out.empty()) out += " ";
                std::string text = ToUtf8(memo->Text());
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                out += text + "@" + std::to_string(std::lround(band->Left() + memo->Left())) + "," +
                       std::to_string(std::lround(band->Top() + memo->Top()));
            }
        }
        return out;
    }

    // The bands of output page `index`: "Name@top+height".
    std::string PrintedBands(int32_t index)
    {
        std::string out;
        for (const auto& band : Store().Page(index)->Objects()) {
            if (!out.empty()) out += " ";
            out += ToUtf8(band->Name()) + "@" + std::to_string(std::lround(band->Top())) + "+" +
                   std::to_string(std::lround(band->Height()));
        }
        return out;
    }

    std::vector<BuiltTable> Tables;
    std::vector<String> DataSetNames;
    TReportGenerator Generator;
};

// A text view element.
inline std::string Memo(const std::string& name,
                        double left,
                        double top,
                        double width,
                        double height,
                        const std::string& text,
                        const std::string& attrs = "")
{
    auto number = [](double v) {
        std::string s = std::to_string(v);
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
        return s;
    };
    return "<TvlxMemoView Name=\"" + name + "\" Left=\"" + number(left) + "\" Top=\"" +
           number(top) + "\" Width=\"" + number(width) + "\" Height=\"" + number(height) +
           "\" Text=\"" + text + "\" " + attrs + "/>";
}

} // namespace vl
