#include "skinui/builder/SkinBuilder.h"
#include "skinui/core/ContainerUI.h"
#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/TreeViewUI.h"
#include "skinui/layouts/TabLayoutUI.h"
#include "skinui/render/ImagePainter.h"
#include "skinui/resources/SkinResources.h"
#include "tests/support/TestSupport.h"
#include "win32/DibSection.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>

using namespace skinui::resources;

using namespace skinui;

namespace {

std::unique_ptr<CControlUI> Build(const wchar_t* markup, SkinWindowManager& manager,
                                  IDialogBuilderCallback* callback = nullptr) {
    SkinBuilder builder;
    return std::unique_ptr<CControlUI>(builder.Create(markup, nullptr, callback, &manager));
}

IContainerUI* Container(CControlUI* control) {
    return InterfaceCast<IContainerUI>(control);
}

class CustomControl : public CControlUI {
public:
    const wchar_t* GetClass() const override { return L"CustomUI"; }
};

class Callback : public IDialogBuilderCallback {
public:
    CControlUI* CreateCustomControl(const wchar_t* name) override {
        asked.push_back(name);
        return std::wstring(name) == L"Custom" ? new CustomControl() : nullptr;
    }
    std::vector<std::wstring> asked;
};

} // namespace

TEST(SkinBuilder, FirstDefaultListForANameWinsAndElementAttributesFollowIt) {
    SkinWindowManager manager;
    auto root = Build(LR"(<Window>
        <Default name="Control" value="bkcolor=&quot;#FF112233&quot; width=&quot;7&quot;" />
        <Default name="Control" value="bkcolor=&quot;#FF445566&quot;" />
        <Container><Control name="a" /><Control name="b" width="9" /></Container>
    </Window>)",
                      manager);
    ASSERT_TRUE(root);
    CControlUI* a = Container(root.get())->GetItemAt(0);
    CControlUI* b = Container(root.get())->GetItemAt(1);
    EXPECT_EQ(a->GetBkColor(), 0xFF112233u);
    EXPECT_EQ(a->GetFixedWidth(), 7);
    EXPECT_EQ(b->GetFixedWidth(), 9) << "the element's own attribute comes after the defaults";
    EXPECT_EQ(a->GetManager(), nullptr) << "built controls are detached until the window attaches";
}

TEST(SkinBuilder, FontWithAnUnknownAttributeIsRegularWeight) {
    SkinWindowManager manager;
    auto root = Build(LR"(<Window>
        <Font name="Tahoma" size="21" blod="true" />
        <Font size="30" />
        <Font name="Tahoma" size="13" bold="true" underline="true" default="true" />
        <Control />
    </Window>)",
                      manager);
    ASSERT_TRUE(root);
    ASSERT_EQ(manager.GetFontCount(), 2) << "a Font without a name is ignored";
    LOGFONTW font{};
    GetObjectW(manager.GetFont(0), sizeof(font), &font);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfHeight, -21);
    GetObjectW(manager.GetFont(1), sizeof(font), &font);
    EXPECT_GT(font.lfWeight, FW_NORMAL);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(manager.GetDefaultFont().size, 13);
    EXPECT_EQ(manager.GetFont(5), manager.GetDefaultFont().font.get()) << "out of range: default";
    EXPECT_EQ(manager.GetFont(-1), manager.GetDefaultFont().font.get());
}

TEST(SkinBuilder, UnknownElementsAreSkippedWithTheirSubtreeAndCustomControlsAreAsked) {
    SkinWindowManager manager;
    Callback callback;
    auto root = Build(LR"(<Window><VerticalLayout>
        <Bogus><Control name="lost" /></Bogus>
        <Slider name="builtin" />
        <Custom name="mine" bogusattribute="1" />
        <Control name="kept" />
    </VerticalLayout></Window>)",
                      manager, &callback);
    ASSERT_TRUE(root);
    IContainerUI* layout = Container(root.get());
    ASSERT_EQ(layout->GetCount(), 3);
    EXPECT_STREQ(layout->GetItemAt(0)->GetClass(), L"SliderUI");
    EXPECT_STREQ(layout->GetItemAt(1)->GetClass(), L"CustomUI");
    EXPECT_EQ(layout->GetItemAt(1)->GetName(), L"mine");
    EXPECT_EQ(layout->GetItemAt(2)->GetName(), L"kept");
    EXPECT_NE(std::find(callback.asked.begin(), callback.asked.end(), L"Bogus"),
              callback.asked.end());
}

