#include "skinui/extras/TreeListViewUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"

namespace skinui {

const wchar_t* CTreeListViewHeadUI::GetClass() const {
    return kClassName;
}

void* CTreeListViewHeadUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListHeaderUI::GetInterface(name);
}

const wchar_t* CTreeListContainerElementUI::GetClass() const {
    return kClassName;
}

void* CTreeListContainerElementUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListContainerElementUI::GetInterface(name);
}

RECT CTreeListContainerElementUI::MarkRect() const {
    const LONG side = m_pos.bottom - m_pos.top;
    return {m_pos.left, m_pos.top, m_pos.left + side, m_pos.bottom};
}

void CTreeListContainerElementUI::SetExpanded(bool expanded) {
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    Invalidate();
}

// Unless the list allows several expanded rows, expanding one by hand shrinks the others.
void CTreeListContainerElementUI::ShrinkOthers() {
    auto* list = InterfaceCast<IContainerUI>(m_parent);
    if (!list || !m_item.owner || m_item.owner->GetListInfo().multiExpanding)
        return;
    for (int i = 0; i < list->GetCount(); ++i) {
        auto* row = InterfaceCast<CTreeListContainerElementUI>(list->GetItemAt(i));
        if (row && row != this)
            row->SetExpanded(false);
    }
}

void CTreeListContainerElementUI::DoEvent(UiEvent& event) {
    if (event.type == kEventButtonDown && IsEnabled()) {
        const RECT mark = MarkRect();
        if (PtInRect(&mark, event.mouse) && (!m_expandImage.empty() || !m_shrinkImage.empty())) {
            SetExpanded(!m_expanded);
            if (m_expanded)
                ShrinkOthers();
            return;
        }
    }
    CListContainerElementUI::DoEvent(event);
}

void CTreeListContainerElementUI::SetAttribute(const std::wstring& name,
                                               const std::wstring& value) {
    if (name == L"expanded")
        SetExpanded(ParseBoolValue(value));
    else if (name == L"expandimage")
        m_expandImage = value;
    else if (name == L"shrinkimage")
        m_shrinkImage = value;
    else
        CListContainerElementUI::SetAttribute(name, value);
}

void CTreeListContainerElementUI::PaintStatusImage(HDC dc) {
    std::wstring& image = m_expanded ? m_shrinkImage : m_expandImage;
    if (image.empty())
        return;
    const RECT mark = MarkRect();
    const RECT place{0, 0, mark.right - mark.left, mark.bottom - mark.top};
    DrawImageOrClear(*this, dc, image,
                     image.find(L"dest=") == std::wstring::npos ? ImageDestination(place)
                                                                : markup::ImageOverride{});
}

const wchar_t* CTreeListViewUI::GetClass() const {
    return kClassName;
}

void* CTreeListViewUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListUI::GetInterface(name);
}

bool CTreeListViewUI::AddAt(CControlUI* control, int index) {
    if (!CListUI::AddAt(control, index))
        return false;
    if (InterfaceCast<CTreeListContainerElementUI>(control))
        for (const auto& [name, value] : m_rowDefaults)
            control->SetAttribute(name, value);
    return true;
}

void CTreeListViewUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"expanded" || name == L"expandimage" || name == L"shrinkimage") {
        m_rowDefaults.emplace_back(name, value);
        // Rows from markup are already in place when the list's attributes arrive.
        for (int i = 0; i < GetCount(); ++i)
            if (InterfaceCast<CTreeListContainerElementUI>(GetItemAt(i)))
                GetItemAt(i)->SetAttribute(name, value);
    } else {
        CListUI::SetAttribute(name, value);
    }
}

} // namespace skinui
