#include "skinui/core/ContainerUI.h"
#include "skinui/core/ControlUI.h"
#include "skinui/layouts/HorizontalLayoutUI.h"
#include "skinui/layouts/TabLayoutUI.h"
#include "skinui/layouts/VerticalLayoutUI.h"

#include <gtest/gtest.h>

using namespace skinui;

namespace {

CControlUI* Child(const wchar_t* attributes) {
    auto* control = new CControlUI();
    control->ApplyAttributeList(attributes);
    return control;
}

RECT Relative(const CControlUI& control, const CControlUI& parent) {
    RECT rc = control.GetPos();
    OffsetRect(&rc, -parent.GetPos().left, -parent.GetPos().top);
    return rc;
}

void ExpectRect(const RECT& rc, LONG left, LONG top, LONG right, LONG bottom) {
    EXPECT_EQ(rc.left, left);
    EXPECT_EQ(rc.top, top);
    EXPECT_EQ(rc.right, right);
    EXPECT_EQ(rc.bottom, bottom);
}

} // namespace

TEST(HorizontalLayout, FixedWidthsStartAfterTheInsetAndTakeTheContentHeight) {
    CHorizontalLayoutUI row;
    row.ApplyAttributeList(L"inset=\"110,20,0,0\"");
    CControlUI* a = Child(L"width=\"105\"");
    CControlUI* b = Child(L"width=\"132\" height=\"25\"");
    CControlUI* c = Child(L"width=\"102\"");
    row.Add(a);
    row.Add(b);
    row.Add(c);
    row.SetPos({50, 10, 650, 110});
    ExpectRect(Relative(*a, row), 110, 20, 215, 100);
    ExpectRect(Relative(*b, row), 215, 20, 347, 45);
    ExpectRect(Relative(*c, row), 347, 20, 449, 100);
}

TEST(HorizontalLayout, StretchWidthsNeverGoNegativeWhenOverFull) {
    CHorizontalLayoutUI row;
    row.ApplyAttributeList(L"childpadding=\"5\"");
    CControlUI* fixed = Child(L"width=\"300\"");
    CControlUI* stretch = Child(L"");
    row.Add(fixed);
    row.Add(stretch);
    row.SetPos({0, 0, 200, 40});
    EXPECT_EQ(stretch->GetPos().right - stretch->GetPos().left, 0);
    EXPECT_GE(stretch->GetPos().right, stretch->GetPos().left);
}

TEST(VerticalLayout, StretchChildrenShareTheRemainingHeight) {
    CVerticalLayoutUI column;
    CControlUI* first = Child(L"");
    CControlUI* fixed = Child(L"height=\"40\"");
    CControlUI* last = Child(L"");
    column.Add(first);
    column.Add(fixed);
    column.Add(last);
    column.SetPos({0, 0, 80, 100});
    ExpectRect(first->GetPos(), 0, 0, 80, 30);
    ExpectRect(fixed->GetPos(), 0, 30, 80, 70);
    ExpectRect(last->GetPos(), 0, 70, 80, 100);
}

TEST(VerticalLayout, OverFullLayoutGivesStretchChildZeroHeight) {
    CVerticalLayoutUI column;
    column.ApplyAttributeList(L"childpadding=\"4\"");
    CControlUI* a = Child(L"height=\"40\"");
    CControlUI* stretch = Child(L"padding=\"2,3,2,3\"");
    CControlUI* b = Child(L"height=\"40\"");
    column.Add(a);
    column.Add(stretch);
    column.Add(b);
    column.SetPos({0, 0, 100, 50});
    const RECT rc = stretch->GetPos();
    EXPECT_EQ(rc.bottom - rc.top, 0);
    EXPECT_EQ(rc.left, 2);
    EXPECT_EQ(rc.right, 98);
    EXPECT_EQ(b->GetPos().top, 40 + 4 + 3 + 0 + 3 + 4);
}

TEST(VerticalLayout, MinAndMaxHeightsBoundStretchAndFixedChildren) {
    CVerticalLayoutUI column;
    CControlUI* capped = Child(L"maxheight=\"20\"");
    CControlUI* raised = Child(L"height=\"5\" minheight=\"15\"");
    column.Add(capped);
    column.Add(raised);
    column.SetPos({0, 0, 50, 200});
    EXPECT_EQ(capped->GetPos().bottom - capped->GetPos().top, 20);
    EXPECT_EQ(raised->GetPos().top, 20);
    EXPECT_EQ(raised->GetPos().bottom - raised->GetPos().top, 15);
}

