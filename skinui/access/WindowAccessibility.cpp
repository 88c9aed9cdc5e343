#include "skinui/access/WindowAccessibility.h"

#include "skinui/access/AccessibleTree.h"
#include "skinui/access/SkinAccessible.h"
#include "skinui/controls/OptionUI.h"
#include "skinui/core/ControlUI.h"
#include "skinui/core/SkinWindowManager.h"

#include <oleacc.h>

#include <algorithm>
#include <new>
#include <vector>

namespace skinui::access {
namespace {

// The message that carries a default action to the window's queue; registered, so it cannot
// meet a window's own messages.
UINT ActionMessage() {
    static const UINT message = RegisterWindowMessageW(L"SkinUiAccessibleDefaultAction");
    return message;
}

bool Contains(CControlUI* ancestor, CControlUI* control) {
    for (; control; control = control->GetParent())
        if (control == ancestor)
            return true;
    return false;
}

} // namespace

WindowAccessibility::WindowAccessibility(SkinWindowManager& manager) : m_manager(manager) {}

WindowAccessibility::~WindowAccessibility() {
    Detach();
}

void WindowAccessibility::Attach() {
    m_manager.SetAccessibilityBridge(this);
}

void WindowAccessibility::Detach() {
    if (m_manager.GetAccessibilityBridge() == this)
        m_manager.SetAccessibilityBridge(nullptr);
    if (!m_object)
        return;
    m_object->Disconnect();
    // Clients in other processes hold stubs of the object; they now get RPC_E_DISCONNECTED.
    CoDisconnectObject(m_object, 0);
    m_object->Release();
    m_object = nullptr;
}

bool WindowAccessibility::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                        LRESULT& result) {
    HWND window = m_manager.GetPaintWindow();
    if (message == WM_GETOBJECT) {
        if (static_cast<LONG>(lParam) != OBJID_CLIENT || !window)
            return false;
        if (!m_object)
            m_object = new (std::nothrow) SkinAccessible(m_manager, window, ActionMessage());
        if (!m_object)
            return false;
        result = LresultFromObject(IID_IAccessible, wParam, m_object);
        // Without COM on this thread there is nothing to hand out; the system's own client
        // object answers instead.
        return result >= 0;
    }
    if (message == ActionMessage() && window) {
        const std::vector<CControlUI*> exposed = ExposedControls(m_manager.GetRoot());
        const size_t id = static_cast<size_t>(wParam);
        if (id >= 1 && id <= exposed.size()) {
            CControlUI* control = exposed[id - 1];
            if (IsShown(control) && IsUsable(control) && !DefaultActionOf(control).empty()) {
                control->SetFocus();
                control->Activate();
            }
        }
        result = 0;
        return true;
    }
    return false;
}

bool WindowAccessibility::PreTranslateKey(WPARAM key) {
    CControlUI* root = m_manager.GetRoot();
    if (!root)
        return false;
    CControlUI* focus = m_manager.GetFocus();
    if (!m_keyboardCue) {
        m_keyboardCue = true;
        InvalidateMark();
    }
    switch (key) {
    case VK_TAB:
        if (focus && IsShown(focus) && IsUsable(focus) && (focus->GetControlFlags() & kFlagWantTab))
            return false;
        MoveFocusByKey(NextFocus(focus, GetKeyState(VK_SHIFT) >= 0));
        return true;
    case VK_ESCAPE:
        if (CControlUI* close = ShownCloseButton(root)) {
            close->Activate();
            return true;
        }
        return false;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return MoveInRadioGroup(key == VK_RIGHT || key == VK_DOWN);
    case VK_SPACE:
    case VK_RETURN:
        // A focus left on a control that went with its page must not act unseen.
        if (focus && (!IsShown(focus) || !IsUsable(focus))) {
            MoveFocusByKey(NextFocus(nullptr, true));
            return true;
        }
        return false;
    default:
        return false;
    }
}

void WindowAccessibility::MoveFocusByKey(CControlUI* target) {
    m_keyboardCue = true;
    if (target)
        m_manager.SetFocus(target);
    InvalidateMark();
}

