#include "skinui/controls/TextUI.h"

#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"

namespace skinui {

CTextUI::CTextUI() {
    m_textStyle = kTextWordBreak;
    m_textPadding = {2, 0, 2, 0};
}

const wchar_t* CTextUI::GetClass() const {
    return kClassName;
}

void* CTextUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CLabelUI::GetInterface(name);
}

UINT CTextUI::GetControlFlags() const {
    return (IsEnabled() && !m_links.empty()) ? kFlagSetCursor : 0;
}

int CTextUI::LinkAt(POINT pt) const {
    for (size_t i = 0; i < m_links.size(); ++i)
        if (PtInRect(&m_links[i], pt))
            return static_cast<int>(i);
    return -1;
}

void CTextUI::DoEvent(UiEvent& event) {
    if (IsMouseEventForParent(*this, event)) {
        CLabelUI::DoEvent(event);
        return;
    }
    switch (event.type) {
    case kEventSetCursor:
        if (LinkAt(event.mouse) >= 0) {
            ::SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return;
        }
        break;
    case kEventButtonDown:
    case kEventDblClick:
        if (IsEnabled() && LinkAt(event.mouse) >= 0) {
            Invalidate();
            return;
        }
        break;
    case kEventButtonUp:
        if (IsEnabled()) {
            const int link = LinkAt(event.mouse);
            if (link >= 0) {
                Invalidate();
                if (m_manager)
                    m_manager->SendNotify(this, L"link", static_cast<WPARAM>(link));
                return;
            }
        }
        break;
    default:
        break;
    }
    CLabelUI::DoEvent(event);
}

void CTextUI::PaintText(HDC dc) {
    m_links.clear();
    if (m_text.empty() || !m_manager)
        return;
    DrawLabelText(dc, EffectiveTextColor(), m_textStyle, &m_links);
}

} // namespace skinui
