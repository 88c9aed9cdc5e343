#include "skinui/extras/ListUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {
namespace {

constexpr int kHeaderTextMargin = 8;

} // namespace

const wchar_t* CListHeaderItemUI::GetClass() const {
    return kClassName;
}

void* CListHeaderItemUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CListHeaderItemUI::GetControlFlags() const {
    return IsEnabled() ? kFlagSetCursor : 0;
}

void CListHeaderItemUI::DoEvent(UiEvent& event) {
    if (PassMouseToParent(*this, event) || TrackHot(*this, event, m_hot))
        return;
    switch (event.type) {
    case kEventButtonDown:
    case kEventDblClick:
        if (IsEnabled()) {
            m_pushed = true;
            Invalidate();
        }
        return;
    case kEventButtonUp:
        if (m_pushed) {
            m_pushed = false;
            Invalidate();
            if (PtInRect(&m_pos, event.mouse) && m_manager)
                m_manager->SendNotify(this, L"headerclick");
        }
        return;
    case kEventMouseMove:
        return;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

SIZE CListHeaderItemUI::EstimateSize(SIZE available) {
    if (m_fixedHeight > 0 || !m_manager)
        return CControlUI::EstimateSize(available);
    return {m_fixedWidth, m_manager->GetFontInfo(m_font).metrics.tmHeight + kHeaderTextMargin};
}

void CListHeaderItemUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"font")
        m_font = ParseIntValue(value);
    else if (name == L"textcolor")
        m_textColor = ParseColorValue(value);
    else if (name == L"textpadding")
        m_textPadding = ParseRectValue(value);
    else if (name == L"align") {
        m_textStyle &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
        if (value.find(L"center") != std::wstring::npos)
            m_textStyle |= DT_CENTER;
        else if (value.find(L"right") != std::wstring::npos)
            m_textStyle |= DT_RIGHT;
    } else if (name == L"normalimage")
        m_normalImage = value;
    else if (name == L"hotimage")
        m_hotImage = value;
    else if (name == L"pushedimage")
        m_pushedImage = value;
    else if (name == L"focusedimage")
        m_focusedImage = value;
    else if (name == L"sepimage")
        m_sepImage = value;
    else
        CControlUI::SetAttribute(name, value);
}

void CListHeaderItemUI::PaintStatusImage(HDC dc) {
    std::wstring& image = (m_pushed && !m_pushedImage.empty())     ? m_pushedImage
                          : (m_hot && !m_hotImage.empty())         ? m_hotImage
                          : (m_focused && !m_focusedImage.empty()) ? m_focusedImage
                                                                   : m_normalImage;
    DrawImageOrClear(*this, dc, image);
    DrawImageOrClear(*this, dc, m_sepImage);
}

void CListHeaderItemUI::PaintText(HDC dc) {
    if (m_text.empty() || !m_manager)
        return;
    DrawSkinText(dc, m_manager, PadRect(m_pos, m_textPadding), m_text,
                 m_textColor ? m_textColor : m_manager->GetDefaultFontColor(), m_font,
                 m_textStyle | DT_NOPREFIX);
}

const wchar_t* CListHeaderUI::GetClass() const {
    return kClassName;
}

void* CListHeaderUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CHorizontalLayoutUI::GetInterface(name);
}

SIZE CListHeaderUI::EstimateSize(SIZE available) {
    SIZE size = CHorizontalLayoutUI::EstimateSize(available);
    if (size.cy == 0 && GetCount() > 0)
        size.cy = GetItemAt(0)->EstimateSize(available).cy;
    return size;
}

const wchar_t* CListUI::GetClass() const {
    return kClassName;
}

void* CListUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    if (name && wcscmp(name, IListOwnerUI::kInterfaceName) == 0)
        return static_cast<IListOwnerUI*>(this);
    return CVerticalLayoutUI::GetInterface(name);
}

UINT CListUI::GetControlFlags() const {
    return IsEnabled() ? kFlagTabStop : 0;
}

