// The resources linked into OrvInstall.exe, read from the built executable: the install skin as
// the dialog builds it, the licence, the spare skin, the payload and the manifest.
#include "installer/InstallerResources.h"
#include "installer/LicenceText.h"
#include "installer/ResourceBytes.h"
#include "skinui/controls/EditUI.h"
#include "skinui/controls/LabelUI.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/controls/RichEditUI.h"
#include "skinui/core/ContainerUI.h"
#include "skinui/core/ScrollBarUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/layouts/TabLayoutUI.h"
#include "skinui/markup/SkinMarkup.h"
#include "skinui/resources/SkinResources.h"
#include "skinui/resources/SkinZipReader.h"
#include "skinui/window/WindowImplBase.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

using namespace skinui;
using namespace skinui::markup;
using namespace skinui::resources;

namespace {

std::wstring InstallerPath() {
    return ORVINSTALL_EXE;
}

// The executable's resources, without running it.
struct ResourceModule {
    ResourceModule()
        : module(LoadLibraryExW(InstallerPath().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
    ~ResourceModule() {
        if (module)
            FreeLibrary(module);
    }
    HMODULE module;
};

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ResourceText(HMODULE module, const wchar_t* type, WORD id) {
    const auto bytes = FindResourceBytes(module, type, id);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes->data), bytes->size) : "";
}

// The install skin built the way the dialog builds it: from ZIPRES 132 of the executable.
class SkinWindow : public WindowImplBase {
protected:
    const wchar_t* WindowClassName() const override { return L"InstallSkinTestWindow"; }
    std::wstring SkinFolder() override { return {}; }
    std::wstring SkinFileName() override { return L"InstallDailog.xml"; }
    int SkinSourceKind() const override { return static_cast<int>(SkinSource::ZipResource); }
    LPCWSTR SkinResourceId() const override { return MAKEINTRESOURCEW(ORVINSTALL_SKIN_ID); }
};

class InstallSkinTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_resources = new ResourceModule;
        ASSERT_NE(s_resources->module, nullptr);
        SkinWindowManager::SetInstance(GetModuleHandleW(nullptr));
        SetResourceInstance(s_resources->module);
        s_window = new SkinWindow;
        ASSERT_NE(s_window->Create(nullptr, L"skin", WS_POPUP, 0, 0, 0, 0, 0), nullptr);
    }
    static void TearDownTestSuite() {
        DestroyWindow(s_window->GetHWND());
        delete s_window;
        delete s_resources;
    }

    template <typename Control> static Control* Find(const wchar_t* name, const wchar_t* kind) {
        CControlUI* control = s_window->Manager().FindControl(name);
        EXPECT_NE(control, nullptr) << "no control " << std::string(name, name + wcslen(name));
        return control ? static_cast<Control*>(control->GetInterface(kind)) : nullptr;
    }

    static ResourceModule* s_resources;
    static SkinWindow* s_window;
};

ResourceModule* InstallSkinTest::s_resources = nullptr;
SkinWindow* InstallSkinTest::s_window = nullptr;

TEST_F(InstallSkinTest, WindowAndFonts) {
    SkinWindowManager& manager = s_window->Manager();
    RECT window{};
    GetClientRect(s_window->GetHWND(), &window);
    EXPECT_EQ(window.right, 530);
    EXPECT_EQ(window.bottom, 356);
    EXPECT_EQ(manager.GetMinInfo().cx, 530);
    EXPECT_EQ(manager.GetMaxInfo().cy, 356);
    const RECT caption = manager.GetCaptionRect();
    EXPECT_EQ(caption.left, 0);
    EXPECT_EQ(caption.right, 0);
    EXPECT_EQ(caption.bottom, 356);

    const int sizes[] = {12, 14, 21, 24, 45};
    ASSERT_EQ(manager.GetFontCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(manager.GetFontInfo(i).face, L"微软雅黑");
        EXPECT_EQ(manager.GetFontInfo(i).size, sizes[i]);
        EXPECT_FALSE(manager.GetFontInfo(i).bold);
    }
    EXPECT_EQ(manager.GetDefaultFont().size, 12);
}

struct Expected {
    const wchar_t* name;
    const wchar_t* kind;
    int width, height; // 0: not fixed
    const wchar_t* text;
    int font; // -1: the default font
    bool enabled;
};

