#include "skinui/core/ToolTip.h"

#include <commctrl.h>

namespace skinui {
namespace {

// The one tool of the tip: the owner window itself; each control puts its own text in.
TOOLINFOW OwnerTool(HWND owner) {
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(owner);
    return info;
}

} // namespace

void ToolTip::Show(HWND owner, HINSTANCE instance, const CControlUI* subject,
                   const std::wstring& text, const RECT& rc, int maxWidth) {
    if (!m_window) {
        m_window = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                   owner, nullptr, instance, nullptr);
        if (!m_window)
            return;
        m_owner = owner;
    }
    std::wstring shown = text;
    TOOLINFOW info = OwnerTool(owner);
    info.hinst = instance;
    info.lpszText = shown.data();
    info.rect = rc;
    if (m_subject)
        Hide();
    SendMessageW(m_window, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(m_window, TTM_SETMAXTIPWIDTH, 0, maxWidth);
    SendMessageW(m_window, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    m_subject = subject;
}

void ToolTip::Hide() {
    if (!m_window || !m_subject)
        return;
    TOOLINFOW info = OwnerTool(m_owner);
    SendMessageW(m_window, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    // The tool goes too: the next control adds its own text under the same id.
    SendMessageW(m_window, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    m_subject = nullptr;
}

DWORD ToolTip::InitialDelay(DWORD fallback) const {
    if (!m_window)
        return fallback;
    return static_cast<DWORD>(SendMessageW(m_window, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
}

void ToolTip::Forget() {
    m_window = nullptr;
    m_owner = nullptr;
    m_subject = nullptr;
}

} // namespace skinui
