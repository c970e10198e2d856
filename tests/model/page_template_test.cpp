// Pages and bands read from and written to template XML through the serializer.
#include "base/stream.h"
#include "model/band_kinds.h"
#include "model/data_band.h"
#include "model/picture_view.h"
#include "model/report.h"
#include "model/report_page.h"
#include "model/subreport.h"
#include "request/dataset_adapter.h"
#include "template/xml_serializer.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

struct Template
{
    Template()
    {
        for (const ClassInfo* cls : BandClasses())
            Registry.Register(*cls);
        for (const ClassInfo* cls : {&TvlxReport::StaticClass(),
                                     &TvlxReportPage::StaticClass(),
                                     &TvlxDataPage::StaticClass(),
                                     &TvlxDialogPage::StaticClass(),
                                     &TvlxNullBand::StaticClass(),
                                     &TvlxSubreport::StaticClass()})
            Registry.Register(*cls);
    }

    // Reads `body` (the elements inside the report) into a fresh report; returns the errors.
    std::vector<String> Load(std::string_view body)
    {
        std::string xml =
            "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><TvlxReport>";
        xml += body;
        xml += "</TvlxReport>";
        return LoadDocument(xml);
    }

    std::vector<String> LoadDocument(const std::string& xml)
    {
        Owned = std::make_unique<TvlxReport>();
        Report = Owned.get();
        DataModule.InsertComponent(Report);
        MemoryStream stream{xml};
        TvlxXMLSerializer s(Registry);
        s.SetStream(&stream);
        s.ReadRootComponent(*Report);
        return s.Errors();
    }

    std::string Save()
    {
        MemoryStream stream;
        TvlxXMLSerializer s(Registry);
        s.SetStream(&stream);
        s.WriteRootComponent(*Report, true);
        return stream.Bytes();
    }

    template <class T>
    T* Find(StringView name)
    {
        auto* found = dynamic_cast<T*>(Report->FindObject(name));
        EXPECT_NE(found, nullptr) << ToUtf8(name);
        return found;
    }

    ClassRegistry Registry;
    // The data module: owner of the report's scope and of the adapters templates name.
    Component DataModule;
    std::unique_ptr<TvlxReport> Owned;
    TvlxReport* Report = nullptr;
};

TEST(PageTemplate, LandscapePageLoadsWithItsSize)
{
    Template t;
    auto errors = t.Load(R"(<TvlxReportPage Name="Page1" Orientation="poLandscape"
        PaperWidth="297" PaperHeight="210" PaperSize="9" LeftMargin="10" RightMargin="10"
        TopMargin="10" BottomMargin="10" Columns="2" PageCount="0" Duplex="dmVertical"
        TitleBeforeHeader="False" Color="255" Font.Name="Courier New" HGuides.Text="5"/>)");
    EXPECT_TRUE(errors.empty());
    auto* page = t.Find<TvlxReportPage>(u"Page1");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_EQ(page->PaperWidth(), 297);
    EXPECT_EQ(page->PaperHeight(), 210);
    EXPECT_EQ(page->PaperSize(), 9);
    EXPECT_EQ(page->Width(), 1123);
    EXPECT_EQ(page->Height(), 794);
    EXPECT_DOUBLE_EQ(page->ColumnWidth(), 138.5);
    EXPECT_EQ(page->ColumnPositions().Lines(), (std::vector<String>{u"0", u"138.5"}));
    EXPECT_EQ(page->PageCount(), 1);
    EXPECT_EQ(page->FDuplex, TDuplexMode::dmVertical);
    EXPECT_FALSE(page->FTitleBeforeHeader);
    EXPECT_EQ(page->Color(), 255);
    EXPECT_EQ(page->Font().Name(), u"Courier New");
    EXPECT_EQ(page->FHGuides.Lines(), std::vector<String>{u"5"});
    EXPECT_EQ(page->BaseName(), u"Page");
}

