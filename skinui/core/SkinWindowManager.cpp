#include "skinui/core/SkinWindowManager.h"

#include "skinui/core/ControlUI.h"
#include "skinui/core/UiProcess.h"
#include "skinui/render/RenderEngine.h"
#include "skinui/resources/SkinImage.h"
#include "skinui/resources/SkinResources.h"
#include "win32/DibSection.h"
#include "win32/GdiObject.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdint>

namespace skinui {
namespace {

// The manager's registration lists hold each entry at most once.
template <typename T> void AddOnce(std::vector<T*>& list, T* entry) {
    if (std::find(list.begin(), list.end(), entry) == list.end())
        list.push_back(entry);
}

template <typename T> void RemoveAll(std::vector<T*>& list, T* entry) {
    list.erase(std::remove(list.begin(), list.end(), entry), list.end());
}

// Posted to the window to run the delayed clean-up of removed controls and queued notices.
constexpr UINT kDelayedCleanupMessage = 0x8001;
constexpr UINT_PTR kCaretTimerId = 241;
constexpr UINT kTimerIdModulus = 240;
constexpr DWORD kDefaultHoverTimeMs = 400;
// Command and colour messages are reflected to their child window at this offset.
constexpr UINT kReflectOffset = 0x2000;

POINT PointFromLParam(LPARAM lParam) {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

SkinWindowManager::SkinWindowManager() {
    m_defaultFont = MakeFont(L"", 0, false, false, false, false);
}

SkinWindowManager::~SkinWindowManager() {
    RemoveAllTimers();
    // Controls report their destruction back here, so the tree goes while everything else is
    // still alive.
    m_root.reset();
    std::vector<CControlUI*> delayed;
    delayed.swap(m_delayedCleanup);
    for (CControlUI* control : delayed)
        delete control;
    m_asyncNotify.clear();
    ReleaseFonts();
    UiProcess::RemovePreTranslator(this);
}

void SkinWindowManager::Init(HWND window) {
    m_window = window;
    UiProcess::AddPreTranslator(this);
}

void SkinWindowManager::DetachWindow() {
    RemoveAllTimers();
    HideToolTip();
    m_asyncNotify.clear();
    m_focus = nullptr;
    m_hover = nullptr;
    m_click = nullptr;
    m_keyControl = nullptr;
    m_toolTipControl = nullptr;
    m_nameMap.clear();
    m_notifiers.clear();
    m_translators.clear();
    m_preFilters.clear();
    m_filters.clear();
    m_window = nullptr;
    m_toolTip = nullptr;
    UiProcess::RemovePreTranslator(this);
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
    const std::vector<IMessageFilterUI*> filters = m_preFilters;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        result = filter->FilterMessage(message, wParam, lParam, handled);
        if (handled)
            return true;
    }
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_TAB) {
            if (m_focus && m_focus->IsVisible() && m_focus->IsEnabled() &&
                (m_focus->GetControlFlags() & kFlagWantTab))
                return false;
            SetNextTabControl(GetKeyState(VK_SHIFT) >= 0);
            return true;
        }
        break;
    case WM_SYSKEYDOWN:
        if (m_focus) {
            UiEvent event = MakeEvent(kEventSysKey, m_focus, wParam, lParam);
            event.key = static_cast<wchar_t>(wParam);
            m_focus->Event(event);
        }
        break;
    case WM_SYSCHAR: {
        if (!m_root)
            break;
        const wchar_t wanted = static_cast<wchar_t>(
            reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(wParam & 0xFFFF))));
        bool passOn = false;
        CControlUI* found = m_root->FindControl(
            [&](CControlUI* control, void*) -> CControlUI* {
                if (passOn)
                    return wcscmp(control->GetClass(), kLabelClassName) == 0 ? nullptr : control;
                const wchar_t shortcut = static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(
                    reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(control->GetShortcut())))));
                if (control->GetShortcut() == 0 || shortcut != wanted)
                    return nullptr;
                if (wcscmp(control->GetClass(), kLabelClassName) == 0) {
                    passOn = true;
                    return nullptr;
                }
                return control;
            },
            nullptr, kFindEnabled | kFindMeFirst | kFindTopFirst);
        if (found) {
            found->SetFocus();
            found->Activate();
            return true;
        }
        break;
    }
    default:
        break;
    }
    return false;
}

