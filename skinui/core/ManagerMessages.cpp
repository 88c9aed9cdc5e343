// The window manager's handling of native messages: each message the manager takes part in has
// one handler, found through a table, and so does each message it pre-translates for the loop.
#include "skinui/core/SkinWindowManager.h"

#include "skinui/core/ControlUI.h"

#include <windowsx.h>

namespace skinui {
namespace {

constexpr UINT_PTR kCaretTimerId = 241;
constexpr DWORD kDefaultHoverTimeMs = 400;
// Command and colour messages are reflected to their child window at this offset.
constexpr UINT kReflectOffset = 0x2000;

POINT PointFromLParam(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

// Offers the message to each filter in turn (a copy of the list: a filter may remove itself);
// true when one handled it, with its result.
bool Filter(std::vector<IMessageFilterUI*> filters, UINT message, WPARAM wParam, LPARAM lParam,
            LRESULT& result) {
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        result = filter->FilterMessage(message, wParam, lParam, handled);
        if (handled)
            return true;
    }
    return false;
}

wchar_t UpperCase(wchar_t ch) {
    return static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
        CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(ch)))));
}

} // namespace

SkinWindowManager::MessageHandlerFn SkinWindowManager::HandlerFor(UINT message) {
    struct Route {
        UINT message;
        MessageHandlerFn handler;
    };
    static constexpr Route kRoutes[] = {
        {kDelayedCleanupMessage, &SkinWindowManager::OnDelayedCleanup},
        {WM_CLOSE, &SkinWindowManager::OnClose},
        {WM_ERASEBKGND, &SkinWindowManager::OnEraseBackground},
        {WM_PAINT, &SkinWindowManager::OnPaint},
        {WM_GETMINMAXINFO, &SkinWindowManager::OnGetMinMaxInfo},
        {WM_SIZE, &SkinWindowManager::OnSize},
        {WM_TIMER, &SkinWindowManager::OnTimer},
        {WM_MOUSEHOVER, &SkinWindowManager::OnMouseHover},
        {WM_MOUSELEAVE, &SkinWindowManager::OnMouseLeave},
        {WM_MOUSEMOVE, &SkinWindowManager::OnMouseMove},
        {WM_LBUTTONDOWN, &SkinWindowManager::OnButtonDown},
        {WM_LBUTTONDBLCLK, &SkinWindowManager::OnButtonDown},
        {WM_RBUTTONDOWN, &SkinWindowManager::OnButtonDown},
        {WM_LBUTTONUP, &SkinWindowManager::OnButtonUp},
        {WM_RBUTTONUP, &SkinWindowManager::OnButtonUp},
        {WM_CONTEXTMENU, &SkinWindowManager::OnContextMenu},
        {WM_MOUSEWHEEL, &SkinWindowManager::OnMouseWheel},
        {WM_KEYDOWN, &SkinWindowManager::OnKey},
        {WM_KEYUP, &SkinWindowManager::OnKey},
        {WM_CHAR, &SkinWindowManager::OnKey},
        {WM_SETCURSOR, &SkinWindowManager::OnSetCursor},
        {WM_COMMAND, &SkinWindowManager::OnReflect},
        {WM_CTLCOLOREDIT, &SkinWindowManager::OnReflect},
        {WM_CTLCOLORSTATIC, &SkinWindowManager::OnReflect},
    };
    for (const Route& route : kRoutes)
        if (route.message == message)
            return route.handler;
    return nullptr;
}

SkinWindowManager::MessageHandlerFn SkinWindowManager::PreHandlerFor(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
        return &SkinWindowManager::OnPreTab;
    case WM_SYSKEYDOWN:
        return &SkinWindowManager::OnPreSysKey;
    case WM_SYSCHAR:
        return &SkinWindowManager::OnPreSysChar;
    default:
        return nullptr;
    }
}