TEST(PageTemplate, BandsLoadWithTheirPropertiesAndReferences)
{
    Template t;
    auto errors = t.Load(R"(<TvlxReportPage Name="Page1">
  <TvlxPageHeader Name="PageHeader1" Top="0" Height="20" PrintOnFirstPage="False"/>
  <TvlxMasterData Name="MasterData1" Top="40" Height="18,5" RowCount="3" Columns="2"
                  ColumnWidth="90" KeepTogether="True" Child="Child1" Stretched="True"
                  OnMasterDetail="Check" Font.Style="1"/>
  <TvlxChild Name="Child1" Top="60" Height="10" StartNewPage="True"/>
  <TvlxGroupHeader Name="GroupHeader1" Condition="[Orders.&#34;Region&#34;]" DrillDown="True"
                   DrillName="G" ReprintOnNewPage="True" OutlineText="x"/>
  <TvlxGroupFooter Name="GroupFooter1" HideIfSingleDataRecord="True"/>
  <TvlxOverlay Name="Overlay1" PrintOnTop="True" Vertical="True"/>
  <TvlxPageFooter Name="PageFooter1" PrintOnLastPage="False" Visible="False"/>
</TvlxReportPage>
<TvlxDataPage Name="Data"/>
<TvlxDialogPage Name="Dialog1" Caption="Ask" Left="5"/>)");
    EXPECT_TRUE(errors.empty()) << ToUtf8(errors.empty() ? String() : errors.front());

    auto* header = t.Find<TvlxPageHeader>(u"PageHeader1");
    auto* data = t.Find<TvlxMasterData>(u"MasterData1");
    auto* child = t.Find<TvlxChild>(u"Child1");
    auto* group = t.Find<TvlxGroupHeader>(u"GroupHeader1");
    auto* groupFooter = t.Find<TvlxGroupFooter>(u"GroupFooter1");
    auto* overlay = t.Find<TvlxOverlay>(u"Overlay1");
    auto* footer = t.Find<TvlxPageFooter>(u"PageFooter1");
    auto* dataPage = t.Find<TvlxDataPage>(u"Data");
    auto* dialog = t.Find<TvlxDialogPage>(u"Dialog1");
    ASSERT_TRUE(header && data && child && group && groupFooter && overlay && footer && dataPage &&
                dialog);

    EXPECT_FALSE(header->FPrintOnFirstPage);
    EXPECT_EQ(data->Height(), 18.5);
    EXPECT_EQ(data->RowCount(), 3);
    EXPECT_EQ(data->FColumns, 2);
    EXPECT_EQ(data->FColumnWidth, 90);
    EXPECT_TRUE(data->FKeepTogether);
    EXPECT_TRUE(data->FStretched);
    EXPECT_EQ(data->FOnMasterDetail, u"Check");
    EXPECT_EQ(data->Child(), child);
    EXPECT_FALSE(data->ParentFont());
    EXPECT_TRUE(child->FStartNewPage);
    EXPECT_EQ(group->FCondition, u"[Orders.\"Region\"]");
    EXPECT_TRUE(group->FDrillDown);
    EXPECT_EQ(group->FDrillName, u"G");
    EXPECT_TRUE(group->FReprintOnNewPage);
    EXPECT_EQ(group->FOutlineText, u"x");
    EXPECT_TRUE(groupFooter->FHideIfSingleDataRecord);
    EXPECT_TRUE(overlay->FPrintOnTop);
    EXPECT_TRUE(overlay->FVertical);
    EXPECT_FALSE(footer->FPrintOnLastPage);
    EXPECT_TRUE(footer->FPrintOnFirstPage);
    EXPECT_FALSE(footer->Visible());
    EXPECT_EQ(dataPage->Width(), 1000);
    EXPECT_EQ(dialog->FCaption, u"Ask");
    EXPECT_EQ(dialog->Left(), 5);
    EXPECT_TRUE(dialog->IsDialogPage());
}

TEST(PageTemplate, PropertiesAClassDoesNotPublishAreIgnored)
{
    Template t;
    // A column footer publishes no band options; a page footer has no Child.
    auto errors = t.Load(R"(<TvlxReportPage Name="Page1">
  <TvlxColumnFooter Name="ColumnFooter1" Stretched="True" StartNewPage="True"/>
  <TvlxPageFooter Name="PageFooter1" Child="Child1" AllowSplit="True"/>
  <TvlxChild Name="Child1"/>
</TvlxReportPage>)");
    EXPECT_TRUE(errors.empty());
    auto* columnFooter = t.Find<TvlxColumnFooter>(u"ColumnFooter1");
    auto* footer = t.Find<TvlxPageFooter>(u"PageFooter1");
    ASSERT_TRUE(columnFooter && footer);
    EXPECT_FALSE(columnFooter->FStretched);
    EXPECT_FALSE(columnFooter->FStartNewPage);
    EXPECT_EQ(footer->Child(), nullptr);
    EXPECT_FALSE(footer->FAllowSplit);
}

