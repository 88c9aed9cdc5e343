#include "skinui/controls/TxtWinHost.h"

#include "skinui/controls/RichEditUI.h"
#include "skinui/core/SkinWindowManager.h"
#include "win32/GdiObject.h"

#include <type_traits>

namespace skinui {
namespace {

constexpr wchar_t kTextServicesLibrary[] = L"msftedit.dll";
// The interface identifiers, for a library that does not export its own.
constexpr IID kIidTextServices = {
    0x8d33f740, 0xcf58, 0x11ce, {0xa8, 0x9d, 0x00, 0xaa, 0x00, 0x6c, 0xad, 0xc5}};
constexpr IID kIidTextHost = {
    0x13e670f4, 0x1a5a, 0x11cf, {0xab, 0xeb, 0x00, 0xaa, 0x00, 0xb6, 0x5e, 0xa1}};
constexpr LONG kTwipsPerInch = 1440;

#if defined(__i386__)
// The engine calls its host with thiscall; the host's overrides must have been compiled so.
static_assert(std::is_same_v<decltype(&ITextHost::TxGetDC), HDC (__thiscall ITextHost::*)()>,
              "ITextHost methods must use the thiscall convention on x86");
static_assert(std::is_same_v<decltype(&CTxtWinHost::TxGetDC), HDC (__thiscall CTxtWinHost::*)()>,
              "CTxtWinHost methods must use the thiscall convention on x86");
#endif

// The engine calling the host is C code that cannot unwind: whatever the owner's code throws
// ends here, and the call reports failure.
template <typename Body> bool Guarded(Body&& body) noexcept {
    try {
        body();
        return true;
    } catch (...) {
        return false;
    }
}

const IID& ExportedIid(HMODULE library, const char* name, const IID& fallback) {
    const auto* exported = reinterpret_cast<const IID*>(GetProcAddress(library, name));
    return exported ? *exported : fallback;
}

CHARFORMAT2W CharFormatFor(HFONT font, COLORREF color) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_SIZE | CFM_OFFSET | CFM_FACE | CFM_CHARSET | CFM_COLOR | CFM_BOLD |
                    CFM_ITALIC | CFM_UNDERLINE;
    format.crTextColor = color;
    LOGFONTW logFont{};
    if (!font || !GetObjectW(font, sizeof(logFont), &logFont))
        GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    const win32::WindowDc screen(nullptr);
    const LONG pixelsPerInch = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    const LONG height = logFont.lfHeight < 0 ? -logFont.lfHeight : logFont.lfHeight;
    format.yHeight = height * kTwipsPerInch / (pixelsPerInch > 0 ? pixelsPerInch : 96);
    format.bCharSet = logFont.lfCharSet;
    format.bPitchAndFamily = logFont.lfPitchAndFamily;
    lstrcpynW(format.szFaceName, logFont.lfFaceName, LF_FACESIZE);
    if (logFont.lfWeight >= FW_BOLD)
        format.dwEffects |= CFE_BOLD;
    if (logFont.lfItalic)
        format.dwEffects |= CFE_ITALIC;
    if (logFont.lfUnderline)
        format.dwEffects |= CFE_UNDERLINE;
    return format;
}

} // namespace

win32::ComPtr<CTxtWinHost> CTxtWinHost::Create(CRichEditUI& owner,
                                               const TextHostSettings& settings) {
    win32::ComPtr<CTxtWinHost> host(new CTxtWinHost(owner));
    if (!host->Init(settings)) {
        host->m_owner = nullptr;
        return {};
    }
    return host;
}

CTxtWinHost::CTxtWinHost(CRichEditUI& owner) : m_owner(&owner) {}

CTxtWinHost::~CTxtWinHost() = default;

bool CTxtWinHost::Init(const TextHostSettings& settings) {
    m_charFormat = CharFormatFor(settings.font, settings.textColor);
    m_paraFormat.cbSize = sizeof(m_paraFormat);
    m_paraFormat.dwMask = PFM_ALL;
    m_paraFormat.wAlignment = settings.align;
    m_paraFormat.cTabCount = 1;
    m_paraFormat.rgxTabs[0] = lDefaultTab;
    m_maxLength = settings.maxLength;
    m_propertyBits = TXTBIT_CLIENTRECTCHANGE;
    if (settings.richText)
        m_propertyBits |= TXTBIT_RICHTEXT;
    if (settings.multiLine)
        m_propertyBits |= TXTBIT_MULTILINE;
    if (settings.readOnly)
        m_propertyBits |= TXTBIT_READONLY;
    if (settings.password)
        m_propertyBits |= TXTBIT_USEPASSWORD;
    if (settings.wordWrap)
        m_propertyBits |= TXTBIT_WORDWRAP;
    if (settings.vScroll)
        m_scrollBars |= WS_VSCROLL | ES_DISABLENOSCROLL;
    if (settings.autoVScroll)
        m_scrollBars |= ES_AUTOVSCROLL;
    if (settings.hScroll)
        m_scrollBars |= WS_HSCROLL;
    if (settings.autoHScroll)
        m_scrollBars |= ES_AUTOHSCROLL;

    m_library.reset(LoadLibraryW(kTextServicesLibrary));
    if (!m_library)
        return false;
    const auto create = reinterpret_cast<PCreateTextServices>(
        reinterpret_cast<void*>(GetProcAddress(m_library.get(), "CreateTextServices")));
    if (!create)
        return false;
    win32::ComPtr<IUnknown> engine;
    if (FAILED(create(nullptr, this, reinterpret_cast<IUnknown**>(engine.put_void()))) || !engine)
        return false;
    m_services = engine.query<ITextServices>(
        ExportedIid(m_library.get(), "IID_ITextServices", kIidTextServices));
    if (!m_services)
        return false;
    m_services->OnTxInPlaceActivate(nullptr);
    m_services->TxSendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SCROLL, nullptr);
    return true;
}

