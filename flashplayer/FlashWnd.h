#pragma once

#include "flashplayer/OleContainerWnd.h"
#include "flashplayer/ShockwaveFlash.h"
#include "win32/Bstr.h"

#include <ddraw.h>
#include <servprov.h>

#include <string>

namespace flashplayer {

// The player window: a windowless, layered container for the Shockwave Flash control that sets
// the control up before and after it is shown, listens to the movie's events, lends the control
// a DirectDraw object, and lets the user drag the window with the left button.
class CFlashWnd : public COleContainerWnd<IShockwaveFlash>,
                  public _IShockwaveFlashEvents,
                  public IServiceProvider {
public:
    CFlashWnd() = default;

    // The movie LoadMovie is given, and whether the movie's closesound function is called once
    // it is loaded. Set before Create.
    void SetMovie(const std::wstring& path, bool closeSound);

    // The container window, which outlives this object unless destroyed first; null before
    // Create.
    HWND window() const { return hwnd; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    ~CFlashWnd() override;
    LRESULT HandleWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnControlNotRegistered() override;
    bool OnBeforeActivate() override;
    bool OnAfterActivate() override;

    // The event sink (_IShockwaveFlashEvents).
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

    // IServiceProvider: the control asks for DirectDraw here.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    long flashVersion{0};                   // as FlashVersion reports it
    win32::ComPtr<IDirectDraw4> directDraw; // made on the control's first request, then kept
    win32::UniqueBstr moviePath;
    bool sendCloseSound{false};
};

} // namespace flashplayer