TEST(PageTemplate, LoopingChildChainIsReportedAndTheRestLoads)
{
    Template t;
    auto errors = t.Load(R"(<TvlxReportPage Name="Page1">
  <TvlxChild Name="Child1" Child="Child2" Height="5"/>
  <TvlxChild Name="Child2" Child="Child1" Height="6"/>
  <TvlxChild Name="Child3" Child="Child3"/>
  <TvlxHeader Name="Header1" Child="Header1"/>
</TvlxReportPage>)");
    // A header is no child band: the reference does not fit the property.
    EXPECT_EQ(errors, (std::vector<String>{u"clCirRefNotAllow", u"Invalid property value"}));
    auto* c1 = t.Find<TvlxChild>(u"Child1");
    auto* c2 = t.Find<TvlxChild>(u"Child2");
    auto* c3 = t.Find<TvlxChild>(u"Child3");
    ASSERT_TRUE(c1 && c2 && c3);
    EXPECT_EQ(c1->Child(), c2);
    EXPECT_EQ(c2->Child(), nullptr);
    EXPECT_EQ(c3->Child(), nullptr);
    EXPECT_EQ(c2->Height(), 6);
}

TEST(PageTemplate, WrittenPagesReadBackUnchanged)
{
    Template t;
    t.Load(R"(<TvlxReportPage Name="Page1" Orientation="poLandscape" PaperSize="11"
        LeftMargin="7.5" Columns="3" EndlessHeight="True">
  <TvlxReportTitle Name="ReportTitle1" Height="30" Font.Size="14"/>
  <TvlxMasterData Name="MasterData1" Top="50" Height="20" RowCount="2" Child="Child1"/>
  <TvlxChild Name="Child1" Top="80" Height="10"/>
  <TvlxGroupHeader Name="GroupHeader1" Condition="a&lt;b"/>
</TvlxReportPage>)");
    std::string first = t.Save();
    Template u;
    EXPECT_TRUE(u.LoadDocument(first).empty());
    EXPECT_EQ(u.Save(), first);

    auto* page = u.Find<TvlxReportPage>(u"Page1");
    auto* title = u.Find<TvlxReportTitle>(u"ReportTitle1");
    auto* data = u.Find<TvlxMasterData>(u"MasterData1");
    ASSERT_TRUE(page && title && data);
    EXPECT_EQ(page->PaperSize(), 11);
    EXPECT_EQ(page->PaperWidth(), 210);
    EXPECT_EQ(page->PaperHeight(), 148);
    EXPECT_EQ(page->ColumnPositions().Count(), 3u);
    EXPECT_EQ(title->Font().Size(), 14);
    EXPECT_FALSE(title->ParentFont());
    EXPECT_TRUE(data->ParentFont()); // a following font is not written, so it still follows
    EXPECT_EQ(data->Child(), u.Find<TvlxChild>(u"Child1"));
    EXPECT_EQ(first.find("Font.Size=\"10\""), std::string::npos);
}

TEST(PageTemplate, DataSetReferencesBindTheAdaptersOfTheDataModule)
{
    Template t;
    auto* orders = static_cast<TvlxUserDataSet*>(
        t.DataModule.InsertOwned(std::make_unique<TvlxUserDataSet>()));
    orders->SetName(u"Orders");
    auto* customers = static_cast<TvlxUserDataSet*>(
        t.DataModule.InsertOwned(std::make_unique<TvlxUserDataSet>()));
    customers->SetName(u"Customers");
    auto errors =
        t.Load(R"(<TvlxReportPage Name="Page1" DataSet="customers" DataSetName="Customers">
  <TvlxMasterData Name="MasterData1" DataSet="Orders" DataSetName="Orders"/>
  <TvlxDetailData Name="DetailData1" DataSetName="orders"/>
  <TvlxDetailData Name="DetailData2" DataSetName="Missing"/>
</TvlxReportPage>)");
    EXPECT_TRUE(errors.empty());
    auto* page = t.Find<TvlxReportPage>(u"Page1");
    auto* master = t.Find<TvlxMasterData>(u"MasterData1");
    auto* byName = t.Find<TvlxDetailData>(u"DetailData1");
    auto* missing = t.Find<TvlxDetailData>(u"DetailData2");
    ASSERT_TRUE(page && master && byName && missing);
    EXPECT_EQ(page->DataSet(), customers);
    EXPECT_EQ(master->DataSet(), orders);
    EXPECT_EQ(byName->DataSet(), orders); // by user name alone, without case
    EXPECT_EQ(byName->DataSetName(), u"Orders");
    EXPECT_EQ(missing->DataSet(), nullptr);
    EXPECT_EQ(missing->DataSetName(), u"Missing");

    std::string written = t.Save();
    EXPECT_NE(written.find(R"(DataSet="Orders" DataSetName="Orders")"), std::string::npos);
}

