#include "skinui/extras/TreeViewUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {
namespace {

constexpr int kNodeTextMargin = 8;
constexpr int kPlainMarkSize = 9;
constexpr const wchar_t* kStyleNames[] = {L"horizattr", L"dotlineattr", L"folderattr",
                                          L"checkboxattr", L"itemattr"};

int StyleIndex(const std::wstring& name) {
    for (int i = 0; i < CTreeNodeUI::kStyleCount; ++i)
        if (name == kStyleNames[i])
            return i;
    return -1;
}

} // namespace

CTreeNodePartUI::CTreeNodePartUI(Kind kind) : m_kind(kind) {
    SetMouseEnabled(false);
    SetKeyboardEnabled(false);
}

const wchar_t* CTreeNodePartUI::GetClass() const {
    return kClassName;
}

void CTreeNodePartUI::SetOn(bool on) {
    if (m_on == on)
        return;
    m_on = on;
    Invalidate();
}

void CTreeNodePartUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"selectedimage")
        m_onImage = value;
    else if (name == L"selectedhotimage")
        m_onHotImage = value;
    else
        CButtonUI::SetAttribute(name, value);
}

void CTreeNodePartUI::PaintStatusImage(HDC dc) {
    if (m_on) {
        if (IsHotNow() && DrawOrClear(dc, m_onHotImage))
            return;
        if (DrawOrClear(dc, m_onImage))
            return;
    }
    if (m_normalImage.empty() && m_onImage.empty() &&
        (m_kind == Kind::Folder || m_kind == Kind::Check)) {
        PaintPlainMark(dc);
        return;
    }
    CButtonUI::PaintStatusImage(dc);
}

// A small box: a folder's shows minus while expanded and plus while folded, a check box's a
// tick while ticked.
void CTreeNodePartUI::PaintPlainMark(HDC dc) {
    const DWORD color = EffectiveTextColor();
    const LONG left = m_pos.left + (m_pos.right - m_pos.left - kPlainMarkSize) / 2;
    const LONG top = m_pos.top + (m_pos.bottom - m_pos.top - kPlainMarkSize) / 2;
    const RECT box{left, top, left + kPlainMarkSize, top + kPlainMarkSize};
    render::DrawRect(dc, box, 1, color);
    const LONG middleX = (box.left + box.right) / 2;
    const LONG middleY = (box.top + box.bottom) / 2;
    if (m_kind == Kind::Folder) {
        render::DrawLine(dc, {box.left + 2, middleY}, {box.right - 2, middleY}, 1, color);
        if (!m_on)
            render::DrawLine(dc, {middleX, box.top + 2}, {middleX, box.bottom - 2}, 1, color);
    } else if (m_on) {
        render::DrawLine(dc, {box.left + 2, middleY}, {middleX - 1, box.bottom - 3}, 1, color);
        render::DrawLine(dc, {middleX - 1, box.bottom - 3}, {box.right - 2, box.top + 2}, 1, color);
    }
}

CTreeNodeUI::CTreeNodeUI()
    : m_indent(new CTreeNodePartUI(CTreeNodePartUI::Kind::Indent)),
      m_folder(new CTreeNodePartUI(CTreeNodePartUI::Kind::Folder)),
      m_check(new CTreeNodePartUI(CTreeNodePartUI::Kind::Check)),
      m_itemPart(new CTreeNodePartUI(CTreeNodePartUI::Kind::Item)) {
    m_folder->SetFixedWidth(kDefaultButtonWidth);
    m_check->SetFixedWidth(kDefaultButtonWidth);
    m_check->SetVisible(false);
    // "left" alone leaves a label multi-line and top-aligned; a row's text sits centred in it.
    m_itemPart->ApplyAttributeList(L"align=\"left\" valign=\"vcenter\" textpadding=\"4,0,0,0\"");
    for (CTreeNodePartUI* part : {m_indent, m_folder, m_check, m_itemPart})
        CListContainerElementUI::Add(part);
}

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

std::wstring CTreeNodeUI::GetText() const {
    return m_itemPart->GetText();
}

void CTreeNodeUI::SetText(const std::wstring& text) {
    m_itemPart->SetText(text);
}

