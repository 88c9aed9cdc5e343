#include "skinui/extras/ActiveXHost.h"

#include "skinui/core/UiProcess.h"
#include "win32/DibSection.h"
#include "win32/GdiObject.h"

#include <ocidl.h>

#include <windowsx.h>

namespace skinui {
namespace {

constexpr wchar_t kWindowClass[] = L"SkinUiActiveXWnd";

bool IsForwardedToWindowless(UINT message) {
    return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_KEYFIRST && message <= WM_KEYLAST) || message == WM_SETCURSOR;
}

} // namespace

// The OLE site and the in-place window of one hosted control. The window's procedure reaches
// the site through the window's user data; the site is a COM object the control holds
// references to, so it lives until both the host and the control let go of it.
class ActiveXSite final : public IOleClientSite,
                          public IOleInPlaceSiteWindowless,
                          public IOleInPlaceFrame {
public:
    HRESULT Activate(HWND parent, IUnknown* control, const RECT& rc, bool visible);
    void Close();
    void Move(const RECT& rc);
    void Show(bool visible) {
        if (m_window)
            ::ShowWindow(m_window, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
    HWND Window() const { return m_window; }
    bool IsWindowless() const { return static_cast<bool>(m_windowless); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0)
            delete this;
        return refs;
    }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker)
            *moniker = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL /*show*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of the in-place site and the frame alike)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = m_window;
        return m_window ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL /*enter*/) override { return S_OK; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override {
        m_inPlace = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE /*extent*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL /*undoable*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override {
        m_inPlace = false;
        m_windowless.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT /*position*/) override { return S_OK; }

    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL /*noRedraw*/) override {
        return OnInPlaceDeactivate();
    }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }

    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCapture() override {
        return m_window && ::GetCapture() == m_window ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override {
        if (capture)
            ::SetCapture(m_window);
        else if (::GetCapture() == m_window)
            ::ReleaseCapture();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetFocus() override {
        return m_window && ::GetFocus() == m_window ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override {
        if (focus && m_window)
            ::SetFocus(m_window);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT /*area*/, DWORD /*flags*/, HDC* dc) override {
        if (!dc)
            return E_POINTER;
        *dc = m_window ? ::GetDC(m_window) : nullptr;
        return *dc ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override {
        ::ReleaseDC(m_window, dc);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT area, BOOL erase) override {
        if (m_window)
            ::InvalidateRect(m_window, area, erase);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) override {
        if (m_window)
            ::InvalidateRgn(m_window, region, erase);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT /*area*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                 LRESULT* result) override {
        if (result)
            *result = DefWindowProcW(m_window, message, wParam, lParam);
        return S_OK;
    }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: no tool space, menus or status line to share.
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT /*border*/) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~ActiveXSite() = default;
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    RECT ClientArea() const {
        RECT rc{};
        if (m_window)
            GetClientRect(m_window, &rc);
        return rc;
    }

    ULONG m_refs = 1;
    HWND m_window = nullptr;
    bool m_inPlace = false;
    win32::ComPtr<IOleObject> m_object;
    win32::ComPtr<IViewObject> m_view;
    win32::ComPtr<IOleInPlaceObject> m_inPlaceObject;
    win32::ComPtr<IOleInPlaceObjectWindowless> m_windowless;
};

HRESULT STDMETHODCALLTYPE ActiveXSite::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx ||
             iid == IID_IOleInPlaceSiteWindowless)
        *object = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveXSite::GetWindowContext(IOleInPlaceFrame** frame,
                                                        IOleInPlaceUIWindow** document,
                                                        LPRECT position, LPRECT clip,
                                                        LPOLEINPLACEFRAMEINFO info) {
    if (!frame || !document || !position || !clip)
        return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = ClientArea();
    *clip = ClientArea();
    if (info) {
        info->fMDIApp = FALSE;
        info->hwndFrame = GetParent(m_window);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ActiveXSite::OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) {
    if (noRedraw)
        *noRedraw = FALSE;
    m_inPlace = true;
    if ((flags & ACTIVATE_WINDOWLESS) && m_object)
        m_windowless = m_object.query<IOleInPlaceObjectWindowless>(IID_IOleInPlaceObjectWindowless);
    return S_OK;
}

HRESULT ActiveXSite::Activate(HWND parent, IUnknown* control, const RECT& rc, bool visible) {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &ActiveXSite::WindowProc;
        wc.hInstance = UiProcess::GetInstance();
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        return RegisterClassW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    if (!registered || !control)
        return E_FAIL;
    control->QueryInterface(IID_IOleObject, m_object.put_void());
    if (!m_object)
        return E_NOINTERFACE;
    m_window = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                               rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, parent,
                               nullptr, UiProcess::GetInstance(), nullptr);
    if (!m_window)
        return E_FAIL;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    control->QueryInterface(IID_IViewObject, m_view.put_void());

    m_object->SetClientSite(this);
    if (auto init = m_object.query<IPersistStreamInit>(IID_IPersistStreamInit))
        init->InitNew();
    RECT area = ClientArea();
    HRESULT result = m_object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, m_window, &area);
    if (FAILED(result))
        return result;
    control->QueryInterface(IID_IOleInPlaceObject, m_inPlaceObject.put_void());
    if (m_inPlaceObject)
        m_inPlaceObject->SetObjectRects(&area, &area);
    Show(visible);
    return S_OK;
}

void ActiveXSite::Move(const RECT& rc) {
    if (!m_window)
        return;
    RECT now{};
    GetWindowRect(m_window, &now);
    MapWindowPoints(nullptr, GetParent(m_window), reinterpret_cast<POINT*>(&now), 2);
    if (EqualRect(&now, &rc))
        return;
    SetWindowPos(m_window, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT area = ClientArea();
    if (m_inPlaceObject)
        m_inPlaceObject->SetObjectRects(&area, &area);
}

void ActiveXSite::Close() {
    if (m_inPlaceObject)
        m_inPlaceObject->InPlaceDeactivate();
    if (m_object) {
        m_object->Close(OLECLOSE_NOSAVE);
        m_object->SetClientSite(nullptr);
    }
    m_windowless.reset();
    m_inPlaceObject.reset();
    m_view.reset();
    m_object.reset();
    if (m_window) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
        m_window = nullptr;
    }
}

LRESULT CALLBACK ActiveXSite::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* site = reinterpret_cast<ActiveXSite*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!site)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    // The system cannot unwind an exception through a window procedure.
    try {
        return site->OnMessage(message, wParam, lParam);
    } catch (...) {
        return 0;
    }
}

