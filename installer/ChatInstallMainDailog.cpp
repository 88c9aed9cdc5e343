#include "installer/ChatInstallMainDailog.h"

#include "installer/ExtractPayload.h"
#include "installer/InstallDialogNames.h"
#include "installer/InstallFolder.h"
#include "installer/InstallWorker.h"
#include "installer/LicenceText.h"
#include "installer/ProductNames.h"
#include "installer/Registration.h"
#include "skinui/controls/ButtonUI.h"
#include "skinui/controls/EditUI.h"
#include "skinui/controls/LabelUI.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/controls/ProgressUI.h"
#include "skinui/controls/RichEditUI.h"
#include "skinui/core/ContainerUI.h"
#include "skinui/layouts/TabLayoutUI.h"
#include "win32/CoTaskMem.h"
#include "win32/PathSeparator.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <windowsx.h>

using namespace installui;
using namespace skinui;
using setupui::PercentText;
using setupui::SameName;

namespace {

bool Contains(const CControlUI* control, POINT pt) {
    if (!control)
        return false;
    const RECT& rc = control->GetPos();
    return PtInRect(&rc, pt) != FALSE;
}

} // namespace

CChatInstallMainDailog::CChatInstallMainDailog(InstallWorker& worker)
    : SetupDialog(kWindowClass, kSkinFile), m_worker(worker) {}

LRESULT CChatInstallMainDailog::RouteDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCLBUTTONDOWN)
        OnCaptionPress(lParam);
    return SetupDialog::RouteDialogMessage(message, wParam, lParam);
}

void CChatInstallMainDailog::OnWindowReady() {
    CenterWindow();
}

LRESULT CChatInstallMainDailog::OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                               bool& handled) {
    if (message == InstallProgressMessage)
        OnProgress(static_cast<int>(lParam));
    else if (message == InstallStateMessage)
        OnInstallState(wParam);
    return SetupDialog::OnOtherMessage(message, wParam, lParam, handled);
}

void CChatInstallMainDailog::OnOtherNotification(UiNotification& notification) {
    if (SameName(notification.type, kSelectChanged))
        OnSelectChanged(notification);
}

void CChatInstallMainDailog::OnWindowInit() {
    m_installSetLayout = Find<CTabLayoutUI>(kInstallSetLayout, L"TabLayout");
    m_installLayout = Find<CTabLayoutUI>(kInstallLayout, L"TabLayout");
    m_titleText = Find<CLabelUI>(kTitleText, L"Label");
    m_protLayout = Find<CContainerUI>(kProtLayout, L"Container");
    m_customButton = Find<CButtonUI>(kCustomButton, L"Button");
    m_installProgress = Find<CProgressUI>(kInstallProgress, L"Progress");
    m_licenceBox = Find<CRichEditUI>(kLicenceBox, L"RichEdit");
    m_closeButton = Find<CButtonUI>(kCloseButton, L"Button");
    m_pathEdit = Find<CEditUI>(kPathEdit, L"Edit");

    // Selecting sends "selectchanged" at once, which enables the start buttons: the licence
    // counts as accepted unless the user clears the box.
    if (auto* check = Find<COptionUI>(kLicenceCheck, kOptionInterface))
        check->Selected(true);
    if (m_installSetLayout)
        m_installSetLayout->SelectItem(kEditionPage);
    if (m_protLayout)
        m_protLayout->SetVisible(false);
    ShowProductName(kInstallName);
    const std::wstring recorded = ReadRecordedInstallDir();
    m_installFolder = recorded.empty() ? DefaultInstallFolder() : recorded;
    if (m_pathEdit)
        m_pathEdit->SetText(m_installFolder);
}

void CChatInstallMainDailog::OnClick(const std::wstring& sender) {
    if (SameName(sender, kCloseButton)) {
        if (IsLicencePageShown()) {
            m_installLayout->SelectItem(kMainPage);
            return;
        }
        CloseWindow();
    } else if (SameName(sender, kCancelButton)) {
        CloseWindow();
    } else if (SameName(sender, kNextButton)) {
        OnNext();
    } else if (SameName(sender, kLicenceLink)) {
        OnShowLicence();
    } else if (SameName(sender, kCustomButton)) {
        OnToggleCustomPage();
    } else if (SameName(sender, kStartButton) || SameName(sender, kFastButton)) {
        OnStartInstall();
    } else if (SameName(sender, kBrowseButton)) {
        OnBrowse();
    } else if (SameName(sender, kFinishButton)) {
        OnFinish();
    }
}

void CChatInstallMainDailog::OnSelectChanged(UiNotification& notification) {
    if (!notification.sender || !SameName(notification.sender->GetName(), kLicenceCheck))
        return;
    auto* check = static_cast<COptionUI*>(notification.sender->GetInterface(kOptionInterface));
    if (!check)
        return;
    const bool accepted = check->IsSelected();
    if (auto* fast = m_manager.FindControl(kFastButton))
        fast->SetEnabled(accepted);
    if (auto* start = m_manager.FindControl(kStartButton))
        start->SetEnabled(accepted);
}

