#include "skinui/extras/DateTimeWnd.h"

#include "skinui/core/SkinWindowManager.h"
#include "skinui/core/ControlUI.h"

#include <commctrl.h>

namespace skinui {
namespace {

constexpr UINT kCloseMessage = WM_APP + 0x32;

} // namespace

const wchar_t* CDateTimeWnd::SuperClassName() const {
    // The common controls register the class only when asked to.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX), ICC_DATE_CLASSES};
        return InitCommonControlsEx(&init) != FALSE;
    }();
    (void)registered;
    return DATETIMEPICK_CLASSW;
}

CDateTimeWnd* CDateTimeWnd::Open(IDatePickerOwner& owner) {
    auto* picker = new CDateTimeWnd(owner);
    picker->m_opening = true;
    const bool created = picker->Create();
    picker->m_opening = false;
    if (!created) {
        delete picker;
        return nullptr;
    }
    return picker;
}

bool CDateTimeWnd::Create() {
    SkinWindowManager* manager = m_owner->PickerOwnerControl()->GetManager();
    if (!manager || !manager->GetPaintWindow())
        return false;
    const RECT rc = m_owner->PickerOwnerControl()->GetPos();
    if (!CWindowWnd::Create(manager->GetPaintWindow(), nullptr,
                            WS_CHILD | WS_TABSTOP | DTS_SHORTDATEFORMAT, 0, rc.left, rc.top,
                            rc.right - rc.left, rc.bottom - rc.top))
        return false;
    ::SendMessageW(m_hwnd, WM_SETFONT,
                   reinterpret_cast<WPARAM>(manager->GetFont(m_owner->PickerFont())), FALSE);
    // The same format as the control's text, so opening the picker changes nothing in view.
    ::SendMessageW(m_hwnd, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"yyyy-MM-dd"));
    SYSTEMTIME time = m_owner->GetTime();
    ::SendMessageW(m_hwnd, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
    ::ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
    ::SetFocus(m_hwnd);
    return true;
}

void CDateTimeWnd::Place() {
    if (!m_hwnd || !m_owner)
        return;
    const RECT rc = m_owner->PickerOwnerControl()->GetPos();
    SetWindowPos(m_hwnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDateTimeWnd::CloseSoon(bool keep) {
    if (!m_hwnd || m_closing)
        return;
    m_closing = true;
    m_keep = keep;
    ::PostMessageW(m_hwnd, kCloseMessage, 0, 0);
}

void CDateTimeWnd::Abandon() {
    m_owner = nullptr;
    if (m_hwnd)
        DestroyWindow(m_hwnd);
}

bool CDateTimeWnd::IsOwnPart(HWND window) const {
    if (!window)
        return false;
    const HWND calendar = reinterpret_cast<HWND>(::SendMessageW(m_hwnd, DTM_GETMONTHCAL, 0, 0));
    for (HWND walk = window; walk; walk = GetParent(walk))
        if (walk == m_hwnd || (calendar && walk == calendar))
            return true;
    return false;
}

LRESULT CDateTimeWnd::RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_TAB) {
            CloseSoon(true);
            return 0;
        }
        if (wParam == VK_ESCAPE) {
            CloseSoon(false);
            return 0;
        }
        break;
    case WM_GETDLGCODE:
        return CallPreviousProc(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KILLFOCUS: {
        const LRESULT result = CallPreviousProc(message, wParam, lParam);
        if (!IsOwnPart(reinterpret_cast<HWND>(wParam)))
            CloseSoon(true);
        return result;
    }
    case kCloseMessage: {
        SYSTEMTIME time{};
        const bool keep = m_keep && ::SendMessageW(m_hwnd, DTM_GETSYSTEMTIME, 0,
                                                   reinterpret_cast<LPARAM>(&time)) == GDT_VALID;
        IDatePickerOwner* owner = m_owner;
        m_owner = nullptr;
        // This object is gone once the window is: only locals from here on.
        DestroyWindow(m_hwnd);
        if (owner)
            owner->OnPickerClosed(this, keep ? &time : nullptr);
        return 0;
    }
    default:
        break;
    }
    return CallPreviousProc(message, wParam, lParam);
}

void CDateTimeWnd::OnLastMessage(HWND /*hwnd*/) {
    // Destroyed with its parent window: the owner only learns that the picker is gone.
    if (m_opening)
        return;
    if (m_owner)
        m_owner->OnPickerClosed(this, nullptr);
    delete this;
}

} // namespace skinui
