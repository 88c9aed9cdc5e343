#pragma once

#include "skinui/access/WindowAccessibility.h"
#include "skinui/core/NotifyPump.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/core/WindowWnd.h"
#include "skinui/resources/SkinResources.h"

#include <string>

namespace skinui {

// The base of every skinned window: a frameless native window whose content is a control tree
// built from a skin, with caption dragging, resize borders, a rounded region and the built-in
// system buttons. Dialogs override the skin-locating operations and OnNotify.
class WindowImplBase : public CWindowWnd,
                       public CNotifyPump,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
public:
    // Where the skin comes from: the values SkinSourceKind returns.
    using SkinSource = resources::SkinSource;

    WindowImplBase() = default;

protected:
    const wchar_t* WindowClassName() const override = 0;
    const wchar_t* SuperClassName() const override;
    UINT ClassStyle() const override;
    LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND hwnd) override;

public:
    ~WindowImplBase() override;

protected:
    virtual void OnWindowReady();
    virtual void HandleClick(UiNotification& notification);
    virtual std::wstring SkinFolder() = 0;
    virtual std::wstring SkinFileName() = 0;
    virtual LRESULT DefaultKeyResponse(WPARAM key);
    virtual int SkinSourceKind() const;
    virtual std::wstring SkinZipFileName();
    virtual LPCWSTR SkinResourceId() const;
    virtual LRESULT OnCloseMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnDestroyMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcActivateMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcCalcSizeMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcPaintMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnNcHitTestMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMinMaxInfoMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseWheelMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseHoverMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSizeMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCharMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSysCommandMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnCreateMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKeyDownMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnKillFocusMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnSetFocusMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonDownMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnLButtonUpMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnMouseMoveMsg(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LRESULT OnOtherMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
    virtual LONG WindowStyle() const;

public:
    const NotifyMap* NotificationMap() const override;
    void OnNotify(UiNotification& notification) override;
    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;
    CControlUI* CreateCustomControl(const wchar_t* elementName) override;

    SkinWindowManager& Manager() { return m_manager; }

protected:
    SkinWindowManager m_manager;
    access::WindowAccessibility m_accessibility{m_manager};
};

} // namespace skinui
