#include "model/line_view.h"
#include "model/picture_view.h"
#include "model/shape_view.h"
#include "model/view_fixture.h"

namespace vl {
namespace {

using test::ViewTree;

TEST(ViewTemplates, MemoLoadsEveryKindOfProperty)
{
    ViewTree t;
    auto errors = t.LoadViews(R"(<TvlxMemoView Name="Memo1" Left="10,5" Top="4" Width="120"
        Height="30" Align="baRight" ShiftMode="2" HAlign="haCenter" VAlign="1" GapX="3.5"
        Rotation="450" WordWrap="False" Font.Name="Courier New" Font.Style="1" ParentFont="False"
        Frame.Typ="12" Frame.Width="2" Frame.LeftLine.Color="255" Highlight.Condition="a &gt; 1"
        Highlight.Color="65280" DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="#,##0.00"
        StretchMode="smActualHeight" TagStr="t[1]" Style="Heading" Text="one&#13;&#10;two"/>)");
    EXPECT_TRUE(errors.empty());
    auto* m = t.Find<TvlxMemoView>(u"memo1");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Parent(), t.Band);
    EXPECT_DOUBLE_EQ(m->Left(), 10.5);
    EXPECT_EQ(m->Align(), TvlxAlign::baRight);
    EXPECT_EQ(m->ShiftMode(), TvlxShiftMode::smWhenOverlapped);
    EXPECT_EQ(m->HAlign(), THAlign::haCenter);
    EXPECT_EQ(m->VAlign(), TVAlign::vaBottom);
    EXPECT_DOUBLE_EQ(m->GapX(), 3.5);
    EXPECT_EQ(m->Rotation(), 90);
    EXPECT_FALSE(m->WordWrap());
    EXPECT_EQ(m->Font().Name(), u"Courier New");
    EXPECT_TRUE(m->Font().Style().Contains(TFontStyle::fsBold));
    EXPECT_FALSE(m->ParentFont());
    EXPECT_EQ(m->Frame().Typ(), (TvlxFrameTypes{TvlxFrameType::ftTop, TvlxFrameType::ftBottom}));
    EXPECT_DOUBLE_EQ(m->Frame().Width(), 2);
    EXPECT_DOUBLE_EQ(m->Frame().TopLine().Width(), 2); // follows the frame
    EXPECT_EQ(m->Frame().LeftLine().Color(), clRed);   // set apart
    EXPECT_EQ(m->Frame().TopLine().Color(), clBlack);
    EXPECT_EQ(m->Highlight().Condition(), u"a > 1");
    EXPECT_EQ(m->Highlight().Color(), 0x00FF00);
    EXPECT_EQ(m->DisplayFormat().Kind(), TvlxFormatKind::fkNumeric);
    EXPECT_EQ(m->DisplayFormat().FormatStr(), u"#,##0.00");
    EXPECT_EQ(m->StretchMode(), TvlxStretchMode::smActualHeight);
    EXPECT_EQ(m->TagStr(), u"t[1]");
    EXPECT_EQ(m->Style(), u"Heading");
    EXPECT_EQ(m->Memo().Lines(), (std::vector<String>{u"one", u"two"}));
}

TEST(ViewTemplates, NewViewsHaveTheirDefaults)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(0, 0, 10, 10);
    EXPECT_TRUE(m->AllowExpressions());
    EXPECT_EQ(m->ExpressionDelimiters(), u"[,]");
    EXPECT_DOUBLE_EQ(m->GapX(), 2);
    EXPECT_DOUBLE_EQ(m->GapY(), 1);
    EXPECT_DOUBLE_EQ(m->LineSpacing(), 2);
    EXPECT_TRUE(m->WordWrap());
    EXPECT_TRUE(m->Clipped());
    EXPECT_TRUE(m->Wysiwyg());
    EXPECT_EQ(m->Color(), clNone);
    EXPECT_EQ(m->ShiftMode(), TvlxShiftMode::smAlways);
    EXPECT_TRUE(m->Printable());
    EXPECT_EQ(m->Highlight().Font().Color(), clRed);
    EXPECT_TRUE(m->Value.IsNull());
    // Text views, lines and pictures are stored by their own Diff, other views by default.
    EXPECT_FALSE(m->vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff));
    auto* shape = t.Add<TvlxShapeView>(0, 0, 10, 10);
    EXPECT_TRUE(shape->vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff));
    EXPECT_TRUE(shape->vlComponentStyle().Contains(TvlxComponentStyle::csPreviewVisible));
    auto* picture = t.Add<TvlxPictureView>(0, 0, 10, 10);
    EXPECT_EQ(picture->Color(), clWhite);
    EXPECT_FALSE(picture->vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff));
    auto* line = t.Add<TvlxLineView>(0, 0, 10, 10);
    EXPECT_EQ(line->ArrowLength(), 20);
    EXPECT_EQ(line->ArrowWidth(), 5);
    EXPECT_FALSE(line->vlComponentStyle().Contains(TvlxComponentStyle::csDefaultDiff));
}

