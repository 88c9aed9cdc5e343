#include "skinui/controls/LabelUI.h"

#include "skinui/core/AttributeValues.h"
#include "skinui/core/ControlParts.h"
#include "skinui/core/SkinWindowManager.h"
#include "skinui/render/InlineText.h"
#include "skinui/render/RenderEngine.h"
#include "win32/GdiObject.h"

#include <array>

namespace skinui {
namespace {

// Text effects of the GDI+ renderer; accepted so skins that set them build, not drawn.
constexpr std::array<const wchar_t*, 15> kTextEffectAttributes = {
    L"enabledeffect", L"enabledshadow", L"enabledstroke",    L"transshadow",      L"transtext",
    L"transshadow1",  L"transtext1",    L"transstroke",      L"gradientangle",    L"gradientlength",
    L"shadowoffset",  L"textcolor1",    L"textshadowcolora", L"textshadowcolorb", L"strokecolor"};

bool IsTextEffectAttribute(const std::wstring& name) {
    for (const wchar_t* effect : kTextEffectAttributes)
        if (name == effect)
            return true;
    return false;
}

bool Contains(const std::wstring& value, const wchar_t* word) {
    return value.find(word) != std::wstring::npos;
}

LONG MeasureTextWidth(SkinWindowManager& manager, const std::wstring& text, int font) {
    const win32::MemoryDc dc;
    if (!dc)
        return 0;
    const win32::SelectObjectScope selected(dc.get(), manager.GetFont(font));
    RECT rc{0, 0, 9999, 100};
    ::DrawTextW(dc.get(), text.c_str(), static_cast<int>(text.size()), &rc,
                DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return rc.right - rc.left;
}

} // namespace

const wchar_t* CLabelUI::GetClass() const {
    return kClassName;
}

void* CLabelUI::GetInterface(const wchar_t* name) {
    if (name && wcscmp(name, kInterfaceName) == 0)
        return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetText(const std::wstring& text) {
    const bool changed = text != m_text;
    CControlUI::SetText(text);
    // A width that follows the text needs the parent to place the control again.
    if (changed && m_autoCalcWidth)
        NeedParentUpdate();
}

void CLabelUI::DoEvent(UiEvent& event) {
    if (event.type == kEventSetFocus || event.type == kEventKillFocus) {
        m_focused = event.type == kEventSetFocus;
        return;
    }
    CControlUI::DoEvent(event);
}

bool CLabelUI::PassMouseToParentOrLabel(UiEvent& event) {
    if (!IsMouseEventForParent(*this, event))
        return false;
    if (m_parent)
        m_parent->DoEvent(event);
    else
        CLabelUI::DoEvent(event);
    return true;
}

void CLabelUI::SetFont(int index) {
    m_font = index;
    Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
    m_textColor = color;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
    m_disabledTextColor = color;
    Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
    m_textPadding = padding;
    Invalidate();
}

void CLabelUI::SetTextStyle(UINT style) {
    m_textStyle = style;
    Invalidate();
}

void CLabelUI::SetShowHtml(bool show) {
    if (m_showHtml == show)
        return;
    m_showHtml = show;
    Invalidate();
}

void CLabelUI::SetAutoCalcWidth(bool autoCalc) {
    m_autoCalcWidth = autoCalc;
    NeedParentUpdate();
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"align") {
        if (Contains(value, L"left"))
            m_textStyle &= ~(kTextCenter | kTextRight | kTextSingleLine);
        if (Contains(value, L"center"))
            m_textStyle = (m_textStyle & ~kTextRight) | kTextCenter;
        if (Contains(value, L"right"))
            m_textStyle = (m_textStyle & ~(kTextCenter | kTextSingleLine)) | kTextRight;
        Invalidate();
    } else if (name == L"valign") {
        if (Contains(value, L"top"))
            m_textStyle = (m_textStyle & ~(kTextVCenter | kTextBottom)) | kTextSingleLine;
        if (Contains(value, L"vcenter"))
            m_textStyle = (m_textStyle & ~kTextBottom) | kTextVCenter | kTextSingleLine;
        if (Contains(value, L"bottom"))
            m_textStyle = (m_textStyle & ~kTextVCenter) | kTextBottom | kTextSingleLine;
        Invalidate();
    } else if (name == L"endellipsis") {
        SetTextStyle(ParseBoolValue(value) ? (m_textStyle | kTextEndEllipsis)
                                           : (m_textStyle & ~kTextEndEllipsis));
    } else if (name == L"font") {
        SetFont(ParseIntValue(value));
    } else if (name == L"textcolor") {
        SetTextColor(ParseColorValue(value));
    } else if (name == L"disabledtextcolor") {
        SetDisabledTextColor(ParseColorValue(value));
    } else if (name == L"textpadding") {
        SetTextPadding(ParseRectValue(value));
    } else if (name == L"showhtml") {
        SetShowHtml(ParseBoolValue(value));
    } else if (name == L"autocalcwidth") {
        SetAutoCalcWidth(ParseBoolValue(value));
    } else if (!IsTextEffectAttribute(name)) {
        CControlUI::SetAttribute(name, value);
    }
}

int CLabelUI::FontHeight() const {
    if (!m_manager)
        return 0;
    return m_manager->GetFontInfo(m_font).metrics.tmHeight;
}

SIZE CLabelUI::EstimateSize(SIZE /*available*/) {
    if (m_autoCalcWidth && m_manager) {
        m_fixedWidth =
            MeasureTextWidth(*m_manager, m_text, m_font) + m_textPadding.left + m_textPadding.right;
    }
    if (m_fixedHeight == 0)
        return {m_fixedWidth, FontHeight() + 4};
    return {m_fixedWidth, m_fixedHeight};
}

DWORD CLabelUI::EffectiveTextColor() const {
    if (IsEnabled())
        return m_textColor ? m_textColor : m_manager->GetDefaultFontColor();
    return m_disabledTextColor ? m_disabledTextColor : m_manager->GetDisabledColor();
}

RECT CLabelUI::TextRect() const {
    return PadRect(m_pos, m_textPadding);
}

void CLabelUI::DrawLabelText(HDC dc, DWORD color, UINT style, std::vector<RECT>* links) {
    if (m_text.empty() || !m_manager)
        return;
    color = GetAdjustColor(color);
    const RECT rc = TextRect();
    if (!m_showHtml) {
        DrawSkinText(dc, m_manager, rc, m_text, color, m_font, style);
        return;
    }
    const auto drawn = DrawInlineText(dc, rc, m_text, color, m_manager->GetFont(m_font),
                                      FontHeight(), m_manager->GetLinkFontColor(), style);
    if (links) {
        links->clear();
        for (const InlineLink& link : drawn)
            links->push_back(link.rect);
    }
}

void CLabelUI::PaintText(HDC dc) {
    if (m_text.empty() || !m_manager)
        return;
    DrawLabelText(dc, EffectiveTextColor(), m_textStyle | kTextSingleLine);
}

} // namespace skinui