LRESULT ActiveXSite::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        // A click on the control gives it the keyboard, as it would in a dialog.
        if (m_windowless)
            ::SetFocus(m_window);
        break;
    case WM_DESTROY:
        // Destroyed with the skinned window before the host let go: the control is closed now,
        // while its window still exists.
        if (m_object) {
            const HWND window = m_window;
            m_window = nullptr;
            if (m_inPlaceObject)
                m_inPlaceObject->InPlaceDeactivate();
            m_object->Close(OLECLOSE_NOSAVE);
            m_object->SetClientSite(nullptr);
            m_windowless.reset();
            m_inPlaceObject.reset();
            m_view.reset();
            m_object.reset();
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            return DefWindowProcW(window, message, wParam, lParam);
        }
        break;
    default:
        break;
    }
    if (m_windowless && IsForwardedToWindowless(message)) {
        LRESULT result = 0;
        // Rebuild the pointer so that the control's own release of it cannot free this site
        // while it handles the message.
        win32::ComPtr<IOleInPlaceObjectWindowless> windowless(m_windowless.get());
        windowless->AddRef();
        if (windowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK)
            return result;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void ActiveXSite::Paint() {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(m_window, &ps);
    const RECT area = ClientArea();
    if (m_view && area.right > 0 && area.bottom > 0) {
        // Drawn off screen first: a windowless control paints in layers and would flicker.
        win32::DibSection image(area.right, area.bottom, dc);
        if (image) {
            FillRect(image.dc(), &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            const RECTL bounds{0, 0, area.right, area.bottom};
            m_view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, image.dc(), &bounds,
                         nullptr, nullptr, 0);
            BitBlt(dc, 0, 0, area.right, area.bottom, image.dc(), 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_window, &ps);
}

std::unique_ptr<ActiveXHost> ActiveXHost::Activate(HWND parent, IUnknown* control, const RECT& rc,
                                                   bool visible) {
    win32::ComPtr<ActiveXSite> site(new ActiveXSite);
    if (FAILED(site->Activate(parent, control, rc, visible))) {
        site->Close();
        return nullptr;
    }
    return std::unique_ptr<ActiveXHost>(new ActiveXHost(std::move(site)));
}

ActiveXHost::ActiveXHost(win32::ComPtr<ActiveXSite> site) : m_site(std::move(site)) {}

ActiveXHost::~ActiveXHost() {
    if (m_site)
        m_site->Close();
}

void ActiveXHost::Move(const RECT& rc) {
    m_site->Move(rc);
}

void ActiveXHost::Show(bool visible) {
    m_site->Show(visible);
}

HWND ActiveXHost::GetWindow() const {
    return m_site->Window();
}

bool ActiveXHost::IsWindowless() const {
    return m_site->IsWindowless();
}

} // namespace skinui
