#pragma once

#include "skinui/core/ControlUI.h"
#include "skinui/render/TextStyle.h"

namespace skinui {

// A control that draws one text in a font of the window's table, always on one line.
class CLabelUI : public CControlUI {
public:
    static constexpr const wchar_t* kClassName = kLabelClassName;
    static constexpr const wchar_t* kInterfaceName = L"Label";

    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetText(const std::wstring& text) override;
    void DoEvent(UiEvent& event) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    SIZE EstimateSize(SIZE available) override;
    void PaintText(HDC dc) override;

    int GetFont() const { return m_font; }
    void SetFont(int index);
    DWORD GetTextColor() const { return m_textColor; }
    void SetTextColor(DWORD color);
    DWORD GetDisabledTextColor() const { return m_disabledTextColor; }
    void SetDisabledTextColor(DWORD color);
    RECT GetTextPadding() const { return m_textPadding; }
    void SetTextPadding(RECT padding);
    UINT GetTextStyle() const { return m_textStyle; }
    void SetTextStyle(UINT style);
    bool IsShowHtml() const { return m_showHtml; }
    void SetShowHtml(bool show);
    bool IsAutoCalcWidth() const { return m_autoCalcWidth; }
    void SetAutoCalcWidth(bool autoCalc);

protected:
    // The colour text is drawn in now: the control's own, else the window's.
    DWORD EffectiveTextColor() const;
    RECT TextRect() const;
    // Draws the text with the given colour and style, through the markup renderer with
    // show-HTML; returns the link rectangles the renderer produced.
    void DrawLabelText(HDC dc, DWORD color, UINT style, std::vector<RECT>* links = nullptr);
    // Font height of this control's font plus the given margin, for estimate sizes.
    int FontHeight() const;
    // While mouse input is off, mouse events go to the parent, or to the label's own handling
    // when there is none. True when the event was such a one.
    bool PassMouseToParentOrLabel(UiEvent& event);

    int m_font = -1;       // index into the window's font table; out of range = the default font
    DWORD m_textColor = 0; // 0 = the window's default text colour
    DWORD m_disabledTextColor = 0; // 0 = the window's disabled colour
    UINT m_textStyle = kTextVCenter;
    RECT m_textPadding{};
    bool m_showHtml = false;
    bool m_autoCalcWidth = false;
};

} // namespace skinui
