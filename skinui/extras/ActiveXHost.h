#pragma once

#include "win32/ComPtr.h"

#include <ole2.h>
#include <windows.h>

#include <memory>

namespace skinui {

class ActiveXSite;

// Hosts one created COM control in place inside a skinned window: a child window over the
// control's rectangle is the control's in-place window, and an OLE site (client site, in-place
// site with windowless support, frame) lets the control activate there. A windowed control
// (the web browser) makes its own window inside it; a windowless one (Flash) is drawn into it
// through its view object and gets the window's mouse and keyboard messages.
class ActiveXHost {
public:
    // Activates control in place in a child of parent at rc (parent's client coordinates).
    // Nothing when the control is no OLE object or refuses to activate.
    static std::unique_ptr<ActiveXHost> Activate(HWND parent, IUnknown* control, const RECT& rc,
                                                 bool visible);
    // Deactivates and closes the control and destroys the in-place window.
    ~ActiveXHost();
    ActiveXHost(const ActiveXHost&) = delete;
    ActiveXHost& operator=(const ActiveXHost&) = delete;

    void Move(const RECT& rc);
    void Show(bool visible);
    HWND GetWindow() const;
    bool IsWindowless() const;

private:
    explicit ActiveXHost(win32::ComPtr<ActiveXSite> site);

    win32::ComPtr<ActiveXSite> m_site;
};

} // namespace skinui