bool WindowAccessibility::MoveInRadioGroup(bool forward) {
    CControlUI* focus = m_manager.GetFocus();
    auto* option = InterfaceCast<COptionUI>(focus);
    if (!option || option->GetGroup().empty() || !IsShown(focus))
        return false;
    const std::vector<CControlUI*> group = RadioGroupOf(m_manager.GetRoot(), focus);
    const auto it = std::find(group.begin(), group.end(), focus);
    if (it == group.end() || group.size() < 2)
        return true;
    const size_t index = static_cast<size_t>(it - group.begin());
    const size_t next =
        forward ? (index + 1) % group.size() : (index + group.size() - 1) % group.size();
    CControlUI* target = group[next];
    MoveFocusByKey(target);
    // As with a native radio button, moving to it selects it.
    target->Activate();
    return true;
}

void WindowAccessibility::PointerPressed() {
    if (!m_keyboardCue)
        return;
    m_keyboardCue = false;
    InvalidateMark();
}

CControlUI* WindowAccessibility::NextFocus(CControlUI* from, bool forward) {
    const std::vector<CControlUI*> order = TabOrder(m_manager.GetRoot());
    if (order.empty())
        return nullptr;
    const auto current = std::find(order.begin(), order.end(), from);
    if (current != order.end()) {
        const size_t index = static_cast<size_t>(current - order.begin());
        return order[forward ? (index + 1) % order.size()
                             : (index + order.size() - 1) % order.size()];
    }
    // A page just shown (its container has the focus) starts at its first control; a page
    // without one at its first announced control, such as a progress bar. A text field is
    // skipped unless the keyboard is in use: it would show a caret nobody asked for.
    if (from && InterfaceCast<IContainerUI>(from)) {
        for (CControlUI* control : order)
            if (Contains(from, control) && (m_keyboardCue || RoleOf(control) != ROLE_SYSTEM_TEXT))
                return control;
        for (CControlUI* control : ExposedControls(from))
            if (IsShown(control) && IsUsable(control) &&
                (m_keyboardCue || RoleOf(control) != ROLE_SYSTEM_TEXT))
                return control;
    }
    // A radio button off the order (an unselected member of its group) is still in its place.
    if (from && IsShown(from)) {
        const std::vector<CControlUI*> group = RadioGroupOf(m_manager.GetRoot(), from);
        for (CControlUI* member : group) {
            const auto stop = std::find(order.begin(), order.end(), member);
            if (stop != order.end()) {
                const size_t index = static_cast<size_t>(stop - order.begin());
                return order[forward ? (index + 1) % order.size()
                                     : (index + order.size() - 1) % order.size()];
            }
        }
    }
    if (!forward)
        return order.back();
    for (CControlUI* control : order)
        if (m_keyboardCue || RoleOf(control) != ROLE_SYSTEM_TEXT)
            return control;
    return order.front();
}

void WindowAccessibility::ControlChanged(DWORD event, CControlUI* control) {
    if (event == EVENT_OBJECT_FOCUS)
        InvalidateMark();
    if ((event == EVENT_OBJECT_SHOW || event == EVENT_OBJECT_HIDE) &&
        InterfaceCast<IContainerUI>(control) && RoleOf(control) == 0) {
        // A page is no object of its own: its controls appear and go.
        for (CControlUI* child : ExposedControls(control))
            if (event == EVENT_OBJECT_HIDE || IsShown(child))
                Announce(event, child);
        return;
    }
    Announce(event, control);
}

void WindowAccessibility::Announce(DWORD event, CControlUI* control) {
    HWND window = m_manager.GetPaintWindow();
    const LONG id = ChildIdOf(m_manager.GetRoot(), control);
    if (window && id > 0)
        NotifyWinEvent(event, window, OBJID_CLIENT, id);
}

void WindowAccessibility::InvalidateMark() {
    if (!IsRectEmpty(&m_markedRect))
        m_manager.Invalidate(m_markedRect);
    CControlUI* focus = m_manager.GetFocus();
    if (m_keyboardCue && focus)
        m_manager.Invalidate(focus->GetPos());
}

void WindowAccessibility::PaintFocusMark(HDC dc) {
    m_markedRect = {};
    CControlUI* focus = m_manager.GetFocus();
    if (!m_keyboardCue || !focus || !IsShown(focus))
        return;
    RECT rc = focus->GetPos();
    if (IsRectEmpty(&rc))
        return;
    m_markedRect = rc;
    InflateRect(&rc, -1, -1);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &rc);
}

} // namespace skinui::access