TEST(SkinBuilder, TabLayoutSelectedIdWorksBecauseChildrenComeFirst) {
    SkinWindowManager manager;
    auto root = Build(LR"(<Window><TabLayout selectedid="1">
        <Control name="p0" /><Control name="p1" /><Control name="p2" />
    </TabLayout></Window>)",
                      manager);
    ASSERT_TRUE(root);
    auto* tabs = InterfaceCast<CTabLayoutUI>(root.get());
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_FALSE(tabs->GetItemAt(0)->IsVisible());
    EXPECT_TRUE(tabs->GetItemAt(1)->IsVisible());
    EXPECT_FALSE(tabs->GetItemAt(2)->IsVisible());
}

TEST(SkinBuilder, IncludeInMarkupFromANumberedResourceTypeFindsItsResourceUnderThatType) {
    SkinWindowManager manager;
    SkinBuilder builder;
    std::unique_ptr<CControlUI> root(
        builder.Create(MAKEINTRESOURCEW(201), RT_RCDATA, nullptr, &manager));
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetName(), L"root");
    ASSERT_EQ(Container(root.get())->GetCount(), 2);
    EXPECT_EQ(Container(root.get())->GetItemAt(1)->GetName(), L"part");
}

TEST(SkinBuilder, IncludeAddsTheIncludedControlsCountTimes) {
    testsupport::ScratchFolder folder("include");
    {
        std::ofstream part(folder.path() / "part.xml", std::ios::binary);
        part << "<Part><Control name=\"piece\" height=\"5\" /><Control /></Part>";
    }
    SetResourcePath(folder.wide());
    SetResourceZip(L"", false);
    SkinWindowManager manager;
    auto root = Build(LR"(<Window><HorizontalLayout>
        <Include source="part.xml" count="3" />
        <Include source="part.xml" count="0" />
        <Include source="missing.xml" />
    </HorizontalLayout></Window>)",
                      manager);
    ASSERT_TRUE(root);
    IContainerUI* layout = Container(root.get());
    ASSERT_EQ(layout->GetCount(), 6);
    EXPECT_EQ(layout->GetItemAt(0)->GetName(), L"piece");
    EXPECT_EQ(layout->GetItemAt(4)->GetName(), L"piece");
    SetResourcePath(L"");
}

TEST(SkinBuilder, IncludingItselfEndsInsteadOfRecursingForever) {
    testsupport::ScratchFolder folder("loop");
    {
        std::ofstream part(folder.path() / "loop.xml", std::ios::binary);
        part << "<Part><Control /><Include source=\"loop.xml\" /></Part>";
    }
    SetResourcePath(folder.wide());
    SetResourceZip(L"", false);
    SkinWindowManager manager;
    auto root = Build(L"<Window><VerticalLayout><Include source=\"loop.xml\" "
                      L"/></VerticalLayout></Window>",
                      manager);
    ASSERT_TRUE(root);
    EXPECT_GT(Container(root.get())->GetCount(), 0);
    SetResourcePath(L"");
}

TEST(SkinBuilder, BrokenMarkupBuildsNothing) {
    SkinWindowManager manager;
    SkinBuilder builder;
    EXPECT_EQ(builder.Create(L"<Window><Control name='x' /></Window>", nullptr, nullptr, &manager),
              nullptr);
    EXPECT_NE(builder.GetLastError().find(L"Expected attribute value"), std::wstring::npos);
    EXPECT_EQ(Build(L"<Window></Window>", manager), nullptr);
}

TEST(SkinBuilder, TreeNodesJoinTheirParentNodeOrTheTreeView) {
    SkinWindowManager manager;
    auto root = Build(LR"(<Window><TreeView name="tree">
        <TreeNode name="top"><TreeNode name="child"><TreeNode name="grandchild" /></TreeNode></TreeNode>
        <TreeNode name="second" />
    </TreeView></Window>)",
                      manager);
    ASSERT_TRUE(root);
    auto* tree = InterfaceCast<CTreeViewUI>(root.get());
    ASSERT_NE(tree, nullptr);
    // The tree lists every node, each after its parent and that parent's earlier descendants.
    ASSERT_EQ(tree->GetCount(), 4);
    std::vector<std::wstring> order;
    for (int i = 0; i < tree->GetCount(); ++i)
        order.push_back(tree->GetItemAt(i)->GetName());
    EXPECT_EQ(order, (std::vector<std::wstring>{L"top", L"child", L"grandchild", L"second"}));

    auto* child = InterfaceCast<CTreeNodeUI>(tree->GetItemAt(1));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->GetParentNode(), tree->GetItemAt(0));
    EXPECT_EQ(child->GetDepth(), 1);
    EXPECT_EQ(static_cast<CTreeNodeUI*>(tree->GetItemAt(3))->GetParentNode(), nullptr);
}

