#pragma once

#include "skinui/core/SkinWindowManager.h"
#include "skinui/core/WindowWnd.h"

#include <string>
#include <vector>

namespace skinui {

class CComboWnd;

class CComboBodyUI;
class CControlUI;

// What the drop-down needs of the combo it belongs to.
class IComboDropOwner {
public:
    // The combo control, the items' parent.
    virtual CControlUI* DropOwnerControl() = 0;
    virtual std::wstring GetDropBoxAttributeList() const = 0;
    virtual SIZE GetDropBoxSize() const = 0;
    // The items, which the drop-down shows without owning them.
    virtual const std::vector<CControlUI*>& Items() const = 0;
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int index) = 0;
    // The items are back with the combo and the drop-down is ending.
    virtual void OnDropDownClosed(CComboWnd* dropDown) = 0;

protected:
    ~IComboDropOwner() = default;
};

// A combo's drop-down: a pop-up skinned window of its own below the combo (above it when the
// screen has no room below), showing the combo's items in a scrolling vertical layout that the
// combo's dropbox attributes style. The items stay the combo's: they are lent to the pop-up
// while it is open and handed back when it closes.
//
// It takes the activation, and closes on a pick, on Enter, Escape, Alt+Up or F4, and when it
// loses the activation (a click outside it). It deletes itself after its window is gone.
class CComboWnd : public CWindowWnd {
public:
    // Opens the drop-down of combo; null when the window cannot be made.
    static CComboWnd* Open(IComboDropOwner& combo);

    // Ends the drop-down: the items go back to the combo and the window is destroyed (the
    // object with it, so the caller must not use it afterwards).
    void CloseDropDown();
    // Closes once the current message is done, for a pick made from inside the drop-down.
    void CloseSoon();
    // Scrolls the list so that the combo's selected item shows.
    void ShowSelection();

    SkinWindowManager& Manager() { return m_manager; }

protected:
    const wchar_t* WindowClassName() const override { return L"SkinComboDropWnd"; }
    UINT ClassStyle() const override { return CS_DROPSHADOW; }
    LRESULT RouteWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLastMessage(HWND hwnd) override;

private:
    explicit CComboWnd(IComboDropOwner& combo) : m_combo(&combo) {}
    ~CComboWnd() override = default;

    // Where the drop-down goes, in screen coordinates.
    RECT PlaceBelowOrAbove() const;
    bool OnKey(WPARAM key);
    void ReturnItems();

    IComboDropOwner* m_combo;       // null once the items went back
    CComboBodyUI* m_body = nullptr; // owned by m_manager as its root
    SkinWindowManager m_manager;
    bool m_closing = false;
};

} // namespace skinui
