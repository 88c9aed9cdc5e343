#include "tests/skinui/support/ControlsFixture.h"

#include "skinui/extras/TreeListViewUI.h"
#include "skinui/extras/TreeViewUI.h"
#include "skinui/resources/SkinResources.h"
#include "tests/support/SkinShotReference.h"
#include "tests/support/TestSupport.h"

#include <algorithm>

using namespace controlstest;
using namespace skinui;

namespace {

std::filesystem::path GallerySkin() {
    return testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tools" / "gallery" / "skin";
}

bool HasLine(const skinshot::SkinShot& shot, const std::wstring& line) {
    return std::find(shot.layout.begin(), shot.layout.end(), line) != shot.layout.end();
}

TEST(TreeStyle, NodeStylesDrawAsTheReference) {
    skinshot::SkinShot shot;
    std::wstring error;
    ASSERT_TRUE(skinshot::CaptureSkin(GallerySkin().wstring(), L"tree.xml", shot, error))
        << std::string(error.begin(), error.end());
    EXPECT_TRUE(testsupport::KeepArtifact(shot, "skinui-tree-styles"));
    EXPECT_LE(testsupport::DifferenceFromReference(shot, "skinui/extras", "tree"),
              testsupport::kMaxDifferentShare);
    // Indent by depth (16 a level), the folder button's room kept by leaves, the check box and
    // the text after them; a folded node's children are hidden.
    EXPECT_TRUE(HasLine(shot, L"2 TreeNodeUI draft 8,80,252,104 1"));
    EXPECT_TRUE(HasLine(shot, L"3 TreeNodePartUI - 8,80,56,104 1"));
    EXPECT_TRUE(HasLine(shot, L"3 TreeNodePartUI - 58,80,72,104 1"));
    EXPECT_TRUE(HasLine(shot, L"2 TreeNodeUI photos 0,0,0,0 0"));
}

class TreeWindow : public ControlsWindow {
protected:
    void SetUp() override { skinui::resources::SetResourcePath(GallerySkin().wstring()); }

    CTreeNodeUI* Node(const wchar_t* name) { return FindAs<CTreeNodeUI>(name); }

    static POINT CentreOf(const CControlUI* control) {
        const RECT rc = control->GetPos();
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
};

constexpr wchar_t kTreeSkin[] = LR"(<Window size="300,260">
  <VerticalLayout>
    <TreeView name="tree" visiblecheckbtn="true" defaultexpand="false" height="150"
        selitemtextcolor="#FF00FF00" itemselectedbkcolor="#FF000080" itemtextcolor="#FF000000">
      <TreeNode name="a" text="a"><TreeNode name="a1" text="a1" /></TreeNode>
      <TreeNode name="b" text="b" defaultexpand="true"><TreeNode name="b1" text="b1" /></TreeNode>
    </TreeView>
    <TreeView name="bare" visiblefolderbtn="false">
      <TreeNode name="c" text="c"><TreeNode name="c1" text="c1" /></TreeNode>
    </TreeView>
    <TreeListView name="rows" height="60">
      <TreeListContainerElement name="r1" height="20" expandimage="check-off.png" shrinkimage="check-on.png" expanded="false" />
      <TreeListContainerElement name="r2" height="20" expandimage="check-off.png" shrinkimage="check-on.png" expanded="false" />
    </TreeListView>
    <TreeListView name="multi" height="60" multiexpanding="true">
      <TreeListContainerElement name="m1" height="20" expandimage="check-off.png" shrinkimage="check-on.png" expanded="false" />
      <TreeListContainerElement name="m2" height="20" expandimage="check-off.png" shrinkimage="check-on.png" expanded="false" />
    </TreeListView>
  </VerticalLayout>
</Window>)";

TEST_F(TreeWindow, FolderAndCheckButtonsReactAndTreeDefaultsYieldToTheNodesOwn) {
    Open(kTreeSkin);
    CTreeNodeUI* a = Node(L"a");
    CTreeNodeUI* b = Node(L"b");
    ASSERT_TRUE(a && b);
    EXPECT_FALSE(a->IsExpanded()) << "the tree's defaultexpand";
    EXPECT_FALSE(Node(L"a1")->IsVisible());
    EXPECT_TRUE(b->IsExpanded()) << "the node's own defaultexpand wins";
    EXPECT_TRUE(Node(L"b1")->IsVisible());

    Click(CentreOf(a->GetFolderButton()));
    EXPECT_TRUE(a->IsExpanded());
    EXPECT_TRUE(Node(L"a1")->IsVisible());
    EXPECT_EQ(window->Count(L"selectchanged"), 0) << "the folder button does not select";

    ASSERT_TRUE(a->GetCheckBox()->IsVisible());
    Click(CentreOf(a->GetCheckBox()));
    EXPECT_TRUE(a->IsChecked());
    Click(CentreOf(a->GetCheckBox()));
    EXPECT_FALSE(a->IsChecked());

    Click(CentreOf(a->GetItemButton()));
    EXPECT_EQ(window->Count(L"selectchanged", L"a"), 1);
    const RECT text = a->GetItemButton()->GetPos();
    // The selected text colour draws green text on the selected background.
    Canvas canvas(*a, 300, 260);
    bool green = false;
    for (LONG x = text.left; x < text.right && !green; ++x)
        for (LONG y = text.top; y < text.bottom && !green; ++y)
            green = canvas.At(x, y) == 0x00FF00u;
    EXPECT_TRUE(green);

    CTreeNodeUI* c = Node(L"c");
    ASSERT_TRUE(c);
    EXPECT_FALSE(c->GetFolderButton()->IsVisible()) << "visiblefolderbtn is false";
    EXPECT_FALSE(c->GetCheckBox()->IsVisible()) << "no check boxes without visiblecheckbtn";
}

TEST_F(TreeWindow, ExpandingARowShrinksTheOthersUnlessMultiExpanding) {
    Open(kTreeSkin);
    auto* r1 = FindAs<CTreeListContainerElementUI>(L"r1");
    auto* r2 = FindAs<CTreeListContainerElementUI>(L"r2");
    auto* m1 = FindAs<CTreeListContainerElementUI>(L"m1");
    auto* m2 = FindAs<CTreeListContainerElementUI>(L"m2");
    ASSERT_TRUE(r1 && r2 && m1 && m2);
    const auto mark = [](CControlUI* row) {
        const RECT rc = row->GetPos();
        return POINT{rc.left + 5, rc.top + 5};
    };
    Click(mark(r1));
    Click(mark(r2));
    EXPECT_FALSE(r1->IsExpanded());
    EXPECT_TRUE(r2->IsExpanded());
    Click(mark(m1));
    Click(mark(m2));
    EXPECT_TRUE(m1->IsExpanded());
    EXPECT_TRUE(m2->IsExpanded());
}

} // namespace

