#include "skinui/extras/ComboUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

#include <algorithm>

namespace skinui {
namespace {

constexpr int kComboTextMargin = 6;

} // namespace

CComboUI::~CComboUI() {
    CloseDropDown();
}

bool CComboUI::ShowDropDown() {
    if (m_dropDown || !IsEnabled() || !m_manager)
        return false;
    m_manager->SendNotify(this, L"dropdown");
    // The handler may have closed the window or disabled the combo.
    if (m_dropDown || !IsEnabled() || !m_manager)
        return false;
    m_dropDown = CComboWnd::Open(*this);
    Invalidate();
    return m_dropDown != nullptr;
}

void CComboUI::CloseDropDown() {
    if (m_dropDown)
        m_dropDown->CloseDropDown();
}

void CComboUI::OnDropDownClosed(CComboWnd* dropDown) {
    if (dropDown != m_dropDown)
        return;
    m_dropDown = nullptr;
    m_pushed = false;
    Invalidate();
}

const wchar_t* CComboUI::GetClass() const {
    return kClassName;
}

void* CComboUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    if (name && wcscmp(name, IListOwnerUI::kInterfaceName) == 0)
        return static_cast<IListOwnerUI*>(this);
    return CContainerUI::GetInterface(name);
}

UINT CComboUI::GetControlFlags() const {
    return IsEnabled() ? kFlagTabStop : 0;
}

std::wstring CComboUI::GetText() const {
    CControlUI* item = GetItemAt(m_curSel);
    return item ? item->GetText() : m_text;
}

bool CComboUI::Add(CControlUI* control) {
    return AddAt(control, GetCount());
}

bool CComboUI::AddAt(CControlUI* control, int index) {
    if (!CContainerUI::AddAt(control, index))
        return false;
    if (IListItemUI* item = AsListItem(control))
        item->SetOwner(this);
    Reindex();
    return true;
}

bool CComboUI::RemoveAt(int index) {
    if (!CContainerUI::RemoveAt(index))
        return false;
    Reindex();
    return true;
}

void CComboUI::RemoveAll() {
    m_curSel = -1;
    CContainerUI::RemoveAll();
}

void CComboUI::Reindex() {
    m_curSel = -1;
    for (int i = 0; i < GetCount(); ++i)
        if (IListItemUI* item = AsListItem(GetItemAt(i))) {
            item->SetIndex(i);
            if (item->IsSelected())
                m_curSel = i;
        }
}

void CComboUI::SetPos(RECT rc) {
    // The items belong to the drop-down, not to the field.
    CControlUI::SetPos(rc);
}

CControlUI* CComboUI::FindControl(const FindControlProc& proc, void* data, UINT flags) {
    return CControlUI::FindControl(proc, data, flags);
}

bool CComboUI::SelectItem(int index) {
    if (index == m_curSel)
        return true;
    if (!MoveSelection(*this, m_curSel, index, GetItemAt(m_curSel), GetItemAt(index)))
        return false;
    Invalidate();
    return true;
}

void CComboUI::OnItemClicked(CControlUI* /*item*/, bool /*activated*/) {
    if (m_dropDown)
        m_dropDown->CloseSoon();
}

void CComboUI::DoInit() {
    Reindex();
    CContainerUI::DoInit();
}

void CComboUI::DoEvent(UiEvent& event) {
    if (PassMouseToParent(*this, event) || TrackHot(*this, event, m_hot))
        return;
    switch (event.type) {
    case kEventButtonDown:
    case kEventDblClick:
        if (IsEnabled() && !m_dropDown) {
            m_pushed = true;
            ShowDropDown();
        }
        return;
    case kEventButtonUp:
        if (m_pushed && !m_dropDown) {
            m_pushed = false;
            Invalidate();
        }
        return;
    case kEventMouseMove:
        return;
    case kEventKeyDown:
        if (event.key == VK_F4) {
            ShowDropDown();
            return;
        }
        if (event.key == VK_UP || event.key == VK_DOWN) {
            SelectItem(StepSelection(m_curSel, GetCount(), event.key == VK_UP));
            return;
        }
        break;
    case kEventSysKey:
        if (event.key == VK_DOWN || event.key == VK_UP) {
            ShowDropDown();
            return;
        }
        break;
    case kEventScrollWheel:
        if (IsEnabled()) {
            SelectItem(StepSelection(m_curSel, GetCount(), LOWORD(event.wParam) == SB_LINEUP));
        }
        return;
    default:
        break;
    }
    CControlUI::DoEvent(event);
}

