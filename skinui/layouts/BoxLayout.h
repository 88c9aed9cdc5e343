#pragma once

#include "skinui/core/UiTypes.h"

#include <windows.h>

namespace skinui {

class CContainerUI;

// What a box's children need, for its scroll bars; -1 where it is not measured.
struct BoxNeeds {
    long width = -1;
    long height = -1;
};

// The vertical and the horizontal layout's placement of the box's visible children inside
// content (the box's rectangle less inset and scroll bars): stacked along axis in child order,
// each filling the other axis unless its size there is fixed, with the children that estimate
// 0 along axis sharing what the others leave. Floating children are placed by the float rule.
//
// The vertical box alone scrolls across its axis: its children move with the horizontal scroll
// position, and the widths they insist on are measured for the horizontal bar.
BoxNeeds LayOutBox(CContainerUI& box, const RECT& content, Axis axis);

} // namespace skinui
