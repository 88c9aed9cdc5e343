#pragma once

#include "skinui/window/WindowImplBase.h"
#include "win32/UniqueHandle.h"

#include <string>

namespace skinui {
class CButtonUI;
class CContainerUI;
class CEditUI;
class CLabelUI;
class CProgressUI;
class CRichEditUI;
class CTabLayoutUI;
} // namespace skinui

class InstallWorker;

// The installer's window: edition choice, licence, fast or custom install folder, progress and
// finish page, from the skin InstallDailog.xml in the executable's ZIPRES resource 132. Created
// with new by the program's entry point and owned by its window: it deletes itself at the
// window's last message, and its destructor ends the message loop.
class CChatInstallMainDailog : public skinui::WindowImplBase {
public:
    // `worker` belongs to the entry point and outlives the window.
    explicit CChatInstallMainDailog(InstallWorker& worker);
    ~CChatInstallMainDailog() override;

    void OnNotify(skinui::UiNotification& notification) override;

protected:
    const wchar_t* WindowClassName() const override;
    LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND hwnd) override;
    void OnWindowReady() override;
    std::wstring SkinFolder() override;
    std::wstring SkinFileName() override;
    int SkinSourceKind() const override;
    LPCWSTR SkinResourceId() const override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void OnWindowInit();
    void OnClick(const std::wstring& sender);
    void OnSelectChanged(skinui::UiNotification& notification);
    void OnNext();
    void OnShowLicence();
    void OnToggleCustomPage();
    void OnStartInstall();
    void OnBrowse();
    void OnFinish();
    void OnCaptionPress(LPARAM lParam);
    void OnProgress(int percent);
    void OnInstallState(WPARAM state);
    void LoadLicence();
    bool IsLicencePageShown() const;
    void CloseWindow();
    template <typename Control> Control* Find(const wchar_t* name, const wchar_t* interfaceName);

    bool m_simplifiedEdition{true};
    skinui::CTabLayoutUI* m_installLayout{nullptr};
    skinui::CTabLayoutUI* m_installSetLayout{nullptr};
    skinui::CLabelUI* m_titleText{nullptr};
    skinui::CLabelUI* m_installName{nullptr};
    skinui::CContainerUI* m_protLayout{nullptr};
    skinui::CProgressUI* m_installProgress{nullptr};
    skinui::CButtonUI* m_customButton{nullptr};
    skinui::CRichEditUI* m_licenceBox{nullptr};
    skinui::CButtonUI* m_closeButton{nullptr};
    skinui::CEditUI* m_pathEdit{nullptr};
    win32::UniqueKernelHandle m_workerThread;
    std::wstring m_installFolder;
    std::wstring m_clientPath;
    InstallWorker& m_worker;
};
