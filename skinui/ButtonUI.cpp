#include "ButtonUI.h"

#include "AttributeValues.h"
#include "SkinWindowManager.h"

namespace skinui {

const wchar_t* CButtonUI::GetClass() const {
    return L"ButtonUI";
}

void* CButtonUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, L"Button") == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const {
    return (IsKeyboardEnabled() ? kFlagTabStop : 0) | (IsEnabled() ? kFlagSetCursor : 0);
}

bool CButtonUI::Activate() {
    if (!CControlUI::Activate())
        return false;
    if (m_manager)
        m_manager->SendNotify(this, L"click");
    return true;
}

void CButtonUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    if (!enabled) {
        m_pushed = false;
        m_hot = false;
    }
}

void CButtonUI::DoEvent(UiEvent& event) {
    if (!IsMouseEnabled() && event.type >= kFirstMouseEvent && event.type <= kLastMouseEvent) {
        if (m_parent)
            m_parent->DoEvent(event);
        else
            CLabelUI::DoEvent(event);
        return;
    }
    switch (event.type) {
    case kEventKeyDown:
        if (IsKeyboardEnabled() && (event.key == VK_SPACE || event.key == VK_RETURN)) {
            Activate();
            return;
        }
        break;
    case kEventButtonDown:
    case kEventDblClick:
        if (PtInRect(&m_pos, event.mouse) && IsEnabled()) {
            m_pushed = true;
            Invalidate();
        }
        return;
    case kEventMouseMove:
        return;
    case kEventButtonUp:
        if (m_pushed) {
            m_pushed = false;
            Invalidate();
            if (PtInRect(&m_pos, event.mouse))
                Activate();
        }
        return;
    case kEventMouseEnter:
        if (IsEnabled()) {
            m_hot = true;
            Invalidate();
        }
        return;
    case kEventMouseLeave:
        m_hot = false;
        Invalidate();
        return;
    case kEventSetCursor:
        ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"normalimage")
        m_normalImage = value;
    else if (name == L"hotimage")
        m_hotImage = value;
    else if (name == L"pushedimage")
        m_pushedImage = value;
    else if (name == L"focusedimage")
        m_focusedImage = value;
    else if (name == L"disabledimage")
        m_disabledImage = value;
    else if (name == L"hottextcolor")
        m_hotTextColor = ParseColorValue(value);
    else if (name == L"pushedtextcolor")
        m_pushedTextColor = ParseColorValue(value);
    else
        CLabelUI::SetAttribute(name, value);
}

void CButtonUI::PaintStatusImage(HDC dc) {
    auto draw = [this, dc](std::wstring& descriptor) {
        if (descriptor.empty())
            return false;
        if (!DrawImage(dc, descriptor))
            descriptor.clear();
        return true;
    };
    if (!IsEnabled() && draw(m_disabledImage))
        return;
    if (m_pushed && draw(m_pushedImage))
        return;
    if (m_hot && draw(m_hotImage))
        return;
    if (m_focused && draw(m_focusedImage))
        return;
    draw(m_normalImage);
}

} // namespace skinui
