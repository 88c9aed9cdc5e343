#pragma once

#include "flashplayer/LayeredFrames.h"
#include "win32/ComPtr.h"

#include <ocidl.h>
#include <ole2.h>
#include <windows.h>
#include <windowsx.h>

namespace flashplayer {

constexpr wchar_t kContainerWindowClass[] = L"MyOleControl";
constexpr wchar_t kContainerWindowTitle[] = L"Flash Player";

// Every container draws only on every second invalidation; the phase is shared by all of them
// because the hosted control may invalidate through any of its sites.
inline bool drawToggle = false;

// A window of its own that hosts one ActiveX control (main interface T) and is that control's
// whole OLE site. Asked for a layered window, it activates the control windowless, has it paint
// into an off-screen 32-bit bitmap on every invalidation and puts that bitmap on screen with
// per-pixel alpha; input goes to the control and the window's hit test is the control's, so
// points outside the drawn shape fall through. For a control that cannot write alpha, a derived
// class sets doubleRender: the control then paints on black and on white and the alpha comes
// from the difference.
//
// The object is owned by whoever creates it and deleted explicitly: the COM reference count is
// kept for the control's sake and never destroys it. Deleting it closes the control but leaves
// the window; the owner destroys the window first, since the window still points at the object.
template <typename T>
class COleContainerWnd : public IOleClientSite,
                         public IOleInPlaceSiteWindowless,
                         public IOleInPlaceFrame,
                         public IStorage {
public:
    COleContainerWnd() = default;
    COleContainerWnd(const COleContainerWnd&) = delete;
    COleContainerWnd& operator=(const COleContainerWnd&) = delete;

    // IUnknown, shared by every interface of the object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refCount; }
    ULONG STDMETHODCALLTYPE Release() override { return --refCount; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD /*assign*/, DWORD /*whichMoniker*/,
                                         IMoniker** /*moniker*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container)
            *container = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL /*show*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // The container's own operations, in this order after the client site's.
    virtual ~COleContainerWnd();
    virtual LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Creates the window centred on the screen's work area, creates the control, embeds and
    // shows it. Returns false at the first step that fails; what was obtained stays for the
    // destructor.
    virtual bool Create(REFCLSID classId, DWORD exStyle, DWORD style, HWND parent,
                        HINSTANCE moduleInstance, int width, int height);
    // Renders the control; the rectangle and the erase flag are not used.
    virtual void Draw(HDC dc, const RECT* area, BOOL erase);
    virtual void OnControlNotRegistered() {}
    // Called by Create once the control's interfaces are known, before it is shown; false ends
    // Create.
    virtual bool OnBeforeActivate() { return true; }
    // Called by Create once the control is shown; its result is Create's.
    virtual bool OnAfterActivate() { return true; }
    // Shaped like IDispatch, for a derived class's event sink.
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* /*count*/) { return E_NOTIMPL; }
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT /*index*/, LCID /*locale*/,
                                                  ITypeInfo** /*info*/) {
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/,
                                                    UINT /*count*/, LCID /*locale*/,
                                                    DISPID* /*ids*/) {
        return E_NOTIMPL;
    }
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID /*id*/, REFIID /*iid*/, LCID /*locale*/,
                                             WORD /*flags*/, DISPPARAMS* /*parameters*/,
                                             VARIANT* /*result*/, EXCEPINFO* /*exception*/,
                                             UINT* /*argumentError*/) {
        return S_OK;
    }

    // IOleWindow, on the site and on the frame.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window)
            return E_POINTER;
        *window = hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL /*enterMode*/) override {
        return E_NOTIMPL;
    }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE /*extent*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL /*undoable*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* /*position*/) override { return S_OK; }

    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD /*flags*/) override {
        if (noRedraw)
            *noRedraw = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL /*noRedraw*/) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_FALSE; }

    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL /*capture*/) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetFocus() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL /*focus*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDC(const RECT* /*area*/, DWORD /*flags*/, HDC* /*dc*/) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC /*dc*/) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE InvalidateRect(const RECT* area, BOOL erase) override {
        Draw(nullptr, area, erase);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN /*region*/, BOOL /*erase*/) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ScrollRect(INT /*dx*/, INT /*dy*/, const RECT* /*scroll*/,
                                         const RECT* /*clip*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AdjustRect(RECT* /*area*/) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT /*message*/, WPARAM /*wParam*/,
                                                 LPARAM /*lParam*/, LRESULT* /*result*/) override {
        return S_FALSE;
    }

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* /*border*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS /*widths*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS /*widths*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* /*activeObject*/,
                                              LPCOLESTR /*name*/) override {
        return S_OK;
    }

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU /*shared*/,
                                          LPOLEMENUGROUPWIDTHS /*widths*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU /*shared*/, HOLEMENU /*oleMenu*/,
                                      HWND /*activeObject*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU /*shared*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR /*text*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL /*enable*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* /*message*/, WORD /*id*/) override {
        return E_NOTIMPL;
    }

    // IStorage: the control may note its class here; it gets no storage to keep anything in.
    HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* /*name*/, DWORD /*mode*/,
                                           DWORD /*reserved1*/, DWORD /*reserved2*/,
                                           IStream** /*stream*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* /*name*/, void* /*reserved1*/,
                                         DWORD /*mode*/, DWORD /*reserved2*/,
                                         IStream** /*stream*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* /*name*/, DWORD /*mode*/,
                                            DWORD /*reserved1*/, DWORD /*reserved2*/,
                                            IStorage** /*storage*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* /*name*/, IStorage* /*priority*/,
                                          DWORD /*mode*/, SNB /*exclude*/, DWORD /*reserved*/,
                                          IStorage** /*storage*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(DWORD /*excludeCount*/, const IID* /*excludeIds*/,
                                     SNB /*exclude*/, IStorage* /*destination*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR* /*name*/, IStorage* /*destination*/,
                                            const OLECHAR* /*newName*/, DWORD /*flags*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD /*flags*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumElements(DWORD /*reserved1*/, void* /*reserved2*/,
                                           DWORD /*reserved3*/,
                                           IEnumSTATSTG** /*elements*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* /*name*/) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* /*oldName*/,
                                            const OLECHAR* /*newName*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR* /*name*/, const FILETIME* /*created*/,
                                              const FILETIME* /*accessed*/,
                                              const FILETIME* /*modified*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID /*classId*/) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStateBits(DWORD /*bits*/, DWORD /*mask*/) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* /*status*/, DWORD /*flags*/) override {
        return E_NOTIMPL;
    }

    // The window procedure of the class kContainerWindowClass.
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam);

