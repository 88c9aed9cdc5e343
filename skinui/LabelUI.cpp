#include "LabelUI.h"

#include "AttributeValues.h"
#include "RenderEngine.h"
#include "SkinWindowManager.h"

namespace skinui {

const wchar_t* CLabelUI::GetClass() const {
    return L"LabelUI";
}

void* CLabelUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, L"Label") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetFont(int index) {
    m_font = index;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"font") {
        SetFont(ParseIntValue(value));
    } else if (name == L"textcolor") {
        SetTextColor(ParseColorValue(value));
    } else if (name == L"disabledtextcolor") {
        m_disabledTextColor = ParseColorValue(value);
    } else if (name == L"textpadding") {
        m_textPadding = ParseRectValue(value);
    } else if (name == L"align") {
        m_textStyle &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
        if (value.find(L"center") != std::wstring::npos)
            m_textStyle |= DT_CENTER;
        else if (value.find(L"right") != std::wstring::npos)
            m_textStyle |= DT_RIGHT;
    } else if (name == L"valign") {
        m_textStyle &= ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
        if (value.find(L"top") != std::wstring::npos)
            m_textStyle |= DT_TOP;
        else if (value.find(L"bottom") != std::wstring::npos)
            m_textStyle |= DT_BOTTOM;
        else
            m_textStyle |= DT_VCENTER;
    } else if (name == L"endellipsis") {
        if (ParseBoolValue(value))
            m_textStyle |= DT_END_ELLIPSIS;
        else
            m_textStyle &= ~DT_END_ELLIPSIS;
    } else if (name == L"multiline") {
        if (ParseBoolValue(value))
            m_textStyle = (m_textStyle & ~DT_SINGLELINE) | DT_WORDBREAK;
        else
            m_textStyle = (m_textStyle & ~DT_WORDBREAK) | DT_SINGLELINE;
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

void CLabelUI::PaintText(HDC dc) {
    if (m_text.empty() || !m_manager)
        return;
    DWORD color = m_textColor ? m_textColor : m_manager->GetDefaultFontColor();
    if (!IsEnabled())
        color = m_disabledTextColor ? m_disabledTextColor : m_manager->GetDisabledColor();
    RECT rc = m_pos;
    rc.left += m_textPadding.left;
    rc.top += m_textPadding.top;
    rc.right -= m_textPadding.right;
    rc.bottom -= m_textPadding.bottom;
    render::DrawText(dc, m_manager, rc, m_text, color, m_font, m_textStyle);
}

} // namespace skinui
