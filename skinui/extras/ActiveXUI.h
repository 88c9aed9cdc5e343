#pragma once

#include "skinui/core/ControlUI.h"
#include "skinui/extras/ActiveXHost.h"
#include "win32/ComPtr.h"
#include "win32/GdiObject.h"

#include <objbase.h>

namespace skinui {

// Creates a COM control by its class id, from the registry or from the module given by
// modulename, hosts it in place over the control's rectangle (moved, shown and hidden with the
// control, closed with it or with the window) and reports "showactivex" once it exists.
// Creation waits for the first paint unless delaycreate is false.
class CActiveXUI : public CControlUI, public IMessageFilterUI {
public:
    static constexpr const wchar_t* kClassName = L"ActiveXUI";
    static constexpr const wchar_t* kInterfaceName = L"ActiveX";

    CActiveXUI();
    ~CActiveXUI() override;

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void DoInit() override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void SetPos(RECT rc) override;
    void SetVisible(bool visible = true) override;
    void DoPaint(HDC dc, const RECT& paint) override;
    void DoPostPaint(HDC dc, const RECT& paint) override;

    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

    bool SetClassId(const std::wstring& clsid);
    const CLSID& GetClassId() const { return m_clsid; }
    // Creates the control now; false when the class cannot be made (or none is set).
    bool CreateControl();
    IUnknown* GetControl() const { return m_control.get(); }
    // The in-place window the control lives in; null before creation or for a control that
    // cannot be placed.
    HWND GetHostWindow() const { return m_host ? m_host->GetWindow() : nullptr; }
    bool IsWindowless() const { return m_host && m_host->IsWindowless(); }

protected:
    // After creation, before "showactivex".
    virtual void OnControlCreated() {}
    // Visible itself and in every container around it.
    bool IsShownInWindow() const;

    CLSID m_clsid{};
    std::wstring m_moduleName;
    bool m_delayCreate = true;
    bool m_createTried = false;

private:
    bool m_filterRegistered = false;
    // Declared before the control so the module outlives it.
    win32::UniqueLibrary m_module;
    win32::ComPtr<IUnknown> m_control;
    std::unique_ptr<ActiveXHost> m_host; // goes before the control
};

// The system's web browser control; homepage is where it goes once created (autonavi).
class CWebBrowserUI : public CActiveXUI {
public:
    static constexpr const wchar_t* kClassName = L"WebBrowserUI";
    static constexpr const wchar_t* kInterfaceName = L"WebBrowser";

    CWebBrowserUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    std::wstring GetHomePage() const { return m_homePage; }
    bool IsAutoNavigate() const { return m_autoNavigate; }
    // Sends the browser to url; false when there is no browser or it refuses.
    bool Navigate(const std::wstring& url);

protected:
    void OnControlCreated() override;

private:
    std::wstring m_homePage;
    bool m_autoNavigate = false;
};

// The Shockwave Flash control.
class CFlashUI : public CActiveXUI {
public:
    static constexpr const wchar_t* kClassName = L"FlashUI";
    static constexpr const wchar_t* kInterfaceName = L"Flash";

    CFlashUI();

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
};

} // namespace skinui
