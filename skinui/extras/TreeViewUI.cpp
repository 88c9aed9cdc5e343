#include "skinui/extras/TreeViewUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {
namespace {

constexpr int kIndentPerDepth = 16;
constexpr int kFolderMarkSize = 9;
constexpr int kNodeTextMargin = 8;

} // namespace

CTreeNodeUI::~CTreeNodeUI() {
    for (CTreeNodeUI* node : m_pending)
        delete node;
}

const wchar_t* CTreeNodeUI::GetClass() const {
    return kClassName;
}

void* CTreeNodeUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListContainerElementUI::GetInterface(name);
}

int CTreeNodeUI::GetDepth() const {
    int depth = 0;
    for (const CTreeNodeUI* walk = m_parentNode; walk; walk = walk->m_parentNode)
        ++depth;
    return depth;
}

RECT CTreeNodeUI::FolderRect() const {
    const LONG left = m_pos.left + GetDepth() * kIndentPerDepth + 2;
    const LONG top = m_pos.top + (m_pos.bottom - m_pos.top - kFolderMarkSize) / 2;
    return {left, top, left + kFolderMarkSize, top + kFolderMarkSize};
}

bool CTreeNodeUI::AddChildNode(CTreeNodeUI* node) {
    if (!node || node == this || node->m_parentNode)
        return false;
    node->m_parentNode = this;
    if (!m_tree) {
        m_pending.push_back(node);
        m_children.push_back(node);
        return true;
    }
    // After the last descendant of this node.
    const CTreeNodeUI* last = this;
    while (!last->m_children.empty())
        last = last->m_children.back();
    m_children.push_back(node);
    m_tree->InsertNode(node, m_tree->GetItemIndex(const_cast<CTreeNodeUI*>(last)) + 1);
    ApplyFolding();
    return true;
}

void CTreeNodeUI::SetExpanded(bool expanded) {
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    ApplyFolding();
    Invalidate();
}

void CTreeNodeUI::ApplyFolding() {
    const bool shown = IsVisible() && m_expanded;
    for (CTreeNodeUI* child : m_children) {
        child->SetVisible(shown);
        child->ApplyFolding();
    }
    if (m_parent)
        m_parent->NeedUpdate();
}

void CTreeNodeUI::DoEvent(UiEvent& event) {
    if (event.type == kEventButtonDown && IsEnabled() && !m_children.empty()) {
        const RECT folder = FolderRect();
        if (PtInRect(&folder, event.mouse)) {
            SetExpanded(!m_expanded);
            return;
        }
    }
    if (event.type == kEventDblClick && IsEnabled() && !m_children.empty())
        SetExpanded(!m_expanded);
    CListContainerElementUI::DoEvent(event);
}

void CTreeNodeUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"horizattr")
        m_attributes[0] = value;
    else if (name == L"dotlineattr")
        m_attributes[1] = value;
    else if (name == L"folderattr")
        m_attributes[2] = value;
    else if (name == L"checkboxattr")
        m_attributes[3] = value;
    else if (name == L"itemattr")
        m_itemAttributes = value;
    else if (name == L"selitemtextcolor")
        m_selectedTextColor = ParseColorValue(value);
    else if (name == L"selitemhottextcolor")
        m_selectedHotTextColor = ParseColorValue(value);
    else if (name == L"defaultexpand")
        SetExpanded(ParseBoolValue(value));
    else
        CListContainerElementUI::SetAttribute(name, value);
}

SIZE CTreeNodeUI::EstimateSize(SIZE available) {
    if (m_fixedHeight > 0 || !m_manager)
        return CListContainerElementUI::EstimateSize(available);
    const int font = m_item.owner ? m_item.owner->GetListInfo().font : -1;
    return {m_fixedWidth, m_manager->GetFontInfo(font).metrics.tmHeight + kNodeTextMargin};
}

void CTreeNodeUI::PaintText(HDC dc) {
    if (!m_manager)
        return;
    const RECT folder = FolderRect();
    const bool showFolder = !m_tree || m_tree->IsFolderButtonVisible();
    const DWORD color = (m_item.selected && m_selectedTextColor)
                            ? ((m_item.hot && m_selectedHotTextColor) ? m_selectedHotTextColor
                                                                      : m_selectedTextColor)
                            : m_item.TextColor(*this);
    if (showFolder && !m_children.empty()) {
        render::DrawRect(dc, folder, 1, color);
        const LONG middleY = (folder.top + folder.bottom) / 2;
        const LONG middleX = (folder.left + folder.right) / 2;
        render::DrawLine(dc, {folder.left + 2, middleY}, {folder.right - 2, middleY}, 1, color);
        if (!m_expanded)
            render::DrawLine(dc, {middleX, folder.top + 2}, {middleX, folder.bottom - 2}, 1, color);
    }
    if (m_text.empty())
        return;
    RECT rc = m_pos;
    rc.left = folder.right + 4;
    const ListInfo* info = m_item.owner ? &m_item.owner->GetListInfo() : nullptr;
    DrawSkinText(dc, m_manager, rc, m_text, color, info ? info->font : -1,
                 DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

const wchar_t* CTreeViewUI::GetClass() const {
    return kClassName;
}

void* CTreeViewUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListUI::GetInterface(name);
}

bool CTreeViewUI::AddAt(CControlUI* control, int index) {
    if (!CListUI::AddAt(control, index))
        return false;
    if (auto* node = InterfaceCast<CTreeNodeUI>(control))
        node->SetTree(this);
    return true;
}

bool CTreeViewUI::AddNode(CTreeNodeUI* node) {
    if (!node)
        return false;
    return InsertNode(node, GetCount()) >= 0;
}

int CTreeViewUI::InsertNode(CTreeNodeUI* node, int index) {
    if (!CListUI::AddAt(node, index))
        return -1;
    node->SetTree(this);
    std::vector<CTreeNodeUI*> pending;
    pending.swap(node->m_pending);
    int next = GetItemIndex(node) + 1;
    for (CTreeNodeUI* child : pending)
        next = InsertNode(child, next);
    node->ApplyFolding();
    return next;
}

void CTreeViewUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"visiblefolderbtn")
        m_folderButtonVisible = ParseBoolValue(value);
    else if (name == L"visiblecheckbtn")
        m_checkButtonVisible = ParseBoolValue(value);
    else if (name == L"itemminwidth")
        m_itemMinWidth = ParseIntValue(value);
    else
        CListUI::SetAttribute(name, value);
}

bool CTreeViewUI::SelectItem(int index) {
    const int old = GetCurSel();
    if (!CListUI::SelectItem(index))
        return false;
    if (old != GetCurSel() && m_manager)
        m_manager->SendNotify(GetListItemAt(GetCurSel()) ? GetListItemAt(GetCurSel()) : this,
                              L"selectchanged");
    return true;
}

void CTreeViewUI::OnItemClicked(CControlUI* item, bool activated) {
    if (activated && m_manager)
        m_manager->SendNotify(item, L"itemdbclick");
    CListUI::OnItemClicked(item, activated);
}

} // namespace skinui