int CTreeNodeUI::GetDepth() const {
    int depth = 0;
    for (const CTreeNodeUI* walk = m_parentNode; walk; walk = walk->m_parentNode)
        ++depth;
    return depth;
}

void CTreeNodeUI::SetTree(CTreeViewUI* tree) {
    m_tree = tree;
    TakeTreeDefaults();
}

void CTreeNodeUI::TakeTreeDefaults() {
    if (!m_tree)
        return;
    for (int i = 0; i < kStyleCount; ++i)
        if (!m_styleSet[static_cast<size_t>(i)] && !m_tree->m_styles[i].empty())
            ApplyStyle(static_cast<Style>(i), m_tree->m_styles[i]);
    if (!m_expandSet && m_tree->m_defaultExpandSet)
        SetExpanded(m_tree->m_defaultExpand);
    NeedUpdate();
}

void CTreeNodeUI::ApplyStyle(Style style, const std::wstring& list) {
    switch (style) {
    case kHoriz:
        ApplyAttributeList(list);
        break;
    case kDotLine:
        m_indent->ApplyAttributeList(list);
        // Its width is the indent of one level; the part itself grows with the depth.
        if (m_indent->GetFixedWidth() > 0)
            m_indentPerDepth = m_indent->GetFixedWidth();
        break;
    case kFolder:
        m_folder->ApplyAttributeList(list);
        break;
    case kCheckBox:
        m_check->ApplyAttributeList(list);
        break;
    case kItem:
        m_itemPart->ApplyAttributeList(list);
        m_itemStyleColor = m_itemPart->GetTextColor();
        break;
    case kStyleCount:
        break;
    }
    NeedUpdate();
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
    m_folder->SetOn(expanded);
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    ApplyFolding();
    Invalidate();
}

void CTreeNodeUI::SetChecked(bool checked) {
    m_checked = checked;
    m_check->SetOn(checked);
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

namespace {

// Each setter repaints or lays out again; the parts are arranged at every paint, so only
// changes may reach them.
void ShowPart(CControlUI& part, bool visible) {
    if (part.IsVisible() != visible)
        part.SetVisible(visible);
}

void SetPartColor(CTreeNodePartUI& part, DWORD color) {
    if (part.GetTextColor() != color)
        part.SetTextColor(color);
}

} // namespace

void CTreeNodeUI::ArrangeParts() {
    const bool folderRoom = !m_tree || m_tree->IsFolderButtonVisible();
    const bool folderShown = folderRoom && !m_children.empty();
    ShowPart(*m_folder, folderShown);
    m_folder->SetOn(m_expanded);
    ShowPart(*m_check, m_tree && m_tree->IsCheckButtonVisible());
    m_check->SetOn(m_checked);
    // A leaf keeps the folder button's room, so its text lines up with its siblings'.
    int indent = GetDepth() * m_indentPerDepth;
    if (folderRoom && !folderShown)
        indent += m_folder->GetFixedWidth();
    ShowPart(*m_indent, indent > 0);
    if (m_indent->GetFixedWidth() != indent)
        m_indent->SetFixedWidth(std::max(indent, 0));
    if (m_tree && m_tree->GetItemMinWidth() > 0 && GetMinWidth() != m_tree->GetItemMinWidth())
        SetMinWidth(m_tree->GetItemMinWidth());

    m_itemPart->SetOn(m_item.selected);
    const DWORD selected =
        m_selectedTextColor ? m_selectedTextColor : (m_tree ? m_tree->m_selectedTextColor : 0);
    const DWORD selectedHot = m_selectedHotTextColor
                                  ? m_selectedHotTextColor
                                  : (m_tree ? m_tree->m_selectedHotTextColor : 0);
    const DWORD plain = m_itemStyleColor ? m_itemStyleColor : m_item.TextColor(*this);
    DWORD color = plain;
    if (m_item.selected && m_item.hot && selectedHot)
        color = selectedHot;
    else if (m_item.selected && selected)
        color = selected;
    SetPartColor(*m_itemPart, color);
    SetPartColor(*m_folder, plain);
    SetPartColor(*m_check, plain);
    // The list's item font unless itemattr chose one.
    if (m_item.owner && m_itemPart->GetFont() < 0 && m_item.owner->GetListInfo().font >= 0)
        m_itemPart->SetFont(m_item.owner->GetListInfo().font);
}

void CTreeNodeUI::SetPos(RECT rc) {
    ArrangeParts();
    CListContainerElementUI::SetPos(rc);
}

void CTreeNodeUI::DoPaint(HDC dc, const RECT& paint) {
    // Selection and hover change the item's colours without a new layout.
    ArrangeParts();
    CListContainerElementUI::DoPaint(dc, paint);
}

bool CTreeNodeUI::HitPart(const CTreeNodePartUI* part, POINT pt) const {
    const RECT rc = part->GetPos();
    return part->IsVisible() && PtInRect(&rc, pt);
}

void CTreeNodeUI::DoEvent(UiEvent& event) {
    if (event.type == kEventButtonDown && IsEnabled()) {
        if (!m_children.empty() && HitPart(m_folder, event.mouse)) {
            SetExpanded(!m_expanded);
            return;
        }
        if (HitPart(m_check, event.mouse)) {
            SetChecked(!m_checked);
            return;
        }
    }
    if (event.type == kEventDblClick && IsEnabled() && !m_children.empty() &&
        !HitPart(m_folder, event.mouse) && !HitPart(m_check, event.mouse))
        SetExpanded(!m_expanded);
    CListContainerElementUI::DoEvent(event);
}

void CTreeNodeUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    const int style = StyleIndex(name);
    if (style >= 0) {
        m_styleSet[static_cast<size_t>(style)] = true;
        ApplyStyle(static_cast<Style>(style), value);
    } else if (name == L"text") {
        SetText(value);
    } else if (name == L"selitemtextcolor") {
        m_selectedTextColor = ParseColorValue(value);
    } else if (name == L"selitemhottextcolor") {
        m_selectedHotTextColor = ParseColorValue(value);
    } else if (name == L"defaultexpand" || name == L"expanded") {
        m_expandSet = true;
        SetExpanded(ParseBoolValue(value));
    } else if (name == L"checked") {
        SetChecked(ParseBoolValue(value));
    } else {
        CListContainerElementUI::SetAttribute(name, value);
    }
}

