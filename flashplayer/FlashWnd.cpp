#include "flashplayer/FlashWnd.h"

#include "flashplayer/DirectDrawIds.h"
#include "flashplayer/PlayerNames.h"

#include <cwchar>

namespace flashplayer {

namespace {

// One player window per process, so the drag is the process's.
bool dragging = false;
POINT lastCursor{};

bool IsString(const VARIANT& value) {
    return value.vt == VT_BSTR;
}

} // namespace

CFlashWnd::~CFlashWnd() {
    moviePath.reset();
}

void CFlashWnd::SetMovie(const std::wstring& path, bool closeSound) {
    moviePath.reset(SysAllocStringLen(path.data(), static_cast<UINT>(path.size())));
    sendCloseSound = closeSound;
}

HRESULT STDMETHODCALLTYPE CFlashWnd::QueryInterface(REFIID iid, void** object) {
    const HRESULT base = COleContainerWnd::QueryInterface(iid, object);
    if (base != E_NOINTERFACE)
        return base;
    if (iid == DIID__IShockwaveFlashEvents)
        *object = static_cast<_IShockwaveFlashEvents*>(this);
    else if (iid == IID_IServiceProvider)
        *object = static_cast<IServiceProvider*>(this);
    else
        return E_NOINTERFACE;
    ++refCount;
    return S_OK;
}

ULONG STDMETHODCALLTYPE CFlashWnd::AddRef() {
    return COleContainerWnd::AddRef();
}

ULONG STDMETHODCALLTYPE CFlashWnd::Release() {
    return COleContainerWnd::Release();
}

LRESULT CFlashWnd::HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_CLOSE:
        DestroyWindow(window);
        break;
    case WM_LBUTTONDOWN:
        OutputDebugStringW(kTraceButtonDown);
        dragging = true;
        ::SetCapture(window);
        GetCursorPos(&lastCursor);
        break;
    case WM_MOUSEMOVE:
        if (dragging) {
            OutputDebugStringW(kTraceMouseMove);
            POINT cursor{};
            GetCursorPos(&cursor);
            RECT bounds{};
            GetWindowRect(window, &bounds);
            SetWindowPos(window, nullptr, bounds.left + cursor.x - lastCursor.x,
                         bounds.top + cursor.y - lastCursor.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            lastCursor = cursor;
        }
        break;
    case WM_LBUTTONUP:
        OutputDebugStringW(kTraceButtonUp);
        ReleaseCapture();
        dragging = false;
        break;
    default:
        break;
    }
    return COleContainerWnd::HandleWindowMessage(window, message, wParam, lParam);
}

void CFlashWnd::OnControlNotRegistered() {}

bool CFlashWnd::OnBeforeActivate() {
    long version = 0;
    if (FAILED(control->FlashVersion(&version)))
        return false;
    flashVersion = version;
    doubleRender = (flashVersion & kFlashMajorVersionMask) == kFlashVersion8;

    connectionPointContainer =
        control.query<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!connectionPointContainer)
        return false;
    if (FAILED(connectionPointContainer->FindConnectionPoint(DIID__IShockwaveFlashEvents,
                                                             connectionPoint.put())) ||
        !connectionPoint)
        return false;
    if (FAILED(connectionPoint->Advise(static_cast<_IShockwaveFlashEvents*>(this), &adviseCookie)))
        return false;

    if (transparent) {
        const win32::UniqueBstr mode = win32::MakeBstr(kTransparentWindowMode);
        if (FAILED(control->put_WMode(mode.get())))
            return false;
    }
    const win32::UniqueBstr scale = win32::MakeBstr(kNoScale);
    if (FAILED(control->put_Scale(scale.get())))
        return false;
    if (FAILED(control->put_BackgroundColor(0)))
        return false;
    return SUCCEEDED(control->put_EmbedMovie(VARIANT_FALSE));
}

bool CFlashWnd::OnAfterActivate() {
    ShowWindow(hwnd, SW_HIDE);
    if (FAILED(control->put_EmbedMovie(1)))
        return false;
    if (FAILED(control->LoadMovie(0, moviePath.get())))
        return false;
    if (sendCloseSound) {
        // A movie without the closesound function refuses the call; that changes nothing here.
        const win32::UniqueBstr request = win32::MakeBstr(kCloseSoundRequest);
        win32::UniqueBstr response;
        if (request)
            control->CallFunction(request.get(), response.put());
    }
    control->put_Loop(VARIANT_FALSE);
    ShowWindow(hwnd, SW_SHOW);
    return SUCCEEDED(control->Play());
}

HRESULT STDMETHODCALLTYPE CFlashWnd::GetTypeInfoCount(UINT* /*count*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CFlashWnd::GetTypeInfo(UINT /*index*/, LCID /*locale*/,
                                                 ITypeInfo** /*info*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CFlashWnd::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/,
                                                   UINT /*count*/, LCID /*locale*/,
                                                   DISPID* /*ids*/) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE CFlashWnd::Invoke(DISPID id, REFIID /*iid*/, LCID /*locale*/,
                                            WORD /*flags*/, DISPPARAMS* parameters,
                                            VARIANT* /*result*/, EXCEPINFO* /*exception*/,
                                            UINT* /*argumentError*/) {
    const UINT arguments = parameters && parameters->rgvarg ? parameters->cArgs : 0;
    switch (id) {
    case DISPID_ShockwaveFlashEvents_FSCommand:
        // Whatever the command says: any well-formed FSCommand asks the player to close.
        if (arguments == 2 && IsString(parameters->rgvarg[0]) && IsString(parameters->rgvarg[1])) {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            OutputDebugStringW(kTraceClose);
        }
        return S_OK;
    case DISPID_ShockwaveFlashEvents_OnReadyStateChange:
        return S_OK;
    case DISPID_ShockwaveFlashEvents_FlashCall:
        if (arguments >= 1)
            OutputDebugStringW(kTraceFlashCall);
        return S_OK;
    case DISPID_ShockwaveFlashEvents_OnProgress:
        // Arguments arrive last first; a percentage of another type is not read as one.
        if (arguments >= 1 && parameters->rgvarg[arguments - 1].vt == VT_I4) {
            wchar_t line[32];
            std::swprintf(line, sizeof(line) / sizeof(line[0]), kTraceProgressFormat,
                          static_cast<int>(parameters->rgvarg[arguments - 1].lVal));
            OutputDebugStringW(line);
        }
        return S_OK;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT STDMETHODCALLTYPE CFlashWnd::QueryService(REFGUID service, REFIID /*iid*/, void** object) {
    if (service != kDirectDraw3Service)
        return E_NOINTERFACE;
    if (!object)
        return E_POINTER;
    if (!directDraw && FAILED(CoCreateInstance(kDirectDrawClass, nullptr, CLSCTX_INPROC_SERVER,
                                               kDirectDraw4Interface, directDraw.put_void()))) {
        directDraw.reset();
        return E_NOINTERFACE;
    }
    // Whatever interface was asked for, the control gets the IDirectDraw4 it expects.
    directDraw->AddRef();
    *object = directDraw.get();
    return S_OK;
}

} // namespace flashplayer
