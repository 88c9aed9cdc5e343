#pragma once

#include "flashplayer/DoubleRenderAlpha.h"
#include "win32/ComPtr.h"
#include "win32/GdiObject.h"

#include <ocidl.h>
#include <ole2.h>
#include <windows.h>
#include <windowsx.h>

#include <cstdint>
#include <cstring>

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
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override;
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD assign, DWORD whichMoniker,
                                         IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override;
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL show) override;
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override;

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
    virtual void OnControlNotRegistered();
    // Called by Create once the control's interfaces are known, before it is shown; false ends
    // Create.
    virtual bool OnBeforeActivate();
    // Called by Create once the control is shown; its result is Create's.
    virtual bool OnAfterActivate();
    // Shaped like IDispatch, for a derived class's event sink.
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count);
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info);
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count,
                                                    LCID locale, DISPID* ids);
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                             DISPPARAMS* parameters, VARIANT* result,
                                             EXCEPINFO* exception, UINT* argumentError);

    // IOleWindow, on the site and on the frame.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL enterMode) override;

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, RECT* position,
                                               RECT* clip, OLEINPLACEFRAMEINFO* frameInfo) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE extent) override;
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL undoable) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override;
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override;
    HRESULT STDMETHODCALLTYPE OnPosRectChange(const RECT* position) override;

    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL noRedraw) override;
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override;

    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override;
    HRESULT STDMETHODCALLTYPE GetCapture() override;
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL capture) override;
    HRESULT STDMETHODCALLTYPE GetFocus() override;
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL focus) override;
    HRESULT STDMETHODCALLTYPE GetDC(const RECT* area, DWORD flags, HDC* dc) override;
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC dc) override;
    HRESULT STDMETHODCALLTYPE InvalidateRect(const RECT* area, BOOL erase) override;
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN region, BOOL erase) override;
    HRESULT STDMETHODCALLTYPE ScrollRect(INT dx, INT dy, const RECT* scroll,
                                         const RECT* clip) override;
    HRESULT STDMETHODCALLTYPE AdjustRect(RECT* area) override;
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                                 LRESULT* result) override;

    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(RECT* border) override;
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* activeObject,
                                              LPCOLESTR name) override;

    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU shared, HOLEMENU oleMenu, HWND activeObject) override;
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU shared) override;
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR text) override;
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL enable) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG* message, WORD id) override;

    // IStorage: the control may note its class here; it gets no storage to keep anything in.
    HRESULT STDMETHODCALLTYPE CreateStream(const OLECHAR* name, DWORD mode, DWORD reserved1,
                                           DWORD reserved2, IStream** stream) override;
    HRESULT STDMETHODCALLTYPE OpenStream(const OLECHAR* name, void* reserved1, DWORD mode,
                                         DWORD reserved2, IStream** stream) override;
    HRESULT STDMETHODCALLTYPE CreateStorage(const OLECHAR* name, DWORD mode, DWORD reserved1,
                                            DWORD reserved2, IStorage** storage) override;
    HRESULT STDMETHODCALLTYPE OpenStorage(const OLECHAR* name, IStorage* priority, DWORD mode,
                                          SNB exclude, DWORD reserved, IStorage** storage) override;
    HRESULT STDMETHODCALLTYPE CopyTo(DWORD excludeCount, const IID* excludeIds, SNB exclude,
                                     IStorage* destination) override;
    HRESULT STDMETHODCALLTYPE MoveElementTo(const OLECHAR* name, IStorage* destination,
                                            const OLECHAR* newName, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Revert() override;
    HRESULT STDMETHODCALLTYPE EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                                           IEnumSTATSTG** elements) override;
    HRESULT STDMETHODCALLTYPE DestroyElement(const OLECHAR* name) override;
    HRESULT STDMETHODCALLTYPE RenameElement(const OLECHAR* oldName,
                                            const OLECHAR* newName) override;
    HRESULT STDMETHODCALLTYPE SetElementTimes(const OLECHAR* name, const FILETIME* created,
                                              const FILETIME* accessed,
                                              const FILETIME* modified) override;
    HRESULT STDMETHODCALLTYPE SetClass(REFCLSID classId) override;
    HRESULT STDMETHODCALLTYPE SetStateBits(DWORD bits, DWORD mask) override;
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* status, DWORD flags) override;

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
    win32::UniqueMemoryDc frameDC;
    win32::UniqueBitmap frameBitmap;  // 32-bit top-down DIB section selected into frameDC
    RECT lastWindowRect{};            // screen rectangle the bitmaps were made for
    std::uint8_t* frameBits{nullptr}; // frameBitmap's pixels: blue, green, red, alpha
    int bitsPerPixel{0};              // display colour depth; 0 until measured, then kept
    win32::UniqueMemoryDc whiteDC;
    win32::UniqueBitmap whiteBitmap; // only with doubleRender
    std::uint8_t* whiteBits{nullptr};
    ULONG refCount{0};

private:
    void RebuildFrames(const RECT& windowRect);
    void ReleaseControl();
};

