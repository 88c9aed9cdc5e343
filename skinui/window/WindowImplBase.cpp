#include "skinui/window/WindowImplBase.h"

#include "skinui/builder/SkinBuilder.h"
#include "skinui/controls/ButtonUI.h"
#include "skinui/controls/EditUI.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/controls/RichEditUI.h"
#include "skinui/controls/TextUI.h"
#include "skinui/core/ScrollBarUI.h"
#include "skinui/extras/SliderUI.h"
#include "skinui/core/ControlUI.h"
#include "skinui/resources/SkinResources.h"
#include "win32/GdiObject.h"

#include <windowsx.h>

namespace skinui {
namespace {

constexpr LONG kCaptionStyle = 0x00C00000; // WS_CAPTION
constexpr LONG kClipStyles = WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
constexpr LRESULT kNcCalcRedraw = 0x300; // WVR_REDRAW
constexpr WPARAM kEnterKey = 13;
constexpr WPARAM kEscapeKey = 27;
constexpr wchar_t kMarkupResourceType[] = L"xml";

// Controls inside the caption area that keep the mouse instead of dragging the window.
constexpr const wchar_t* kCaptionExclusions[] = {
    CButtonUI::kClassName, COptionUI::kClassName,    CTextUI::kClassName,    CSliderUI::kClassName,
    CEditUI::kClassName,   CScrollBarUI::kClassName, CRichEditUI::kClassName};

} // namespace

const wchar_t* WindowImplBase::SuperClassName() const {
    return nullptr;
}

UINT WindowImplBase::ClassStyle() const {
    return CS_DBLCLKS;
}

WindowImplBase::~WindowImplBase() = default;

void WindowImplBase::OnLastMessage(HWND /*hwnd*/) {
    m_manager.RemovePreMessageFilter(this);
    m_manager.RemoveNotifier(this);
    m_accessibility.Detach();
    m_manager.DetachWindow();
}

void WindowImplBase::OnWindowReady() {}

void WindowImplBase::HandleClick(UiNotification& notification) {
    const std::wstring name = notification.sender ? notification.sender->GetName() : L"";
    if (name == L"closebtn")
        Close(1);
    else if (name == L"minbtn")
        SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (name == L"maxbtn")
        SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (name == L"restorebtn")
        SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

LRESULT WindowImplBase::DefaultKeyResponse(WPARAM key) {
    return key == kEscapeKey ? 1 : 0;
}

int WindowImplBase::SkinSourceKind() const {
    return static_cast<int>(SkinSource::Files);
}

std::wstring WindowImplBase::SkinZipFileName() {
    return {};
}

LPCWSTR WindowImplBase::SkinResourceId() const {
    return L"";
}

const NotifyMap* WindowImplBase::NotificationMap() const {
    static const NotifyMap map{
        nullptr,
        {NotifyMapEntry{L"click", L"", NotifyHandlerKind::Notification, nullptr,
                        [](CNotifyPump& pump, UiNotification& notification) {
                            static_cast<WindowImplBase&>(pump).HandleClick(notification);
                        }}}};
    return &map;
}

void WindowImplBase::OnNotify(UiNotification& notification) {
    NotifyPump(notification);
}

LRESULT WindowImplBase::FilterMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/,
                                      bool& /*handled*/) {
    if (message == WM_KEYDOWN && (wParam == kEnterKey || wParam == kEscapeKey))
        return DefaultKeyResponse(wParam);
    return 0;
}

CControlUI* WindowImplBase::CreateCustomControl(const wchar_t* /*elementName*/) {
    return nullptr;
}

LRESULT WindowImplBase::OnCloseMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnDestroyMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnNcActivateMsg(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/,
                                        bool& handled) {
    if (IsIconic(m_hwnd)) {
        handled = false;
        return 0;
    }
    return wParam == 0 ? 1 : 0;
}

LRESULT WindowImplBase::OnNcCalcSizeMsg(UINT /*message*/, WPARAM wParam, LPARAM lParam,
                                        bool& /*handled*/) {
    if (!IsZoomed(m_hwnd))
        return 0;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT* proposed = wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                            : reinterpret_cast<RECT*>(lParam);
    proposed->right = proposed->left + (monitor.rcWork.right - monitor.rcWork.left);
    proposed->bottom = proposed->top + (monitor.rcWork.bottom - monitor.rcWork.top);
    return kNcCalcRedraw;
}

LRESULT WindowImplBase::OnNcPaintMsg(UINT, WPARAM, LPARAM, bool& /*handled*/) {
    return 0;
}

LRESULT WindowImplBase::OnNcHitTestMsg(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam,
                                       bool& /*handled*/) {
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ScreenToClient(m_hwnd, &pt);
    RECT client{};
    GetClientRect(m_hwnd, &client);
    if (!IsZoomed(m_hwnd)) {
        const RECT box = m_manager.GetSizeBox();
        if (pt.y < client.top + box.top) {
            if (pt.x < client.left + box.left)
                return HTTOPLEFT;
            if (pt.x >= client.right - box.right)
                return HTTOPRIGHT;
            return HTTOP;
        }
        if (pt.y >= client.bottom - box.bottom) {
            if (pt.x < client.left + box.left)
                return HTBOTTOMLEFT;
            if (pt.x >= client.right - box.right)
                return HTBOTTOMRIGHT;
            return HTBOTTOM;
        }
        if (pt.x < client.left + box.left)
            return HTLEFT;
        if (pt.x >= client.right - box.right)
            return HTRIGHT;
    }
    const RECT caption = m_manager.GetCaptionRect();
    if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right &&
        pt.y >= caption.top && pt.y < caption.bottom) {
        CControlUI* control = m_manager.FindControl(pt);
        if (!control)
            return HTCLIENT;
        for (const wchar_t* excluded : kCaptionExclusions)
            if (_wcsicmp(control->GetClass(), excluded) == 0)
                return HTCLIENT;
        return HTCAPTION;
    }
    return HTCLIENT;
}