SIZE CTreeNodeUI::EstimateSize(SIZE available) {
    if (m_fixedHeight > 0 || !m_manager)
        return CListContainerElementUI::EstimateSize(available);
    const int font = m_item.owner ? m_item.owner->GetListInfo().font : -1;
    return {m_fixedWidth, m_manager->GetFontInfo(font).metrics.tmHeight + kNodeTextMargin};
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

template <typename F> void CTreeViewUI::ForEachNode(F&& apply) {
    for (int i = 0; i < GetCount(); ++i)
        if (auto* node = InterfaceCast<CTreeNodeUI>(GetItemAt(i)))
            apply(*node);
    NeedUpdate();
}

void CTreeViewUI::SetFolderButtonVisible(bool visible) {
    m_folderButtonVisible = visible;
    NeedUpdate();
}

void CTreeViewUI::SetCheckButtonVisible(bool visible) {
    m_checkButtonVisible = visible;
    NeedUpdate();
}

void CTreeViewUI::SetItemMinWidth(int width) {
    m_itemMinWidth = std::max(width, 0);
    NeedUpdate();
}

void CTreeViewUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    const int style = StyleIndex(name);
    if (style >= 0) {
        m_styles[style] = value;
        ForEachNode([](CTreeNodeUI& node) { node.TakeTreeDefaults(); });
    } else if (name == L"visiblefolderbtn") {
        SetFolderButtonVisible(ParseBoolValue(value));
    } else if (name == L"visiblecheckbtn") {
        SetCheckButtonVisible(ParseBoolValue(value));
    } else if (name == L"itemminwidth") {
        SetItemMinWidth(ParseIntValue(value));
    } else if (name == L"selitemtextcolor") {
        m_selectedTextColor = ParseColorValue(value);
    } else if (name == L"selitemhottextcolor") {
        m_selectedHotTextColor = ParseColorValue(value);
    } else if (name == L"defaultexpand") {
        m_defaultExpand = ParseBoolValue(value);
        m_defaultExpandSet = true;
        ForEachNode([](CTreeNodeUI& node) { node.TakeTreeDefaults(); });
    } else {
        CListUI::SetAttribute(name, value);
    }
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