void CTxtWinHost::Shutdown() {
    m_owner = nullptr;
    if (m_services)
        m_services->OnTxInPlaceDeactivate();
    // The engine holds no reference to its host, so its release comes first.
    m_services.reset();
}

HWND CTxtWinHost::Window() const {
    if (!m_owner || !m_owner->GetManager())
        return nullptr;
    return m_owner->GetManager()->GetPaintWindow();
}

void CTxtWinHost::SetClientRect(const RECT& rc) {
    if (EqualRect(&m_client, &rc))
        return;
    m_client = rc;
    if (m_services)
        m_services->OnTxPropertyBitsChange(TXTBIT_CLIENTRECTCHANGE, TXTBIT_CLIENTRECTCHANGE);
}

void CTxtWinHost::SetReadOnly(bool readOnly) {
    m_propertyBits =
        readOnly ? (m_propertyBits | TXTBIT_READONLY) : (m_propertyBits & ~TXTBIT_READONLY);
    if (m_services)
        m_services->OnTxPropertyBitsChange(TXTBIT_READONLY, readOnly ? TXTBIT_READONLY : 0);
}

void CTxtWinHost::SetFont(HFONT font) {
    m_charFormat = CharFormatFor(font, m_charFormat.crTextColor);
    if (m_services)
        m_services->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetTextColor(COLORREF color) {
    m_charFormat.crTextColor = color;
    if (m_services)
        m_services->OnTxPropertyBitsChange(TXTBIT_CHARFORMATCHANGE, TXTBIT_CHARFORMATCHANGE);
}

void CTxtWinHost::SetMaxLength(LONG length) {
    m_maxLength = length;
    if (m_services)
        m_services->OnTxPropertyBitsChange(TXTBIT_MAXLENGTHCHANGE, TXTBIT_MAXLENGTHCHANGE);
}

HRESULT STDMETHODCALLTYPE CTxtWinHost::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    const IID& hostIid =
        m_library ? ExportedIid(m_library.get(), "IID_ITextHost", kIidTextHost) : kIidTextHost;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, hostIid)) {
        *object = static_cast<ITextHost*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::AddRef() {
    return ++m_refs;
}

ULONG STDMETHODCALLTYPE CTxtWinHost::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0)
        delete this;
    return refs;
}

HDC CTxtWinHost::TxGetDC() {
    return GetDC(Window());
}

INT CTxtWinHost::TxReleaseDC(HDC dc) {
    return ReleaseDC(Window(), dc);
}

WINBOOL CTxtWinHost::TxShowScrollBar(INT /*bar*/, WINBOOL /*show*/) {
    return Guarded([this] {
        if (m_owner)
            m_owner->OnEngineScrollChanged();
    });
}

WINBOOL CTxtWinHost::TxEnableScrollBar(INT /*flags*/, INT /*arrows*/) {
    return Guarded([this] {
        if (m_owner)
            m_owner->OnEngineScrollChanged();
    });
}

WINBOOL CTxtWinHost::TxSetScrollRange(INT /*bar*/, LONG /*minPos*/, INT /*maxPos*/,
                                      WINBOOL /*redraw*/) {
    return Guarded([this] {
        if (m_owner)
            m_owner->OnEngineScrollChanged();
    });
}

WINBOOL CTxtWinHost::TxSetScrollPos(INT /*bar*/, INT /*pos*/, WINBOOL /*redraw*/) {
    return Guarded([this] {
        if (m_owner)
            m_owner->OnEngineScrollChanged();
    });
}

void CTxtWinHost::TxInvalidateRect(LPCRECT /*rc*/, WINBOOL /*mode*/) {
    Guarded([this] {
        if (m_owner)
            m_owner->Invalidate();
    });
}

void CTxtWinHost::TxViewChange(WINBOOL /*update*/) {
    Guarded([this] {
        if (m_owner)
            m_owner->Invalidate();
    });
}

