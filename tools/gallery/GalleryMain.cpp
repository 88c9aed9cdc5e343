// skingallery [SKIN_FOLDER]
//
// Opens the control gallery: a window showing every control of the skin UI framework with live
// behaviour, for skin authors to try them. The skin is gallery.xml in SKIN_FOLDER, by default
// the "skin" folder beside the program. The status line shows each notification the controls
// send; the slider drives the progress bar.
#include "skinui/controls/LabelUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/extras/SliderUI.h"
#include "skinui/resources/SkinResources.h"
#include "skinui/window/WindowImplBase.h"

#include <objbase.h>
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kSkinFile[] = L"gallery.xml";
constexpr wchar_t kDefaultSkinFolder[] = L"skin\\";

class GalleryWindow : public skinui::WindowImplBase {
protected:
    const wchar_t* WindowClassName() const override { return L"SkinUiGallery"; }
    std::wstring SkinFolder() override { return {}; }
    std::wstring SkinFileName() override { return kSkinFile; }

    void OnNotify(skinui::UiNotification& notification) override {
        const std::wstring& type = notification.type;
        if (type != L"windowinit" && type != L"setfocus" && type != L"killfocus" &&
            notification.sender) {
            std::wstring line = type + L" \u2014 " + notification.sender->GetName();
            if (type == L"itemselect" || type == L"link" || type == L"valuechanged")
                line += L" (" + std::to_wstring(notification.wParam) + L")";
            if (auto* status = Find<skinui::CLabelUI>(L"status"))
                status->SetText(line);
        }
        if (type == L"valuechanged" || type == L"movevaluechanged") {
            auto* slider = skinui::InterfaceCast<skinui::CSliderUI>(notification.sender);
            auto* progress = Find<skinui::CProgressUI>(L"progress");
            if (slider && progress)
                progress->SetValue(slider->GetValue());
        }
        WindowImplBase::OnNotify(notification);
    }

private:
    template <typename T> T* Find(const wchar_t* name) {
        return skinui::InterfaceCast<T>(m_manager.FindControl(name));
    }
};

std::wstring SkinFolderFromCommandLine(const std::wstring& programFolder) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring folder = programFolder + kDefaultSkinFolder;
    if (arguments && count > 1)
        folder = arguments[1];
    LocalFree(arguments);
    return folder;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    OleInitialize(nullptr);
    skinui::SkinWindowManager::SetInstance(instance);
    skinui::resources::SetResourcePath(
        SkinFolderFromCommandLine(skinui::SkinWindowManager::GetInstancePath()));
    // The window deletes itself with its last message.
    auto* window = new GalleryWindow;
    if (window->Create(nullptr, L"Skin UI control gallery",
                       WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, 0, 0, 0, 0, 0)) {
        window->CenterWindow();
        window->ShowWindow(true, true);
        skinui::SkinWindowManager::MessageLoop();
    }
    OleUninitialize();
    return 0;
}