protected:
    CLSID clsid{};
    win32::ComPtr<T> control;
    win32::ComPtr<IOleObject> oleObject;
    win32::ComPtr<IViewObject> viewObject; // only when the control has no IViewObjectEx
    win32::ComPtr<IViewObjectEx> viewObjectEx;
    win32::ComPtr<IOleInPlaceObject> inPlaceObject;
    win32::ComPtr<IOleInPlaceObjectWindowless> inPlaceObjectWindowless;
    win32::ComPtr<IConnectionPointContainer> connectionPointContainer; // filled by a derived class
    win32::ComPtr<IConnectionPoint> connectionPoint;                   // filled by a derived class
    HWND hwnd{nullptr};
    HWND parentWindow{nullptr};
    HINSTANCE instance{nullptr};
    DWORD childStyle{0};  // the WS_CHILD bit of the style given to Create
    DWORD transparent{0}; // the WS_EX_LAYERED bit; cleared when the control has no windowless mode
    BOOL doubleRender{FALSE};
    DWORD adviseCookie{0}; // 0 = no event connection
    LayeredFrames frames;  // the pictures of a layered window
    ULONG refCount{0};

private:
    void ReleaseControl();
};

template <typename T> COleContainerWnd<T>::~COleContainerWnd() {
    ReleaseControl();
}

template <typename T> void COleContainerWnd<T>::ReleaseControl() {
    if (control) {
        if (connectionPoint) {
            if (adviseCookie != 0)
                connectionPoint->Unadvise(adviseCookie);
            connectionPoint.reset();
        }
        connectionPointContainer.reset();
        oleObject->Close(OLECLOSE_NOSAVE);
    }
    // A control obtained only in part (Create stopped early) is released without the close,
    // rather than kept for the life of the process.
    viewObjectEx.reset();
    viewObject.reset();
    inPlaceObjectWindowless.reset();
    inPlaceObject.reset();
    oleObject.reset();
    control.reset();
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleInPlaceSite || iid == IID_IOleInPlaceSiteEx ||
             iid == IID_IOleInPlaceSiteWindowless)
        *object = static_cast<IOleInPlaceSiteWindowless*>(this);
    else if (iid == IID_IOleInPlaceFrame)
        *object = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IStorage)
        *object = static_cast<IStorage*>(this);
    else
        return E_NOINTERFACE;
    ++refCount;
    return S_OK;
}

