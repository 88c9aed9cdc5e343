#include "skinui/controls/ButtonUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/layouts/TabLayoutUI.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {

CButtonUI::CButtonUI() {
    m_textStyle = kTextSingleLine | kTextVCenter | kTextCenter;
}

const wchar_t* CButtonUI::GetClass() const {
    return kClassName;
}

void* CButtonUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? kFlagTabStop : 0) | (IsEnabled() ? kFlagSetCursor : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate())
        return false;
    if (m_manager) {
        m_manager->SendNotify(this, L"click");
        if (!m_bindTabLayoutName.empty() && m_bindTabIndex >= 0) {
            CControlUI* bound = m_manager->FindControl(m_bindTabLayoutName);
            if (auto* tabs = InterfaceCast<CTabLayoutUI>(bound))
                tabs->SelectItem(m_bindTabIndex);
        }
    }
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    m_buttonState = enabled ? 0 : kStateDisabled;
}

void CButtonUI::DoEvent(UiEvent& event) {
    if (PassMouseToParentOrLabel(event))
        return;
    const bool inside = PtInRect(&m_pos, event.mouse) != FALSE;
    switch (event.type) {
    case kEventSetFocus:
    case kEventKillFocus:
        m_focused = event.type == kEventSetFocus;
        Invalidate();
        return;
    case kEventKeyDown:
        if (IsKeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case kEventButtonDown:
    case kEventDblClick:
        if (inside && IsEnabled()) {
            m_buttonState |= kStateCaptured | kStatePushed;
            Invalidate();
            return;
        }
        break;
    case kEventMouseMove:
        if (m_buttonState & kStateCaptured) {
            if (inside)
                m_buttonState |= kStatePushed;
            else
                m_buttonState &= ~kStatePushed;
            Invalidate();
            return;
        }
        break;
    case kEventButtonUp:
        if (m_buttonState & kStateCaptured) {
            // The flags are cleared before activating: a "click" handler may close the window.
            m_buttonState &= ~(kStateCaptured | kStatePushed);
            Invalidate();
            if (inside)
                Activate();
            return;
        }
        break;
    case kEventMouseEnter:
        if (IsEnabled()) {
            m_buttonState |= kStateHot;
            Invalidate();
            return;
        }
        break;
    case kEventMouseLeave:
        if (IsEnabled()) {
            m_buttonState &= ~kStateHot;
            Invalidate();
            return;
        }
        break;
    case kEventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetNormalImage(const std::wstring& descriptor) {
    m_normalImage = descriptor;
    Invalidate();
}

void CButtonUI::SetHotImage(const std::wstring& descriptor) {
    m_hotImage = descriptor;
    Invalidate();
}

void CButtonUI::SetPushedImage(const std::wstring& descriptor) {
    m_pushedImage = descriptor;
    Invalidate();
}

void CButtonUI::SetFocusedImage(const std::wstring& descriptor) {
    m_focusedImage = descriptor;
    Invalidate();
}

void CButtonUI::SetDisabledImage(const std::wstring& descriptor) {
    m_disabledImage = descriptor;
    Invalidate();
}

void CButtonUI::SetForeImage(const std::wstring& descriptor) {
    m_foreImage = descriptor;
    Invalidate();
}

void CButtonUI::SetHotForeImage(const std::wstring& descriptor) {
    m_hotForeImage = descriptor;
    Invalidate();
}

void CButtonUI::BindTabLayout(const std::wstring& layoutName, int index) {
    m_bindTabLayoutName = layoutName;
    m_bindTabIndex = index;
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"normalimage")
        SetNormalImage(value);
    else if (name == L"hotimage")
        SetHotImage(value);
    else if (name == L"pushedimage")
        SetPushedImage(value);
    else if (name == L"focusedimage")
        SetFocusedImage(value);
    else if (name == L"disabledimage")
        SetDisabledImage(value);
    else if (name == L"foreimage")
        SetForeImage(value);
    else if (name == L"hotforeimage")
        SetHotForeImage(value);
    else if (name == L"pushedforeimage")
        m_pushedForeImage = value;
    else if (name == L"hotbkcolor")
        SetHotBkColor(ParseColorValue(value));
    else if (name == L"hottextcolor")
        SetHotTextColor(ParseColorValue(value));
    else if (name == L"pushedtextcolor")
        SetPushedTextColor(ParseColorValue(value));
    else if (name == L"focusedtextcolor")
        SetFocusedTextColor(ParseColorValue(value));
    else if (name == L"bindtabindex")
        m_bindTabIndex = ParseIntValue(value);
    else if (name == L"bindtablayoutname")
        m_bindTabLayoutName = value;
    else if (name == L"multiline")
        SetTextStyle(ParseBoolValue(value) ? ((m_textStyle & ~kTextSingleLine) | kTextWordBreak)
                                           : ((m_textStyle & ~kTextWordBreak) | kTextSingleLine));
    else
        CLabelUI::SetAttribute(name, value);
}

SIZE CButtonUI::EstimateSize(SIZE /*available*/) {
    if (m_fixedHeight == 0)
        return {m_fixedWidth, FontHeight() + 8};
    return {m_fixedWidth, m_fixedHeight};
}

bool CButtonUI::DrawOrClear(HDC dc, std::wstring& descriptor) {
    return DrawImageOrClear(*this, dc, descriptor);
}

std::wstring* CButtonUI::PaintButtonState(HDC dc) {
    if (!IsEnabled()) {
        if (DrawOrClear(dc, m_disabledImage))
            return &m_foreImage;
    } else if (IsPushedNow()) {
        if (DrawOrClear(dc, m_pushedImage))
            return m_pushedForeImage.empty() ? &m_foreImage : &m_pushedForeImage;
    } else if (IsHotNow()) {
        if (DrawOrClear(dc, m_hotImage))
            return m_hotForeImage.empty() ? &m_foreImage : &m_hotForeImage;
        if (m_hotImage.empty() && m_hotBkColor != 0) {
            render::FillColor(dc, m_pos, m_hotBkColor);
            return nullptr;
        }
    } else if (m_focused) {
        if (DrawOrClear(dc, m_focusedImage))
            return &m_foreImage;
    }
    DrawOrClear(dc, m_normalImage);
    return &m_foreImage;
}

void CButtonUI::PaintStatusImage(HDC dc) {
    if (std::wstring* fore = PaintButtonState(dc))
        DrawOrClear(dc, *fore);
}

void CButtonUI::PaintText(HDC dc) {
    if (m_text.empty() || !m_manager)
        return;
    DWORD color = EffectiveTextColor();
    if (IsPushedNow() && m_pushedTextColor != 0)
        color = m_pushedTextColor;
    else if (IsHotNow() && m_hotTextColor != 0)
        color = m_hotTextColor;
    else if (m_focused && m_focusedTextColor != 0)
        color = m_focusedTextColor;
    DrawLabelText(dc, color, m_textStyle);
}

} // namespace skinui