namespace detail {

// A 32-bit top-down DIB section in a new memory DC compatible with `reference`; both stay empty
// when GDI refuses.
inline std::uint8_t* MakeFrame(HDC reference, int width, int height, win32::UniqueMemoryDc& dc,
                               win32::UniqueBitmap& bitmap) {
    dc.reset(CreateCompatibleDC(reference));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap.reset(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return nullptr;
    SelectObject(dc.get(), bitmap.get());
    return static_cast<std::uint8_t*>(bits);
}

} // namespace detail

template <typename T> COleContainerWnd<T>::~COleContainerWnd() {
    ReleaseControl();
    // The order the GDI objects go in is part of the design: the DCs before the bitmaps they
    // hold, the frame before the white copy.
    frameDC.reset();
    frameBitmap.reset();
    whiteDC.reset();
    whiteBitmap.reset();
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

template <typename T> ULONG STDMETHODCALLTYPE COleContainerWnd<T>::AddRef() {
    return ++refCount;
}

template <typename T> ULONG STDMETHODCALLTYPE COleContainerWnd<T>::Release() {
    return --refCount;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SaveObject() {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetMoniker(DWORD /*assign*/, DWORD /*whichMoniker*/,
                                                          IMoniker** /*moniker*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetContainer(IOleContainer** container) {
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::ShowObject() {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnShowWindow(BOOL /*show*/) {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::RequestNewObjectLayout() {
    return E_NOTIMPL;
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

    if (!transparent) {
        RECT client{};
        GetClientRect(hwnd, &client);
        if (!view)
            return;
        if (dc) {
            OleDraw(view, DVASPECT_CONTENT, dc, &client);
        } else {
            const win32::WindowDc own(hwnd);
            OleDraw(view, DVASPECT_CONTENT, own.get(), &client);
        }
        return;
    }

    RECT windowRect{};
    GetWindowRect(hwnd, &windowRect);
    // Double rendering switched on after the bitmaps were made needs the white one as well.
    if (!frameDC || !EqualRect(&windowRect, &lastWindowRect) || (doubleRender && !whiteDC))
        RebuildFrames(windowRect);
    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    const std::size_t frameBytes =
        static_cast<std::size_t>(width > 0 ? width : 0) * (height > 0 ? height : 0) * 4;

    if (oleObject && view && frameBits) {
        RECT client{};
        GetClientRect(hwnd, &client);
        if (bitsPerPixel == 32 && doubleRender && whiteBits) {
            std::memset(frameBits, 0, frameBytes);
            std::memset(whiteBits, 255, frameBytes);
            OleDraw(view, DVASPECT_TRANSPARENT, frameDC.get(), &client);
            OleDraw(view, DVASPECT_TRANSPARENT, whiteDC.get(), &client);
            GdiFlush();
            DeriveAlphaFromDoubleRender(frameBits, whiteBits, frameBytes / 4);
        } else if (bitsPerPixel == 32) {
            std::memset(frameBits, 0, frameBytes);
            OleDraw(view, DVASPECT_TRANSPARENT, frameDC.get(), &client);
        } else {
            const win32::WindowDc owner(::GetParent(hwnd), win32::DcArea::WholeWindow);
            BitBlt(frameDC.get(), 0, 0, client.right - client.left, client.bottom - client.top,
                   owner.get(), 0, 0, SRCCOPY);
            OleDraw(view, DVASPECT_TRANSPARENT, frameDC.get(), &client);
        }
    }

    POINT destination{windowRect.left, windowRect.top};
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, nullptr, &destination, &size, frameDC.get(), &source, 0, &blend,
                        bitsPerPixel == 32 ? ULW_ALPHA : ULW_OPAQUE);
}

template <typename T> void COleContainerWnd<T>::RebuildFrames(const RECT& windowRect) {
    frameDC.reset();
    frameBitmap.reset();
    frameBits = nullptr;
    whiteDC.reset();
    whiteBitmap.reset();
    whiteBits = nullptr;
    lastWindowRect = windowRect;

    const int width = windowRect.right - windowRect.left;
    const int height = windowRect.bottom - windowRect.top;
    const win32::WindowDc windowDc(hwnd);
    frameBits = detail::MakeFrame(windowDc.get(), width, height, frameDC, frameBitmap);
    if (doubleRender)
        whiteBits = detail::MakeFrame(windowDc.get(), width, height, whiteDC, whiteBitmap);
    if (bitsPerPixel == 0 && frameDC)
        bitsPerPixel = GetDeviceCaps(frameDC.get(), BITSPIXEL);
}

template <typename T> void COleContainerWnd<T>::OnControlNotRegistered() {}

template <typename T> bool COleContainerWnd<T>::OnBeforeActivate() {
    return true;
}

template <typename T> bool COleContainerWnd<T>::OnAfterActivate() {
    return true;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetTypeInfoCount(UINT* /*count*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetTypeInfo(UINT /*index*/, LCID /*locale*/,
                                                           ITypeInfo** /*info*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/,
                                                             UINT /*count*/, LCID /*locale*/,
                                                             DISPID* /*ids*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::Invoke(DISPID /*id*/, REFIID /*iid*/,
                                                      LCID /*locale*/, WORD /*flags*/,
                                                      DISPPARAMS* /*parameters*/,
                                                      VARIANT* /*result*/, EXCEPINFO* /*exception*/,
                                                      UINT* /*argumentError*/) {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetWindow(HWND* window) {
    if (!window)
        return E_POINTER;
    *window = hwnd;
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::ContextSensitiveHelp(BOOL /*enterMode*/) {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::CanInPlaceActivate() {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnInPlaceActivate() {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnUIActivate() {
    return S_OK;
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

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::Scroll(SIZE /*extent*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnUIDeactivate(BOOL /*undoable*/) {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnInPlaceDeactivate() {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::DiscardUndoState() {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::DeactivateAndUndo() {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnPosRectChange(const RECT* /*position*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnInPlaceActivateEx(BOOL* noRedraw,
                                                                   DWORD /*flags*/) {
    if (noRedraw)
        *noRedraw = FALSE;
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnInPlaceDeactivateEx(BOOL /*noRedraw*/) {
    return S_FALSE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::RequestUIActivate() {
    return S_FALSE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::CanWindowlessActivate() {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetCapture() {
    return S_FALSE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetCapture(BOOL /*capture*/) {
    return S_FALSE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetFocus() {
    return S_OK;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetFocus(BOOL /*focus*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetDC(const RECT* /*area*/, DWORD /*flags*/,
                                                     HDC* /*dc*/) {
    return S_FALSE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::ReleaseDC(HDC /*dc*/) {
    return S_FALSE;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::InvalidateRect(const RECT* area, BOOL erase) {
    Draw(nullptr, area, erase);
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::InvalidateRgn(HRGN /*region*/, BOOL /*erase*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::ScrollRect(INT /*dx*/, INT /*dy*/,
                                                          const RECT* /*scroll*/,
                                                          const RECT* /*clip*/) {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::AdjustRect(RECT* /*area*/) {
    return S_FALSE;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OnDefWindowMessage(UINT /*message*/,
                                                                  WPARAM /*wParam*/,
                                                                  LPARAM /*lParam*/,
                                                                  LRESULT* /*result*/) {
    return S_FALSE;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::GetBorder(RECT* /*border*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::RequestBorderSpace(LPCBORDERWIDTHS /*widths*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetBorderSpace(LPCBORDERWIDTHS /*widths*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetActiveObject(
    IOleInPlaceActiveObject* /*activeObject*/, LPCOLESTR /*name*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::InsertMenus(HMENU /*shared*/,
                                                           LPOLEMENUGROUPWIDTHS /*widths*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetMenu(HMENU /*shared*/, HOLEMENU /*oleMenu*/,
                                                       HWND /*activeObject*/) {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::RemoveMenus(HMENU /*shared*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetStatusText(LPCOLESTR /*text*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::EnableModeless(BOOL /*enable*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::TranslateAccelerator(MSG* /*message*/, WORD /*id*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::CreateStream(const OLECHAR* /*name*/, DWORD /*mode*/,
                                                            DWORD /*reserved1*/,
                                                            DWORD /*reserved2*/,
                                                            IStream** /*stream*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OpenStream(const OLECHAR* /*name*/,
                                                          void* /*reserved1*/, DWORD /*mode*/,
                                                          DWORD /*reserved2*/,
                                                          IStream** /*stream*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::CreateStorage(const OLECHAR* /*name*/,
                                                             DWORD /*mode*/, DWORD /*reserved1*/,
                                                             DWORD /*reserved2*/,
                                                             IStorage** /*storage*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::OpenStorage(const OLECHAR* /*name*/,
                                                           IStorage* /*priority*/, DWORD /*mode*/,
                                                           SNB /*exclude*/, DWORD /*reserved*/,
                                                           IStorage** /*storage*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::CopyTo(DWORD /*excludeCount*/,
                                                      const IID* /*excludeIds*/, SNB /*exclude*/,
                                                      IStorage* /*destination*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::MoveElementTo(const OLECHAR* /*name*/,
                                                             IStorage* /*destination*/,
                                                             const OLECHAR* /*newName*/,
                                                             DWORD /*flags*/) {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::Commit(DWORD /*flags*/) {
    return E_NOTIMPL;
}

template <typename T> HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::Revert() {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::EnumElements(DWORD /*reserved1*/,
                                                            void* /*reserved2*/,
                                                            DWORD /*reserved3*/,
                                                            IEnumSTATSTG** /*elements*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::DestroyElement(const OLECHAR* /*name*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::RenameElement(const OLECHAR* /*oldName*/,
                                                             const OLECHAR* /*newName*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetElementTimes(const OLECHAR* /*name*/,
                                                               const FILETIME* /*created*/,
                                                               const FILETIME* /*accessed*/,
                                                               const FILETIME* /*modified*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetClass(REFCLSID /*classId*/) {
    return S_OK;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::SetStateBits(DWORD /*bits*/, DWORD /*mask*/) {
    return E_NOTIMPL;
}

template <typename T>
HRESULT STDMETHODCALLTYPE COleContainerWnd<T>::Stat(STATSTG* /*status*/, DWORD /*flags*/) {
    return E_NOTIMPL;
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
