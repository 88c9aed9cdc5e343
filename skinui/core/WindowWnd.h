#pragma once

#include <windows.h>

namespace skinui {

// Owner of one native window whose messages reach the object's RouteWindowMessage. The virtual
// operations keep their order in derived classes.
class CWindowWnd {
public:
    CWindowWnd() = default;
    CWindowWnd(const CWindowWnd&) = delete;
    CWindowWnd& operator=(const CWindowWnd&) = delete;

    HWND GetHWND() const { return m_hwnd; }
    HWND Create(HWND parent, const wchar_t* title, DWORD style, DWORD exStyle,
                int x = CW_USEDEFAULT, int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT,
                int cy = CW_USEDEFAULT);
    void ShowWindow(bool show = true, bool takeFocus = true);
    void CenterWindow();
    void Close(UINT result = IDOK);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    LRESULT PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

protected:
    virtual const wchar_t* WindowClassName() const = 0;
    virtual const wchar_t* SuperClassName() const;
    virtual UINT ClassStyle() const;
    virtual LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnLastMessage(HWND hwnd);

public:
    virtual ~CWindowWnd() = default;

protected:
    // Calls the procedure the window had before the framework took it over.
    LRESULT CallPreviousProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
    WNDPROC m_previousProc = DefWindowProcW;
    bool m_subclassed = false;

private:
    bool RegisterWindowClass();
    bool RegisterSuperclass();
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SuperclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Dispatch(CWindowWnd* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                            bool superclassed) noexcept;
    static LRESULT Route(CWindowWnd* self, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                         bool superclassed);
};

} // namespace skinui
