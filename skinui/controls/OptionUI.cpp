#include "skinui/controls/OptionUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/RenderEngine.h"

namespace skinui {

COptionUI::COptionUI() = default;

COptionUI::~COptionUI() = default;

const wchar_t* COptionUI::GetClass() const {
    return kClassName;
}

void* COptionUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(SkinWindowManager* manager, CControlUI* parent, bool init) {
    // Leaving a window (the builder's temporary attachment included) leaves its group table,
    // which must not keep a pointer to a control it no longer hears about.
    if (m_manager && m_manager != manager && !m_group.empty())
        m_manager->RemoveOptionGroup(m_group, this);
    CButtonUI::SetManager(manager, parent, init);
    if (init && m_manager && !m_group.empty()) {
        m_manager->AddOptionGroup(m_group, this);
        // A selected option joining its group takes the selection from the others quietly:
        // the window is not listening while the tree is being attached.
        if (m_selected)
            if (const auto* members = m_manager->GetOptionGroup(m_group))
                for (CControlUI* member : *members)
                    if (member != this)
                        if (auto* other = InterfaceCast<COptionUI>(member)) {
                            other->m_selected = false;
                            other->m_buttonState &= ~kStateSelected;
                        }
    }
}

bool COptionUI::Activate() {
    if (!CButtonUI::Activate())
        return false;
    Selected(m_group.empty() ? !m_selected : true);
    return true;
}

void COptionUI::SetEnabled(bool enabled) {
    CControlUI::SetEnabled(enabled);
    m_buttonState &= kStateSelected;
}

void COptionUI::Selected(bool selected) {
    m_selected = selected;
    if (selected)
        m_buttonState |= kStateSelected;
    else
        m_buttonState &= ~kStateSelected;
    if (!m_manager) {
        Invalidate();
        return;
    }
    if (!m_group.empty()) {
        if (!selected) {
            m_manager->NotifyAccessibility(EVENT_OBJECT_STATECHANGE, this);
            Invalidate();
            return;
        }
        if (const auto* members = m_manager->GetOptionGroup(m_group)) {
            // Copied: a handler of the notifications below may change the group.
            const std::vector<CControlUI*> others = *members;
            for (CControlUI* member : others)
                if (member != this)
                    if (auto* other = InterfaceCast<COptionUI>(member))
                        other->Selected(false);
        }
    }
    m_manager->NotifyAccessibility(EVENT_OBJECT_STATECHANGE, this);
    m_manager->SendNotify(this, L"selectchanged");
    Invalidate();
}

void COptionUI::SetGroup(const std::wstring& group) {
    if (group == m_group)
        return;
    if (m_manager && !m_group.empty())
        m_manager->RemoveOptionGroup(m_group, this);
    m_group = group;
    if (m_manager && !m_group.empty())
        m_manager->AddOptionGroup(m_group, this);
    Invalidate();
}

void COptionUI::SetSelectedImage(const std::wstring& descriptor) {
    m_selectedImage = descriptor;
    Invalidate();
}

void COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"group")
        SetGroup(value);
    else if (name == L"selected")
        Selected(ParseBoolValue(value));
    else if (name == L"selectedimage")
        SetSelectedImage(value);
    else if (name == L"selectedhotimage")
        m_selectedHotImage = value;
    else if (name == L"selectedpushedimage")
        m_selectedPushedImage = value;
    else if (name == L"selectedforeimage")
        m_selectedForeImage = value;
    else if (name == L"selectedbkcolor")
        SetSelectedBkColor(ParseColorValue(value));
    else if (name == L"selectedtextcolor")
        SetSelectedTextColor(ParseColorValue(value));
    else
        CButtonUI::SetAttribute(name, value);
}

void COptionUI::PaintOptionState(HDC dc) {
    if (m_selected) {
        if (IsPushedNow() && DrawOrClear(dc, m_selectedPushedImage))
            return;
        if (IsHotNow() && DrawOrClear(dc, m_selectedHotImage))
            return;
        if (DrawOrClear(dc, m_selectedImage))
            return;
        if (m_selectedBkColor != 0) {
            render::FillColor(dc, m_pos, m_selectedBkColor);
            return;
        }
    }
    PaintButtonState(dc);
}

void COptionUI::PaintStatusImage(HDC dc) {
    PaintOptionState(dc);
    if (m_selected && !m_selectedForeImage.empty())
        DrawOrClear(dc, m_selectedForeImage);
    else
        DrawOrClear(dc, m_foreImage);
}

void COptionUI::PaintText(HDC dc) {
    if (!m_selected || m_selectedTextColor == 0) {
        CButtonUI::PaintText(dc);
        return;
    }
    const DWORD own = m_textColor;
    m_textColor = m_selectedTextColor;
    CButtonUI::PaintText(dc);
    m_textColor = own;
}

} // namespace skinui
