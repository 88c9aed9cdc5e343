#pragma once

#include "skinui/core/WindowWnd.h"

#include <windows.h>

namespace skinui {

class CControlUI;
class CDateTimeWnd;

// What the picker needs of the date control it edits.
class IDatePickerOwner {
public:
    // The date control, for its window, rectangle and font.
    virtual CControlUI* PickerOwnerControl() = 0;
    virtual int PickerFont() const = 0;
    virtual const SYSTEMTIME& GetTime() const = 0;
    // The picker is going: the date it ends with, or null when it was dropped.
    virtual void OnPickerClosed(CDateTimeWnd* picker, const SYSTEMTIME* time) = 0;

protected:
    ~IDatePickerOwner() = default;
};

// The system date picker ("SysDateTimePick32") a CDateTimeUI opens over itself while it is
// edited. It closes when it loses the keyboard focus to anything but its own calendar, on
// Enter or Tab (keeping the date picked) and on Escape (dropping it); it deletes itself when
// its window is destroyed.
class CDateTimeWnd : public CWindowWnd {
public:
    // Creates and shows a picker over owner with the owner's date; null when it cannot be made.
    static CDateTimeWnd* Open(IDatePickerOwner& owner);
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
    explicit CDateTimeWnd(IDatePickerOwner& owner) : m_owner(&owner) {}
    ~CDateTimeWnd() override = default;
    bool Create();
    // Whether the window taking the focus belongs to the picker (its drop-down calendar).
    bool IsOwnPart(HWND window) const;

    IDatePickerOwner* m_owner;
    bool m_opening = false; // a window failing on creation leaves the object to Open
    bool m_closing = false;
    bool m_keep = true;
};

} // namespace skinui