TEST(ViewTemplates, WriterLeavesOutDefaultsAndLinesThatFollowTheFrame)
{
    ViewTree t;
    auto* m = t.Add<TvlxMemoView>(1, 2, 3, 4);
    TvlxXMLSerializer writer;
    String plain = writer.ObjToXML(*m);
    EXPECT_NE(plain.find(uR"( Left="1" Top="2" Width="3" Height="4")"), String::npos);
    EXPECT_TRUE(plain.ends_with(uR"( Text="")"));
    for (StringView name : {u"AllowExpressions",
                            u"HAlign",
                            u"WordWrap",
                            u"Frame.",
                            u"Highlight",
                            u"DisplayFormat",
                            u"ParentFont",
                            u"Rotation",
                            u"Memo"})
        EXPECT_EQ(plain.find(name), String::npos) << ToUtf8(name);

    m->MutableFrame().SetWidth(2);
    m->MutableFrame().MutableLine(TvlxFrameType::ftBottom).SetColor(clRed);
    m->MutableFrame().SetShadowWidth(5);
    m->MutableHighlight().SetCondition(u"  ");
    String framed = writer.ObjToXML(*m);
    EXPECT_NE(framed.find(u" Frame.Width=\"2\""), String::npos);
    EXPECT_NE(framed.find(u" Frame.ShadowWidth=\"5\""), String::npos);
    EXPECT_NE(framed.find(u" Frame.BottomLine.Color=\"255\""), String::npos);
    EXPECT_EQ(framed.find(u"Frame.TopLine"), String::npos);
    EXPECT_EQ(framed.find(u"LeftLine.Width"), String::npos);
    EXPECT_EQ(framed.find(u"Highlight"), String::npos); // blank condition: not written

    m->MutableHighlight().SetCondition(u"x");
    EXPECT_NE(writer.ObjToXML(*m).find(u" Highlight.Condition=\"x\""), String::npos);
}

TEST(ViewTemplates, SysMemoPublishesTheShortList)
{
    const ClassInfo& cls = TvlxSysMemoView::StaticClass();
    for (StringView name : {u"AutoWidth", u"Memo", u"Style", u"Highlight", u"Frame", u"Font"})
        EXPECT_NE(cls.FindProp(name), nullptr) << ToUtf8(name);
    for (StringView name : {u"DataField", u"FlowTo", u"WordBreak", u"AllowExpressions"})
        EXPECT_EQ(cls.FindProp(name), nullptr) << ToUtf8(name);
}

TEST(ViewTemplates, FrameValuesReachAllFourLines)
{
    TvlxFrame f;
    f.SetColor(clRed);
    f.SetStyle(TvlxFrameStyle::fsDot);
    f.SetWidth(3);
    for (TvlxFrameType e : {TvlxFrameType::ftLeft,
                            TvlxFrameType::ftRight,
                            TvlxFrameType::ftTop,
                            TvlxFrameType::ftBottom}) {
        EXPECT_EQ(f.Line(e).Color(), clRed);
        EXPECT_EQ(f.Line(e).Style(), TvlxFrameStyle::fsDot);
        EXPECT_DOUBLE_EQ(f.Line(e).Width(), 3);
    }
    TvlxFrame copy(f);
    EXPECT_TRUE(copy == f);
}

TEST(ViewTemplates, LinesTakeDesignerFlagsAndNormalise)
{
    struct Case
    {
        int32_t Flags;
        bool Diagonal, ArrowStart, ArrowEnd;
    };
    const Case cases[] = {
        {0, false, false, false},
        {1, true, false, false},
        {2, true, false, true},
        {3, true, true, false},
        {4, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Flags);
        TvlxLineView line;
        line.ApplyDesignFlags(c.Flags);
        EXPECT_EQ(line.Diagonal(), c.Diagonal);
        EXPECT_EQ(line.ArrowStart(), c.ArrowStart);
        EXPECT_EQ(line.ArrowEnd(), c.ArrowEnd);
    }

    TvlxLineView tall;
    tall.SetBounds(0, 0, 5, 5);
    tall.Normalize();
    EXPECT_EQ(tall.Width(), 0);
    EXPECT_EQ(tall.Frame().Typ(), TvlxFrameTypes{TvlxFrameType::ftLeft});
    TvlxLineView wide;
    wide.SetBounds(0, 0, 50, 5);
    wide.Normalize();
    EXPECT_EQ(wide.Height(), 0);
    EXPECT_EQ(wide.Frame().Typ(), TvlxFrameTypes{TvlxFrameType::ftTop});
    TvlxLineView diagonal;
    diagonal.SetDiagonal(true);
    diagonal.SetBounds(0, 0, -50, 5);
    diagonal.Normalize();
    EXPECT_EQ(diagonal.Width(), -50);
}

TEST(ViewTemplates, TransparentSetsTheFillColour)
{
    TvlxPictureView p;
    p.SetTransparent(true);
    EXPECT_EQ(p.Color(), clNone);
    p.SetTransparent(false);
    EXPECT_EQ(p.Color(), clWhite);
}

TEST(ViewTemplates, AssignCopiesPropertiesAndTextButNoChildren)
{
    ViewTree t;
    auto* source = t.Add<TvlxMemoView>(5, 6, 70, 20);
    source->SetText(u"hello\r\nworld");
    source->SetHAlign(THAlign::haRight);
    source->MutableFrame().SetTyp({TvlxFrameType::ftLeft});
    source->SetName(u"Source");
    auto* target = t.Add<TvlxMemoView>(0, 0, 1, 1);
    target->SetName(u"Target");
    target->Assign(*source);
    EXPECT_EQ(target->Text(), u"hello\r\nworld\r\n");
    EXPECT_EQ(target->HAlign(), THAlign::haRight);
    EXPECT_EQ(target->Frame().Typ(), TvlxFrameTypes{TvlxFrameType::ftLeft});
    EXPECT_DOUBLE_EQ(target->Left(), 5);
    EXPECT_DOUBLE_EQ(target->Height(), 20);
    EXPECT_EQ(target->Name(), u"Target");
}

} // namespace
} // namespace vl