bool CListUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CListUI::AddAt(CControlUI* control, int index) {
    if (!control)
        return false;
    if (InterfaceCast<CListHeaderUI>(control)) {
        if (m_header)
            return false;
        if (!CVerticalLayoutUI::AddAt(control, 0))
            return false;
        m_header = control;
        if (m_headerHidden)
            m_header->SetVisible(false);
        if (!m_headerBkImage.empty())
            m_header->SetBkImage(m_headerBkImage);
        return true;
    }
    if (m_header && index == 0)
        index = 1;
    if (!CVerticalLayoutUI::AddAt(control, index))
        return false;
    if (IListItemUI* item = AsListItem(control))
        item->SetOwner(this);
    Reindex();
    return true;
}

bool CListUI::Remove(CControlUI* control) {
    const int index = GetItemIndex(control);
    return index >= 0 && RemoveAt(index);
}

bool CListUI::RemoveAt(int index) {
    CControlUI* control = GetItemAt(index);
    if (!control)
        return false;
    const bool wasSelected = AsListItem(control) && AsListItem(control)->IsSelected();
    if (control == m_header)
        m_header = nullptr;
    if (!CVerticalLayoutUI::RemoveAt(index))
        return false;
    if (wasSelected)
        m_curSel = -1;
    Reindex();
    return true;
}

void CListUI::RemoveAll() {
    m_header = nullptr;
    m_curSel = -1;
    CVerticalLayoutUI::RemoveAll();
}

void CListUI::Reindex() {
    int index = 0;
    m_curSel = -1;
    for (CControlUI* control : m_items) {
        if (control == m_header)
            continue;
        if (IListItemUI* item = AsListItem(control)) {
            item->SetIndex(index);
            if (item->IsSelected())
                m_curSel = index;
        }
        ++index;
    }
}

int CListUI::GetItemCount() const {
    return GetCount() - (m_header ? 1 : 0);
}

CControlUI* CListUI::GetListItemAt(int index) const {
    return index < 0 ? nullptr : GetItemAt(index + (m_header ? 1 : 0));
}

bool CListUI::SelectItem(int index) {
    if (index == m_curSel)
        return true;
    return MoveSelection(*this, m_curSel, index, GetListItemAt(m_curSel), GetListItemAt(index));
}

void CListUI::OnItemClicked(CControlUI* item, bool activated) {
    if (m_manager)
        m_manager->SendNotify(item, activated ? L"itemactivate" : L"itemclick");
}

void CListUI::DoInit() {
    Reindex();
    CVerticalLayoutUI::DoInit();
}

void CListUI::DoEvent(UiEvent& event) {
    if (event.type == kEventKeyDown && IsEnabled()) {
        const int count = GetItemCount();
        switch (event.key) {
        case VK_UP:
        case VK_DOWN:
            SelectItem(StepSelection(m_curSel, count, event.key == VK_UP));
            return;
        case VK_HOME:
            SelectItem(count > 0 ? 0 : -1);
            return;
        case VK_END:
            SelectItem(count - 1);
            return;
        case VK_RETURN:
            if (CControlUI* item = GetListItemAt(m_curSel))
                item->Activate();
            return;
        default:
            break;
        }
    }
    if (event.type == kEventScrollWheel && m_scrollSelect && IsEnabled()) {
        SelectItem(StepSelection(m_curSel, GetItemCount(), LOWORD(event.wParam) == SB_LINEUP));
        return;
    }
    CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (SetListInfoAttribute(m_listInfo, name, value)) {
        Invalidate();
    } else if (name == L"header") {
        if (m_header)
            m_header->SetVisible(value != L"hidden");
        m_headerHidden = value == L"hidden";
    } else if (name == L"headerbkimage") {
        m_headerBkImage = value;
        if (m_header)
            m_header->SetBkImage(value);
    } else if (name == L"scrollselect") {
        m_scrollSelect = ParseBoolValue(value);
    } else {
        CVerticalLayoutUI::SetAttribute(name, value);
    }
}

} // namespace skinui
