#pragma once

#include "skinui/core/WindowWnd.h"

#include <windows.h>

namespace skinui {

class CDateTimeUI;

// The system date picker ("SysDateTimePick32") a CDateTimeUI opens over itself while it is
// edited. It closes when it loses the keyboard focus to anything but its own calendar, on
// Enter or Tab (keeping the date picked) and on Escape (dropping it); it deletes itself when
// its window is destroyed.
class CDateTimeWnd : public CWindowWnd {
public:
    // Creates and shows a picker over owner with the owner's date; null when it cannot be made.
    static CDateTimeWnd* Open(CDateTimeUI& owner);
    // Closes once the current message is done, handing the date to the owner when keep is true.
    void CloseSoon(bool keep);
    // Detaches from the owner (which is going away) and closes the window at once.
    void Abandon();
    // Follows the owner's rectangle.
    void Place();

protected:
    const wchar_t* WindowClassName() const override { return L"SkinUiDateTimeWnd"; }
    const wchar_t* SuperClassName() const override;
    LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND hwnd) override;

private:
    explicit CDateTimeWnd(CDateTimeUI& owner) : m_owner(&owner) {}
    ~CDateTimeWnd() override = default;
    bool Create();
    // Whether the window taking the focus belongs to the picker (its drop-down calendar).
    bool IsOwnPart(HWND window) const;

    CDateTimeUI* m_owner;
    bool m_opening = false; // a window failing on creation leaves the object to Open
    bool m_closing = false;
    bool m_keep = true;
};

} // namespace skinui
