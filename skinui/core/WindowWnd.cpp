#include "skinui/core/WindowWnd.h"

#include "skinui/core/UiProcess.h"

#include <algorithm>

namespace skinui {
namespace {

// Where a superclassed window keeps its object: the class's own user data belongs to the
// original class.
constexpr wchar_t kObjectProperty[] = L"WndX";

} // namespace

const wchar_t* CWindowWnd::SuperClassName() const {
    return nullptr;
}

UINT CWindowWnd::ClassStyle() const {
    return 0;
}

LRESULT CWindowWnd::RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallPreviousProc(message, wParam, lParam);
}

void CWindowWnd::OnLastMessage(HWND /*hwnd*/) {}

LRESULT CWindowWnd::CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(m_previousProc, m_hwnd, message, wParam, lParam);
}

HWND CWindowWnd::Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle, int x, int y,
                        int cx, int cy) {
    const bool registered = SuperClassName() ? RegisterSuperclass() : RegisterWindowClass();
    if (!registered)
        return nullptr;
    m_hwnd = CreateWindowExW(exStyle, WindowClassName(), title, style, x, y, cx, cy, parent,
                             nullptr, UiProcess::GetInstance(), this);
    return m_hwnd;
}

bool CWindowWnd::RegisterWindowClass() {
    WNDCLASSW wc{};
    wc.style = ClassStyle();
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = UiProcess::GetInstance();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = WindowClassName();
    return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    if (!GetClassInfoExW(nullptr, SuperClassName(), &wc) &&
        !GetClassInfoExW(UiProcess::GetInstance(), SuperClassName(), &wc))
        return false;
    m_previousProc = wc.lpfnWndProc;
    wc.lpfnWndProc = SuperclassProc;
    wc.hInstance = UiProcess::GetInstance();
    wc.lpszClassName = WindowClassName();
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    return Dispatch(self, hwnd, message, wParam, lParam, false);
}

LRESULT CALLBACK CWindowWnd::SuperclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowWnd* self = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowWnd*>(create->lpCreateParams);
        self->m_hwnd = hwnd;
        SetPropW(hwnd, kObjectProperty, self);
    } else {
        self = static_cast<CWindowWnd*>(GetPropW(hwnd, kObjectProperty));
    }
    return Dispatch(self, hwnd, message, wParam, lParam, true);
}

LRESULT CWindowWnd::Dispatch(CWindowWnd* self, HWND hwnd, UINT message, WPARAM wParam,
                             LPARAM lParam, bool superclassed) noexcept {
    // The system's code that called the procedure cannot unwind an exception: one that gets
    // this far is dropped, and the message counts as answered with 0.
    try {
        return Route(self, hwnd, message, wParam, lParam, superclassed);
    } catch (...) {
        return 0;
    }
}

LRESULT CWindowWnd::Route(CWindowWnd* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                          bool superclassed) {
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        const LRESULT result = CallWindowProcW(self->m_previousProc, hwnd, message, wParam, lParam);
        if (superclassed)
            RemovePropW(hwnd, kObjectProperty);
        else
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self->m_subclassed)
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_previousProc));
        self->m_subclassed = false;
        self->m_hwnd = nullptr;
        // The object may free itself here.
        self->OnLastMessage(hwnd);
        return result;
    }
    return self->RouteWindowMessage(message, wParam, lParam);
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
    if (!IsWindow(m_hwnd))
        return;
    ::ShowWindow(m_hwnd, show ? (takeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

void CWindowWnd::CenterWindow() {
    if (!IsWindow(m_hwnd))
        return;
    RECT window{};
    GetWindowRect(m_hwnd, &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT centreOn = area;
    HWND owner = GetWindow(m_hwnd, GW_OWNER);
    if (owner)
        GetWindowRect(owner, &centreOn);
    const LONG width = window.right - window.left;
    const LONG height = window.bottom - window.top;
    LONG x = (centreOn.left + centreOn.right) / 2 - width / 2;
    LONG y = (centreOn.top + centreOn.bottom) / 2 - height / 2;
    // Stay inside the work area; the left and top edges win for an oversized window.
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    SetWindowPos(m_hwnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWindowWnd::Close(UINT result) {
    if (IsWindow(m_hwnd))
        PostMessage(WM_CLOSE, static_cast<WPARAM>(result), 0);
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageW(m_hwnd, message, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessageW(m_hwnd, message, wParam, lParam);
}

} // namespace skinui
