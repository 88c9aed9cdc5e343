#include "skinui/extras/ActiveXUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"
#include "win32/Bstr.h"
#include "win32/Variant.h"

#include <exdisp.h>
#include <objbase.h>

namespace skinui {
namespace {

constexpr CLSID kWebBrowserClassId = {
    0x8856f961, 0x340a, 0x11d0, {0xa9, 0x6b, 0x00, 0xc0, 0x4f, 0xd7, 0x05, 0xa2}};
constexpr CLSID kFlashClassId = {
    0xd27cdb6e, 0xae6d, 0x11cf, {0x96, 0xb8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

using GetClassObjectProc = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);

constexpr UINT kShowTimerKey = 1;

} // namespace

CActiveXUI::CActiveXUI() = default;

CActiveXUI::~CActiveXUI() {
    if (m_manager) {
        m_manager->KillTimer(this, kShowTimerKey);
        m_manager->RemovePostPaint(this);
        if (m_filterRegistered)
            m_manager->RemoveMessageFilter(this);
    }
    m_host.reset();
}

bool CActiveXUI::IsShownInWindow() const {
    for (const CControlUI* walk = this; walk; walk = walk->GetParent())
        if (!walk->IsVisible())
            return false;
    return true;
}

void CActiveXUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    if (m_host)
        m_host->Move(m_pos);
}

void CActiveXUI::SetVisible(bool visible) {
    CControlUI::SetVisible(visible);
    if (m_host)
        m_host->Show(IsShownInWindow());
}

// A container hiding around the control does not tell it; every paint checks.
void CActiveXUI::DoPostPaint(HDC /*dc*/, const RECT& /*paint*/) {
    if (m_host)
        m_host->Show(IsShownInWindow());
}

const wchar_t* CActiveXUI::GetClass() const {
    return kClassName;
}

void* CActiveXUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

bool CActiveXUI::SetClassId(const std::wstring& clsid) {
    CLSID parsed{};
    if (clsid.empty() || FAILED(CLSIDFromString(clsid.c_str(), &parsed))) {
        m_clsid = CLSID{};
        return false;
    }
    m_clsid = parsed;
    return true;
}

void CActiveXUI::DoInit() {
    CControlUI::DoInit();
    if (m_manager && !m_filterRegistered) {
        m_manager->AddMessageFilter(this);
        m_manager->AddPostPaint(this);
        m_filterRegistered = true;
    }
    if (!m_delayCreate)
        CreateControl();
}

bool CActiveXUI::CreateControl() {
    if (m_control)
        return true;
    m_createTried = true;
    if (IsEqualCLSID(m_clsid, CLSID{}))
        return false;
    if (!m_moduleName.empty()) {
        m_module.reset(LoadLibraryW(m_moduleName.c_str()));
        const auto getClassObject =
            m_module ? reinterpret_cast<GetClassObjectProc>(reinterpret_cast<void*>(
                           GetProcAddress(m_module.get(), "DllGetClassObject")))
                     : nullptr;
        win32::ComPtr<IClassFactory> factory;
        if (getClassObject &&
            SUCCEEDED(getClassObject(m_clsid, IID_IClassFactory, factory.put_void())) && factory)
            factory->CreateInstance(nullptr, IID_IUnknown, m_control.put_void());
    } else {
        CoCreateInstance(m_clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
                         IID_IUnknown, m_control.put_void());
    }
    if (!m_control)
        return false;
    if (m_manager && m_manager->GetPaintWindow())
        m_host = ActiveXHost::Activate(m_manager->GetPaintWindow(), m_control.get(), m_pos,
                                       IsShownInWindow());
    OnControlCreated();
    // Reported from the message loop: a control created as the window takes its tree (or in
    // the middle of a paint) is reported once the dialog listens, outside the paint.
    if (m_manager && !m_manager->SetTimer(this, kShowTimerKey, 1))
        m_manager->SendNotify(this, L"showactivex");
    return true;
}

void CActiveXUI::DoEvent(UiEvent& event) {
    if (event.type == kEventTimer && event.wParam == kShowTimerKey) {
        m_manager->KillTimer(this, kShowTimerKey);
        m_manager->SendNotify(this, L"showactivex");
        return;
    }
    CControlUI::DoEvent(event);
}

void CActiveXUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"clsid")
        SetClassId(value);
    else if (name == L"modulename")
        m_moduleName = value;
    else if (name == L"delaycreate")
        m_delayCreate = ParseBoolValue(value);
    else
        CControlUI::SetAttribute(name, value);
}

void CActiveXUI::DoPaint(HDC dc, const RECT& paint) {
    if (!m_createTried && IsVisible())
        CreateControl();
    CControlUI::DoPaint(dc, paint);
}

LRESULT CActiveXUI::FilterMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                  bool& /*handled*/) {
    // Without an in-place object nothing of the window's input belongs to the control.
    return 0;
}

CWebBrowserUI::CWebBrowserUI() {
    m_clsid = kWebBrowserClassId;
}

const wchar_t* CWebBrowserUI::GetClass() const {
    return kClassName;
}

void* CWebBrowserUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CActiveXUI::GetInterface(name);
}

void CWebBrowserUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"homepage")
        m_homePage = value;
    else if (name == L"autonavi")
        m_autoNavigate = ParseBoolValue(value);
    else
        CActiveXUI::SetAttribute(name, value);
}

void CWebBrowserUI::OnControlCreated() {
    if (m_autoNavigate && !m_homePage.empty())
        Navigate(m_homePage);
}

bool CWebBrowserUI::Navigate(const std::wstring& url) {
    IUnknown* control = GetControl();
    win32::ComPtr<IWebBrowser2> web;
    if (!control || FAILED(control->QueryInterface(IID_IWebBrowser2, web.put_void())) || !web)
        return false;
    const win32::UniqueBstr address = win32::MakeBstr(url.c_str());
    if (!address)
        return false;
    win32::Variant empty;
    return SUCCEEDED(
        web->Navigate(address.get(), empty.get(), empty.get(), empty.get(), empty.get()));
}

CFlashUI::CFlashUI() {
    m_clsid = kFlashClassId;
}

const wchar_t* CFlashUI::GetClass() const {
    return kClassName;
}

void* CFlashUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CActiveXUI::GetInterface(name);
}

} // namespace skinui