namespace {

// The gallery's skin shows a control of every element name of the markup.
TEST(Gallery, EveryControlOfTheFrameworkIsBuiltAndPlaced) {
    skinshot::SkinShot shot;
    std::wstring error;
    ASSERT_TRUE(skinshot::CaptureSkin(GallerySkin().wstring(), L"gallery.xml", shot, error))
        << std::string(error.begin(), error.end());
    EXPECT_TRUE(testsupport::KeepArtifact(shot, "skinui-gallery"));
    EXPECT_EQ(shot.width, 800);
    EXPECT_EQ(shot.height, 560);
    const wchar_t* const classes[] = {L"ControlUI",
                                      L"ContainerUI",
                                      L"VerticalLayoutUI",
                                      L"HorizontalLayoutUI",
                                      L"TabLayoutUI",
                                      L"AnimationTabLayoutUI",
                                      L"TileLayoutUI",
                                      L"ChildLayoutUI",
                                      L"LabelUI",
                                      L"TextUI",
                                      L"ButtonUI",
                                      L"OptionUI",
                                      L"OptionExUI",
                                      L"CheckBoxUI",
                                      L"EditUI",
                                      L"RichEditUI",
                                      L"ProgressUI",
                                      L"SliderUI",
                                      L"ScrollBarUI",
                                      L"ComboUI",
                                      L"ComboBoxUI",
                                      L"DateTimeUI",
                                      L"ListUI",
                                      L"ListHeaderUI",
                                      L"ListHeaderItemUI",
                                      L"ListTextElementUI",
                                      L"ListLabelElementUI",
                                      L"ListContainerElementUI",
                                      L"ListContainerElementExUI",
                                      L"TreeViewUI",
                                      L"TreeNodeUI",
                                      L"TreeListViewUI",
                                      L"TreeListViewHeadUI",
                                      L"TreeListContainerElementUI",
                                      L"ColorPaletteUI",
                                      L"GifAnimUI",
                                      L"ActiveXUI",
                                      L"FlashUI",
                                      L"WebBrowserUI"};
    for (const wchar_t* name : classes) {
        const std::wstring needle = L" " + std::wstring(name) + L" ";
        const bool found =
            std::any_of(shot.layout.begin(), shot.layout.end(),
                        [&](const auto& line) { return line.find(needle) != std::wstring::npos; });
        EXPECT_TRUE(found) << std::string(needle.begin(), needle.end());
    }
    // The shared tree and the status line come from other files of the skin.
    EXPECT_TRUE(std::any_of(shot.layout.begin(), shot.layout.end(), [](const auto& line) {
        return line.find(L"LabelUI status ") != std::wstring::npos;
    }));
}

} // namespace