LRESULT WindowImplBase::OnMinMaxInfoMsg(UINT /*message*/, WPARAM /*wParam*/, LPARAM lParam,
                                        bool& handled) {
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT work = monitor.rcWork;
    info->ptMaxPosition.x = work.left - monitor.rcMonitor.left;
    info->ptMaxPosition.y = work.top - monitor.rcMonitor.top;
    info->ptMaxTrackSize.x = work.right - work.left;
    info->ptMaxTrackSize.y = work.bottom - work.top;
    info->ptMinTrackSize.x = m_manager.GetMinInfo().cx;
    info->ptMinTrackSize.y = m_manager.GetMinInfo().cy;
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseWheelMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseHoverMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSizeMsg(UINT /*message*/, WPARAM wParam, LPARAM /*lParam*/,
                                  bool& handled) {
    const SIZE round = m_manager.GetRoundCorner();
    if (wParam != SIZE_MINIMIZED) {
        RECT window{};
        GetWindowRect(m_hwnd, &window);
        OffsetRect(&window, -window.left, -window.top);
        win32::UniqueRegion region(CreateRoundRectRgn(window.left, window.top, window.right + 1,
                                                      window.bottom + 1, round.cx, round.cy));
        // Once set, the region belongs to the window.
        if (region && SetWindowRgn(m_hwnd, region.get(), TRUE))
            region.release();
    }
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnCharMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSysCommandMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
    if (wParam == SC_CLOSE) {
        SendMessage(WM_CLOSE, 0, 0);
        return 0;
    }
    const bool wasZoomed = IsZoomed(m_hwnd) != FALSE;
    const LRESULT result = CallPreviousProc(message, wParam, lParam);
    if (!IsWindow(m_hwnd))
        return result;
    const bool zoomed = IsZoomed(m_hwnd) != FALSE;
    if (wasZoomed != zoomed) {
        CControlUI* maxButton = m_manager.FindControl(L"maxbtn");
        CControlUI* restoreButton = m_manager.FindControl(L"restorebtn");
        if (maxButton && restoreButton) {
            maxButton->SetVisible(!zoomed);
            restoreButton->SetVisible(zoomed);
        }
    }
    if ((wParam & 0xFFF0) == SC_RESTORE)
        handled = false;
    return result;
}

LRESULT WindowImplBase::OnCreateMsg(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                    bool& /*handled*/) {
    const LONG_PTR style = GetWindowLongPtrW(m_hwnd, GWL_STYLE);
    SetWindowLongPtrW(m_hwnd, GWL_STYLE, (style & ~kCaptionStyle) | kClipStyles);
    // The frame is recomputed at the current client size; the position the creator asked for
    // is kept rather than moving the window to the screen's corner.
    RECT client{};
    GetClientRect(m_hwnd, &client);
    SetWindowPos(m_hwnd, nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    m_manager.Init(m_hwnd);
    m_manager.AddPreMessageFilter(this);
    m_accessibility.Attach();

    const auto source = static_cast<SkinSource>(SkinSourceKind());
    if (!resources::PrepareSkinSource(source, SkinFolder(), SkinZipFileName(), SkinResourceId()))
        return 0;
    SkinBuilder builder;
    CControlUI* root = nullptr;
    const std::wstring fileName = SkinFileName();
    if (source == SkinSource::MarkupResource) {
        const auto id = static_cast<WORD>(_wtoi(fileName.c_str()));
        root = builder.Create(MAKEINTRESOURCEW(id), kMarkupResourceType, this, &m_manager);
    } else {
        root = builder.Create(fileName.c_str(), nullptr, this, &m_manager);
    }
    if (!root)
        resources::FailSkinLoad();
    m_manager.AttachDialog(root);
    m_manager.AddNotifier(this);
    OnWindowReady();
    return 0;
}

LRESULT WindowImplBase::OnKeyDownMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnKillFocusMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnSetFocusMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnLButtonDownMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnLButtonUpMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnMouseMoveMsg(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LRESULT WindowImplBase::OnOtherMessage(UINT, WPARAM, LPARAM, bool& handled) {
    handled = false;
    return 0;
}

LONG WindowImplBase::WindowStyle() const {
    return static_cast<LONG>(GetWindowLongPtrW(m_hwnd, GWL_STYLE)) & ~kCaptionStyle;
}

LRESULT WindowImplBase::RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    bool handled = true;
    LRESULT result = 0;
    switch (message) {
    case WM_CREATE:
        result = OnCreateMsg(message, wParam, lParam, handled);
        break;
    case WM_CLOSE:
        result = OnCloseMsg(message, wParam, lParam, handled);
        break;
    case WM_DESTROY:
        result = OnDestroyMsg(message, wParam, lParam, handled);
        break;
    case WM_NCACTIVATE:
        result = OnNcActivateMsg(message, wParam, lParam, handled);
        break;
    case WM_NCCALCSIZE:
        result = OnNcCalcSizeMsg(message, wParam, lParam, handled);
        break;
    case WM_NCPAINT:
        result = OnNcPaintMsg(message, wParam, lParam, handled);
        break;
    case WM_NCHITTEST:
        result = OnNcHitTestMsg(message, wParam, lParam, handled);
        break;
    case WM_GETMINMAXINFO:
        result = OnMinMaxInfoMsg(message, wParam, lParam, handled);
        break;
    case WM_MOUSEWHEEL:
        result = OnMouseWheelMsg(message, wParam, lParam, handled);
        break;
    case WM_SIZE:
        result = OnSizeMsg(message, wParam, lParam, handled);
        break;
    case WM_CHAR:
        result = OnCharMsg(message, wParam, lParam, handled);
        break;
    case WM_SYSCOMMAND:
        result = OnSysCommandMsg(message, wParam, lParam, handled);
        break;
    case WM_KEYDOWN:
        result = OnKeyDownMsg(message, wParam, lParam, handled);
        break;
    case WM_KILLFOCUS:
        result = OnKillFocusMsg(message, wParam, lParam, handled);
        break;
    case WM_SETFOCUS:
        result = OnSetFocusMsg(message, wParam, lParam, handled);
        break;
    case WM_LBUTTONUP:
        result = OnLButtonUpMsg(message, wParam, lParam, handled);
        break;
    case WM_LBUTTONDOWN:
        result = OnLButtonDownMsg(message, wParam, lParam, handled);
        break;
    case WM_MOUSEMOVE:
        result = OnMouseMoveMsg(message, wParam, lParam, handled);
        break;
    case WM_MOUSEHOVER:
        result = OnMouseHoverMsg(message, wParam, lParam, handled);
        break;
    default:
        handled = false;
        break;
    }
    if (handled)
        return result;
    result = OnOtherMessage(message, wParam, lParam, handled);
    if (handled)
        return result;
    if (m_manager.MessageHandler(message, wParam, lParam, result))
        return result;
    return CallPreviousProc(message, wParam, lParam);
}

} // namespace skinui