TEST(PageTemplate, BackgroundColourFrameAndPictureLoadAndWriteBack)
{
    // A 1x1 PNG picture in the page's property data block.
    constexpr std::string_view BackPicture =
        "104261636B506963747572652E446174610A4F0000000954506E67496D61676589504E470D0A1A0A0000"
        "000D4948445200000001000000010802000000907753DE0000000C49444154789C63F8CFC00000030101"
        "00C9FE92EF0000000049454E44AE426082";
    Template t;
    auto errors = t.Load(std::string(R"(<TvlxReportPage Name="Page1" Color="65535" Frame.Typ="15"
        Frame.Width="2" PropData=")") +
                         std::string(BackPicture) + R"("/>)");
    EXPECT_TRUE(errors.empty());
    auto* page = t.Find<TvlxReportPage>(u"Page1");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Color(), 65535);
    EXPECT_TRUE(page->Frame().Has(TvlxFrameType::ftLeft));
    EXPECT_TRUE(page->Frame().Has(TvlxFrameType::ftBottom));
    EXPECT_EQ(page->Frame().Width(), 2);
    EXPECT_TRUE(page->Background().HasImage());
    EXPECT_FALSE(page->Background().KeepAspectRatio());

    std::string first = t.Save();
    EXPECT_NE(first.find("PropData=\"104261636B"), std::string::npos);
    Template u;
    EXPECT_TRUE(u.LoadDocument(first).empty());
    auto* again = u.Find<TvlxReportPage>(u"Page1");
    ASSERT_NE(again, nullptr);
    EXPECT_TRUE(again->Background().HasImage());
    EXPECT_EQ(again->Color(), 65535);
    EXPECT_EQ(u.Save(), first);

    // A page without a picture writes no property data.
    Template plain;
    plain.Load(R"(<TvlxReportPage Name="Page1"/>)");
    EXPECT_EQ(plain.Save().find("PropData"), std::string::npos);
}

TEST(PageTemplate, SubreportLinksItsPageAfterLoading)
{
    Template t;
    auto errors = t.Load(R"(<TvlxReportPage Name="Page1">
  <TvlxMasterData Name="MasterData1" RowCount="1">
    <TvlxSubreport Name="Subreport1" Left="8" Width="100" Height="20" Page="Page2"
                   PrintOnParent="True"/>
    <TvlxSubreport Name="Subreport2" Page="Page1"/>
  </TvlxMasterData>
</TvlxReportPage>
<TvlxReportPage Name="Page2"/>)");
    // A subreport printing its own page would never end.
    EXPECT_EQ(errors, std::vector<String>{u"clCirRefNotAllow"});
    auto* sub = t.Find<TvlxSubreport>(u"Subreport1");
    auto* looping = t.Find<TvlxSubreport>(u"Subreport2");
    auto* page1 = t.Find<TvlxReportPage>(u"Page1");
    auto* page2 = t.Find<TvlxReportPage>(u"Page2");
    ASSERT_TRUE(sub && looping && page1 && page2);
    EXPECT_EQ(sub->SubreportPage(), page2);
    EXPECT_TRUE(sub->FPrintOnParent);
    EXPECT_EQ(sub->Left(), 8);
    EXPECT_TRUE(page2->IsSubReport());
    EXPECT_EQ(looping->SubreportPage(), nullptr);
    EXPECT_FALSE(page1->IsSubReport());
    EXPECT_NE(t.Save().find(R"(Page="Page2" PrintOnParent="True")"), std::string::npos);
}

} // namespace
} // namespace vl
