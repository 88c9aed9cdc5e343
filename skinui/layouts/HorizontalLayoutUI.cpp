#include "skinui/layouts/HorizontalLayoutUI.h"

#include "skinui/core/AttributeValues.h"

#include <algorithm>

namespace skinui {

const wchar_t* CHorizontalLayoutUI::GetClass() const {
    return kClassName;
}

void* CHorizontalLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

UINT CHorizontalLayoutUI::GetControlFlags() const {
    return (IsEnabled() && m_separator.GetSize() != 0) ? kFlagSetCursor : 0;
}

void CHorizontalLayoutUI::DoEvent(UiEvent& event) {
    if (m_separator.HandleEvent(*this, event))
        return;
    CContainerUI::DoEvent(event);
}

void CHorizontalLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"sepwidth")
        m_separator.SetSize(ParseIntValue(value));
    else if (name == L"sepimm")
        m_separator.SetImmediate(ParseBoolValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CHorizontalLayoutUI::DoPostPaint(HDC dc, const RECT& /*paint*/) {
    m_separator.PaintPreview(dc);
}

void CHorizontalLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    if (m_items.empty()) {
        ProcessScrollBar(content, 0, -1);
        return;
    }
    const SIZE scroll = GetScrollPos();
    SIZE available{content.right - content.left, content.bottom - content.top};
    available.cy += GetScrollRange().cy;

    // Pass 1: measure the fixed children; a child estimating width 0 stretches.
    int stretchCount = 0;
    int count = 0;
    long fixedSum = 0;
    for (CControlUI* child : m_items) {
        if (!child->IsVisible() || child->IsFloat())
            continue;
        const SIZE wanted = child->EstimateSize(available);
        const RECT padding = child->GetPadding();
        long width = wanted.cx;
        if (width == 0) {
            ++stretchCount;
        } else {
            width = std::clamp<long>(width, child->GetMinWidth(),
                                     std::max(child->GetMinWidth(), child->GetMaxWidth()));
        }
        fixedSum += width + padding.left + padding.right;
        ++count;
    }
    long stretchWidth = 0;
    if (stretchCount > 0) {
        const long gaps = count > 1 ? static_cast<long>(m_childPadding) * (count - 1) : 0;
        stretchWidth = std::max<long>(0, (available.cx - gaps - fixedSum) / stretchCount);
    }

    // Pass 2: place the children left to right at the top of their slot.
    long x = content.left - scroll.cx;
    long remaining = available.cx;
    long needed = 0;
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
        remaining -= padding.left;
        const SIZE wanted = child->EstimateSize({std::max<LONG>(0, remaining), available.cy});
        long width = wanted.cx == 0 ? stretchWidth : wanted.cx;
        width = std::clamp<long>(width, child->GetMinWidth(),
                                 std::max(child->GetMinWidth(), child->GetMaxWidth()));
        long height = child->GetFixedHeight();
        if (height == 0)
            height = std::max<long>(0, available.cy - padding.top - padding.bottom);
        height = std::clamp<long>(height, child->GetMinHeight(),
                                  std::max(child->GetMinHeight(), child->GetMaxHeight()));
        child->SetPos({x + padding.left, content.top + padding.top, x + padding.left + width,
                       content.top + padding.top + height});
        x += width + m_childPadding + padding.left + padding.right;
        remaining -= width + m_childPadding + padding.right;
        needed += width + padding.left + padding.right;
        ++placed;
    }
    if (placed > 1)
        needed += static_cast<long>(m_childPadding) * (placed - 1);
    ProcessScrollBar(content, needed, -1);
}

} // namespace skinui
