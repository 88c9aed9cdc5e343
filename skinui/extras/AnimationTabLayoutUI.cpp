#include "skinui/extras/AnimationTabLayoutUI.h"

#include "skinui/core/SkinWindowManager.h"

namespace skinui {
namespace {

constexpr UINT kAnimationTimer = 7;
constexpr UINT kAnimationFrameMs = 20;

} // namespace

const wchar_t* CAnimationTabLayoutUI::GetClass() const {
    return kClassName;
}

void* CAnimationTabLayoutUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CTabLayoutUI::GetInterface(name);
}

void CAnimationTabLayoutUI::SetPos(RECT rc) {
    CTabLayoutUI::SetPos(rc);
    const int selected = GetCurSel();
    if (selected != m_shownSel) {
        // The first selection is simply shown; later ones slide in.
        if (m_shownSel >= 0 && m_manager &&
            m_manager->SetTimer(this, kAnimationTimer, kAnimationFrameMs))
            m_step = 0;
        m_shownSel = selected;
    }
    CControlUI* page = GetItemAt(selected);
    if (!IsAnimating() || !page)
        return;
    RECT placed = page->GetPos();
    const LONG extent = m_vertical ? (m_pos.bottom - m_pos.top) : (m_pos.right - m_pos.left);
    const LONG offset = extent * (kAnimationSteps - m_step) / kAnimationSteps;
    if (m_vertical)
        OffsetRect(&placed, 0, offset);
    else
        OffsetRect(&placed, offset, 0);
    page->SetPos(placed);
}

void CAnimationTabLayoutUI::DoEvent(UiEvent& event) {
    if (event.type == kEventTimer && event.wParam == kAnimationTimer) {
        if (++m_step >= kAnimationSteps && m_manager)
            m_manager->KillTimer(this, kAnimationTimer);
        SetPos(m_pos);
        Invalidate();
        return;
    }
    CTabLayoutUI::DoEvent(event);
}

void CAnimationTabLayoutUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"animation_direction")
        m_vertical = value == L"vertical";
    else
        CTabLayoutUI::SetAttribute(name, value);
}

} // namespace skinui
