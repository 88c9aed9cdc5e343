#include "uninstaller/UnInstallDialog.h"

#include "skinui/controls/ButtonUI.h"
#include "skinui/controls/LabelUI.h"
#include "skinui/controls/ProgressUI.h"
#include "uninstaller/FinishUninstall.h"
#include "uninstaller/RemovalThread.h"
#include "uninstaller/UninstallerConstants.h"

using namespace skinui;
using setupui::PercentText;
using setupui::SameName;

namespace {

// Moves a floating control and makes its fixed position and size say the same, so that a
// later layout of its parent (a window restored from the taskbar, a sibling shown or hidden)
// places it where it now is rather than back where the skin put it.
void MoveFloating(CControlUI& control, const RECT& rc) {
    if (CControlUI* parent = control.GetParent()) {
        const RECT& area = parent->GetPos();
        const SIZE fixed = control.GetFixedXY();
        control.SetFixedXY({fixed.cx >= 0 ? rc.left - area.left : rc.right - area.right,
                            fixed.cy >= 0 ? rc.top - area.top : rc.bottom - area.bottom});
        control.SetFixedWidth(rc.right - rc.left);
        control.SetFixedHeight(rc.bottom - rc.top);
    }
    control.SetPos(rc);
}

} // namespace

CChatUnInstallMainDailog::CChatUnInstallMainDailog(RemovalThread& removal, std::wstring ownPath)
    : SetupDialog(uninstall::kWindowClassName, uninstall::kSkinFileName), m_removal(removal),
      m_ownPath(std::move(ownPath)), m_folderPauseMs(uninstall::kFolderPauseMs),
      m_finish(&FinishUninstall) {}

CChatUnInstallMainDailog::~CChatUnInstallMainDailog() {
    // The worker may still run; it stops at its next folder and never reaches this object.
    m_removal.RequestStop();
}

void CChatUnInstallMainDailog::OnWindowInit() {
    m_progress = Find<CProgressUI>(uninstall::kProgressName, L"Progress");
    m_startButton = Find<CButtonUI>(uninstall::kStartButtonName, L"Button");
    m_title = Find<CLabelUI>(uninstall::kTitleName, L"Label");
    ShowProductName(uninstall::kProductNameLabel);
    // Decided before anything can be touched: a refused removal offers only to close.
    m_verdict = CheckRemoval(m_ownPath);
    if (!m_verdict.allowed())
        ShowRefusal();
}

void CChatUnInstallMainDailog::ShowRefusal() {
    switch (m_verdict.refusal) {
    case RemovalRefusal::ProtectedFolder:
        ShowClosingMessage(uninstall::kRefusedProtectedText);
        break;
    case RemovalRefusal::UncertainFolder:
        ShowClosingMessage(uninstall::kRefusedUncertainText);
        break;
    default:
        ShowClosingMessage(uninstall::kRefusedNotInstalledText);
        break;
    }
}

void CChatUnInstallMainDailog::ShowFinishFailure() {
    m_finishFailed = true;
    ShowClosingMessage(uninstall::kNotRemovedText + m_verdict.root);
}

void CChatUnInstallMainDailog::ShowClosingMessage(const std::wstring& text) {
    if (m_title) {
        m_title->SetText(text);
        m_title->SetTextColor(uninstall::kRefusalTextColor);
        m_title->SetToolTip(m_verdict.root);
    }
    if (m_startButton)
        m_startButton->SetText(uninstall::kCloseText);
}

void CChatUnInstallMainDailog::OnClick(const std::wstring& sender) {
    if (SameName(sender, uninstall::kCloseButtonName)) {
        CloseWindow();
        return;
    }
    if (!SameName(sender, uninstall::kStartButtonName))
        return;
    if (!m_verdict.allowed() || m_finishFailed) {
        CloseWindow();
        return;
    }
    if (m_removalFinished) {
        if (m_finish(m_verdict.root, m_ownPath))
            PostQuitMessage(0);
        else
            ShowFinishFailure();
        return;
    }
    if (m_removal.IsStarted())
        return;
    if (m_title)
        m_title->SetText(uninstall::kRemovingText);
    if (m_startButton)
        m_startButton->SetVisible(false);
    if (m_progress)
        m_progress->SetVisible(true);
    ::SetTimer(m_hwnd, uninstall::kWideningTimer, uninstall::kWideningIntervalMs, nullptr);
}

