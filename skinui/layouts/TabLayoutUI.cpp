#include "skinui/layouts/TabLayoutUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"

#include <algorithm>

namespace skinui {

const wchar_t* CTabLayoutUI::GetClass() const {
    return kClassName;
}

void* CTabLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CContainerUI::GetInterface(name);
}

bool CTabLayoutUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (m_curSel == -1 && control->IsVisible()) {
        m_curSel = index;
        return true;
    }
    if (m_curSel != -1 && index <= m_curSel)
        ++m_curSel;
    // Hidden wherever it goes: only the selected page may show.
    control->SetVisible(false);
    return true;
}

bool CTabLayoutUI::RemoveAt(int index) {
    if (index < 0 || index >= GetCount())
        return false;
    if (!CContainerUI::RemoveAt(index))
        return false;
    if (index == m_curSel) {
        if (GetCount() > 0) {
            m_curSel = 0;
            GetItemAt(0)->SetVisible(true);
        } else {
            m_curSel = -1;
        }
        NeedParentUpdate();
    } else if (index < m_curSel) {
        --m_curSel;
    }
    return true;
}

void CTabLayoutUI::RemoveAll() {
    m_curSel = -1;
    CContainerUI::RemoveAll();
    NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(int index) {
    if (index < 0 || index >= GetCount())
        return false;
    if (index == m_curSel)
        return true;
    const int old = m_curSel;
    m_curSel = index;
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (i == index) {
            child->SetVisible(true);
            child->SetFocus();
        } else {
            child->SetVisible(false);
        }
    }
    SetPos(m_pos);
    NeedParentUpdate();
    if (m_manager) {
        m_manager->SetNextTabControl();
        m_manager->SendNotify(this, L"tabselect", static_cast<WPARAM>(index),
                              static_cast<LPARAM>(old));
    }
    return true;
}

bool CTabLayoutUI::SelectItem(CControlUI* control) {
    const int index = GetItemIndex(control);
    return index >= 0 && SelectItem(index);
}

void CTabLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selectedid")
        SelectItem(ParseIntValue(value));
    else
        CContainerUI::SetAttribute(name, value);
}

void CTabLayoutUI::SetPos(RECT rc) {
    CControlUI::SetPos(rc);
    const RECT content = ContentRect();
    const SIZE scroll = GetScrollPos();
    SIZE needed{};
    for (int i = 0; i < GetCount(); ++i) {
        CControlUI* child = GetItemAt(i);
        if (!child->IsVisible())
            continue;
        if (child->IsFloat()) {
            SetFloatPos(i);
            continue;
        }
        if (i != m_curSel)
            continue;
        const RECT padding = child->GetPadding();
        const RECT slot{content.left + padding.left, content.top + padding.top,
                        content.right - padding.right, content.bottom - padding.bottom};
        const SIZE available{slot.right - slot.left, slot.bottom - slot.top};
        const SIZE wanted = child->EstimateSize(available);
        long width = wanted.cx == 0 ? available.cx : wanted.cx;
        long height = wanted.cy == 0 ? available.cy : wanted.cy;
        width = ClampExtent(width, child->GetMinWidth(), child->GetMaxWidth());
        height = ClampExtent(height, child->GetMinHeight(), child->GetMaxHeight());
        const long left = slot.left - scroll.cx;
        const long top = slot.top - scroll.cy;
        child->SetPos({left, top, left + width, top + height});
        needed = {width + padding.left + padding.right, height + padding.top + padding.bottom};
    }
    // A page larger than the view can be scrolled when the layout has scroll bars.
    ProcessScrollBar(content, needed.cx, needed.cy);
}

} // namespace skinui
