#include "model/component.h"
#include "model/resources.h"
#include "platform/component/class_builder.h"

#include <gtest/gtest.h>

namespace vl {
namespace {

// Minimal stand-ins for the report, a page, a band and a view: only the roles matter here.
class TestReport : public TvlxComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TestReport, TvlxComponent>(u"TvlxTestReport").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsReport() const override { return true; }
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
            DescribeClass<TestBand, TvlxReportComponent>(u"TvlxTestBand").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
};

class TvlxMemoView : public TvlxReportComponent
{
public:
    static const ClassInfo& StaticClass()
    {
        static const ClassInfo info =
            DescribeClass<TvlxMemoView, TvlxReportComponent>(u"TvlxMemoView").Build();
        return info;
    }
    const ClassInfo& ClassType() const override { return StaticClass(); }
    bool IsView() const override { return true; }
    TvlxAlign Align() const override { return FAlign; }
    TvlxAlign FAlign = TvlxAlign::baNone;
};

struct Tree
{
    std::unique_ptr<TestReport> Report = std::make_unique<TestReport>();
    TestPage* Page = TvlxComponent::Create<TestPage>(Report.get());
};

TvlxMemoView* AddView(TvlxComponent* parent, double left, double top, double width, double height)
{
    auto* v = TvlxComponent::Create<TvlxMemoView>(parent);
    v->SetBounds(left, top, width, height);
    return v;
}

TEST(TvlxComponent, CreateMakesTheLastChildInTheReportsScope)
{
    Tree t;
    auto* band = TvlxComponent::Create<TestBand>(t.Page);
    auto* memo = TvlxComponent::Create<TvlxMemoView>(band);
    EXPECT_EQ(memo->Parent(), band);
    EXPECT_EQ(band->Objects().back().get(), memo);
    EXPECT_EQ(memo->Owner(), t.Report.get());
    EXPECT_EQ(memo->Report(), t.Report.get());
    EXPECT_EQ(memo->Page(), t.Page);
    EXPECT_TRUE(memo->Visible());
    EXPECT_TRUE(memo->ParentFont());
    EXPECT_EQ(memo->BaseName(), u"Memo");
    EXPECT_EQ(band->BaseName(), u"TestBand");
}

TEST(TvlxComponent, CreateUniqueNameTakesTheSmallestFreeNumberWithoutCase)
{
    Tree t;
    auto* band = TvlxComponent::Create<TestBand>(t.Page);
    AddView(band, 0, 0, 1, 1)->SetName(u"Memo1");
    AddView(band, 0, 0, 1, 1)->SetName(u"Memo3");
    auto* fresh = AddView(band, 0, 0, 1, 1);
    fresh->CreateUniqueName();
    EXPECT_EQ(fresh->Name(), u"Memo2");

    auto* other = AddView(band, 0, 0, 1, 1);
    t.Report->FindObject(u"Memo2")->SetName(u"Something");
    AddView(band, 0, 0, 1, 1)->SetName(u"memo2");
    other->CreateUniqueName();
    EXPECT_EQ(other->Name(), u"Memo4");
}

TEST(TvlxComponent, NamesAreUniqueInTheReport)
{
    Tree t;
    auto* band = TvlxComponent::Create<TestBand>(t.Page);
    auto* a = AddView(band, 0, 0, 1, 1);
    auto* b = AddView(t.Page, 0, 0, 1, 1);
    a->SetName(u"Memo1");
    a->SetName(u"memo1"); // same name in other case: nothing happens
    EXPECT_EQ(a->Name(), u"Memo1");
    try {
        b->SetName(u"MEMO1");
        FAIL() << "a duplicate name was accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"prDupl"); // the resource table has no text for this key
    }
    EXPECT_EQ(b->Name(), u"");
    EXPECT_EQ(t.Report->FindComponent(u"memo1"), a);

    a->IsAncestor = true;
    try {
        a->SetName(u"Renamed");
        FAIL() << "an inherited object was renamed";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"clCantRen");
    }
    EXPECT_EQ(a->Name(), u"Memo1");
}