TEST(SkinBuilder, TreeNodeOutsideATreeIsSkipped) {
    SkinWindowManager manager;
    auto root = Build(LR"(<Window><VerticalLayout><TreeNode name="stray" /><Control name="kept" />
    </VerticalLayout></Window>)",
                      manager);
    ASSERT_TRUE(root);
    ASSERT_EQ(Container(root.get())->GetCount(), 1);
    EXPECT_EQ(Container(root.get())->GetItemAt(0)->GetName(), L"kept");
}

TEST(SkinBuilder, IncludeUnderTheWindowSharesFontsDefaultsImagesAndMayGiveTheRoot) {
    testsupport::ScratchFolder folder("shared");
    {
        std::ofstream shared(folder.path() / "shared.xml", std::ios::binary);
        shared << "<Window><Font name=\"Arial\" size=\"21\" bold=\"true\" />"
                  "<Default name=\"Label\" value=\"width=&quot;33&quot;\" />"
                  "<Image name=\"blue.png\" /></Window>";
        std::ofstream root(folder.path() / "root.xml", std::ios::binary);
        root << "<Part><VerticalLayout name=\"included\" /><Control name=\"extra\" /></Part>";
    }
    std::filesystem::copy_file(testsupport::HarnessPath("ORVIA_SOURCE_DIR") / "tests" / "skinui" /
                                   "builder" / "resources" / "blue.png",
                               folder.path() / "blue.png");
    SetResourcePath(folder.wide());
    SetResourceZip(L"", false);
    {
        SkinWindowManager manager;
        auto root = Build(LR"(<Window><Include source="shared.xml" />
            <VerticalLayout name="main"><Label name="l" font="0" /></VerticalLayout></Window>)",
                          manager);
        ASSERT_TRUE(root);
        EXPECT_EQ(root->GetName(), L"main");
        ASSERT_EQ(manager.GetFontCount(), 1);
        EXPECT_EQ(manager.GetFontInfo(0).size, 21);
        EXPECT_EQ(Container(root.get())->GetItemAt(0)->GetFixedWidth(), 33);
        const auto* image = manager.GetImage(L"blue.png");
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, 4);
    }
    {
        // An Include as the first top-level element gives the root; later ones are discarded.
        SkinWindowManager manager;
        auto root = Build(L"<Window><Include source=\"root.xml\" count=\"2\" /></Window>", manager);
        ASSERT_TRUE(root);
        EXPECT_EQ(root->GetName(), L"included");
        EXPECT_EQ(root->GetParent(), nullptr);
    }
    SetResourcePath(L"");
}

TEST(SkinBuilder, LaterTopLevelControlsAreBuiltWholeThenDiscarded) {
    testsupport::ScratchFolder folder("toplevel");
    {
        std::ofstream fonts(folder.path() / "fonts.xml", std::ios::binary);
        fonts << "<Window><Font name=\"Arial\" size=\"17\" /><Control name=\"x\" /></Window>";
    }
    SetResourcePath(folder.wide());
    SetResourceZip(L"", false);
    SkinWindowManager manager;
    Callback callback;
    auto root = Build(LR"(<Window><VerticalLayout name="first" />
        <HorizontalLayout name="second"><Custom /><Include source="fonts.xml" /></HorizontalLayout>
        <Custom />
    </Window>)",
                      manager, &callback);
    ASSERT_TRUE(root);
    EXPECT_EQ(root->GetName(), L"first");
    EXPECT_EQ(Container(root.get())->GetCount(), 0);
    EXPECT_EQ(callback.asked, (std::vector<std::wstring>{L"Custom", L"Custom"}))
        << "the callback sees the discarded control's subtree";
    ASSERT_EQ(manager.GetFontCount(), 1) << "the nested Include's font reaches the window";
    EXPECT_EQ(manager.GetFontInfo(0).size, 17);
    SetResourcePath(L"");
}

TEST(SkinBuilder, ResourceTypeAfterTheNameTriesThePackageFirstThenTheResource) {
    SkinWindowManager manager;
    win32::DibSection target(8, 8);
    ASSERT_TRUE(target);
    const RECT rc{0, 0, 8, 8};
    EXPECT_EQ(manager.GetImage(L"132"), nullptr) << "no such image in the package";
    EXPECT_TRUE(DrawImageDescriptor(target.dc(), manager.Images(), rc, L"res='132' restype='PNG'"));
    GdiFlush();
    EXPECT_EQ(target.pixels()[4 * 8 + 4] & 0xFFFFFFu, 0x143CC8u);
    EXPECT_FALSE(
        DrawImageDescriptor(target.dc(), manager.Images(), rc, L"res='133' restype='PNG'"));
}
