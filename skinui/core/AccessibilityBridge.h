#pragma once

#include <windows.h>

namespace skinui {

class CControlUI;

// What a window manager tells assistive technology and the keyboard layer about its tree, and
// the window messages and keys it hands them first. Installed by the skinned window; a manager
// without one behaves as before.
class IAccessibilityBridge {
public:
    virtual ~IAccessibilityBridge() = default;
    // A message of the window (WM_GETOBJECT among others); true when it was answered.
    virtual bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // A key-down of the message loop, before the tree sees it; true when it was used.
    virtual bool PreTranslateKey(WPARAM key) = 0;
    // A press of a mouse button: the keyboard's focus mark goes.
    virtual void PointerPressed() = 0;
    // A WinEvent (EVENT_OBJECT_...) about a control of the tree.
    virtual void ControlChanged(DWORD event, CControlUI* control) = 0;
    // The control the focus goes to when it moves on from `from` (a page container: its first
    // control) forwards or backwards; null when there is none.
    virtual CControlUI* NextFocus(CControlUI* from, bool forward) = 0;
    // Draws the focus mark over the painted tree when the focus was reached by the keyboard.
    virtual void PaintFocusMark(HDC dc) = 0;
};

} // namespace skinui