bool SkinWindowManager::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    if (!m_window)
        return false;
    FlushAsyncNotifications();
    if (Filter(m_filters, message, wParam, lParam, result))
        return true;
    result = 0;
    const MessageHandlerFn handler = HandlerFor(message);
    if (handler)
        return (this->*handler)(message, wParam, lParam, result);
    // WM_GETOBJECT and the accessibility layer's own messages.
    return m_access && m_access->HandleMessage(message, wParam, lParam, result);
}

HWND SkinWindowManager::PreTranslatedWindow() const {
    return m_window;
}

bool SkinWindowManager::PreTranslate(MSG* msg) {
    if (TranslateAccelerators(msg))
        return true;
    LRESULT result = 0;
    return PreMessageHandler(msg->message, msg->wParam, msg->lParam, result);
}

bool SkinWindowManager::PreMessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result) {
    if (Filter(m_preFilters, message, wParam, lParam, result))
        return true;
    const MessageHandlerFn handler = PreHandlerFor(message);
    return handler && (this->*handler)(message, wParam, lParam, result);
}

bool SkinWindowManager::OnPreTab(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/,
                                 LRESULT& /*result*/) {
    if (m_access && m_access->PreTranslateKey(wParam))
        return true;
    if (wParam != VK_TAB)
        return false;
    if (m_focus && m_focus->IsVisible() && m_focus->IsEnabled() &&
        (m_focus->GetControlFlags() & kFlagWantTab))
        return false;
    SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
    return true;
}

bool SkinWindowManager::OnPreSysKey(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                    LRESULT& /*result*/) {
    if (m_focus) {
        UiEvent event = MakeEvent(kEventSysKey, m_focus, wParam, lParam);
        event.key = static_cast<wchar_t>(wParam);
        m_focus->Event(event);
    }
    return false;
}

bool SkinWindowManager::OnPreSysChar(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/,
                                     LRESULT& /*result*/) {
    if (!m_root)
        return false;
    const wchar_t wanted = UpperCase(static_cast<wchar_t>(wParam & 0xFFFF));
    // A label hands the shortcut on to the control after it.
    bool passOn = false;
    CControlUI* found = m_root->FindControl(
        [&](CControlUI* control, void*) -> CControlUI* {
            const bool isLabel = wcscmp(control->GetClass(), kLabelClassName) == 0;
            if (passOn)
                return isLabel ? nullptr : control;
            if (control->GetShortcut() == 0 || UpperCase(control->GetShortcut()) != wanted)
                return nullptr;
            if (isLabel) {
                passOn = true;
                return nullptr;
            }
            return control;
        },
        nullptr, kFindEnabled | kFindMeFirst | kFindTopFirst);
    if (!found)
        return false;
    found->SetFocus();
    found->Activate();
    return true;
}

bool SkinWindowManager::OnDelayedCleanup(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                         LRESULT& /*result*/) {
    m_cleanupPosted = false;
    CleanupDelayed();
    return true;
}

bool SkinWindowManager::OnClose(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                LRESULT& /*result*/) {
    if (m_hover) {
        UiEvent event = MakeEvent(kEventMouseLeave, m_hover);
        m_hover->Event(event);
    }
    if (m_click) {
        UiEvent event = MakeEvent(kEventButtonUp, m_click);
        m_click->Event(event);
    }
    SetFocus(nullptr);
    HWND owner = GetWindow(m_window, GW_OWNER);
    if (owner)
        ::SetFocus(owner);
    // Left unhandled, so the default processing destroys the window.
    return false;
}

bool SkinWindowManager::OnEraseBackground(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                          LRESULT& result) {
    result = 1;
    return true;
}

bool SkinWindowManager::OnPaint(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                LRESULT& /*result*/) {
    Paint();
    return true;
}

bool SkinWindowManager::OnGetMinMaxInfo(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam,
                                        LRESULT& /*result*/) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    if (m_minInfo.cx > 0)
        info->ptMinTrackSize.x = m_minInfo.cx;
    if (m_minInfo.cy > 0)
        info->ptMinTrackSize.y = m_minInfo.cy;
    if (m_maxInfo.cx > 0)
        info->ptMaxTrackSize.x = m_maxInfo.cx;
    if (m_maxInfo.cy > 0)
        info->ptMaxTrackSize.y = m_maxInfo.cy;
    return false;
}

