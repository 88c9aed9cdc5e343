#pragma once

#include <windows.h>

#include <string>

namespace skinui {

class CControlUI;

// The tracking tooltip a window shows over the control under a resting pointer: one system
// tooltip window ("tooltips_class32"), made on first use and owned by (destroyed with) the window.
class ToolTip {
public:
    ToolTip() = default;
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // Shows text over rc (owner's client coordinates), at most maxWidth pixels wide, for subject.
    void Show(HWND owner, HINSTANCE instance, const CControlUI* subject, const std::wstring& text,
              const RECT& rc, int maxWidth);
    void Hide();
    // The control whose tip shows; null while none does.
    const CControlUI* Subject() const { return m_subject; }
    // How long the pointer must rest before the tip shows; fallback until the tooltip exists.
    DWORD InitialDelay(DWORD fallback) const;
    // The owner window is gone, and its tooltip window with it.
    void Forget();

private:
    HWND m_owner = nullptr;
    HWND m_window = nullptr; // destroyed with m_owner
    const CControlUI* m_subject = nullptr;
};

} // namespace skinui