TEST(Layouts, InvisibleChildrenTakeNoSpace) {
    CVerticalLayoutUI column;
    CControlUI* a = Child(L"height=\"10\"");
    CControlUI* hidden = Child(L"height=\"50\" visible=\"false\"");
    CControlUI* b = Child(L"height=\"10\"");
    column.Add(a);
    column.Add(hidden);
    column.Add(b);
    column.SetPos({0, 0, 50, 100});
    EXPECT_EQ(b->GetPos().top, 10);

    CHorizontalLayoutUI row;
    CControlUI* c = Child(L"");
    CControlUI* gone = Child(L"visible=\"false\"");
    row.Add(c);
    row.Add(gone);
    row.SetPos({0, 0, 100, 20});
    EXPECT_EQ(c->GetPos().right, 100) << "the hidden stretch child must not take half";
}

TEST(Layouts, FloatingChildSitsAtItsFixedPositionRegardlessOfSiblingsAndInset) {
    CVerticalLayoutUI column;
    column.ApplyAttributeList(L"inset=\"30,40,10,10\" childpadding=\"7\"");
    column.Add(Child(L"height=\"100\""));
    CControlUI* floater = Child(L"float=\"true\" pos=\"26,320,0,0\" width=\"480\" height=\"40\"");
    column.Add(floater);
    column.Add(Child(L"height=\"60\""));
    column.SetPos({5, 6, 535, 406});
    ExpectRect(Relative(*floater, column), 26, 320, 506, 360);

    CContainerUI plain;
    CControlUI* fromRight =
        Child(L"float=\"true\" pos=\"-50,-30,-10,-5\" width=\"40\" height=\"25\"");
    plain.Add(fromRight);
    plain.SetPos({0, 0, 200, 100});
    ExpectRect(fromRight->GetPos(), 150, 70, 190, 95);
}

TEST(ControlAttributes, LaterPosKeepsAnEarlierWidthWhenItsOwnWidthIsNegative) {
    CControlUI control;
    control.SetAttribute(L"width", L"142");
    control.SetAttribute(L"pos", L"230,57,0,0");
    EXPECT_EQ(control.GetFixedWidth(), 142);
    EXPECT_EQ(control.GetFixedXY().cx, 230);
    EXPECT_EQ(control.GetFixedXY().cy, 57);
    control.SetAttribute(L"height", L"-5");
    EXPECT_EQ(control.GetFixedHeight(), 0);
}

TEST(ControlAttributes, AttributeListStopsAtTheFirstMalformedPair) {
    CControlUI control;
    control.ApplyAttributeList(L"name=\"a\" width=\"12\"  height=\"30\"");
    EXPECT_EQ(control.GetName(), L"a");
    EXPECT_EQ(control.GetFixedWidth(), 12);
    EXPECT_EQ(control.GetFixedHeight(), 0);
}

TEST(TabLayout, AppendingSelectsTheFirstVisiblePageAndHidesTheRest) {
    CTabLayoutUI tabs;
    CControlUI* a = Child(L"");
    CControlUI* b = Child(L"");
    tabs.Add(a);
    tabs.Add(b);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_TRUE(a->IsVisible());
    EXPECT_FALSE(b->IsVisible());

    CControlUI* inserted = Child(L"");
    tabs.AddAt(inserted, 0);
    EXPECT_EQ(tabs.GetCurSel(), 1) << "insertion before the selection shifts it";
    EXPECT_FALSE(inserted->IsVisible());

    EXPECT_TRUE(tabs.SelectItem(2));
    EXPECT_TRUE(b->IsVisible());
    EXPECT_FALSE(a->IsVisible());
    EXPECT_FALSE(tabs.SelectItem(3));
    EXPECT_EQ(tabs.GetCurSel(), 2);

    tabs.Remove(b);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_TRUE(inserted->IsVisible());
    tabs.RemoveAll();
    EXPECT_EQ(tabs.GetCurSel(), -1);
}

TEST(TabLayout, OnlyTheSelectedPageIsPlaced) {
    CTabLayoutUI tabs;
    tabs.ApplyAttributeList(L"inset=\"10,10,10,10\"");
    CControlUI* a = Child(L"");
    CControlUI* b = Child(L"padding=\"5,5,5,5\" height=\"20\"");
    tabs.Add(a);
    tabs.Add(b);
    tabs.SelectItem(1);
    tabs.SetPos({0, 0, 100, 100});
    ExpectRect(b->GetPos(), 15, 15, 85, 35);
}