bool SkinWindowManager::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam,
                                       LRESULT& result) {
    if (!m_window)
        return false;
    FlushAsyncNotifications();
    const std::vector<IMessageFilterUI*> filters = m_filters;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        result = filter->FilterMessage(message, wParam, lParam, handled);
        if (handled)
            return true;
    }
    result = 0;
    switch (message) {
    case kDelayedCleanupMessage:
        m_cleanupPosted = false;
        CleanupDelayed();
        return true;
    case WM_CLOSE: {
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
        return false;
    }
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_PAINT:
        OnPaint();
        return true;
    case WM_GETMINMAXINFO: {
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
    case WM_SIZE:
        if (m_focus) {
            UiEvent event = MakeEvent(kEventWindowSize, m_focus, wParam, lParam);
            m_focus->Event(event);
        }
        if (m_root)
            m_root->NeedUpdate();
        m_updateNeeded = true;
        return true;
    case WM_TIMER: {
        // Carets here are the system's, which blinks by itself, so the caret tick has nothing to
        // toggle; it is still kept from the control timers.
        if (wParam == kCaretTimerId)
            return true;
        for (const TimerInfo& timer : m_timers) {
            if (timer.window == m_window && timer.nativeId == wParam && !timer.killed) {
                CControlUI* sender = timer.sender;
                UiEvent event = MakeEvent(kEventTimer, sender, timer.key, lParam);
                sender->Event(event);
                break;
            }
        }
        return true;
    }
    case WM_MOUSEHOVER: {
        // A hover report ends hover tracking only; leave tracking stays armed.
        m_hoverTracking = false;
        const POINT pt = PointFromLParam(lParam);
        CControlUI* control = FindControl(pt);
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
    case WM_MOUSELEAVE:
        HideToolTip();
        if (m_leaveTracking)
            SendMessageW(m_window, WM_MOUSEMOVE, 0, static_cast<LPARAM>(0xFFFFFFFF));
        m_hoverTracking = false;
        m_leaveTracking = false;
        return false;
    case WM_MOUSEMOVE:
        OnMouseMove(PointFromLParam(lParam));
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: {
        ::SetFocus(m_window);
        const POINT pt = PointFromLParam(lParam);
        m_lastMouse = pt;
        CControlUI* control = FindControl(pt);
        if (!control || control->GetManager() != this)
            return false;
        m_click = control;
        SetCapture(m_window);
        m_mouseCapture = true;
        control->SetFocus();
        if (m_click != control)
            return true;
        const int kind = message == WM_LBUTTONDOWN     ? kEventButtonDown
                         : message == WM_LBUTTONDBLCLK ? kEventDblClick
                                                       : kEventRButtonDown;
        UiEvent event = MakeEvent(kind, control, wParam, lParam);
        control->Event(event);
        return true;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        const POINT pt = PointFromLParam(lParam);
        m_lastMouse = pt;
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
    case WM_CONTEXTMENU: {
        POINT pt = PointFromLParam(lParam);
        ScreenToClient(m_window, &pt);
        m_lastMouse = pt;
        CControlUI* control = FindControl(pt);
        if (!control)
            return false;
        UiEvent event = MakeEvent(kEventContextMenu, control, wParam, lParam);
        control->Event(event);
        return true;
    }
    case WM_MOUSEWHEEL: {
        POINT pt = PointFromLParam(lParam);
        ScreenToClient(m_window, &pt);
        m_lastMouse = pt;
        CControlUI* control = FindControl(pt);
        if (!control)
            return false;
        const int delta = GET_WHEEL_DELTA_WPARAM(wParam);
        UiEvent event = MakeEvent(kEventScrollWheel, control,
                                  MAKELONG(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0), lParam);
        control->Event(event);
        return true;
    }
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR: {
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
    case WM_SETCURSOR: {
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
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam == 0)
            return false;
        result =
            SendMessageW(reinterpret_cast<HWND>(lParam), message + kReflectOffset, wParam, lParam);
        return true;
    default:
        return false;
    }
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

void SkinWindowManager::OnMouseMove(POINT pt) {
    // The point (-1,-1) is the pointer gone from the window: nothing to track.
    const bool outside = pt.x == -1 && pt.y == -1;
    if (!outside && !(m_hoverTracking && m_leaveTracking)) {
        TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, m_window,
                              m_toolTip ? static_cast<DWORD>(SendMessageW(
                                              m_toolTip, TTM_GETDELAYTIME, TTDT_INITIAL, 0))
                                        : kDefaultHoverTimeMs};
        TrackMouseEvent(&track);
        m_hoverTracking = true;
        m_leaveTracking = true;
    }
    m_lastMouse = pt;
    CControlUI* control = FindControl(pt);
    if (control && control->GetManager() != this)
        return;
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
}

void SkinWindowManager::ShowToolTip(CControlUI* control) {
    if (!m_toolTip) {
        m_toolTip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                    m_window, nullptr, UiProcess::GetInstance(), nullptr);
        if (!m_toolTip)
            return;
    }
    std::wstring text = control->GetToolTip();
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = m_window;
    info.uId = reinterpret_cast<UINT_PTR>(m_window);
    info.hinst = UiProcess::GetInstance();
    info.lpszText = text.data();
    info.rect = control->GetPos();
    if (m_toolTipControl)
        HideToolTip();
    SendMessageW(m_toolTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    SendMessageW(m_toolTip, TTM_SETMAXTIPWIDTH, 0, control->GetToolTipWidth());
    SendMessageW(m_toolTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
    m_toolTipControl = control;
}

void SkinWindowManager::HideToolTip() {
    if (!m_toolTip || !m_toolTipControl)
        return;
    TOOLINFOW info{};
    info.cbSize = sizeof(info);
    info.uFlags = TTF_IDISHWND;
    info.hwnd = m_window;
    info.uId = reinterpret_cast<UINT_PTR>(m_window);
    SendMessageW(m_toolTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&info));
    // The tool goes too: the next control adds its own text under the same id.
    SendMessageW(m_toolTip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    m_toolTipControl = nullptr;
}

void SkinWindowManager::LayoutIfNeeded(const RECT& client) {
    if (m_updateNeeded && m_root && !IsRectEmpty(&client)) {
        m_updateNeeded = false;
        if (m_root->IsUpdateNeeded()) {
            m_root->SetPos(client);
        } else {
            std::vector<CControlUI*> pending;
            m_root->FindControl(
                [&](CControlUI* control, void*) -> CControlUI* {
                    if (control->IsUpdateNeeded())
                        pending.push_back(control);
                    return nullptr;
                },
                nullptr, kFindVisible | kFindMeFirst);
            for (CControlUI* control : pending) {
                if (!control->IsUpdateNeeded())
                    continue;
                // A floating control's rectangle comes from its fixed position and size, so
                // after a change to those the parent's float rule places it again.
                auto* parent = control->IsFloat()
                                   ? InterfaceCast<IContainerUI>(control->GetParent())
                                   : nullptr;
                if (parent)
                    parent->SetFloatPos(parent->GetItemIndex(control));
                else
                    control->SetPos(control->GetPos());
            }
        }
        if (m_firstLayout) {
            m_firstLayout = false;
            SendNotify(m_root.get(), L"windowinit");
        }
    }
    if (m_focusNeeded)
        SetNextTabControl();
}

void SkinWindowManager::LayoutAndPaint(HDC dc, const RECT& client, const RECT& paint) {
    LayoutIfNeeded(client);
    if (!m_root)
        return;
    m_root->DoPaint(dc, paint);
    const std::vector<CControlUI*> postPaint = m_postPaint;
    for (CControlUI* control : postPaint)
        control->DoPostPaint(dc, paint);
    if (m_showUpdateRect)
        render::DrawRect(dc, paint, 1, 0xFFFF0000);
}

void SkinWindowManager::OnPaint() {
    RECT client{};
    GetClientRect(m_window, &client);
    if (!m_root) {
        PAINTSTRUCT ps;
        BeginPaint(m_window, &ps);
        EndPaint(m_window, &ps);
        return;
    }
    // Layout first: "windowinit" must reach the window before anything is drawn.
    LayoutIfNeeded(client);
    if (m_layered) {
        PAINTSTRUCT ps;
        BeginPaint(m_window, &ps);
        EndPaint(m_window, &ps);
        PaintLayered(client);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_window, &ps);
    if (!IsRectEmpty(&client)) {
        const RECT& dirty = ps.rcPaint;
        const int width = dirty.right - dirty.left;
        const int height = dirty.bottom - dirty.top;
        const win32::MemoryDc buffer(dc);
        const win32::UniqueBitmap bitmap(CreateCompatibleBitmap(dc, std::max<LONG>(1, client.right),
                                                                std::max<LONG>(1, client.bottom)));
        const win32::SelectObjectScope selected(buffer.get(), bitmap.get());
        if (selected) {
            BitBlt(buffer.get(), dirty.left, dirty.top, width, height, dc, dirty.left, dirty.top,
                   SRCCOPY);
            LayoutAndPaint(buffer.get(), client, dirty);
            BitBlt(dc, dirty.left, dirty.top, width, height, buffer.get(), dirty.left, dirty.top,
                   SRCCOPY);
        } else {
            // Without memory for the off-screen image the tree paints straight to the window:
            // it may flicker, but it shows.
            LayoutAndPaint(dc, client, dirty);
        }
    }
    EndPaint(m_window, &ps);
}

void SkinWindowManager::PaintLayered(const RECT& client) {
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return;
    const LONG_PTR exStyle = GetWindowLongPtrW(m_window, GWL_EXSTYLE);
    if (!(exStyle & WS_EX_LAYERED))
        SetWindowLongPtrW(m_window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    win32::DibSection image(width, height);
    if (!image)
        return;
    LayoutAndPaint(image.dc(), client, client);
    GdiFlush();
    // GDI leaves the alpha byte of what it draws at 0, while blended images carry their own
    // alpha: a pixel with colour but no alpha was drawn opaque by GDI.
    std::uint32_t* pixels = image.pixels();
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
        if ((pixels[i] & 0xFF000000) == 0 && (pixels[i] & 0x00FFFFFF) != 0)
            pixels[i] |= 0xFF000000;
    RECT window{};
    GetWindowRect(m_window, &window);
    render::PresentLayered(m_window, {window.left, window.top}, image);
}

bool SkinWindowManager::AttachDialog(CControlUI* root) {
    if (m_focus) {
        m_focus = nullptr;
    }
    m_hover = nullptr;
    m_click = nullptr;
    m_keyControl = nullptr;
    if (m_root)
        AddDelayedCleanup(m_root.release());
    m_root.reset(root);
    if (!root)
        return false;
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    InitControls(root, nullptr);
    RegisterNames(root);
    m_updateNeeded = true;
    m_firstLayout = true;
    m_focusNeeded = true;
    m_shadow.Create(m_window, UiProcess::GetInstance(), m_images);
    return true;
}

bool SkinWindowManager::InitControls(CControlUI* control, CControlUI* parent) {
    if (!control)
        return false;
    control->SetManager(this, parent ? parent : control->GetParent(), true);
    return true;
}

void SkinWindowManager::RegisterNames(CControlUI* root) {
    root->FindControl(
        [this](CControlUI* control, void*) -> CControlUI* {
            const std::wstring name = control->GetName();
            if (!name.empty())
                m_nameMap[name] = control;
            return nullptr;
        },
        nullptr, 0);
}

void SkinWindowManager::ReapObjects(CControlUI* control) {
    if (m_focus == control)
        m_focus = nullptr;
    if (m_hover == control)
        m_hover = nullptr;
    if (m_click == control)
        m_click = nullptr;
    if (m_keyControl == control)
        m_keyControl = nullptr;
    if (m_toolTipControl == control)
        HideToolTip();
    KillTimer(control);
    for (auto it = m_nameMap.begin(); it != m_nameMap.end();) {
        if (it->second == control)
            it = m_nameMap.erase(it);
        else
            ++it;
    }
    for (UiNotification& notification : m_asyncNotify)
        if (notification.sender == control)
            notification.sender = nullptr;
    RemovePostPaint(control);
    for (auto& [group, members] : m_optionGroups)
        members.erase(std::remove(members.begin(), members.end(), control), members.end());
}

CControlUI* SkinWindowManager::FindControl(const std::wstring& name) const {
    const auto it = m_nameMap.find(name);
    return it == m_nameMap.end() ? nullptr : it->second;
}

CControlUI* SkinWindowManager::FindControl(POINT pt) const {
    if (!m_root)
        return nullptr;
    return m_root->FindControl([](CControlUI* control, void*) { return control; }, &pt,
                               kFindVisible | kFindHitTest | kFindTopFirst);
}

CControlUI* SkinWindowManager::FindSubControlByName(CControlUI* parent,
                                                    const std::wstring& name) const {
    if (!parent)
        parent = m_root.get();
    if (!parent)
        return nullptr;
    return parent->FindControl(
        [&name](CControlUI* control, void*) {
            return control->GetName() == name ? control : nullptr;
        },
        nullptr, kFindMeFirst);
}

void SkinWindowManager::SendNotify(CControlUI* sender, const std::wstring& type, WPARAM wParam,
                                   LPARAM lParam, bool async) {
    UiNotification notification;
    notification.type = type;
    notification.sender = sender;
    notification.wParam = wParam;
    notification.lParam = lParam;
    SendNotify(notification, async);
}

void SkinWindowManager::SendNotify(UiNotification& notification, bool async) {
    notification.mouse = m_lastMouse;
    notification.timestamp = GetTickCount();
    if (notification.sender)
        notification.virtualWindow = notification.sender->GetVirtualWnd();
    if (!async) {
        DeliverNotification(notification);
        return;
    }
    m_asyncNotify.push_back(notification);
    if (m_window && !m_cleanupPosted) {
        m_cleanupPosted = true;
        PostMessageW(m_window, kDelayedCleanupMessage, 0, 0);
    }
}

void SkinWindowManager::DeliverNotification(UiNotification& notification) {
    if (notification.sender) {
        const auto delegates = notification.sender->OnNotify;
        for (const auto& handler : delegates)
            handler(notification);
    }
    // By index: a notifier may register or remove notifiers while it runs.
    for (size_t i = 0; i < m_notifiers.size(); ++i)
        m_notifiers[i]->OnNotify(notification);
}

void SkinWindowManager::FlushAsyncNotifications() {
    while (!m_asyncNotify.empty()) {
        std::vector<UiNotification> queued;
        queued.swap(m_asyncNotify);
        for (UiNotification& notification : queued)
            DeliverNotification(notification);
    }
}

void SkinWindowManager::AddNotifier(INotifyUI* notifier) {
    AddOnce(m_notifiers, notifier);
}

void SkinWindowManager::RemoveNotifier(INotifyUI* notifier) {
    RemoveAll(m_notifiers, notifier);
}

void SkinWindowManager::AddTranslateAccelerator(ITranslateAccelerator* translator) {
    AddOnce(m_translators, translator);
}

void SkinWindowManager::RemoveTranslateAccelerator(ITranslateAccelerator* translator) {
    RemoveAll(m_translators, translator);
}

bool SkinWindowManager::TranslateAccelerators(MSG* msg) {
    // A copy: a translator may remove itself while it handles the message.
    const std::vector<ITranslateAccelerator*> translators = m_translators;
    for (ITranslateAccelerator* translator : translators) {
        if (translator->TranslateAccelerator(msg))
            return true;
    }
    return false;
}

void SkinWindowManager::AddPreMessageFilter(IMessageFilterUI* filter) {
    AddOnce(m_preFilters, filter);
}

void SkinWindowManager::RemovePreMessageFilter(IMessageFilterUI* filter) {
    RemoveAll(m_preFilters, filter);
}

void SkinWindowManager::AddMessageFilter(IMessageFilterUI* filter) {
    AddOnce(m_filters, filter);
}

void SkinWindowManager::RemoveMessageFilter(IMessageFilterUI* filter) {
    RemoveAll(m_filters, filter);
}

void SkinWindowManager::AddPostPaint(CControlUI* control) {
    AddOnce(m_postPaint, control);
}

void SkinWindowManager::RemovePostPaint(CControlUI* control) {
    RemoveAll(m_postPaint, control);
}

void SkinWindowManager::AddDelayedCleanup(CControlUI* control) {
    if (!control)
        return;
    m_delayedCleanup.push_back(control);
    if (m_window && !m_cleanupPosted) {
        m_cleanupPosted = true;
        PostMessageW(m_window, kDelayedCleanupMessage, 0, 0);
    }
}

void SkinWindowManager::CleanupDelayed() {
    std::vector<CControlUI*> delayed;
    delayed.swap(m_delayedCleanup);
    for (CControlUI* control : delayed)
        delete control;
}

void SkinWindowManager::SetFocus(CControlUI* control) {
    if (m_window && ::GetFocus() != m_window && control != m_focus)
        ::SetFocus(m_window);
    if (control == m_focus)
        return;
    DropFocus();
    if (!control || control->GetManager() != this || !control->IsVisible() || !control->IsEnabled())
        return;
    m_focus = control;
    UiEvent event = MakeEvent(kEventSetFocus, control);
    control->Event(event);
    SendNotify(control, L"setfocus");
}

void SkinWindowManager::DropFocus() {
    if (!m_focus)
        return;
    // Cleared first, so a handler that asks for the focus control sees none.
    CControlUI* old = m_focus;
    m_focus = nullptr;
    UiEvent event = MakeEvent(kEventKillFocus, old);
    old->Event(event);
    SendNotify(old, L"killfocus");
}

void SkinWindowManager::SetFocusNeeded(CControlUI* control) {
    ::SetFocus(m_window);
    if (!control)
        return;
    DropFocus();
    m_focus = control;
    m_focusNeeded = true;
    if (m_root)
        m_root->NeedUpdate();
}

bool SkinWindowManager::SetNextTabControl(bool forward) {
    m_focusNeeded = false;
    if (!m_root)
        return false;
    std::vector<CControlUI*> stops;
    m_root->FindControl(
        [&stops](CControlUI* control, void*) -> CControlUI* {
            if ((control->GetControlFlags() & kFlagTabStop) && control->IsKeyboardEnabled())
                stops.push_back(control);
            return nullptr;
        },
        nullptr, kFindVisible | kFindEnabled | kFindMeFirst);
    if (stops.empty())
        return false;
    const auto current = std::find(stops.begin(), stops.end(), m_focus);
    size_t next;
    if (current == stops.end())
        next = forward ? 0 : stops.size() - 1;
    else if (forward)
        next = (static_cast<size_t>(current - stops.begin()) + 1) % stops.size();
    else
        next = (static_cast<size_t>(current - stops.begin()) + stops.size() - 1) % stops.size();
    SetFocus(stops[next]);
    return true;
}

bool SkinWindowManager::SetTimer(CControlUI* control, UINT key, UINT elapseMs) {
    if (!m_window || !control)
        return false;
    for (TimerInfo& timer : m_timers) {
        if (timer.sender == control && timer.window == m_window && timer.key == key) {
            if (!timer.killed)
                return false;
            if (!::SetTimer(m_window, timer.nativeId, elapseMs, nullptr))
                return false;
            timer.killed = false;
            return true;
        }
    }
    m_lastTimerId = (m_lastTimerId + 1) % kTimerIdModulus;
    if (!::SetTimer(m_window, m_lastTimerId, elapseMs, nullptr))
        return false;
    m_timers.push_back({control, key, m_window, m_lastTimerId, false});
    return true;
}

bool SkinWindowManager::KillTimer(CControlUI* control, UINT key) {
    for (TimerInfo& timer : m_timers) {
        if (timer.sender == control && timer.window == m_window && timer.key == key) {
            if (!timer.killed && m_window)
                ::KillTimer(timer.window, timer.nativeId);
            timer.killed = true;
            return true;
        }
    }
    return false;
}

void SkinWindowManager::KillTimer(CControlUI* control) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->sender == control) {
            if (!it->killed && IsWindow(it->window))
                ::KillTimer(it->window, it->nativeId);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

void SkinWindowManager::RemoveAllTimers() {
    for (const TimerInfo& timer : m_timers)
        if (!timer.killed && IsWindow(timer.window))
            ::KillTimer(timer.window, timer.nativeId);
    m_timers.clear();
}

bool SkinWindowManager::AddOptionGroup(const std::wstring& group, CControlUI* option) {
    auto& members = m_optionGroups[group];
    if (std::find(members.begin(), members.end(), option) != members.end())
        return false;
    members.push_back(option);
    return true;
}

const std::vector<CControlUI*>* SkinWindowManager::GetOptionGroup(const std::wstring& group) const {
    const auto it = m_optionGroups.find(group);
    return it == m_optionGroups.end() ? nullptr : &it->second;
}

void SkinWindowManager::RemoveOptionGroup(const std::wstring& group, CControlUI* option) {
    const auto it = m_optionGroups.find(group);
    if (it == m_optionGroups.end())
        return;
    auto& members = it->second;
    members.erase(std::remove(members.begin(), members.end(), option), members.end());
    if (members.empty())
        m_optionGroups.erase(it);
}

void SkinWindowManager::SetHslAdjustment(const markup::HslAdjustment& adjustment) {
    m_hsl = adjustment;
    if (m_window)
        InvalidateRect(m_window, nullptr, FALSE);
}

void SkinWindowManager::Invalidate(const RECT& rc) {
    if (m_window)
        InvalidateRect(m_window, &rc, FALSE);
}

FontRecord SkinWindowManager::MakeFont(const std::wstring& face, int size, bool bold,
                                       bool underline, bool italic, bool clearType) const {
    LOGFONTW description{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(description), &description);
    description.lfCharSet = DEFAULT_CHARSET;
    if (!face.empty()) {
        const std::wstring shortFace = face.substr(0, LF_FACESIZE - 1);
        wcsncpy(description.lfFaceName, shortFace.c_str(), LF_FACESIZE - 1);
        description.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    if (size > 0)
        description.lfHeight = -size;
    if (bold)
        description.lfWeight += FW_BOLD;
    description.lfUnderline = underline ? TRUE : FALSE;
    description.lfItalic = italic ? TRUE : FALSE;
    if (clearType)
        description.lfQuality = CLEARTYPE_QUALITY;
    FontRecord record;
    record.font = CreateFontIndirectW(&description);
    record.face = description.lfFaceName;
    record.size = size > 0 ? size : -description.lfHeight;
    record.bold = bold;
    record.underline = underline;
    record.italic = italic;
    const win32::WindowDc screen(nullptr);
    const win32::SelectObjectScope selected(screen.get(), record.font);
    GetTextMetricsW(screen.get(), &record.metrics);
    return record;
}

void SkinWindowManager::SetDefaultFont(const std::wstring& face, int size, bool bold,
                                       bool underline, bool italic) {
    FontRecord record = MakeFont(face, size, bold, underline, italic, false);
    if (m_defaultFont.font)
        DeleteObject(m_defaultFont.font);
    m_defaultFont = record;
}

int SkinWindowManager::AddFont(const std::wstring& face, int size, bool bold, bool underline,
                               bool italic) {
    m_fonts.push_back(MakeFont(face, size, bold, underline, italic, true));
    return static_cast<int>(m_fonts.size()) - 1;
}

HFONT SkinWindowManager::GetFont(int index) const {
    return GetFontInfo(index).font;
}

const FontRecord& SkinWindowManager::GetFontInfo(int index) const {
    if (index < 0 || index >= GetFontCount())
        return m_defaultFont;
    return m_fonts[static_cast<size_t>(index)];
}

void SkinWindowManager::ReleaseFonts() {
    for (FontRecord& record : m_fonts)
        DeleteObject(record.font);
    m_fonts.clear();
    if (m_defaultFont.font)
        DeleteObject(m_defaultFont.font);
    m_defaultFont.font = nullptr;
}

const resources::ImageRecord* SkinWindowManager::GetImage(const std::wstring& name) {
    return GetImageEx(name, {}, 0);
}

const resources::ImageRecord*
SkinWindowManager::GetImageEx(const std::wstring& name, const std::wstring& resType, DWORD mask) {
    return m_images.Get(name, resType, mask);
}

void SkinWindowManager::AddDefaultAttributeList(const std::wstring& controlName,
                                                const std::wstring& list) {
    m_defaultAttributes.emplace(controlName, list);
}

std::wstring SkinWindowManager::GetDefaultAttributeList(const std::wstring& controlName) const {
    const auto it = m_defaultAttributes.find(controlName);
    return it == m_defaultAttributes.end() ? std::wstring{} : it->second;
}

void SkinWindowManager::SetInitSize(int cx, int cy) {
    m_initSize = {cx, cy};
    if (!m_root && m_window)
        SetWindowPos(m_window, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}

void SkinWindowManager::SetTransparent(int alpha) {
    alpha = std::clamp(alpha, 0, 255);
    if (!m_window)
        return;
    const LONG_PTR style = GetWindowLongPtrW(m_window, GWL_EXSTYLE);
    SetWindowLongPtrW(m_window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    SetLayeredWindowAttributes(m_window, 0, static_cast<BYTE>(alpha), LWA_ALPHA);
}

} // namespace skinui