TEST(TvlxComponent, AllObjectsIsDepthFirstPreOrder)
{
    Tree t;
    auto* band1 = TvlxComponent::Create<TestBand>(t.Page);
    auto* v11 = AddView(band1, 0, 0, 1, 1);
    auto* v12 = AddView(band1, 0, 0, 1, 1);
    auto* band2 = TvlxComponent::Create<TestBand>(t.Page);
    auto* v21 = AddView(band2, 0, 0, 1, 1);
    std::vector<TvlxComponent*> expected{band1, v11, v12, band2, v21};
    EXPECT_EQ(t.Page->AllObjects(), expected);
    expected.insert(expected.begin(), t.Page);
    EXPECT_EQ(t.Report->AllObjects(), expected);
    v12->SetName(u"Target");
    EXPECT_EQ(t.Report->FindObject(u"TARGET"), v12);
    EXPECT_EQ(t.Report->FindObject(u"Nothing"), nullptr);
}

TEST(TvlxComponent, AbsolutePositionsAddUpTheParents)
{
    Tree t;
    auto* band = TvlxComponent::Create<TestBand>(t.Page);
    band->SetBounds(10, 100, 500, 40);
    auto* view = AddView(band, 7, 5, 20, 10);
    EXPECT_EQ(view->AbsTop(), 105);
    EXPECT_EQ(view->AbsLeft(), 17);
    TvlxRect r = view->GetRealBounds();
    EXPECT_EQ(r.Right, 37);
    EXPECT_EQ(r.Bottom, 115);
}

TEST(TvlxComponent, DesignRestrictionsApplyOnlyWhileDesigning)
{
    TvlxMemoView v;
    v.SetRestrictions({TvlxRestriction::rfDontMove, TvlxRestriction::rfDontSize});
    v.SetBounds(1, 2, 3, 4);
    EXPECT_EQ(v.Left(), 1);
    EXPECT_EQ(v.Height(), 4);
    v.IsDesigning = true;
    v.SetBounds(10, 20, 30, 40);
    EXPECT_EQ(v.Left(), 1);
    EXPECT_EQ(v.Top(), 2);
    EXPECT_EQ(v.Width(), 3);
    EXPECT_EQ(v.Height(), 4);
}

TEST(TvlxComponent, ChildrenFollowAChangedParentFont)
{
    Tree t;
    auto* band = TvlxComponent::Create<TestBand>(t.Page);
    auto* following = AddView(band, 0, 0, 1, 1);
    auto* own = AddView(band, 0, 0, 1, 1);
    TvlxFont courier;
    courier.SetName(u"Courier New");
    own->SetFont(courier);
    EXPECT_FALSE(own->ParentFont());

    band->MutableFont().SetSize(14);
    band->MutableFont().SetStyle({TFontStyle::fsBold});
    EXPECT_FALSE(band->ParentFont());
    EXPECT_EQ(following->Font().Size(), 14);
    EXPECT_TRUE(following->Font().Style().Contains(TFontStyle::fsBold));
    EXPECT_TRUE(following->ParentFont());
    EXPECT_EQ(own->Font().Size(), 10);
    EXPECT_EQ(own->Font().Name(), u"Courier New");

    // Following again copies the parent's font first.
    own->SetParentFont(true);
    EXPECT_EQ(own->Font(), band->Font());
    EXPECT_TRUE(own->ParentFont());
}

TEST(TvlxComponent, MovingToAnotherParentRefreshesAFollowingFont)
{
    Tree t;
    auto* a = TvlxComponent::Create<TestBand>(t.Page);
    auto* b = TvlxComponent::Create<TestBand>(t.Page);
    b->MutableFont().SetColor(clRed);
    auto* v = AddView(a, 0, 0, 1, 1);
    v->SetParent(b);
    EXPECT_EQ(v->Parent(), b);
    EXPECT_TRUE(a->Objects().empty());
    EXPECT_EQ(v->Font().Color(), clRed);
}