bool SkinWindowManager::OnSize(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                               LRESULT& /*result*/) {
    if (m_focus) {
        UiEvent event = MakeEvent(kEventWindowSize, m_focus, wParam, lParam);
        m_focus->Event(event);
    }
    if (m_root)
        m_root->NeedUpdate();
    m_updateNeeded = true;
    return true;
}

bool SkinWindowManager::OnTimer(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                LRESULT& /*result*/) {
    // Carets here are the system's, which blinks by itself, so the caret tick has nothing to
    // toggle; it is still kept from the control timers.
    if (wParam == kCaretTimerId)
        return true;
    UINT key = 0;
    if (CControlUI* sender = m_timers.Find(m_window, wParam, key)) {
        UiEvent event = MakeEvent(kEventTimer, sender, key, lParam);
        sender->Event(event);
    }
    return true;
}

bool SkinWindowManager::OnMouseHover(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                     LRESULT& /*result*/) {
    // A hover report ends hover tracking only; leave tracking stays armed.
    m_hoverTracking = false;
    CControlUI* control = FindControl(PointFromLParam(lParam));
    if (!control)
        return false;
    if (m_hover) {
        UiEvent event = MakeEvent(kEventMouseHover, m_hover, wParam, lParam);
        m_hover->Event(event);
    }
    if (!control->GetToolTip().empty())
        ShowToolTip(control);
    return true;
}

bool SkinWindowManager::OnMouseLeave(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                     LRESULT& /*result*/) {
    HideToolTip();
    // The point (-1,-1) is the pointer gone: the hover control is left.
    if (m_leaveTracking)
        SendMessageW(m_window, WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFFFFFF));
    m_hoverTracking = false;
    m_leaveTracking = false;
    return false;
}

bool SkinWindowManager::OnMouseMove(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam,
                                    LRESULT& /*result*/) {
    const POINT pt = PointFromLParam(lParam);
    TrackMouse(pt);
    m_lastMouse = pt;
    CControlUI* control = FindControl(pt);
    if (control && control->GetManager() != this)
        return true;
    if (control != m_hover) {
        if (m_hover) {
            CControlUI* old = m_hover;
            m_hover = nullptr;
            UiEvent event = MakeEvent(kEventMouseLeave, old);
            old->Event(event);
            HideToolTip();
        }
        if (control) {
            m_hover = control;
            UiEvent event = MakeEvent(kEventMouseEnter, control);
            control->Event(event);
        }
    }
    CControlUI* target = m_click ? m_click : m_hover;
    if (target) {
        UiEvent event = MakeEvent(kEventMouseMove, target);
        target->Event(event);
    }
    return true;
}

void SkinWindowManager::TrackMouse(POINT pt) {
    // The point (-1,-1) is the pointer gone from the window: nothing to track.
    const bool outside = pt.x == -1 && pt.y == -1;
    if (outside || (m_hoverTracking && m_leaveTracking))
        return;
    TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_window,
                          m_toolTip.InitialDelay(kDefaultHoverTimeMs)};
    TrackMouseEvent(&track);
    m_hoverTracking = true;
    m_leaveTracking = true;
}

void SkinWindowManager::ShowToolTip(CControlUI* control) {
    m_toolTip.Show(m_window, UiProcess::GetInstance(), control, control->GetToolTip(),
                   control->GetPos(), control->GetToolTipWidth());
}