bool CChatUnInstallMainDailog::OnWideningTick() {
    if (!m_progress) {
        ::KillTimer(m_hwnd, uninstall::kWideningTimer);
        return true;
    }
    RECT pos = m_progress->GetPos();
    if (pos.left - uninstall::kAnimationStep < uninstall::kWideningLeftLimit) {
        ::KillTimer(m_hwnd, uninstall::kWideningTimer);
        m_progress->SetText(uninstall::kFirstProgressText);
        StartRemoval();
        return true;
    }
    pos.left -= uninstall::kAnimationStep;
    pos.right += uninstall::kAnimationStep;
    MoveFloating(*m_progress, pos);
    return false;
}

void CChatUnInstallMainDailog::StartRemoval() {
    RemovalJob job;
    job.window = m_hwnd;
    job.root = m_verdict.root;
    job.ownPath = m_ownPath;
    job.folderPauseMs = m_folderPauseMs;
    m_removal.Start(std::move(job));
}

bool CChatUnInstallMainDailog::OnNarrowingTick() {
    if (!m_progress) {
        ::KillTimer(m_hwnd, uninstall::kNarrowingTimer);
        return true;
    }
    RECT pos = m_progress->GetPos();
    if (pos.right - pos.left <= uninstall::kNarrowedWidth) {
        ::KillTimer(m_hwnd, uninstall::kNarrowingTimer);
        m_progress->SetVisible(false);
        if (m_startButton) {
            m_startButton->SetText(uninstall::kFinishedText);
            m_startButton->SetVisible(true);
            ReturnFocusTo(*m_startButton);
        }
        m_removalFinished = true;
        return true;
    }
    pos.left += uninstall::kAnimationStep;
    pos.right -= uninstall::kAnimationStep;
    MoveFloating(*m_progress, pos);
    return false;
}

void CChatUnInstallMainDailog::ReturnFocusTo(CControlUI& control) {
    // Only while the window has the keyboard: taking it back from another program would
    // activate this window under the user's hands.
    CControlUI* focus = m_manager.GetFocus();
    if (::GetFocus() == m_hwnd && (!focus || !focus->IsVisible()))
        m_manager.SetFocus(&control);
}

void CChatUnInstallMainDailog::OnRemovalProgress(int percent) {
    if (!m_progress)
        return;
    m_progress->SetValue(percent);
    m_progress->SetText(PercentText(uninstall::kProgressFormat, percent));
}

void CChatUnInstallMainDailog::OnRemovalFinished() {
    if (m_progress) {
        m_progress->SetValue(100);
        m_progress->SetText(PercentText(uninstall::kProgressFormat, 100));
    }
    if (m_title)
        m_title->SetText(uninstall::kFinishedText);
    ::SetTimer(m_hwnd, uninstall::kNarrowingTimer, uninstall::kNarrowingIntervalMs, nullptr);
}

LRESULT CChatUnInstallMainDailog::RouteDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == uninstall::kWideningTimer && OnWideningTick())
        return 0;
    if (message == WM_TIMER && wParam == uninstall::kNarrowingTimer && OnNarrowingTick())
        return 0;
    return SetupDialog::RouteDialogMessage(message, wParam, lParam);
}

LRESULT CChatUnInstallMainDailog::OnOtherMessage(UINT message, WPARAM /*wParam*/, LPARAM lParam,
                                                 bool& handled) {
    handled = false;
    if (message == uninstall::RemovalProgressMessage)
        OnRemovalProgress(static_cast<int>(lParam));
    else if (message == uninstall::RemovalFinishedMessage)
        OnRemovalFinished();
    return 0;
}

LRESULT CChatUnInstallMainDailog::OnCloseMsg(UINT message, WPARAM wParam, LPARAM lParam,
                                             bool& handled) {
    // Taking a window down can take seconds (under Wine, four); the worker stops now, not
    // when the window is gone.
    m_removal.RequestStop();
    return SetupDialog::OnCloseMsg(message, wParam, lParam, handled);
}
