#pragma once

#include "installer/SetupDialog.h"
#include "uninstaller/RemovalGuard.h"

#include <string>

namespace skinui {
class CButtonUI;
class CLabelUI;
class CProgressUI;
} // namespace skinui

class RemovalThread;

// The uninstaller's one-button window. Ready: "一键卸载"; the first click widens the progress
// bar over the button and then starts the removal; when it is over the bar narrows back and
// the button reads "卸载完成"; the second click removes the shortcuts and the uninstall entry,
// starts the delayed removal of the rest and ends the program. When the checks refuse the
// removal, or the delayed removal cannot be started, the title says why and the button only
// closes the window.
//
// The removal thread belongs to the caller and outlives the dialog.
class CChatUnInstallMainDailog : public setupui::SetupDialog {
public:
    CChatUnInstallMainDailog(RemovalThread& removal, std::wstring ownPath);
    ~CChatUnInstallMainDailog() override;

    // Pause after each removed folder; tests shorten it.
    void SetFolderPause(DWORD ms) { m_folderPauseMs = ms; }
    // What the second click runs: FinishUninstall, or in tests one whose command cannot start.
    using Finisher = bool (*)(const std::wstring& root, const std::wstring& ownPath);
    void SetFinisher(Finisher finisher) { m_finish = finisher; }
    const RemovalVerdict& Verdict() const { return m_verdict; }
    bool IsRemovalFinished() const { return m_removalFinished; }

protected:
    void OnWindowInit() override;
    void OnClick(const std::wstring& sender) override;
    LRESULT RouteDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    LRESULT OnCloseMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

private:
    void ShowRefusal();
    void ShowFinishFailure();
    // The title in the refusal's colour, with the root as its tool tip, and a button that
    // only closes.
    void ShowClosingMessage(const std::wstring& text);
    // Each returns true when the tick is consumed here.
    bool OnWideningTick();
    bool OnNarrowingTick();
    // The start button was hidden under the bar, which left the focus nowhere; a keyboard or
    // screen reader user finds it again on the button that finishes.
    void ReturnFocusTo(skinui::CControlUI& control);
    void OnRemovalProgress(int percent);
    void OnRemovalFinished();
    void StartRemoval();

    RemovalThread& m_removal;
    skinui::CProgressUI* m_progress{nullptr};  // uninstallprogress; owned by the control tree
    skinui::CButtonUI* m_startButton{nullptr}; // staruninstallbtn
    skinui::CLabelUI* m_title{nullptr};        // titletext
    std::wstring m_ownPath;                    // the running uninstaller, never deleted
    // The checks' result and the removal root; one that could not be reached (out of memory)
    // stays NotChecked, which removes nothing.
    RemovalVerdict m_verdict;
    DWORD m_folderPauseMs;
    Finisher m_finish;
    bool m_removalFinished{false}; // the closing animation has ended
    bool m_finishFailed{false};    // the delayed command could not be started
};
