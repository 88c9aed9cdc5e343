#pragma once

#include "skinui/core/UiTypes.h"
#include "skinui/core/WindowWnd.h"
#include "win32/GdiObject.h"

namespace skinui {

class CEditUI;

// The system edit window a CEditUI opens while it is edited. It deletes itself when its window
// is destroyed, which happens as soon as it loses the keyboard focus.
class CEditWnd : public CWindowWnd, public IMessageFilterUI {
public:
    explicit CEditWnd(CEditUI& owner);
    ~CEditWnd() override;

    // Creates and shows the native edit for the owner; false when the window cannot be made.
    bool Open();
    // Detaches from the owner (which is going away) and closes the window.
    void Abandon();
    void CloseSoon();
    // True once a close has been posted: the window is on its way out.
    bool IsClosing() const { return m_closing; }

    LRESULT FilterMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

protected:
    const wchar_t* WindowClassName() const override;
    const wchar_t* SuperClassName() const override;
    LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND hwnd) override;

private:
    void OnTextChanged();

    CEditUI* m_owner;
    win32::UniqueBrush m_bkBrush; // the native background colour
    bool m_opening = false;
    bool m_closing = false;
};

} // namespace skinui