void CChatInstallMainDailog::OnNext() {
    StopRunningClient();
    if (auto* simplified = Find<COptionUI>(kSimplifiedOption, kOptionInterface))
        m_simplifiedEdition = simplified->IsSelected();
    if (m_installSetLayout)
        m_installSetLayout->SelectItem(kFastPage);
    if (m_customButton)
        m_customButton->SetText(kCustomInstallText);
    if (m_protLayout)
        m_protLayout->SetVisible(true);
}

void CChatInstallMainDailog::OnShowLicence() {
    if (!m_installLayout)
        return;
    if (m_customButton)
        m_customButton->SetVisible(true);
    m_installLayout->SelectItem(kLicencePage);
    LoadLicence();
}

void CChatInstallMainDailog::OnToggleCustomPage() {
    if (m_installLayout)
        m_installLayout->SelectItem(kMainPage);
    if (!m_installSetLayout)
        return;
    m_installSetLayout->SelectItem(m_installSetLayout->GetCurSel() == kFastPage ? kCustomPage
                                                                                : kFastPage);
    if (m_customButton)
        m_customButton->SetText(m_installSetLayout->GetCurSel() == kCustomPage
                                    ? kDefaultInstallText
                                    : kCustomInstallText);
}

void CChatInstallMainDailog::OnStartInstall() {
    if (m_pathEdit)
        m_installFolder = m_pathEdit->GetText();
    if (!PrepareInstallFolder(m_installFolder) || !m_installProgress) {
        if (m_installProgress)
            m_installProgress->SetText(kFailedText);
        return;
    }
    if (m_closeButton)
        m_closeButton->SetVisible(false);
    if (m_installSetLayout)
        m_installSetLayout->SelectItem(kProgressPage);
    if (m_protLayout)
        m_protLayout->SetVisible(false);
    if (m_titleText)
        m_titleText->SetText(kInstallingTitle);
    m_workerThread = m_worker.Start({m_installFolder, m_simplifiedEdition, m_hwnd});
}

void CChatInstallMainDailog::OnBrowse() {
    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW info{};
    info.pszDisplayName = displayName;
    info.lpszTitle = kBrowseTitle;
    info.ulFlags = BIF_RETURNFSANCESTORS;
    const win32::CoTaskMemPtr<ITEMIDLIST> chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen.get(), path) && m_pathEdit)
        m_pathEdit->SetText(std::wstring(path) + win32::kPathSeparator +
                            product::kDefaultInstallSubFolder + product::kDefaultInstallLeaf);
}

void CChatInstallMainDailog::OnFinish() {
    auto* bootStart = Find<COptionUI>(kBootStartOption, kOptionInterface);
    if (bootStart && bootStart->IsSelected())
        ShellExecuteW(nullptr, L"open", m_clientPath.c_str(), nullptr, nullptr, SW_SHOW);
    if (auto* logonStart = Find<COptionUI>(kLogonStartOption, kOptionInterface))
        SetLogonStart(logonStart->IsSelected(), m_clientPath);
    CloseWindow();
}

void CChatInstallMainDailog::OnCaptionPress(LPARAM lParam) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hwnd, &pt);
    if (!IsLicencePageShown())
        return;
    if (Contains(m_licenceBox, pt) || Contains(m_manager.FindControl(kLicenceLink), pt) ||
        Contains(m_closeButton, pt) || Contains(m_manager.FindControl(kLicenceCheck), pt))
        return;
    m_installLayout->SelectItem(kMainPage);
    if (m_customButton)
        m_customButton->SetVisible(true);
}

void CChatInstallMainDailog::OnProgress(int percent) {
    if (!m_installProgress)
        return;
    m_installProgress->SetValue(percent);
    m_installProgress->SetText(PercentText(kProgressFormat, percent));
    if (percent >= kWhiteTextFromPercent)
        m_installProgress->SetTextColor(kWhiteText);
}

void CChatInstallMainDailog::OnInstallState(WPARAM state) {
    switch (static_cast<InstallState>(state)) {
    case InstallState::Started:
        if (m_installProgress)
            m_installProgress->SetText(kStartedText);
        break;
    case InstallState::Unpacked:
        if (m_installProgress) {
            m_installProgress->SetValue(100);
            m_installProgress->SetText(PercentText(kProgressFormat, 100));
        }
        break;
    case InstallState::Failed:
        if (m_installProgress)
            m_installProgress->SetText(kFailedText);
        if (m_closeButton)
            m_closeButton->SetVisible(true);
        break;
    case InstallState::Finished:
        m_clientPath = ClientExecutablePath(m_installFolder);
        if (!m_installSetLayout)
            break;
        if (m_titleText)
            m_titleText->SetText(kFinishedTitle);
        if (m_closeButton)
            m_closeButton->SetVisible(true);
        m_installSetLayout->SelectItem(kFinishPage);
        break;
    }
}

void CChatInstallMainDailog::LoadLicence() {
    const std::optional<std::wstring> text = LoadLicenceText(GetModuleHandleW(nullptr));
    if (text && m_licenceBox)
        m_licenceBox->SetText(*text);
}

bool CChatInstallMainDailog::IsLicencePageShown() const {
    return m_installLayout && m_installLayout->GetCurSel() == kLicencePage;
}