bool SkinWindowManager::OnButtonDown(UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& /*result*/) {
    ::SetFocus(m_window);
    if (m_access)
        m_access->PointerPressed();
    const POINT pt = PointFromLParam(lParam);
    m_lastMouse = pt;
    CControlUI* control = FindControl(pt);
    if (!control || control->GetManager() != this)
        return false;
    m_click = control;
    SetCapture(m_window);
    m_mouseCapture = true;
    control->SetFocus();
    // Taking focus may have run code that let go of the control.
    if (m_click != control)
        return true;
    const int kind = message == WM_LBUTTONDOWN     ? kEventButtonDown
                     : message == WM_LBUTTONDBLCLK ? kEventDblClick
                                                   : kEventRButtonDown;
    UiEvent event = MakeEvent(kind, control, wParam, lParam);
    control->Event(event);
    return true;
}

bool SkinWindowManager::OnButtonUp(UINT message, WPARAM wParam, LPARAM lParam,
                                   LRESULT& /*result*/) {
    m_lastMouse = PointFromLParam(lParam);
    CControlUI* control = m_click;
    m_click = nullptr;
    if (m_mouseCapture) {
        m_mouseCapture = false;
        ReleaseCapture();
    }
    if (!control)
        return false;
    if (message == WM_LBUTTONUP) {
        UiEvent event = MakeEvent(kEventButtonUp, control, wParam, lParam);
        control->Event(event);
    }
    return true;
}

CControlUI* SkinWindowManager::ControlAtScreenPoint(LPARAM lParam) {
    POINT pt = PointFromLParam(lParam);
    ScreenToClient(m_window, &pt);
    m_lastMouse = pt;
    return FindControl(pt);
}

bool SkinWindowManager::OnContextMenu(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                      LRESULT& /*result*/) {
    CControlUI* control = ControlAtScreenPoint(lParam);
    if (!control)
        return false;
    UiEvent event = MakeEvent(kEventContextMenu, control, wParam, lParam);
    control->Event(event);
    return true;
}

bool SkinWindowManager::OnMouseWheel(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                     LRESULT& /*result*/) {
    CControlUI* control = ControlAtScreenPoint(lParam);
    if (!control)
        return false;
    const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
    UiEvent event = MakeEvent(kEventScrollWheel, control,
                              MAKELONG(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0), lParam);
    control->Event(event);
    return true;
}

bool SkinWindowManager::OnKey(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& /*result*/) {
    if (!m_focus)
        return false;
    const int kind = message == WM_KEYDOWN ? kEventKeyDown
                     : message == WM_KEYUP ? kEventKeyUp
                                           : kEventChar;
    m_keyControl = m_focus;
    UiEvent event = MakeEvent(kind, m_focus, wParam, lParam);
    event.key = static_cast<wchar_t>(wParam);
    m_focus->Event(event);
    return true;
}

bool SkinWindowManager::OnSetCursor(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                    LRESULT& result) {
    if (LOWORD(lParam) != HTCLIENT)
        return false;
    if (m_mouseCapture) {
        result = TRUE;
        return true;
    }
    POINT pt{};
    GetCursorPos(&pt);
    ScreenToClient(m_window, &pt);
    CControlUI* control = FindControl(pt);
    if (!control || !(control->GetControlFlags() & kFlagSetCursor))
        return false;
    UiEvent event = MakeEvent(kEventSetCursor, control, wParam, lParam);
    event.mouse = pt;
    control->Event(event);
    result = TRUE;
    return true;
}

bool SkinWindowManager::OnReflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (lParam == 0)
        return false;
    result = SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
    return true;
}

UiEvent SkinWindowManager::MakeEvent(int type, CControlUI* sender, WPARAM wParam,
                                     LPARAM lParam) const {
    UiEvent event;
    event.type = type;
    event.sender = sender;
    event.timestamp = GetTickCount();
    event.mouse = m_lastMouse;
    event.keyState = 0;
    if (GetKeyState(VK_CONTROL) < 0)
        event.keyState |= MK_CONTROL;
    if (GetKeyState(VK_SHIFT) < 0)
        event.keyState |= MK_SHIFT;
    event.wParam = wParam;
    event.lParam = lParam;
    return event;
}

} // namespace skinui