WINBOOL CTxtWinHost::TxCreateCaret(HBITMAP bitmap, INT width, INT height) {
    HWND window = Window();
    return window && CreateCaret(window, bitmap, width, height);
}

WINBOOL CTxtWinHost::TxShowCaret(WINBOOL show) {
    HWND window = Window();
    return window && (show ? ShowCaret(window) : HideCaret(window));
}

WINBOOL CTxtWinHost::TxSetCaretPos(INT x, INT y) {
    return SetCaretPos(x, y);
}

WINBOOL CTxtWinHost::TxSetTimer(UINT id, UINT timeout) {
    bool set = false;
    Guarded([&] {
        set = m_owner && m_owner->GetManager() &&
              m_owner->GetManager()->SetTimer(m_owner, id, timeout);
    });
    return set;
}

void CTxtWinHost::TxKillTimer(UINT id) {
    Guarded([&] {
        if (m_owner && m_owner->GetManager())
            m_owner->GetManager()->KillTimer(m_owner, id);
    });
}

void CTxtWinHost::TxScrollWindowEx(INT /*dx*/, INT /*dy*/, LPCRECT /*scroll*/, LPCRECT /*clip*/,
                                   HRGN /*update*/, LPRECT /*updateRect*/, UINT /*flags*/) {
    Guarded([this] {
        if (m_owner)
            m_owner->Invalidate();
    });
}

void CTxtWinHost::TxSetCapture(WINBOOL capture) {
    HWND window = Window();
    if (!window)
        return;
    if (capture)
        SetCapture(window);
    else if (GetCapture() == window)
        ReleaseCapture();
}

void CTxtWinHost::TxSetFocus() {
    Guarded([this] {
        if (m_owner)
            m_owner->SetFocus();
    });
}

void CTxtWinHost::TxSetCursor(HCURSOR cursor, WINBOOL /*text*/) {
    ::SetCursor(cursor);
}

WINBOOL CTxtWinHost::TxScreenToClient(LPPOINT pt) {
    return ScreenToClient(Window(), pt);
}

WINBOOL CTxtWinHost::TxClientToScreen(LPPOINT pt) {
    return ClientToScreen(Window(), pt);
}

HRESULT CTxtWinHost::TxActivate(LONG* /*oldState*/) {
    return S_OK;
}

HRESULT CTxtWinHost::TxDeactivate(LONG /*newState*/) {
    return S_OK;
}

HRESULT CTxtWinHost::TxGetClientRect(LPRECT rc) {
    *rc = m_client;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetViewInset(LPRECT rc) {
    *rc = RECT{};
    return S_OK;
}

HRESULT CTxtWinHost::TxGetCharFormat(const CHARFORMATW** format) {
    *format = reinterpret_cast<const CHARFORMATW*>(&m_charFormat);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetParaFormat(const PARAFORMAT** format) {
    *format = &m_paraFormat;
    return S_OK;
}

COLORREF CTxtWinHost::TxGetSysColor(int index) {
    return GetSysColor(index);
}

HRESULT CTxtWinHost::TxGetBackStyle(TXTBACKSTYLE* style) {
    *style = TXTBACK_TRANSPARENT;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetMaxLength(DWORD* length) {
    *length = static_cast<DWORD>(m_maxLength);
    return S_OK;
}

HRESULT CTxtWinHost::TxGetScrollBars(DWORD* scrollBars) {
    *scrollBars = m_scrollBars;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPasswordChar(TCHAR* ch) {
    *ch = TEXT('*');
    return S_OK;
}

HRESULT CTxtWinHost::TxGetAcceleratorPos(LONG* cp) {
    *cp = -1;
    return S_OK;
}

HRESULT CTxtWinHost::TxGetExtent(LPSIZEL /*extent*/) {
    return E_NOTIMPL;
}

HRESULT CTxtWinHost::OnTxCharFormatChange(const CHARFORMATW* /*format*/) {
    return S_OK;
}

HRESULT CTxtWinHost::OnTxParaFormatChange(const PARAFORMAT* /*format*/) {
    return S_OK;
}

HRESULT CTxtWinHost::TxGetPropertyBits(DWORD mask, DWORD* bits) {
    *bits = m_propertyBits & mask;
    return S_OK;
}

HRESULT CTxtWinHost::TxNotify(DWORD notification, void* /*data*/) {
    const bool done = Guarded([&] {
        if (m_owner && notification == EN_CHANGE)
            m_owner->OnEngineScrollChanged();
    });
    return done ? S_OK : E_FAIL;
}

HIMC CTxtWinHost::TxImmGetContext() {
    return nullptr;
}

void CTxtWinHost::TxImmReleaseContext(HIMC /*context*/) {}

HRESULT CTxtWinHost::TxGetSelectionBarWidth(LONG* width) {
    *width = 0;
    return S_OK;
}

} // namespace skinui
