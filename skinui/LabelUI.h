#pragma once

#include "ControlUI.h"

namespace skinui {

// A control that draws one text in a font of the window's table.
class CLabelUI : public CControlUI {
public:
    const wchar_t* GetClass() const override;
    void* GetInterface(const wchar_t* name) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;
    void PaintText(HDC dc) override;

    void SetFont(int index);
    void SetTextColor(DWORD color);
    UINT GetTextStyle() const { return m_textStyle; }

protected:
    int m_font = -1; // index into the window's font table; out of range = the default font
    DWORD m_textColor = 0;
    DWORD m_disabledTextColor = 0;
    UINT m_textStyle = DT_VCENTER | DT_SINGLELINE;
    RECT m_textPadding{};
};

} // namespace skinui
