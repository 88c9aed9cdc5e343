#pragma once

#include "skinui/core/UiTypes.h"
#include "skinui/markup/ImageDescriptor.h"

#include <windows.h>

#include <string>

namespace skinui {

class CControlUI;
class SkinWindowManager;

// What is left of rc once each side gives up its padding.
RECT PadRect(RECT rc, const RECT& padding);

// A width or height kept within a control's limits; a maximum below the minimum gives way to it.
long ClampExtent(long value, int minimum, int maximum);

// Draws a descriptor into the control; one that cannot be drawn is cleared so it is not tried
// again. False when it is empty or was cleared.
bool DrawImageOrClear(CControlUI& control, HDC dc, std::wstring& descriptor,
                      const markup::ImageOverride& override = {});

// An override that draws the image into rc, given relative to the control's top-left corner.
markup::ImageOverride ImageDestination(const RECT& rc);

// True for a mouse event while the control takes no mouse input: such events are its parent's.
bool IsMouseEventForParent(const CControlUI& control, const UiEvent& event);

// Hands such a mouse event to the parent, or drops it when there is none. True when the event
// was one of those.
bool PassMouseToParent(CControlUI& control, UiEvent& event);

// Follows the pointer into and out of the control: hot while it is inside and the control is
// enabled. True when the event was an enter or a leave.
bool TrackHot(CControlUI& control, const UiEvent& event, bool& hot);

// Draws text in font `font` of the manager's table, through GDI+ when the window asks for it;
// nothing without a manager.
void DrawSkinText(HDC dc, const SkinWindowManager* manager, const RECT& rc,
                  const std::wstring& text, DWORD color, int font, UINT format);

// The colour of a text field's tip value unless the markup gives one.
constexpr DWORD kDefaultTipValueColor = 0xFFBAC0C5;

// The state images of a text field. The first that applies and can be drawn is painted:
// disabled, focused, hot, else normal.
struct FieldStateImages {
    std::wstring normal;
    std::wstring hot;
    std::wstring focused;
    std::wstring disabled;

    // Takes normalimage, hotimage, focusedimage and disabledimage; false for any other name.
    bool SetAttribute(const std::wstring& name, const std::wstring& value);
    void Paint(CControlUI& control, HDC dc, bool isHot);
};

} // namespace skinui