template <typename T>
LRESULT COleContainerWnd<T>::HandleWindowMessage(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    case WM_SIZE: {
        RECT client{};
        GetClientRect(window, &client);
        if (inPlaceObjectWindowless)
            inPlaceObjectWindowless->SetObjectRects(&client, &client);
        else if (inPlaceObject)
            inPlaceObject->SetObjectRects(&client, &client);
        return 0;
    }
    case WM_PAINT:
        if (!transparent) {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            Draw(dc, &paint.rcPaint, paint.fErase);
            EndPaint(window, &paint);
            return 0;
        }
        break;
    case WM_NCHITTEST:
        if (oleObject && viewObjectEx) {
            RECT bounds{};
            GetWindowRect(window, &bounds);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            DWORD hit = HITRESULT_OUTSIDE;
            if (viewObjectEx->QueryHitPoint(DVASPECT_CONTENT, &bounds, at, 1, &hit) == S_OK)
                return hit != HITRESULT_OUTSIDE ? HTCLIENT : HTTRANSPARENT;
        }
        break;
    default:
        break;
    }

    const bool forwarded = (message >= WM_MOUSEFIRST && message <= WM_MOUSEWHEEL) ||
                           (message >= WM_KEYDOWN && message <= WM_CHAR) || message == WM_SETCURSOR;
    if (inPlaceObjectWindowless && forwarded) {
        LRESULT result = 0;
        if (inPlaceObjectWindowless->OnWindowMessage(message, wParam, lParam, &result) == S_OK)
            return result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

template <typename T>
bool COleContainerWnd<T>::Create(REFCLSID classId, DWORD exStyle, DWORD style, HWND parent,
                                 HINSTANCE moduleInstance, int width, int height) {
    parentWindow = parent;
    transparent = exStyle & WS_EX_LAYERED;
    clsid = classId;
    childStyle = style & WS_CHILD;
    instance = moduleInstance;

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = StaticWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kContainerWindowClass;
    RegisterClassExW(&windowClass); // fails harmlessly once the class exists

    const int x = (GetSystemMetrics(SM_CXFULLSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYFULLSCREEN) - height) / 2;
    hwnd = CreateWindowExW(exStyle, kContainerWindowClass, kContainerWindowTitle, style, x, y,
                           width, height, parentWindow, nullptr, instance, this);
    // Without a window nothing could ever be shown, closed or timed out: a control activated
    // now would keep the program running unseen.
    if (!hwnd)
        return false;

    const HRESULT created = OleCreate(clsid, IID_IOleObject, OLERENDER_DRAW, nullptr, this, this,
                                      reinterpret_cast<void**>(oleObject.put()));
    if (FAILED(created)) {
        if (created == REGDB_E_CLASSNOTREG)
            OnControlNotRegistered();
        return false;
    }
    if (FAILED(OleSetContainedObject(oleObject.get(), TRUE)))
        return false;
    control = oleObject.query<T>(__uuidof(T));
    if (!control)
        return false;
    viewObjectEx = oleObject.query<IViewObjectEx>(IID_IViewObjectEx);
    if (!viewObjectEx) {
        viewObject = oleObject.query<IViewObject>(IID_IViewObject);
        if (!viewObject)
            return false;
    }
    if (transparent) {
        inPlaceObjectWindowless =
            oleObject.query<IOleInPlaceObjectWindowless>(IID_IOleInPlaceObjectWindowless);
        if (!inPlaceObjectWindowless) {
            inPlaceObject = oleObject.query<IOleInPlaceObject>(IID_IOleInPlaceObject);
            if (!inPlaceObject)
                return false;
            transparent = 0;
        }
    } else {
        inPlaceObject = oleObject.query<IOleInPlaceObject>(IID_IOleInPlaceObject);
        if (!inPlaceObject)
            return false;
    }
    if (!OnBeforeActivate())
        return false;
    if (FAILED(oleObject->DoVerb(OLEIVERB_SHOW, nullptr, this, 0, nullptr, nullptr)))
        return false;
    return OnAfterActivate();
}

template <typename T> void COleContainerWnd<T>::Draw(HDC dc, const RECT* /*area*/, BOOL /*erase*/) {
    drawToggle = !drawToggle;
    if (!drawToggle)
        return;
    IViewObject* view = viewObjectEx ? viewObjectEx.get() : viewObject.get();
    if (!transparent)
        DrawOpaque(hwnd, dc, view);
    else
        frames.Present(hwnd, oleObject ? view : nullptr, doubleRender != FALSE);
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetWindowContext(IOleInPlaceFrame** frame,
                                                                IOleInPlaceUIWindow** document,
                                                                RECT* position, RECT* clip,
                                                                OLEINPLACEFRAMEINFO* frameInfo) {
    // The frame is handed out without a reference of its own: the count never destroys this
    // object, so the control's later Release only lowers it.
    if (frame)
        *frame = static_cast<IOleInPlaceFrame*>(this);
    if (document)
        *document = nullptr;
    RECT client{};
    GetClientRect(hwnd, &client);
    if (position)
        *position = client;
    if (clip)
        *clip = client;
    if (frameInfo) {
        frameInfo->fMDIApp = FALSE;
        frameInfo->hwndFrame = hwnd;
        frameInfo->haccel = nullptr;
        frameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

template <typename T>
LRESULT CALLBACK COleContainerWnd<T>::StaticWindowProc(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return 0;
    }
    // Until CreateWindowExW has returned, hwnd is not yet set and the default procedure answers.
    auto* container = reinterpret_cast<COleContainerWnd*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (container && IsWindow(container->hwnd))
        return container->HandleWindowMessage(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace flashplayer
