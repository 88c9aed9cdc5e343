#include "skinui/layouts/BoxLayout.h"

#include "skinui/core/ContainerUI.h"
#include "skinui/core/ControlParts.h"

#include <algorithm>

namespace skinui {
namespace {

// Sizes and rectangles seen along the box's axis ("main") and across it ("cross").
class AxisFrame {
public:
    explicit AxisFrame(Axis axis) : m_vertical(axis == Axis::Vertical) {}

    LONG Main(SIZE size) const { return m_vertical ? size.cy : size.cx; }
    LONG Cross(SIZE size) const { return m_vertical ? size.cx : size.cy; }
    SIZE Size(LONG main, LONG cross) const {
        return m_vertical ? SIZE{cross, main} : SIZE{main, cross};
    }
    // The start and end of a rectangle (or the two paddings) along and across the axis.
    LONG Lead(const RECT& rc) const { return m_vertical ? rc.top : rc.left; }
    LONG Trail(const RECT& rc) const { return m_vertical ? rc.bottom : rc.right; }
    LONG CrossLead(const RECT& rc) const { return m_vertical ? rc.left : rc.top; }
    LONG CrossTrail(const RECT& rc) const { return m_vertical ? rc.right : rc.bottom; }
    RECT Rect(LONG mainStart, LONG crossStart, LONG main, LONG cross) const {
        return m_vertical ? RECT{crossStart, mainStart, crossStart + cross, mainStart + main}
                          : RECT{mainStart, crossStart, mainStart + main, crossStart + cross};
    }
    BoxNeeds Needs(long main, long cross) const {
        return m_vertical ? BoxNeeds{cross, main} : BoxNeeds{main, cross};
    }

    long ClampMain(const CControlUI& child, long extent) const {
        return m_vertical ? ClampExtent(extent, child.GetMinHeight(), child.GetMaxHeight())
                          : ClampExtent(extent, child.GetMinWidth(), child.GetMaxWidth());
    }
    long ClampCross(const CControlUI& child, long extent) const {
        return m_vertical ? ClampExtent(extent, child.GetMinWidth(), child.GetMaxWidth())
                          : ClampExtent(extent, child.GetMinHeight(), child.GetMaxHeight());
    }
    int FixedCross(const CControlUI& child) const {
        return m_vertical ? child.GetFixedWidth() : child.GetFixedHeight();
    }
    // What the child insists on across the axis: its fixed size, at least its minimum and at
    // most its maximum. A stretched size is not insisted on: it already includes the scroll
    // range and would keep any range alive forever.
    long InsistedCross(const CControlUI& child) const {
        const int minimum = m_vertical ? child.GetMinWidth() : child.GetMinHeight();
        const int maximum = m_vertical ? child.GetMaxWidth() : child.GetMaxHeight();
        const long wanted = std::max(FixedCross(child), minimum);
        return std::min<long>(wanted, std::max(minimum, maximum));
    }

private:
    bool m_vertical;
};

bool IsStacked(const CControlUI& child) {
    return child.IsVisible() && !child.IsFloat();
}

} // namespace

BoxNeeds LayOutBox(CContainerUI& box, const RECT& content, Axis axis) {
    const AxisFrame frame(axis);
    const bool crossScrolls = axis == Axis::Vertical;
    const int count = box.GetCount();
    if (count == 0)
        return frame.Needs(0, -1);
    const int gap = box.GetChildPadding();
    const SIZE scroll = box.GetScrollPos();
    const SIZE view{content.right - content.left, content.bottom - content.top};
    const LONG availableMain = frame.Main(view);
    const LONG availableCross = frame.Cross(view) + frame.Cross(box.GetScrollRange());
    const SIZE available = frame.Size(availableMain, availableCross);

    // Pass 1: measure the fixed children; a child estimating 0 along the axis stretches.
    int stretchCount = 0;
    int stacked = 0;
    long fixedSum = 0; // fixed extents and paddings along the axis
    for (int i = 0; i < count; ++i) {
        CControlUI& child = *box.GetItemAt(i);
        if (!IsStacked(child))
            continue;
        const RECT padding = child.GetPadding();
        long extent = frame.Main(child.EstimateSize(available));
        if (extent == 0)
            ++stretchCount;
        else
            extent = frame.ClampMain(child, extent);
        fixedSum += extent + frame.Lead(padding) + frame.Trail(padding);
        ++stacked;
    }
    long stretch = 0;
    if (stretchCount > 0) {
        const long gaps = stacked > 1 ? static_cast<long>(gap) * (stacked - 1) : 0;
        stretch = std::max<long>(0, (availableMain - gaps - fixedSum) / stretchCount);
    }

    // Pass 2: place the children one after the other; remaining never feeds a negative size.
    long position = frame.Lead(content) - frame.Main(scroll);
    const long crossStart = frame.CrossLead(content) - (crossScrolls ? frame.Cross(scroll) : 0);
    long remaining = availableMain;
    long needed = 0;
    long neededCross = 0;
    int placed = 0;
    for (int i = 0; i < count; ++i) {
        CControlUI& child = *box.GetItemAt(i);
        if (!child.IsVisible())
            continue;
        if (child.IsFloat()) {
            box.SetFloatPos(i);
            continue;
        }
        const RECT padding = child.GetPadding();
        remaining -= frame.Lead(padding);
        const SIZE wanted =
            child.EstimateSize(frame.Size(std::max<LONG>(0, remaining), availableCross));
        const long extent =
            frame.ClampMain(child, frame.Main(wanted) == 0 ? stretch : frame.Main(wanted));
        long across = frame.FixedCross(child);
        if (across == 0)
            across = std::max<long>(0, availableCross - frame.CrossLead(padding) -
                                           frame.CrossTrail(padding));
        across = frame.ClampCross(child, across);
        child.SetPos(frame.Rect(position + frame.Lead(padding),
                                crossStart + frame.CrossLead(padding), extent, across));
        position += extent + gap + frame.Lead(padding) + frame.Trail(padding);
        remaining -= extent + gap + frame.Trail(padding);
        needed += extent + frame.Lead(padding) + frame.Trail(padding);
        if (crossScrolls)
            neededCross =
                std::max(neededCross, frame.InsistedCross(child) + frame.CrossLead(padding) +
                                          frame.CrossTrail(padding));
        ++placed;
    }
    if (placed > 1)
        needed += static_cast<long>(gap) * (placed - 1);
    return frame.Needs(needed, crossScrolls ? neededCross : -1);
}

} // namespace skinui
