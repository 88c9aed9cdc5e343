#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace skinui {

class CControlUI;

// How assistive technology sees a control tree: which controls it is told about and, for each,
// the name, role, state, value and default action a screen reader announces. Layout containers
// and unnamed decorations are left out; a control keeps its place in the list while hidden.
namespace access {

// Every control assistive technology is told about, visible or not, in tree order: child id
// i + 1 is element i.
std::vector<CControlUI*> ExposedControls(CControlUI* root);
// 1-based child id of the control among the exposed ones; 0 when it is not exposed.
LONG ChildIdOf(CControlUI* root, CControlUI* control);
// The nearest exposed control at or above `control` (null when none is).
CControlUI* ExposedAncestor(CControlUI* root, CControlUI* control);

// ROLE_SYSTEM_... of the control; 0 when it is not announced by itself (a layout container,
// a scroll bar).
LONG RoleOf(CControlUI* control);
// Its accname, else its text, else its tooltip; an edit, rich edit or progress bar without
// any of them takes the text of the static text before it.
std::wstring NameOf(CControlUI* root, CControlUI* control);
// STATE_SYSTEM_... flags, without the focus (which only the window knows).
LONG StateOf(CControlUI* control);
// The text of an edit, the percentage of a progress bar; empty for others.
std::wstring ValueOf(CControlUI* control);
// The tooltip, when it did not give the name.
std::wstring DescriptionOf(CControlUI* control);
// The word for what accDoDefaultAction does now; empty when the control has no such action.
std::wstring DefaultActionOf(CControlUI* control);
// Shown and enabled up to the root.
bool IsShown(const CControlUI* control);
bool IsUsable(const CControlUI* control);

// The controls Tab visits, in order: the shown, enabled tab stops in tree order, each radio
// group as one stop (its selected member) and close buttons last, as in a native dialog.
std::vector<CControlUI*> TabOrder(CControlUI* root);
// The shown, enabled members of the radio group of `option`, in tree order.
std::vector<CControlUI*> RadioGroupOf(CControlUI* root, CControlUI* option);
// The window's close button when it is shown and enabled (Escape presses it).
CControlUI* ShownCloseButton(CControlUI* root);

} // namespace access
} // namespace skinui