TEST(TvlxComponent, ClearKeepsInheritedChildrenAndClearsThem)
{
    Tree t;
    auto* plain = TvlxComponent::Create<TestBand>(t.Page);
    auto* inherited = TvlxComponent::Create<TestBand>(t.Page);
    inherited->IsAncestor = true;
    AddView(inherited, 0, 0, 1, 1)->SetName(u"Inner");
    plain->SetName(u"Plain");
    ComponentLink<TvlxComponent> link(plain);
    t.Page->Clear();
    ASSERT_EQ(t.Page->ObjectCount(), 1u);
    EXPECT_EQ(t.Page->Object(0), inherited);
    EXPECT_TRUE(inherited->Objects().empty());
    EXPECT_EQ(link.Get(), nullptr);
    EXPECT_EQ(t.Report->FindComponent(u"Plain"), nullptr);
    EXPECT_EQ(t.Report->FindComponent(u"Inner"), nullptr);
}

TEST(TvlxReportComponent, PrintingHooksPutDesignBoundsBack)
{
    TvlxMemoView v;
    v.SetBounds(1, 2, 3, 4);
    v.BeforePrint();
    v.SetBounds(10, 20, 30, 40);
    v.AfterPrint();
    EXPECT_EQ(v.Left(), 1);
    EXPECT_EQ(v.Top(), 2);
    EXPECT_EQ(v.Width(), 3);
    EXPECT_EQ(v.Height(), 4);
    EXPECT_EQ(v.GetComponentText(), u"");
}

TEST(AlignChildren, WidthViewSpansTheGapBetweenLeftAndRightNeighbours)
{
    TestBand band;
    band.SetBounds(0, 0, 300, 40);
    auto* left = AddView(&band, 50, 0, 20, 10);
    left->FAlign = TvlxAlign::baLeft;
    auto* width = AddView(&band, 100, 0, 10, 10);
    width->FAlign = TvlxAlign::baWidth;
    auto* right = AddView(&band, 200, 0, 30, 10);
    right->FAlign = TvlxAlign::baRight;
    auto* below = AddView(&band, 150, 20, 10, 10); // no vertical overlap: never a neighbour
    below->FAlign = TvlxAlign::baNone;
    band.AlignChildren();
    EXPECT_EQ(left->Left(), 0);
    EXPECT_EQ(right->Left(), 270);
    EXPECT_EQ(width->Left(), 20);
    EXPECT_EQ(width->Width(), 250);
    EXPECT_EQ(below->Left(), 150);
}

TEST(AlignChildren, CenterBottomAndClient)
{
    TestBand band;
    band.SetBounds(0, 0, 200, 50);
    auto* center = AddView(&band, 3, 3, 40, 10);
    center->FAlign = TvlxAlign::baCenter;
    auto* bottom = AddView(&band, 3, 3, 40, 10);
    bottom->FAlign = TvlxAlign::baBottom;
    auto* client = AddView(&band, 3, 3, 40, 10);
    client->FAlign = TvlxAlign::baClient;
    band.AlignChildren();
    EXPECT_EQ(center->Left(), 80);
    EXPECT_EQ(bottom->Top(), 40);
    EXPECT_EQ(client->Left(), 0);
    EXPECT_EQ(client->Top(), 0);
    EXPECT_EQ(client->Width(), 200);
    EXPECT_EQ(client->Height(), 50);
}

TEST(AlignChildren, LeftAlignedViewsStackInOrderOfTheirLeft)
{
    TestBand band;
    band.SetBounds(0, 0, 300, 40);
    auto* second = AddView(&band, 120, 0, 30, 10);
    second->FAlign = TvlxAlign::baLeft;
    auto* first = AddView(&band, 80, 0, 20, 10);
    first->FAlign = TvlxAlign::baLeft;
    auto* negative = AddView(&band, -5, 0, 15, 10); // sorts first: key "0" + magnitude
    negative->FAlign = TvlxAlign::baLeft;
    band.AlignChildren();
    EXPECT_EQ(negative->Left(), 0);
    EXPECT_EQ(first->Left(), 15);
    EXPECT_EQ(second->Left(), 35);
}

TEST(Resources, MissingKeysYieldTheKey)
{
    EXPECT_EQ(ResourceText(u"clDSNotExist"), u"Dataset \"%s\" does not exist");
    EXPECT_EQ(ResourceText(u"noSuchKey"), u"noSuchKey");
}

} // namespace
} // namespace vl
