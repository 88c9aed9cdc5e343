#include "skinui/extras/ListElementUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {
namespace {

constexpr int kItemTextMargin = 8;

} // namespace

bool ListItemState::HandleEvent(CControlUI& item, UiEvent& event) {
    if (TrackHot(item, event, hot))
        return true;
    switch (event.type) {
    case kEventButtonDown:
    case kEventRButtonDown:
        if (item.IsEnabled() && owner) {
            owner->SelectItem(index);
            owner->OnItemClicked(&item, false);
            item.Invalidate();
        }
        return true;
    case kEventDblClick:
        if (item.IsEnabled() && owner)
            owner->OnItemClicked(&item, true);
        return true;
    case kEventButtonUp:
    case kEventMouseMove:
        return true;
    default:
        return false;
    }
}

void ListItemState::Select(CControlUI& item, bool select) {
    if (selected == select)
        return;
    selected = select;
    item.Invalidate();
}

void ListItemState::PaintBackground(CControlUI& item, HDC dc) {
    if (!owner)
        return;
    const ListInfo& info = owner->GetListInfo();
    DWORD color = info.bkColor;
    const std::wstring* image = &info.bkImage;
    if (!item.IsEnabled()) {
        color = info.disabledBkColor ? info.disabledBkColor : color;
        image = info.disabledImage.empty() ? image : &info.disabledImage;
    } else if (selected) {
        color = info.selectedBkColor ? info.selectedBkColor : color;
        image = info.selectedImage.empty() ? image : &info.selectedImage;
    } else if (hot) {
        color = info.hotBkColor ? info.hotBkColor : color;
        image = info.hotImage.empty() ? image : &info.hotImage;
    }
    if (color)
        render::FillColor(dc, item.GetPos(), color);
    if (!image->empty())
        item.DrawImage(dc, *image);
    if (info.lineColor) {
        const RECT& rc = item.GetPos();
        render::DrawLine(dc, {rc.left, rc.bottom - 1}, {rc.right, rc.bottom - 1}, 1,
                         info.lineColor);
    }
}

DWORD ListItemState::TextColor(const CControlUI& item) const {
    SkinWindowManager* manager = item.GetManager();
    const DWORD fallback = manager ? manager->GetDefaultFontColor() : 0xFF000000;
    if (!owner)
        return fallback;
    const ListInfo& info = owner->GetListInfo();
    DWORD color = info.textColor ? info.textColor : fallback;
    if (!item.IsEnabled())
        color = info.disabledTextColor ? info.disabledTextColor
                                       : (manager ? manager->GetDisabledColor() : color);
    else if (selected && info.selectedTextColor)
        color = info.selectedTextColor;
    else if (hot && info.hotTextColor)
        color = info.hotTextColor;
    return color;
}

template <class Base> void* CListItemUI<Base>::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, IListItemUI::kInterfaceName) == 0)
        return static_cast<IListItemUI*>(this);
    return Base::GetInterface(name);
}

template <class Base> UINT CListItemUI<Base>::GetControlFlags() const {
    return this->IsEnabled() ? kFlagSetCursor : 0;
}

template <class Base> bool CListItemUI<Base>::Activate() {
    if (!CControlUI::Activate())
        return false;
    if (m_item.owner)
        m_item.owner->OnItemClicked(this, true);
    return true;
}

template <class Base> void CListItemUI<Base>::Select(bool select) {
    m_item.Select(*this, select);
}

template <class Base> void CListItemUI<Base>::DoEvent(UiEvent& event) {
    if (PassMouseToParent(*this, event))
        return;
    if (!m_item.HandleEvent(*this, event))
        Base::DoEvent(event);
}

template <class Base>
void CListItemUI<Base>::SetAttribute(const std::wstring& name, const std::wstring& value) {
    // The owner picks the selection up when it is initialised.
    if (name == L"selected")
        Select(ParseBoolValue(value));
    else
        Base::SetAttribute(name, value);
}

template <class Base> void CListItemUI<Base>::PaintBkColor(HDC dc) {
    Base::PaintBkColor(dc);
    m_item.PaintBackground(*this, dc);
}

template class CListItemUI<CControlUI>;
template class CListItemUI<CHorizontalLayoutUI>;

const wchar_t* CListLabelElementUI::GetClass() const {
    return kClassName;
}

void* CListLabelElementUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListItemUI::GetInterface(name);
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
    if (m_fixedHeight > 0 || !m_manager)
        return CControlUI::EstimateSize(available);
    const int font = m_item.owner ? m_item.owner->GetListInfo().font : -1;
    return {m_fixedWidth, m_manager->GetFontInfo(font).metrics.tmHeight + kItemTextMargin};
}

RECT CListLabelElementUI::ItemTextRect(RECT rc) const {
    return m_item.owner ? PadRect(rc, m_item.owner->GetListInfo().textPadding) : rc;
}

void CListLabelElementUI::PaintText(HDC dc) {
    if (m_text.empty() || !m_manager)
        return;
    const ListInfo* info = m_item.owner ? &m_item.owner->GetListInfo() : nullptr;
    DrawSkinText(dc, m_manager, ItemTextRect(m_pos), m_text, m_item.TextColor(*this),
                 info ? info->font : -1,
                 (info ? info->textStyle : (DT_VCENTER | DT_SINGLELINE)) | DT_NOPREFIX);
}

const wchar_t* CListTextElementUI::GetClass() const {
    return kClassName;
}

void* CListTextElementUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListLabelElementUI::GetInterface(name);
}

std::wstring CListTextElementUI::GetColumnText(int column) const {
    if (column == 0)
        return m_text;
    const auto at = static_cast<size_t>(column - 1);
    return column > 0 && at < m_columns.size() ? m_columns[at] : std::wstring{};
}

void CListTextElementUI::SetColumnText(int column, const std::wstring& text) {
    if (column < 0)
        return;
    if (column == 0) {
        SetText(text);
        return;
    }
    const auto at = static_cast<size_t>(column - 1);
    if (at >= m_columns.size())
        m_columns.resize(at + 1);
    m_columns[at] = text;
    Invalidate();
}

void CListTextElementUI::PaintText(HDC dc) {
    auto* header = m_item.owner ? InterfaceCast<IContainerUI>(m_item.owner->GetHeader()) : nullptr;
    if (!header || header->GetCount() == 0 || !m_manager) {
        CListLabelElementUI::PaintText(dc);
        return;
    }
    const ListInfo& info = m_item.owner->GetListInfo();
    for (int column = 0; column < header->GetCount(); ++column) {
        const std::wstring text = GetColumnText(column);
        if (text.empty())
            continue;
        const RECT& columnPos = header->GetItemAt(column)->GetPos();
        const RECT cell = ItemTextRect({columnPos.left, m_pos.top, columnPos.right, m_pos.bottom});
        DrawSkinText(dc, m_manager, cell, text, m_item.TextColor(*this), info.font,
                     info.textStyle | DT_NOPREFIX);
    }
}

const wchar_t* CListContainerElementUI::GetClass() const {
    return kClassName;
}

void* CListContainerElementUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListItemUI::GetInterface(name);
}

const wchar_t* CListContainerElementExUI::GetClass() const {
    return kClassName;
}

void* CListContainerElementExUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CListContainerElementUI::GetInterface(name);
}

} // namespace skinui
