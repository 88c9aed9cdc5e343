#pragma once

#include "skinui/core/UiTypes.h"

namespace skinui {

class CControlUI;

// The drag band along one edge of a layout ("sepheight" on a vertical layout, "sepwidth" on a
// horizontal one) that resizes the layout with the mouse.
class LayoutSeparator {
public:
    explicit LayoutSeparator(bool vertical) : m_vertical(vertical) {}

    // Band width in pixels; negative puts it on the leading (top or left) edge. 0 = none.
    void SetSize(int size) { m_size = size; }
    int GetSize() const { return m_size; }
    void SetImmediate(bool immediate) { m_immediate = immediate; }

    // Handles the separator's part of an event; true when the event was consumed.
    bool HandleEvent(CControlUI& owner, const UiEvent& event);
    // Draws the preview of the new edge while dragging without immediate mode.
    void PaintPreview(HDC dc) const;

private:
    RECT Band(const RECT& pos) const;

    bool m_vertical;
    int m_size = 0;
    bool m_immediate = false;
    bool m_dragging = false;
    POINT m_last{};
    RECT m_preview{}; // the layout's rectangle as it would be after the drag
};

} // namespace skinui