TEST_F(InstallSkinTest, ControlsHaveTheirTypesSizesTextsAndFonts) {
    const Expected controls[] = {
        {L"closebtn", L"Button", 20, 20, L"", -1, true},
        {L"titletext", L"Label", 120, 30, L"准备安装", 3, true},
        {L"installname", L"Label", 400, 50, nullptr, 4, true},
        {L"versionlabel", L"Label", 0, 0, L"版本选择", -1, true},
        {L"hanssel", L"Option", 0, 20, L"简体中文", 0, true},
        {L"hantsel", L"Option", 0, 20, L"繁體中文", 0, true},
        {L"nextbtn", L"Button", 150, 40, L"下一步", 3, true},
        {L"canceInstall", L"Button", 0, 0, L"取消安装", 1, true},
        {L"fastbtn", L"Button", 151, 40, L"极速安装", 2, false},
        {L"pahttext", L"Text", 0, 0, L"选择安装位置", -1, true},
        {L"pathedit", L"Edit", 212, 38, L"", -1, true},
        {L"browfilebtn", L"Button", 70, 40, L"浏览", 2, true},
        {L"starinstallbtn", L"Button", 150, 40, L"开始安装", 2, false},
        {L"installprogress", L"Progress", 478, 40, L"正在载入", 1, true},
        {L"installfinish", L"Button", 150, 40, L"开始体验", 2, true},
        {L"bootstartbtn", L"Option", 0, 20, L"立即运行", 0, true},
        {L"runbtn", L"Option", 0, 20, L"开机自动启动", 0, true},
        {L"newattribbtn", L"Option", 0, 20, L"显示新特性", 0, true},
        {L"protcheckbtn", L"Option", 110, 20, L"我已阅读并同意", 0, true},
        {L"lookprotbtn", L"Button", 76, 20, L"安装许可协议", -1, true},
        {L"custombtn", L"Button", 84, 20, L"自定义安装", 1, true},
    };
    for (const Expected& expected : controls) {
        SCOPED_TRACE(std::string(expected.name, expected.name + wcslen(expected.name)));
        auto* label = Find<CLabelUI>(expected.name, expected.kind);
        ASSERT_NE(label, nullptr) << "not of its type";
        if (expected.width) {
            EXPECT_EQ(label->GetFixedWidth(), expected.width);
        }
        if (expected.height) {
            EXPECT_EQ(label->GetFixedHeight(), expected.height);
        }
        if (expected.text) {
            EXPECT_EQ(label->GetText(), expected.text);
        }
        EXPECT_EQ(label->GetFont(), expected.font);
        EXPECT_EQ(label->IsEnabled(), expected.enabled);
    }
    // Every button has a size, so none takes the height of its row instead.
    EXPECT_GT(Find<CLabelUI>(L"canceInstall", L"Button")->GetFixedHeight(), 0);
}

