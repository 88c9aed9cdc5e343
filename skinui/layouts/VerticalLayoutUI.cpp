#include "skinui/layouts/VerticalLayoutUI.h"

#include "skinui/core/AttributeValues.h"

#include <algorithm>

namespace skinui {
namespace {

long InsistedWidth(const CControlUI& child) {
    const long wanted = std::max(child.GetFixedWidth(), child.GetMinWidth());
    return std::min<long>(wanted, std::max(child.GetMinWidth(), child.GetMaxWidth()));
}

} // namespace

const wchar_t* CVerticalLayoutUI::GetClass() const {
    return kClassName;
}

void* CVerticalLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CVerticalLayoutUI::GetControlFlags() const {
    return (IsEnabled() && m_separator.GetSize() != 0) ? kFlagSetCursor : 0;
}

void CVerticalLayoutUI::DoEvent(UiEvent& event) {
    if (m_separator.HandleEvent(*this, event))
        return;
    CContainerUI::DoEvent(event);
}

void CVerticalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sepheight")
        m_separator.SetSize(ParseIntValue(value));
    else if (name == L"sepimm")
        m_separator.SetImmediate(ParseBoolValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CVerticalLayoutUI::DoPostPaint(HDC dc, const RECT& /*paint*/) {
    m_separator.PaintPreview(dc);
}

void CVerticalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    if (m_items.empty()) {
        ProcessScrollBar(content, -1, 0);
        return;
    }
    const SIZE scroll = GetScrollPos();
    SIZE available{content.right - content.left, content.bottom - content.top};
    available.cx += GetScrollRange().cx;

    // Pass 1: measure the fixed children; a child estimating height 0 stretches.
    int stretchCount = 0;
    int count = 0;
    long fixedSum = 0;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const SIZE wanted = child->EstimateSize(available);
        const RECT padding = child->GetPadding();
        long height = wanted.cy;
        if (height == 0) {
            ++stretchCount;
        } else {
            height = std::clamp<long>(height, child->GetMinHeight(),
                                      std::max(child->GetMinHeight(), child->GetMaxHeight()));
        }
        fixedSum += (height == 0 ? 0 : height) + padding.top + padding.bottom;
        ++count;
    }
    long stretchHeight = 0;
    if (stretchCount > 0) {
        const long gaps = count > 1 ? static_cast<long>(m_childPadding) * (count - 1) : 0;
        stretchHeight = std::max<long>(0, (available.cy - gaps - fixedSum) / stretchCount);
    }

    // Pass 2: place the children top to bottom; remaining never feeds a negative size.
    long y = content.top - scroll.cy;
    const long x = content.left - scroll.cx;
    long remaining = available.cy;
    long needed = 0;
    long neededWidth = 0;
    int placed = 0;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = m_items[static_cast<size_t>(i)];
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        const RECT padding = child->GetPadding();
        remaining -= padding.top;
        const SIZE wanted = child->EstimateSize({available.cx, std::max<LONG>(0, remaining)});
        long height = wanted.cy == 0 ? stretchHeight : wanted.cy;
        height = std::clamp<long>(height, child->GetMinHeight(),
                                  std::max(child->GetMinHeight(), child->GetMaxHeight()));
        long width = child->GetFixedWidth();
        if (width == 0)
            width = std::max<long>(0, available.cx - padding.left - padding.right);
        width = std::clamp<long>(width, child->GetMinWidth(),
                                 std::max(child->GetMinWidth(), child->GetMaxWidth()));
        child->SetPos({x + padding.left, y + padding.top, x + padding.left + width,
                       y + padding.top + height});
        y += height + m_childPadding + padding.top + padding.bottom;
        remaining -= height + m_childPadding + padding.bottom;
        needed += height + padding.top + padding.bottom;
        // Only widths a child insists on count: a stretched width already includes the scroll
        // range and would keep any range alive forever.
        neededWidth =
            std::max<long>(neededWidth, InsistedWidth(*child) + padding.left + padding.right);
        ++placed;
    }
    if (placed > 1)
        needed += static_cast<long>(m_childPadding) * (placed - 1);
    ProcessScrollBar(content, neededWidth, needed);
}

} // namespace skinui
