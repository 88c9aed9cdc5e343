#pragma once

#include "installer/SetupDialog.h"
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
// finish page, from the skin InstallDailog.xml.
class CChatInstallMainDailog : public setupui::SetupDialog {
public:
    // `worker` belongs to the entry point and outlives the window.
    explicit CChatInstallMainDailog(InstallWorker& worker);

protected:
    void OnWindowInit() override;
    void OnClick(const std::wstring& sender) override;
    void OnOtherNotification(skinui::UiNotification& notification) override;
    LRESULT RouteDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    void OnWindowReady() override;

private:
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

    bool m_simplifiedEdition{true};
    skinui::CTabLayoutUI* m_installLayout{nullptr};
    skinui::CTabLayoutUI* m_installSetLayout{nullptr};
    skinui::CLabelUI* m_titleText{nullptr};
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