TEST_F(InstallSkinTest, PagesOptionsAndInitialStates) {
    auto* outer = Find<CTabLayoutUI>(L"installlayout", L"TabLayout");
    auto* inner = Find<CTabLayoutUI>(L"installsetlayout", L"TabLayout");
    ASSERT_TRUE(outer && inner);
    EXPECT_EQ(outer->GetCurSel(), 1);
    EXPECT_EQ(outer->GetItemAt(0)->GetName(), L"installprotlayout");
    EXPECT_EQ(outer->GetItemAt(1)->GetName(), L"initlayout");
    const wchar_t* pages[] = {L"initlayout", L"speedinstall", L"customlayout", L"progresslayout",
                              L"finishlayout"};
    ASSERT_EQ(inner->GetCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(inner->GetItemAt(i)->GetName(), pages[i]);
    EXPECT_EQ(inner->GetCurSel(), 0);

    for (const wchar_t* name : {L"hanssel", L"hantsel"})
        EXPECT_EQ(Find<COptionUI>(name, L"Option")->GetGroup(), L"radiogroup");
    EXPECT_TRUE(Find<COptionUI>(L"hanssel", L"Option")->IsSelected());
    EXPECT_FALSE(Find<COptionUI>(L"hantsel", L"Option")->IsSelected());
    for (const wchar_t* name : {L"bootstartbtn", L"runbtn", L"newattribbtn"})
        EXPECT_TRUE(Find<COptionUI>(name, L"Option")->IsSelected());
    auto* check = Find<COptionUI>(L"protcheckbtn", L"Option");
    EXPECT_FALSE(check->IsSelected());
    EXPECT_TRUE(check->GetGroup().empty());
    // The Option defaults: black text, font 0, text right of the 18 x 18 check image.
    const RECT padding = check->GetTextPadding();
    EXPECT_EQ(padding.left, 20);
    EXPECT_EQ(padding.top, 2);
    EXPECT_EQ(check->GetTextColor() & 0xFFFFFF, 0u);

    auto* row = Find<CContainerUI>(L"protlayout", L"Container");
    EXPECT_FALSE(row->IsVisible());
    EXPECT_TRUE(row->IsFloat());
    EXPECT_EQ(row->GetFixedXY().cx, 26);
    EXPECT_EQ(row->GetFixedXY().cy, 320);
    EXPECT_EQ(row->GetFixedWidth(), 480);
    EXPECT_EQ(row->GetFixedHeight(), 40);

    auto* licence = Find<CRichEditUI>(L"portcontent", L"RichEdit");
    EXPECT_EQ(licence->GetFixedHeight(), 270);
    EXPECT_TRUE(licence->IsReadOnly());
    EXPECT_TRUE(licence->GetText().empty());
    ASSERT_NE(licence->GetVerticalScrollBar(), nullptr);
    EXPECT_EQ(licence->GetVerticalScrollBar()->GetFixedWidth(), 10);
    EXPECT_TRUE(Find<CEditUI>(L"pathedit", L"Edit")->IsReadOnly());
    auto* progress = Find<CProgressUI>(L"installprogress", L"Progress");
    EXPECT_EQ(progress->GetMinValue(), 0);
    EXPECT_EQ(progress->GetMaxValue(), 100);
    EXPECT_EQ(progress->GetValue(), 0);
}

TEST(InstallResources, LicenceIsGbkTextWithoutTerminator) {
    ResourceModule resources;
    ASSERT_NE(resources.module, nullptr);
    const std::string stored =
        ResourceText(resources.module, kLicenceResourceType, ORVINSTALL_LICENCE_ID);
    ASSERT_FALSE(stored.empty());
    EXPECT_NE(stored.back(), '\0');
    EXPECT_EQ(stored.find('\0'), std::string::npos);
    const auto text = LoadLicenceText(resources.module);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->rfind(L"Tamro软件许可协议", 0), 0u) << "decoded from code page 936";
    EXPECT_NE(text->find(L"\r\n"), std::wstring::npos);
    EXPECT_EQ(text->find(L'\uFFFD'), std::wstring::npos);
}

TEST(InstallResources, PayloadSpareSkinAndManifest) {
    ResourceModule resources;
    ASSERT_NE(resources.module, nullptr);
    const std::string payload =
        ResourceText(resources.module, kPayloadResourceType, ORVINSTALL_PAYLOAD_ID);
    EXPECT_EQ(payload, FileBytes(testsupport::HarnessPath("ORVIA_BINARY_DIR") / "tools" /
                                 "democlient" / "payload.7z"));

    const auto spare = FindResourceBytes(resources.module, L"ZIPRES", ORVINSTALL_SPARE_SKIN_ID);
    ASSERT_TRUE(spare);
    auto zip = SkinZipReader::OpenMemory(spare->data, spare->size);
    ASSERT_TRUE(zip);
    const auto item = zip->FindItem("SpareDailog.xml");
    ASSERT_TRUE(item);
    std::string markup(item->size, '\0');
    ASSERT_EQ(
        zip->UnzipItem(item->index, reinterpret_cast<std::uint8_t*>(markup.data()), markup.size()),
        ZipResult::Success);
    SkinMarkup parsed;
    EXPECT_TRUE(
        parsed.LoadFromMem(reinterpret_cast<const std::uint8_t*>(markup.data()), markup.size()));
    EXPECT_TRUE(zip->FindItem("bkimage.png"));

    const std::string manifest = ResourceText(resources.module, MAKEINTRESOURCEW(24), 1);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\" uiAccess=\"false\""),
              std::string::npos);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
}

} // namespace
