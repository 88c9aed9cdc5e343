#pragma once

#include "skinui/core/AccessibilityBridge.h"

namespace skinui {

class SkinWindowManager;

namespace access {

class SkinAccessible;

// A skinned window's accessibility and keyboard layer: answers WM_GETOBJECT with the window's
// IAccessible, announces the tree's changes as WinEvents, and lets the keyboard alone work
// the window (Tab order, radio groups on the arrows, Escape as the close button, a focus mark).
class WindowAccessibility final : public IAccessibilityBridge {
public:
    explicit WindowAccessibility(SkinWindowManager& manager);
    ~WindowAccessibility() override;
    WindowAccessibility(const WindowAccessibility&) = delete;
    WindowAccessibility& operator=(const WindowAccessibility&) = delete;

    // Installs this layer on the manager's window.
    void Attach();
    // At the window's end: the manager forgets this layer, and the IAccessible that clients
    // may still hold is disconnected from the tree.
    void Detach();

    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool PreTranslateKey(WPARAM key) override;
    void PointerPressed() override;
    void ControlChanged(DWORD event, CControlUI* control) override;
    CControlUI* NextFocus(CControlUI* from, bool forward) override;
    void PaintFocusMark(HDC dc) override;

    bool IsKeyboardCueShown() const { return m_keyboardCue; }

private:
    void Announce(DWORD event, CControlUI* control);
    void MoveFocusByKey(CControlUI* target);
    bool MoveInRadioGroup(bool forward);
    void InvalidateMark();

    SkinWindowManager& m_manager;
    SkinAccessible* m_object = nullptr; // created at the first WM_GETOBJECT; one reference held
    bool m_keyboardCue = false;
    RECT m_markedRect{};
};

} // namespace access
} // namespace skinui