SIZE CComboUI::EstimateSize(SIZE available) {
    if (m_fixedHeight > 0 || !m_manager)
        return CControlUI::EstimateSize(available);
    return {m_fixedWidth,
            m_manager->GetFontInfo(m_listInfo.font).metrics.tmHeight + kComboTextMargin};
}

void CComboUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (SetListInfoAttribute(m_listInfo, name, value))
        Invalidate();
    else if (name == L"dropbox")
        m_dropBoxAttributes = value;
    else if (name == L"dropboxsize")
        m_dropBoxSize = ParseSizeValue(value);
    else if (name == L"textpadding")
        m_textPadding = ParseRectValue(value);
    else if (name == L"normalimage")
        m_normalImage = value;
    else if (name == L"hotimage")
        m_hotImage = value;
    else if (name == L"pushedimage")
        m_pushedImage = value;
    else if (name == L"focusedimage")
        m_focusedImage = value;
    else if (name == L"disabledimage")
        m_disabledImage = value;
    else
        CContainerUI::SetAttribute(name, value);
}

void CComboUI::DoPaint(HDC dc, const RECT& paint) {
    CControlUI::DoPaint(dc, paint);
}

void CComboUI::PaintStatusImage(HDC dc) {
    std::wstring* image = &m_normalImage;
    if (!IsEnabled() && !m_disabledImage.empty())
        image = &m_disabledImage;
    else if (m_pushed && !m_pushedImage.empty())
        image = &m_pushedImage;
    else if (m_hot && !m_hotImage.empty())
        image = &m_hotImage;
    else if (IsFocused() && !m_focusedImage.empty())
        image = &m_focusedImage;
    DrawImageOrClear(*this, dc, *image);
}

void CComboUI::PaintText(HDC dc) {
    const std::wstring text = GetText();
    if (text.empty() || !m_manager)
        return;
    const RECT rc = PadRect(m_pos, m_textPadding);
    DWORD color = m_listInfo.textColor ? m_listInfo.textColor : m_manager->GetDefaultFontColor();
    if (!IsEnabled())
        color = m_listInfo.disabledTextColor ? m_listInfo.disabledTextColor
                                             : m_manager->GetDisabledColor();
    DrawSkinText(dc, m_manager, rc, text, color, m_listInfo.font,
                 m_listInfo.textStyle | DT_SINGLELINE | DT_NOPREFIX);
}

const wchar_t* CComboBoxUI::GetClass() const {
    return kClassName;
}

void* CComboBoxUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CComboUI::GetInterface(name);
}

void CComboBoxUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"arrowimage")
        m_arrowImage = value;
    else
        CComboUI::SetAttribute(name, value);
}

void CComboBoxUI::PaintStatusImage(HDC dc) {
    CComboUI::PaintStatusImage(dc);
    if (m_arrowImage.empty())
        return;
    // The arrow is a square at the right end, unless the descriptor places it itself.
    const LONG side = m_pos.bottom - m_pos.top;
    const RECT arrow{std::max<LONG>(0, m_pos.right - m_pos.left - side), 0,
                     m_pos.right - m_pos.left, side};
    DrawImageOrClear(*this, dc, m_arrowImage,
                     m_arrowImage.find(L"dest=") == std::wstring::npos ? ImageDestination(arrow)
                                                                       : markup::ImageOverride{});
}

} // namespace skinui
