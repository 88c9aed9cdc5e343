#pragma once

#include "win32/ComPtr.h"
#include "win32/GdiObject.h"

#include <windows.h>

#include <richedit.h>
#include <textserv.h>

#include <string>

namespace skinui {

class CRichEditUI;

// What the rich edit asks of its text engine when it creates it.
struct TextHostSettings {
    bool multiLine = true;
    bool richText = true;
    bool readOnly = false;
    bool password = false;
    bool wordWrap = true;
    bool vScroll = false;
    bool autoVScroll = false;
    bool hScroll = false;
    bool autoHScroll = false;
    WORD align = PFA_LEFT;
    LONG maxLength = 0;
    HFONT font = nullptr;
    COLORREF textColor = 0;
};

// The host side of the windowless text services: the engine draws into the skin window through
// it and asks it for its rectangle, formats, caret, timers and capture.
//
// On 32-bit x86 the engine calls the host's methods with the thiscall convention (and expects
// its own methods to be called so). MinGW's g++ gives member functions that convention by
// default on i686, so the interface classes of <textserv.h> match the engine as declared.
class CTxtWinHost : public ITextHost {
public:
    // Creates the engine for owner; empty when "msftedit.dll" or its text services are missing.
    static win32::ComPtr<CTxtWinHost> Create(CRichEditUI& owner, const TextHostSettings& settings);

    ITextServices* Services() const { return m_services.get(); }
    // Detaches from the owner, which is going away, and lets the engine go; the owner's reference
    // goes with its pointer.
    void Shutdown();
    void SetClientRect(const RECT& rc);
    const RECT& GetClientRect() const { return m_client; }
    void SetReadOnly(bool readOnly);
    void SetFont(HFONT font);
    void SetTextColor(COLORREF color);
    void SetMaxLength(LONG length);
    bool IsReadOnly() const { return (m_propertyBits & TXTBIT_READONLY) != 0; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // ITextHost
    HDC TxGetDC() override;
    INT TxReleaseDC(HDC dc) override;
    WINBOOL TxShowScrollBar(INT bar, WINBOOL show) override;
    WINBOOL TxEnableScrollBar(INT flags, INT arrows) override;
    WINBOOL TxSetScrollRange(INT bar, LONG minPos, INT maxPos, WINBOOL redraw) override;
    WINBOOL TxSetScrollPos(INT bar, INT pos, WINBOOL redraw) override;
    void TxInvalidateRect(LPCRECT rc, WINBOOL mode) override;
    void TxViewChange(WINBOOL update) override;
    WINBOOL TxCreateCaret(HBITMAP bitmap, INT width, INT height) override;
    WINBOOL TxShowCaret(WINBOOL show) override;
    WINBOOL TxSetCaretPos(INT x, INT y) override;
    WINBOOL TxSetTimer(UINT id, UINT timeout) override;
    void TxKillTimer(UINT id) override;
    void TxScrollWindowEx(INT dx, INT dy, LPCRECT scroll, LPCRECT clip, HRGN update,
                          LPRECT updateRect, UINT flags) override;
    void TxSetCapture(WINBOOL capture) override;
    void TxSetFocus() override;
    void TxSetCursor(HCURSOR cursor, WINBOOL text) override;
    WINBOOL TxScreenToClient(LPPOINT pt) override;
    WINBOOL TxClientToScreen(LPPOINT pt) override;
    HRESULT TxActivate(LONG* oldState) override;
    HRESULT TxDeactivate(LONG newState) override;
    HRESULT TxGetClientRect(LPRECT rc) override;
    HRESULT TxGetViewInset(LPRECT rc) override;
    HRESULT TxGetCharFormat(const CHARFORMATW** format) override;
    HRESULT TxGetParaFormat(const PARAFORMAT** format) override;
    COLORREF TxGetSysColor(int index) override;
    HRESULT TxGetBackStyle(TXTBACKSTYLE* style) override;
    HRESULT TxGetMaxLength(DWORD* length) override;
    HRESULT TxGetScrollBars(DWORD* scrollBars) override;
    HRESULT TxGetPasswordChar(TCHAR* ch) override;
    HRESULT TxGetAcceleratorPos(LONG* cp) override;
    HRESULT TxGetExtent(LPSIZEL extent) override;
    HRESULT OnTxCharFormatChange(const CHARFORMATW* format) override;
    HRESULT OnTxParaFormatChange(const PARAFORMAT* format) override;
    HRESULT TxGetPropertyBits(DWORD mask, DWORD* bits) override;
    HRESULT TxNotify(DWORD notification, void* data) override;
    HIMC TxImmGetContext() override;
    void TxImmReleaseContext(HIMC context) override;
    HRESULT TxGetSelectionBarWidth(LONG* width) override;

private:
    explicit CTxtWinHost(CRichEditUI& owner);
    virtual ~CTxtWinHost();
    bool Init(const TextHostSettings& settings);
    HWND Window() const;

    ULONG m_refs = 1;
    CRichEditUI* m_owner;
    // Declared before the engine so the library outlives it.
    win32::UniqueLibrary m_library;
    win32::ComPtr<ITextServices> m_services;
    CHARFORMAT2W m_charFormat{};
    PARAFORMAT2 m_paraFormat{};
    DWORD m_propertyBits = 0;
    DWORD m_scrollBars = 0;
    LONG m_maxLength = 0;
    RECT m_client{};
};

} // namespace skinui
